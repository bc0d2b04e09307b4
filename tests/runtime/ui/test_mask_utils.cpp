#include "ui/MaskUtils.h"

#include <gtest/gtest.h>

#include <string>

using namespace rt;

namespace {

std::string EditTextOf(std::string_view mask, std::string_view text) {
    return MaskEditTextFromText(ParseEditMask(mask), text);
}

std::string TextOf(std::string_view mask, std::string_view editText) {
    return MaskTextFromEditText(ParseEditMask(mask), editText);
}

} // namespace

TEST(MaskParse, Fields) {
    struct Case {
        const char* mask;
        int length;
        bool save;
        const char* blank;
        bool reverse;
    };
    const Case cases[] = {
        {"9999/99/99", 10, true, "_", false},
        {"9999/99/99;0", 10, false, "_", false},
        {"9999/99/99;1; ", 10, true, " ", false},
        {"9999/99/99;0;*", 10, false, "*", false},
        {"!999;0;_", 3, false, "_", true},
        {"99!9", 3, true, "_", true},
        {"99;x", 2, true, "_", false},   // anything but 0 saves
        {"99;;#", 2, true, "#", false},  // empty save field
        {"99;0;", 2, false, "_", false}, // empty blank field
        {"9999;1;;", 4, true, ";", false},
        {"a;b;c;d", 3, true, "d", false},  // only a ';' among the last four separates
        {"99\\;0;_", 4, true, "_", false}, // the escaped ';' is a literal: the next one separates
        {"99\\\\;0;_", 3, false, "_", false},
        {"9;0;\xE3\x80\x80", 1, false, "\xE3\x80\x80", false}, // a multi-byte blank is one character
        // Malformed masks.
        {"", 0, true, "_", false},
        {";", 0, true, "_", false},
        {";;;;", 0, true, ";", false},
        {"99\\", 2, true, "_", false}, // trailing escape ignored
        {"\\", 0, true, "_", false},
        {"!<>><", 0, true, "_", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        const EditMask m = ParseEditMask(c.mask);
        EXPECT_EQ(m.Length(), c.length);
        EXPECT_EQ(m.saveLiterals, c.save);
        EXPECT_EQ(m.blank, c.blank);
        EXPECT_EQ(m.reverse, c.reverse);
    }
}

TEST(MaskParse, PositionsCaseAndEscapes) {
    const EditMask m = ParseEditMask(">L<l<>c\\9\\\\_/:");
    ASSERT_EQ(m.Length(), 8);
    const struct {
        char rule;
        const char* literal;
        MaskCase charCase;
    } expected[] = {
        {'L', "", MaskCase::Upper}, {'l', "", MaskCase::Lower}, {'c', "", MaskCase::None},
        {0, "9", MaskCase::None},   {0, "\\", MaskCase::None},  {0, "_", MaskCase::None},
        {0, "/", MaskCase::None},   {0, ":", MaskCase::None},
    };
    for (int i = 0; i < m.Length(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m.positions[i].rule, expected[i].rule);
        EXPECT_EQ(m.positions[i].literal, expected[i].literal);
        EXPECT_EQ(m.positions[i].charCase, expected[i].charCase);
    }
}

TEST(MaskParse, SeparatorsReplaceOnlyUnescapedColonAndSlash) {
    const EditMask m = ParseEditMask("9/9:9\\/", {".", "\xE6\x97\xB6\xE9\x97\xB4"}); // 时间: first char only
    EXPECT_EQ(MaskEditTextFromText(m, ""), "_\xE6\x97\xB6_._/");
    EXPECT_EQ(MaskEditTextFromText(ParseEditMask("9/9", {"", ""}), ""), "_/_"); // empty keeps the mask's
}

TEST(MaskText, TextFromEditTextDateTable) {
    struct Case {
        const char* editText;
        const char* unsaved;
        const char* saved;
    };
    const Case cases[] = {
        {"2024/01/15", "20240115", "2024/01/15"},
        {"2024/0_/__", "20240", "2024/0 /  "},
        {"2024/_1/__", "2024 1", "2024/ 1/  "},
        {"____/__/__", "", "    /  /  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.editText);
        EXPECT_EQ(TextOf("9999/99/99;0;_", c.editText), c.unsaved);
        EXPECT_EQ(TextOf("9999/99/99;1;_", c.editText), c.saved);
    }
}

TEST(MaskText, EmptySavedDateWithSpaceBlankIsNotEmpty) {
    EXPECT_EQ(EditTextOf("9999/99/99;1; ", ""), "    /  /  ");
    EXPECT_EQ(TextOf("9999/99/99;1; ", "    /  /  "), "    /  /  ");
    EXPECT_EQ(TextOf("9999/99/99;0; ", "    /  /  "), "");
}

TEST(MaskText, AssignAndReadBack) {
    struct Case {
        const char* mask;
        const char* text;
        const char* editText;
        const char* readBack;
    };
    const Case cases[] = {
        // Insertion rules (literals not saved).
        {"999;0;_", "1", "1__", "1"},
        {"!999;0;_", "1", "__1", "1"},
        {"99;0;_", "1234", "1234", "1234"}, // not truncated
        {"!99;0;_", "1234", "1234", "1234"},
        {">LL-000;0;_", "ab123", "ab-123", "ab123"}, // no case conversion
        {"9999/99/99;0;_", "", "____/__/__", ""},
        {"!999;0;_", "", "___", ""},
        {"!aaaa\\-aaaaaaaaaaa;0; ", "AB12-000123", "    -AB12-000123", "AB12-000123"},
        {"!aaaa\\-aaaaaaaaaaa;0; ", "AB12000123", "    - AB12000123", "AB12000123"},
        {"aaaa\\-aaaaaaaaaaa;0; ", "AB12000123", "AB12-000123     ", "AB12000123"},
        // Segment rules (literals saved).
        {"9999/99/99;1; ", "2024/01/15", "2024/01/15", "2024/01/15"},
        {"9999/99/99;1; ", "2024/1/5", "2024/1 /5 ", "2024/1 /5 "},
        {"9999/99/99;1; ", "20240115", "2024/  /  ", "2024/  /  "},
        {"9999/99/99;1; ", "2024/01/150", "2024/01/15", "2024/01/15"},
        {"9999/99/99;1; ", "", "    /  /  ", "    /  /  "},
        {"99;1;_", "1234", "12", "12"},
        {"!99;1;_", "1234", "34", "34"},
        {"000-0000;1;_", "1234567", "123-____", "123-    "},
        {"!999-99;1;_", "1-2345", "__1-45", "  1-45"},
        {"(999)000;1;_", "(12)345", "(12_)345", "(12 )345"},
        {"(999)000;1;_", "12)345", "(___)___", "(   )   "}, // '(' missing: all is lost
        {"99kg;1;_", "12", "12kg", "12kg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " <- " + c.text);
        const std::string editText = EditTextOf(c.mask, c.text);
        EXPECT_EQ(editText, c.editText);
        EXPECT_EQ(TextOf(c.mask, editText), c.readBack);
    }
}

TEST(MaskText, SavedTextKeepsSurplusOfAnOverlongEditText) {
    // A reformat lays values by the insertion rules even under saved literals, so the edit text can be
    // longer than the mask: reading it must not lose the surplus.
    EXPECT_EQ(TextOf("99;1;_", "1234"), "1234");
    EXPECT_EQ(TextOf("!9-9;1;_", "123-4"), "123-4");
}

TEST(MaskText, ShortEditTextIsCompletedWithTheSkeleton) {
    EXPECT_EQ(TextOf("9999/99/99;1;_", "2024/0"), "2024/0 /  ");
    EXPECT_EQ(TextOf("!999;0;_", "5"), "5");
    EXPECT_EQ(ValidateEditText(ParseEditMask("000;0;_"), "12"), 2);
}

TEST(MaskText, NoMaskPassesTextThrough) {
    for (const char* mask : {"", ";", ";0;_", "!", "<>", "\\"}) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(EditTextOf(mask, "a/b_"), "a/b_");
        EXPECT_EQ(TextOf(mask, "a/b_ "), "a/b_ ");
        EXPECT_EQ(FormatMaskText(mask, "x y"), "x y");
    }
}

TEST(MaskText, CharactersNotBytes) {
    // One position holds one character, Chinese or not.
    EXPECT_EQ(EditTextOf("CCCC;0;_", "\xE4\xB8\xAD\xE6\x96\x87"), "\xE4\xB8\xAD\xE6\x96\x87__");
    EXPECT_EQ(TextOf("CC-CC;0;_", "\xE4\xB8\xAD_-\xE6\x96\x87_"), "\xE4\xB8\xAD \xE6\x96\x87");
    EXPECT_EQ(EditTextOf("!CCC;1;_", "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE5\x85\xB8"),
              "\xE6\x96\x87\xE5\xAD\x97\xE5\x85\xB8");
    EXPECT_EQ(ParseEditMask("9\xE4\xB8\xAD"
                            "9")
                  .Length(),
              3);
}

TEST(MaskText, StrayBytesBecomeReplacementCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    // Each stray byte takes one position. Kept raw, the literal \xDC and the blank \xB0 would read back
    // as one valid two-byte character and the edit text would lose a position.
    const EditMask m = ParseEditMask("C\xDC"
                                     "C;0;\xB0");
    ASSERT_EQ(m.Length(), 3);
    const std::string skeleton = MaskEditTextFromText(m, "");
    EXPECT_EQ(skeleton, fffd + fffd + fffd);
    EXPECT_EQ(MaskTyping(m, skeleton).EditText(), skeleton);
    EXPECT_EQ(EditTextOf("CC;0;_", "\xE4\xB8"), fffd + fffd); // a cut sequence is two stray bytes
    EXPECT_EQ(TextOf("CCC;0;_", "a\xFE"), "a" + fffd);
    EXPECT_EQ(FormatMaskText("9/9", "1/2", {"", "\xFF"}), "1" + fffd + " "); // the separator too
    EXPECT_EQ(EditTextOf("", "a\xFE"), "a\xFE");                             // no mask: untouched
}

TEST(MaskText, LocaleSeparatorsInSavedLiterals) {
    const EditMask m = ParseEditMask("9999/99/99;1;_", {":", "."});
    EXPECT_EQ(MaskEditTextFromText(m, "2024.01.15"), "2024.01.15");
    EXPECT_EQ(MaskEditTextFromText(m, "2024/01/15"), "2024.__.__");
    EXPECT_EQ(MaskTextFromEditText(m, "2024.01.__"), "2024.01.  ");
}

TEST(MaskFormat, FormatMaskText) {
    struct Case {
        const char* mask;
        const char* value;
        const char* result;
    };
    const Case cases[] = {
        {"9999/99/99;0;_", "20240115", "2024/01/15"},
        {"9999/99/99;1;_", "20240115", "2024/  /  "},
        {"9999/99/99", "20240115", "2024/  /  "},
        {"!999;0;_", "5", "  5"},
        {"!(999)000-0000;0;*", "8005551212", "(800)555-1212"},
        {"999;0;*", "", "   "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " <- " + c.value);
        EXPECT_EQ(FormatMaskText(c.mask, c.value), c.result);
    }
    EXPECT_EQ(FormatMaskText("9999/99/99;0;_", "20240115", {":", "."}), "2024.01.15");
}

TEST(MaskFormat, ReformatOnMaskChange) {
    struct Case {
        const char* oldMask;
        const char* newMask;
        const char* editText;
        const char* newEditText;
        int maxLength;
    };
    const Case cases[] = {
        {"", "9999/99/99;1;_", "20240115", "2024/01/15", 10},
        {"9999/99/99;1;_", "9999/99/99;0;_", "2024/01/15", "2024/01/15", 10},
        {"9999/99/99;1;_", "", "2024/01/15", "20240115", 0},
        {"9999/99/99;1;_", "9999/99/99;1; ", "2024/01/__", "2024/01/  ", 10}, // new blank
        {"9999/99/99;0;_", "99-99;1;_", "2024/1_/__", "20-241", 5},           // insertion, not segments
        {"9999/99/99;0;_", "99;0;_", "2024/01/15", "20240115", 2},            // not truncated
        {"!999;0;_", "999;0;_", "__5", "5__", 3},
        {"", "", "abc", "abc", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.oldMask) + " -> " + c.newMask);
        const MaskReformat r = ReformatEditText(c.oldMask, c.newMask, c.editText);
        EXPECT_EQ(r.editText, c.newEditText);
        EXPECT_EQ(r.maxLength, c.maxLength);
    }
    // After the ;1;_ -> ;0;_ change, Text no longer carries the literals.
    EXPECT_EQ(TextOf("9999/99/99;0;_", "2024/01/15"), "20240115");
}

TEST(MaskFormat, BareValue) {
    struct Case {
        const char* mask;
        const char* text;
        const char* bare;
    };
    const Case cases[] = {
        {"9999/99/99;1; ", "2024/01/31", "20240131"},
        {"9999/99/99;1;_", "2024/1/5", "20241 5"}, // inner blanks become spaces
        {"9999/99/99;1; ", "    /  /  ", ""},
        {"!aaaa\\-aaaaaaaaaaa;0; ", "AB12000123", "AB12000123"},
        {"!aaaa\\-aaaaaaaaaaa;0; ", "AB12000123     ", "AB12000123     "},
        {"", "2024-01-31", "2024-01-31"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " <- " + c.text);
        EXPECT_EQ(MaskBareValue(c.mask, c.text), c.bare);
    }
}

TEST(MaskTyping, CharacterClasses) {
    struct Case {
        char rule;
        char32_t ch;
        bool accepted;
    };
    const Case cases[] = {
        {'0', U'7', true},    {'9', U' ', false},   {'0', U'a', false},   {'9', 0xFF17, false},
        {'#', U'+', true},    {'#', U'-', true},    {'#', U' ', true},    {'#', U'x', false},
        {'L', U'q', true},    {'l', U'1', false},   {'L', 0x4E2D, true},  {'L', 0xE9, true},
        {'L', 0x3002, false}, {'l', U' ', false},   {'A', U'5', true},    {'a', 0xFF15, true},
        {'a', U'-', false},   {'A', 0x20021, true}, {'C', U' ', true},    {'c', 0x3002, true},
        {'C', U'\t', false},  {'c', 0x7F, false},   {'c', 0xD800, false}, {'c', 0x110000, false},
        {'x', U'x', false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.rule) + " " + std::to_string(static_cast<unsigned>(c.ch)));
        EXPECT_EQ(MaskCharAccepts(c.rule, c.ch), c.accepted);
    }
}

