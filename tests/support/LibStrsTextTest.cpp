// Separated texts: fields, counts, tokens, padding and replacement.
#include "support/LibStrs.h"

#include "SupportTestEnv.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

struct FieldCase {
    const char* Text;
    const char* Sep;
    int Index;
    const char* Expected;
};

TEST(LibStrsText, GetFieldPicksTheIndexedField) {
    const FieldCase cases[] = {
        {"a|b|c", "|", 1, "a"},        {"a|b|c", "|", 3, "c"}, {"a|b|c", "|", 4, ""},
        {"a|b|c", "|", 0, ""},         {"a|b|c", "|", -2, ""}, {"abc", "|", 1, "abc"},
        {"abc", "|", 2, ""},           {"", "|", 1, ""},       {"a||c", "|", 2, ""},
        {"a||c", "|", 3, "c"},         {"a|b|", "|", 3, ""},   {"a<>b<>c", "<>", 2, "b"},
        {"abc", "", 1, "abc"},         {"abc", "", 2, ""},     {"中|文|字", "|", 2, "文"},
        {"甲、乙、丙", "、", 2, "乙"},
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(GetField(c.Text, c.Sep, c.Index), c.Expected) << c.Text << " [" << c.Index << "]";
}

TEST(LibStrsText, GetFieldWalksTheDescriptorFieldsOfADateRule) {
    const std::string rule = std::string("0\x03sp02\x03Y\x03") + "0\x03"
                                                                 "0\x03"
                                                                 "1\x03"
                                                                 "0\x03"
                                                                 "D";
    EXPECT_EQ(GetField(rule, "\x03", 2), "sp02");
    EXPECT_EQ(GetField(rule, "\x03", 8), "D");
    EXPECT_EQ(FieldCount(rule, "\x03"), 8);
}

TEST(LibStrsText, FieldCountCountsSeparatorsPlusOne) {
    const struct {
        const char* Text;
        const char* Sep;
        int Expected;
    } cases[] = {
        {"", ";", 0},
        {"a", ";", 1},
        {"a;b;", ";", 3},
        {"1#2", "#", 2},
        {"##", "#", 3},
        {"a", "", 1},
        {"a,,b", ",", 3},
        {"ab", "abc", 1},
        // Longer separators: every pass marks the first character of the leftmost occurrence, so
        // overlapping occurrences count, and a mark can complete a new one ("a#" in "aa#").
        {"aaa", "aa", 3},
        {"aa#", "a#", 3},
        {"x\r\ny\r\n", "\r\n", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(FieldCount(c.Text, c.Sep), c.Expected) << c.Text << " / " << c.Sep;
}

TEST(LibStrsText, CutTokenTakesThePartBeforeTheSeparator) {
    std::string s = "2024/01/31";
    EXPECT_EQ(CutToken(s, "/"), "2024");
    EXPECT_EQ(s, "01/31");
    EXPECT_EQ(CutToken(s, "/"), "01");
    EXPECT_EQ(CutToken(s, "/"), "31");
    EXPECT_EQ(s, "");

    s = "abc";
    EXPECT_EQ(CutToken(s, ";"), "abc");
    EXPECT_EQ(s, "");

    s = "a\r\nb";
    EXPECT_EQ(CutToken(s, "\r\n"), "a");
    EXPECT_EQ(s, "b");

    s = "abc";
    EXPECT_EQ(CutToken(s, ""), "abc");
    EXPECT_EQ(s, "");
}

TEST(LibStrsText, PadRightFillsToTheWidth) {
    EXPECT_EQ(PadRight("12", {4}), "12  ");
    EXPECT_EQ(PadRight("12345", {4}), "12345");
    EXPECT_EQ(PadRight("1", {3, '0'}), "100");
    EXPECT_EQ(PadRight("", {2}), "  ");
    EXPECT_EQ(PadRight("ab", {}), "ab");
    EXPECT_EQ(PadRight("ab", {-1}), "ab");
}

TEST(LibStrsText, PadRightCountsAChineseCharacterAsTwoColumnsInADoubleByteCodePage) {
    kvx::testing::ScopedACP gb(936);
    EXPECT_EQ(PadRight("名称", {6}), "名称  ");
    EXPECT_EQ(PadRight("名称", {4}), "名称");
}

TEST(LibStrsText, ReplaceAll) {
    const struct {
        const char* Text;
        const char* Old;
        const char* New;
        bool Trim;
        const char* Expected;
    } cases[] = {
        {"a;b;;c", ";", "", false, "abc"},
        {"abc", "abc", "ABC", false, "abc"}, // equal ignoring case: nothing replaced
        {"9999/99/99;0;_", ";0;", ";1;", false, "9999/99/99;1;_"},
        {"2024-01-31", "-", "", true, "20240131"},
        {" a-b \r\n", "-", "", true, "ab"},
        {" a b ", "x", "y", true, "a b"},
        {" a b ", "x", "y", false, " a b "},
        {"abc", "", "x", false, "abc"},
        // Every search starts again at the beginning: removing "ab" from "aabb" leaves nothing.
        {"aabb", "ab", "", false, ""},
        {"xaabbby", "ab", "", false, "xby"},
        // A replacement that contains what it replaces is made once per occurrence instead of forever.
        {"a;b", ";", ";;", false, "a;;b"},
        {"line1\r\nline2\r\n", "\r\n", " ", true, "line1 line2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAll(c.Text, c.Old, c.New, c.Trim), c.Expected) << c.Text << " / " << c.Old;
}

} // namespace
