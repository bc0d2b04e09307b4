#include "os/CodePage.h"

#include "runtime/os/OsTestSupport.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

using testing::Bytes;
using testing::ScopedACP;

struct RoundTrip {
    const char* Text;
    const char16_t* Wide;
    int CodePage;
    const char* Hex;
};

class CodePageRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(CodePageRoundTrip, EncodesAndDecodesBothTextKinds) {
    const RoundTrip& c = GetParam();
    std::string bytes = Bytes(c.Hex);
    EXPECT_EQ(Utf8ToCodePage(c.Text, c.CodePage), bytes);
    EXPECT_EQ(WideToCodePage(c.Wide, c.CodePage), bytes);
    EXPECT_EQ(CodePageToUtf8(bytes, c.CodePage), c.Text);
    EXPECT_EQ(CodePageToWide(bytes, c.CodePage), c.Wide);
}

INSTANTIATE_TEST_SUITE_P(Texts, CodePageRoundTrip,
                         ::testing::Values(RoundTrip{"简体中文", u"简体中文", 936, "bcf2cce5d6d0cec4"},
                                           RoundTrip{"繁體中文", u"繁體中文", 950, "c163c5e9a4a4a4e5"},
                                           RoundTrip{"Report 1", u"Report 1", 437, "5265706f72742031"},
                                           RoundTrip{"\u00e9\u00fc", u"\u00e9\u00fc", 437, "8281"},
                                           RoundTrip{"\u00e9\u20ac", u"\u00e9\u20ac", 1252, "e980"},
                                           RoundTrip{"中", u"中", 65001, "e4b8ad"}));

TEST(CodePage, CharactersTheCodePageLacksBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCodePage("A中B", 437), "A?B");
    EXPECT_EQ(Utf8ToCodePage("简", 950), "?"); // simplified only
    // A character outside the basic plane is one character, so one "?".
    EXPECT_EQ(WideToCodePage(u"x\U0001F600y", 936), "x?y");
    EXPECT_EQ(Utf8ToCodePage("x\U0001F600y", 936), "x?y");
}

TEST(CodePage, InvalidInputIsReplacedAndConversionGoesOn) {
    struct Case {
        std::string Bytes;
        int CodePage;
        std::string Utf8;
    } cases[] = {
        {"\xD6", 936, "?"}, // lead byte cut off at the end
        {"a\xFF"
         "b",
         936, "a?b"}, // not a GBK byte
        {"\xA4\xA4\xFF", 950, "中?"},
        {"", 936, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CodePageToUtf8(c.Bytes, c.CodePage), c.Utf8) << c.Bytes;
    EXPECT_EQ(Utf8ToCodePage("a\xC3(b", 936), "a?(b"); // broken UTF-8 sequence
    EXPECT_EQ(WideToCodePage(std::u16string(u"a") + char16_t(0xD800) + u"b", 936), "a?b"); // lone surrogate
    EXPECT_EQ(WideToCodePage(std::u16string(u"a") + char16_t(0xD800), 936), "a?");
}

TEST(CodePage, ByteLengthCountsBytesInTheCodePage) {
    EXPECT_EQ(ByteLength("中文ab", 936), 6u);
    EXPECT_EQ(ByteLength("繁體", 950), 4u);
    EXPECT_EQ(ByteLength("中文", 65001), 6u);
    EXPECT_EQ(ByteLength("中文", 437), 2u); // each becomes "?"
    EXPECT_EQ(ByteLength("", 936), 0u);
}

TEST(CodePage, UnknownCodePageFallsBackToTheSystemCodePage) {
    EXPECT_FALSE(IsValidCodePage(12345));
    EXPECT_FALSE(IsValidCodePage(-5));
    EXPECT_FALSE(IsValidCodePage(CP_ACP));
    EXPECT_TRUE(IsValidCodePage(936));
    EXPECT_TRUE(IsValidCodePage(950));
    {
        ScopedACP acp(936);
        EXPECT_EQ(ResolveCodePage(12345), 936);
        EXPECT_EQ(Utf8ToCodePage("中文", 12345), Bytes("d6d0cec4"));
        EXPECT_EQ(Utf8ToCodePage("中文", CP_ACP), Bytes("d6d0cec4"));
    }
    {
        ScopedACP acp(1252);
        EXPECT_EQ(Utf8ToCodePage("中文", 12345), "??");
    }
    {
        ScopedACP acp(77777); // an unusable system code page ends at 1252
        EXPECT_EQ(ResolveCodePage(12345), 1252);
    }
}

TEST(CodePage, ValidUtf8IsStrict) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("ascii 中文 \U0001F600"));
    for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE4\xB8", "\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(CodePage, TextFileDecodingFollowsMarkThenUtf8ThenLegacyCodePages) {
    const std::string gb = Bytes("c5e4d6c3");   // 配置 in GBK
    const std::string big5 = Bytes("b35da977"); // 設定 in BIG5
    EXPECT_EQ(TextFileToUtf8("\xEF\xBB\xBF"
                             "a=中"),
              "a=中");
    EXPECT_EQ(TextFileToUtf8("\xFF\xFE" + testing::Utf16LEBytes(u"a=中")), "a=中");
    EXPECT_EQ(TextFileToUtf8("a=中"), "a=中");
    {
        ScopedACP acp(1252); // not a Chinese system: GBK is tried first
        EXPECT_EQ(TextFileToUtf8(gb), "配置");
    }
    {
        ScopedACP acp(950);
        EXPECT_EQ(TextFileToUtf8(big5), "設定");
    }
    EXPECT_EQ(TextFileToUtf8(big5, 950), "設定");
}

} // namespace
} // namespace rt