TEST(MaskTyping, TypedSequences) {
    struct Case {
        const char* mask;
        const char* typed;
        int rejected;
        const char* editText;
        const char* text;
    };
    const Case cases[] = {
        // The separator jumps past the literal; after a full field it jumps over the next field.
        {"99/99;0;_", "1/5", 0, "1_/5_", "1 5"},
        {"99/99/99;0;_", "12/3", 0, "12/__/3_", "12  3"},
        {"99/99:99;0;_", ":1", 0, "__/__:1_", "    1"}, // the search passes other literals
        {"99-99;0;_", "12-", 1, "12-__", "12"},         // no '-' after the cursor
        {"!aaaa\\-aaaaaaaaaaa;0; ", "AB12-000123", 1, "AB12-000123     ", "AB12000123     "},
        {">LL<ll<>L;0;_", "abCDe", 0, "ABcde", "ABcde"},
        {">LL;0;_", "\xC3\xA9\xEF\xBD\x81", 0, "\xC3\x89\xEF\xBC\xA1", "\xC3\x89\xEF\xBC\xA1"}, // é ａ
        {"999;0;_", "1 2x3", 2, "123", "123"},
        {"99;0;_", "123", 1, "12", "12"}, // nothing after the last position
        {"CC;0;_",
         "\xE4\xB8\xAD\xFF"
         "b",
         1,
         "\xE4\xB8\xAD"
         "b",
         "\xE4\xB8\xAD"
         "b"},                     // stray byte
        {"", "ab", 0, "ab", "ab"}, // no mask: a plain edit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " typed " + c.typed);
        const EditMask m = ParseEditMask(c.mask);
        MaskTyping t(m, MaskEditTextFromText(m, ""));
        EXPECT_EQ(t.TypeText(c.typed), c.rejected);
        EXPECT_EQ(t.EditText(), c.editText);
        EXPECT_EQ(MaskTextFromEditText(m, t.EditText()), c.text);
    }
}

