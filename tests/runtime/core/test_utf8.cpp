#include "core/Utf8.h"

#include <gtest/gtest.h>

using namespace rt;

TEST(Utf8, AppendsOneToFourBytes) {
    std::string out;
    for (char32_t cp : {U'A', U'é', U'中', U'😀'}) AppendUtf8(cp, out);
    EXPECT_EQ(out, "Aé中😀");
}

TEST(Utf8, DecodesWellFormedSequencesAndMovesPast) {
    const std::string_view s = "Aé中😀";
    size_t pos = 0;
    EXPECT_EQ(DecodeUtf8(s, pos), U'A');
    EXPECT_EQ(pos, 1u);
    EXPECT_EQ(DecodeUtf8(s, pos), U'é');
    EXPECT_EQ(pos, 3u);
    EXPECT_EQ(DecodeUtf8(s, pos), U'中');
    EXPECT_EQ(pos, 6u);
    EXPECT_EQ(DecodeUtf8(s, pos), U'😀');
    EXPECT_EQ(pos, s.size());
}

TEST(Utf8, ABadSequenceIsOneByteOfNoCharacter) {
    const char* const bad[] = {
        "\x80",             // a continuation byte first
        "\xC0\x80",         // overlong
        "\xE0\x9F\xBF",     // overlong
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // above U+10FFFF
        "\xF5\x80\x80\x80", // no lead byte
        "\xE4\xB8",         // cut short
        "\xC3(",            // a continuation missing
    };
    for (const char* text : bad) {
        size_t pos = 0;
        EXPECT_EQ(DecodeUtf8(text, pos), NotUtf8) << text;
        EXPECT_EQ(pos, 1u) << text;
        pos = 0;
        EXPECT_EQ(DecodeUtf8(text, pos, 0xFFFD), U'\uFFFD') << text;
    }
}
