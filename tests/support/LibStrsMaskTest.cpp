// A masked entry reformatted to another mask, as the selection panels clean their values.
#include "support/LibStrs.h"

#include "core/FormatSettings.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

TEST(LibStrsMask, AnEmptyNewMaskLeavesTheEnteredCharacters) {
    const struct {
        const char* Text;
        const char* Mask;
        const char* Expected;
    } cases[] = {
        {"2024/01/31", "9999/99/99;1;_", "20240131"},
        {"20240131", "9999/99/99;0;_", "20240131"},
        {"2024/01/  ", "9999/99/99;1; ", "202401"},
        {"    /  /  ", "9999/99/99;1; ", ""},
        {"", "9999/99/99;1;_", ""},
        {"2024/1/5", "9999/99/99;1; ", "20241 5"},
        {"A001-0002", "aaaa-aaaa;1;_", "A0010002"},
        {"plain-text", "", "plain-text"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReformatMaskedText(c.Text, c.Mask, ""), c.Expected) << c.Text << " " << c.Mask;
}

TEST(LibStrsMask, ANewMaskLaysTheCharactersIntoItsPositions) {
    EXPECT_EQ(ReformatMaskedText("20240131", "", "9999/99/99;1;_"), "2024/01/31");
    EXPECT_EQ(ReformatMaskedText("2024/01/31", "9999/99/99;1;_", "9999/99/99;0;_"), "20240131");
    rt::FormatSettings dashed;
    dashed.DateSeparator = '-';
    rt::ScopedFormatSettings scoped(dashed);
    EXPECT_EQ(ReformatMaskedText("20240131", "", "9999/99/99;1;_"), "2024-01-31");
    EXPECT_EQ(ReformatMaskedText("2024-01-31", "9999/99/99;1;_", ""), "20240131");
}

TEST(LibStrsMask, TheSameMaskAgainChangesNothing) {
    EXPECT_EQ(ReformatMaskedText("2024/1/5", "9999/99/99;1; ", "9999/99/99;1; "), "2024/1 /5 ");
}

} // namespace