TEST(MaskTyping, RejectedKeyChangesNothing) {
    MaskTyping t(ParseEditMask("99/99;0;_"), "1_/__", 1);
    EXPECT_FALSE(t.TypeChar(U'x'));
    EXPECT_FALSE(t.TypeChar(U'\b'));
    EXPECT_EQ(t.EditText(), "1_/__");
    EXPECT_EQ(t.Cursor(), 1);
}

TEST(MaskTyping, CursorSkipsLiterals) {
    MaskTyping t(ParseEditMask("(999)9;0;_"), "(___)_");
    EXPECT_TRUE(t.TypeChar(U'1')); // lands on the first input position
    EXPECT_EQ(t.Cursor(), 2);
    t.TypeText("23");
    EXPECT_EQ(t.Cursor(), 5); // past ')'
    t.SetCursor(99);
    EXPECT_EQ(t.Cursor(), 6);
    EXPECT_FALSE(t.TypeChar(U'4'));
}

TEST(MaskTyping, BackspaceAndDeleteKeepLiterals) {
    const EditMask m = ParseEditMask("99/99;0;_");
    {
        MaskTyping t(m, "12/34", 3);
        EXPECT_TRUE(t.Backspace()); // over the literal onto the '2'
        EXPECT_EQ(t.EditText(), "1_/34");
        EXPECT_EQ(t.Cursor(), 1);
        EXPECT_TRUE(t.Backspace());
        EXPECT_FALSE(t.Backspace());
        EXPECT_EQ(t.EditText(), "__/34");
    }
    {
        MaskTyping t(m, "12/34", 2);
        EXPECT_TRUE(t.Delete()); // the literal stays, the '3' goes
        EXPECT_EQ(t.EditText(), "12/_4");
        EXPECT_EQ(t.Cursor(), 2);
        t.SetCursor(5);
        EXPECT_FALSE(t.Delete());
    }
    {
        MaskTyping t(m, "12/34", 4);
        t.ClearRange(1, 4);
        EXPECT_EQ(t.EditText(), "1_/_4");
        EXPECT_EQ(t.Cursor(), 1);
        t.ClearRange(-5, 50);
        EXPECT_EQ(t.EditText(), "__/__");
    }
}

TEST(MaskTyping, OverlongEditTextShrinksLikeAPlainEdit) {
    const EditMask m = ParseEditMask("99;0;_");
    MaskTyping t(m, "1234", 4);
    EXPECT_FALSE(t.TypeChar(U'5'));
    EXPECT_TRUE(t.Backspace());
    EXPECT_EQ(t.EditText(), "123");

    // In reverse mode the surplus stands in front of the mask.
    MaskTyping r(ParseEditMask("!99;0;_"), "1234", 0);
    EXPECT_TRUE(r.Delete());
    EXPECT_EQ(r.EditText(), "234");
    EXPECT_TRUE(r.TypeChar(U'9')); // typing starts at the mask's first position
    EXPECT_EQ(r.EditText(), "294");

    MaskTyping cut(ParseEditMask("99;0;_"), "12345");
    cut.ClearRange(1, 4);
    EXPECT_EQ(cut.EditText(), "1_5");
    MaskTyping reverseCut(ParseEditMask("!99;0;_"), "12345");
    reverseCut.ClearRange(1, 4);
    EXPECT_EQ(reverseCut.EditText(), "1_5");
    EXPECT_TRUE(reverseCut.TypeChar(U'9'));
    EXPECT_EQ(reverseCut.EditText(), "195");

    MaskTyping plain(ParseEditMask(""), "abc", 1);
    EXPECT_TRUE(plain.Delete());
    EXPECT_TRUE(plain.Backspace());
    EXPECT_EQ(plain.EditText(), "c");
    EXPECT_FALSE(plain.Backspace());
}

TEST(MaskValidate, FirstFailingRequiredPosition) {
    struct Case {
        const char* mask;
        const char* editText;
        int result;
    };
    const Case cases[] = {
        {"000;0;_", "123", -1},
        {"000;0;_", "12_", 2},
        {"000;0;_", "1 3", 1}, // a space fails a digit position
        {"LLL;0;_", "a b", 1},
        {"AAA;0;_", "ab_", 2},
        {"CCC;0;_", "a b", -1}, // but not a C position
        {"CCC;0;_", "a_b", 1},
        {"CCC;0; ", "a b", 1}, // unless the space is the blank
        {"999lac#;0;_", "_______", -1},
        {"00/00;0;_", "12/_3", 3},
        {"000;0;_", "abc", -1}, // only blanks fail: an assigned text is not checked
        {"9999/99/99;1; ", "    /  /  ", -1},
        {"!00;0;_", "12_", 2}, // surplus in front counts in the index
        {"", "", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " : " + c.editText);
        const EditMask m = ParseEditMask(c.mask);
        EXPECT_EQ(ValidateEditText(m, c.editText), c.result);
        EXPECT_EQ(MaskTyping(m, c.editText).Validate(), c.result);
    }
}
