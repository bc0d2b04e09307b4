#include "core/Exceptions.h"
#include "core/FormatSettings.h"
#include "core/SysUtils.h"
#include "core/Variant.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

using namespace rt;

namespace {

class SysUtilsTest : public ::testing::Test {
protected:
    ScopedFormatSettings FSettings{FormatSettings{}};
};

} // namespace

TEST_F(SysUtilsTest, FormatIntegers) {
    const struct {
        const char* format;
        std::string expected;
        std::string actual;
    } cases[] = {
        {"%d %.2d %.3d", "-5 -05 -005", Format("%d %.2d %.3d", {-5, -5, -5})},
        {"%5d|%-5d|%5.3d", "   -5|-5   | -005", Format("%5d|%-5d|%5.3d", {-5, -5, -5})},
        {"%.2d", "07", Format("%.2d", {7})},
        {"%x %8x", "FF       FF", Format("%x %8x", {255, 255})},
        {"%.2x %x", "0A FFFFFFFF", Format("%.2x %x", {10, -1})},
        {"%x int64", "FFFFFFFFFFFFFFFF", Format("%x", {int64_t{-1}})},
        {"%u", "4294967295", Format("%u", {-1})},
        {"%d int64", "-9223372036854775808", Format("%d", {std::numeric_limits<int64_t>::min()})},
        {"%d unsigned", "4294967295", Format("%d", {4294967295u})},
        {"%D upper-case type", "42", Format("%D", {42})},
        {"%*d", "   42", Format("%*d", {5, 42})},
        {"%-*d|", "42   |", Format("%-*d|", {5, 42})},
        {"%*d negative width", "42   |", Format("%*d|", {-5, 42})},
        {"%.*d", "00042", Format("%.*d", {5, 42})},
        {"100%%", "100%", Format("100%%")},
        {"%d%%", "5%", Format("%d%%", {5})},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.format;
}

TEST_F(SysUtilsTest, FormatTextsAndIndexes) {
    const std::string text = "ab";
    const std::u16string wide = u"宽字";
    const Variant v("变量");
    const struct {
        const char* format;
        std::string expected;
        std::string actual;
    } cases[] = {
        {"%5s|%-5s|", "   ab|ab   |", Format("%5s|%-5s|", {text, text})},
        {"%.2s", "ab", Format("%.2s", {"abcdef"})},
        {"%s wide", "宽字", Format("%s", {wide})},
        {"%s char", "x", Format("%s", {'x'})},
        {"%s variant", "变量 12", Format("%s %s", {v, Variant(12)})},
        {"%s empty variant", "[]", Format("[%s]", {Variant()})},
        {"%1:s %0:s", "b a", Format("%1:s %0:s", {"a", "b"})},
        {"%s %0:s %s", "a a b", Format("%s %0:s %s", {"a", "b"})}, // numbering goes on from the index
        {"%0:s-%0:s", "a-a", Format("%0:s-%0:s", {"a"})},
        {"%.4s cuts no character in two", "中", Format("%.4s", {"中文"})},
        {"null pointer", "[]", Format("[%s]", {static_cast<const char*>(nullptr)})},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.format;
}

TEST_F(SysUtilsTest, FormatFloats) {
    const struct {
        const char* format;
        double value;
        const char* expected;
    } cases[] = {
        {"%f", 1.5, "1.50"},
        {"%.0f", 2.5, "3"},
        {"%.2f", 2.675, "2.68"}, // rounded on the 15 decimal digits, not the binary value
        {"%.3f", -0.0005, "-0.001"},
        {"%8.2f", 3.14159, "    3.14"},
        {"%.2f", 1e20, "1.00000000000000E+020"},
        {"%e", 1.0, "1.00000000000000E+000"},
        {"%.3e", -12345.0, "-1.23E+004"},
        {"%.3e", 0.000123456, "1.23E-004"},
        {"%g", 0.1, "0.1"},
        {"%g", 1e20, "1E20"},
        {"%.3g", 1234.5, "1.23E3"},
        {"%n", 1234567.891, "1,234,567.89"},
        {"%.0n", -1234.5, "-1,235"},
        {"%f", std::nan(""), "NAN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.format, {c.value}), c.expected) << c.format << " " << c.value;

    FormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    ScopedFormatSettings european(fs);
    EXPECT_EQ(Format("%.2f %n", {1.5, 1234567.891}), "1,50 1.234.567,89");
}

TEST_F(SysUtilsTest, FormatRefusesMismatchesAndBadSpecifiers) {
    const Variant number(12);
    const Variant text("12");
    EXPECT_THROW(Format("%d", {"12"}), EConvertError);
    EXPECT_THROW(Format("%d", {1.5}), EConvertError);
    EXPECT_THROW(Format("%s", {12}), EConvertError);
    EXPECT_THROW(Format("%f", {1}), EConvertError);
    EXPECT_THROW(Format("%d", {true}), EConvertError);
    EXPECT_THROW(Format("%s", {false}), EConvertError);
    EXPECT_THROW(Format("%d", {number}), EConvertError); // only %s takes a Variant
    EXPECT_THROW(Format("%x", {text}), EConvertError);
    EXPECT_THROW(Format("%s", {Variant::Null()}), EVariantTypeCastError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
    EXPECT_THROW(Format("%2:d", {1, 2}), EConvertError);
    EXPECT_THROW(Format("%*d", {"5", 1}), EConvertError);
    for (const char* bad : {"%", "abc%", "%5", "%y", "%-", "%.", "%99999999999d"})
        EXPECT_THROW(Format(bad, {1, 2}), EConvertError) << bad;
    try {
        Format("value %5d", {"x"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("%5d"), std::string::npos) << e.what();
    }
}

TEST_F(SysUtilsTest, TrimRemovesControlCharactersAndSpacesOnly) {
    const std::string fullWidthSpace = "\xE3\x80\x80";
    EXPECT_EQ(Trim(" \t\r\n a b \x01\x1F "), "a b");
    EXPECT_EQ(TrimLeft("\t a "), "a ");
    EXPECT_EQ(TrimRight("\t a \r\n"), "\t a");
    EXPECT_EQ(Trim(fullWidthSpace + "a" + fullWidthSpace), fullWidthSpace + "a" + fullWidthSpace);
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Trim(std::string("\0a\0", 3)), "a");
}

TEST_F(SysUtilsTest, TrimViewLooksIntoTheSameText) {
    const std::string text = " \t a b \r\n";
    const std::string_view view = TrimView(text);
    EXPECT_EQ(view, "a b");
    EXPECT_EQ(view.data(), text.data() + 3);
    EXPECT_EQ(TrimView(" \x01 "), "");
}

TEST_F(SysUtilsTest, StrToIntFamily) {
    const struct {
        const char* text;
        bool ok32;
        int32_t value32;
        bool ok64;
        int64_t value64;
    } cases[] = {
        {"12", true, 12, true, 12},
        {"  -12", true, -12, true, -12},
        {"+7", true, 7, true, 7},
        {"$1F", true, 31, true, 31},
        {"0x1f", true, 31, true, 31},
        {"x1F", true, 31, true, 31},
        {"-$1F", true, -31, true, -31},
        {"$FFFFFFFF", true, -1, true, 0xFFFFFFFF},
        {"$100000000", false, 0, true, 0x100000000},
        {"2147483647", true, 2147483647, true, 2147483647},
        {"-2147483648", true, INT32_MIN, true, INT32_MIN},
        {"2147483648", false, 0, true, 2147483648LL},
        {"-9223372036854775808", false, 0, true, INT64_MIN},
        {"9223372036854775808", false, 0, false, 0},
        {"$FFFFFFFFFFFFFFFF", false, 0, true, -1},
        {"12 ", false, 0, false, 0},
        {"", false, 0, false, 0},
        {" ", false, 0, false, 0},
        {"1.5", false, 0, false, 0},
        {"--5", false, 0, false, 0},
        {"+-5", false, 0, false, 0},
        {"$", false, 0, false, 0},
        {"0x", false, 0, false, 0},
        {"1e3", false, 0, false, 0},
        {"1,000", false, 0, false, 0},
        {"$G", false, 0, false, 0},
    };
    for (const auto& c : cases) {
        int32_t v32 = 99;
        int64_t v64 = 99;
        EXPECT_EQ(TryStrToInt(c.text, v32), c.ok32) << c.text;
        EXPECT_EQ(TryStrToInt64(c.text, v64), c.ok64) << c.text;
        if (c.ok32) {
            EXPECT_EQ(v32, c.value32) << c.text;
        }
        if (c.ok64) {
            EXPECT_EQ(v64, c.value64) << c.text;
        }
        EXPECT_EQ(StrToIntDef(c.text, -99), c.ok32 ? c.value32 : -99) << c.text;
        if (!c.ok32) {
            EXPECT_THROW(StrToInt(c.text), EConvertError) << c.text;
        }
        if (!c.ok64) {
            EXPECT_THROW(StrToInt64(c.text), EConvertError) << c.text;
        }
    }
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t{-1}, 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(0, 0), "0");
}

TEST_F(SysUtilsTest, StrToFloatUsesTheDecimalSeparatorOnly) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {" 1.5 ", true, 1.5},     {"-.5", true, -0.5},   {"5.", true, 5.0}, {"1e3", true, 1000.0},
        {"+2.5E-2", true, 0.025}, {"1e-400", true, 0.0}, {"1,5", false, 0}, {"1,234.5", false, 0},
        {"$1F", false, 0},        {"0x10", false, 0},    {"", false, 0},    {".", false, 0},
        {"1e", false, 0},         {"1e400", false, 0},   {"nan", false, 0}, {"inf", false, 0},
        {"1.5.2", false, 0},      {"- 1", false, 0},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(TryStrToFloat(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
        EXPECT_DOUBLE_EQ(StrToFloatDef(c.text, -7), c.ok ? c.value : -7) << c.text;
        if (!c.ok) {
            EXPECT_THROW(StrToFloat(c.text), EConvertError) << c.text;
        }
    }
    FormatSettings fs;
    fs.DecimalSeparator = ',';
    ScopedFormatSettings comma(fs);
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    double v = 0;
    EXPECT_FALSE(TryStrToFloat("1.5", v)); // a dot is not the separator now
    EXPECT_EQ(FloatToStr(1.5), "1,5");
}

TEST_F(SysUtilsTest, FloatToStrGivesFifteenDigitsShortestForm) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0.0, "0"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {-2.5, "-2.5"},
        {100.0, "100"},
        {1e14, "100000000000000"},
        {1e15, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {1.5e-10, "1.5E-10"},
        {-0.0, "0"},
        {std::numeric_limits<double>::infinity(), "INF"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value), c.expected) << c.value;
}

TEST_F(SysUtilsTest, FormatFloatPatterns) {
    const struct {
        const char* format;
        double value;
        const char* expected;
    } cases[] = {
        {"0.00", 1.5, "1.50"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0", 999.5, "1,000"},
        {"#.##", 0.5, ".5"},
        {"0.##", 1.0, "1"},
        {"0.0#", 1.256, "1.26"},
        {"000", 7.0, "007"},
        {"0", -2.5, "-3"},
        {"0.00", -0.001, "0.00"},
        {"#,##0;(#,##0);'zero'", -1234.0, "(1,234)"},
        {"#,##0;(#,##0);'zero'", 0.0, "zero"},
        {"#,##0;(#,##0)", 5.0, "5"},
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.0E-0", 0.00012, "1.2E-4"},
        {"000-0000", 1234567.0, "123-4567"},
        {"\"$\"#,##0.00", 5.0, "$5.00"},
        {"0 'pcs'", 12.0, "12 pcs"},
        {"", 1.5, "1.5"},
        {".00", 1.5, "1.50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.format, c.value), c.expected) << c.format << " " << c.value;
}

TEST_F(SysUtilsTest, CaseMappingAndComparison) {
    EXPECT_EQ(UpperCase("abc é"), "ABC é");
    EXPECT_EQ(LowerCase("ABC É"), "abc É");
    EXPECT_EQ(AnsiUpperCase("abc é ß 中"), "ABC É ß 中");
    EXPECT_EQ(AnsiLowerCase("ÄÖÜ Straße"), "äöü straße");
    EXPECT_EQ(AnsiUpperCase("a\xFF\xC3"), "A\xFF\xC3"); // bytes that are not UTF-8 stay as they are
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_EQ(CompareText("Hello", "hELLO"), 0);
    EXPECT_NE(CompareText("é", "É"), 0);
    EXPECT_TRUE(SameText("Abc", "aBC"));
    EXPECT_FALSE(SameText("Abc", "aBCd"));
    EXPECT_TRUE(AnsiSameText("Ärger", "äRGER"));
    EXPECT_LT(CompareStr("ABC", "abc"), 0);
}

TEST_F(SysUtilsTest, AnsiCaseTakesNoLeadByteAboveF4) {
    // F5..FF never start a UTF-8 sequence: they and what follows stay bytes of their own.
    EXPECT_EQ(AnsiUpperCase("\xF5\x80\x80"), "\xF5\x80\x80");
    EXPECT_EQ(AnsiLowerCase("\xFF\xBF\xBF"), "\xFF\xBF\xBF");
    EXPECT_FALSE(AnsiSameText("\xF5\x80\x80", "\xE5\x80\x80"));
    EXPECT_EQ(StringReplace("a\xF8\x80\x80"
                            "b",
                            "\xE8\x80\x80", "x", rfReplaceAll | rfIgnoreCase),
              "a\xF8\x80\x80"
              "b");
}

TEST_F(SysUtilsTest, PosCopyDeleteInsert) {
    EXPECT_EQ(Pos("cd", "abcdef"), 3);
    EXPECT_EQ(Pos("x", "abcdef"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Pos("a", ""), 0);
    EXPECT_EQ(PosEx("a", "abca", 2), 4);
    EXPECT_EQ(PosEx("a", "abca", 5), 0);

    const struct {
        int index, count;
        const char* expected;
    } copies[] = {{1, 2, "ab"}, {0, 2, "ab"}, {-5, 2, "ab"}, {3, 100, "cdef"},        {6, 1, "f"},
                  {7, 1, ""},   {2, -1, ""},  {2, 0, ""},    {1, INT32_MAX, "abcdef"}};
    for (const auto& c : copies)
        EXPECT_EQ(Copy("abcdef", c.index, c.count), c.expected) << c.index << "," << c.count;

    std::string s = "abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "adef");
    Delete(s, 0, 2);
    Delete(s, 5, 1);
    EXPECT_EQ(s, "adef");
    Delete(s, 3, 100);
    EXPECT_EQ(s, "ad");
    Insert("XY", s, 2);
    EXPECT_EQ(s, "aXYd");
    Insert("<", s, -3);
    Insert(">", s, 100);
    EXPECT_EQ(s, "<aXYd>");
}

TEST_F(SysUtilsTest, StringReplaceAndQuoting) {
    EXPECT_EQ(StringReplace("a.b.c", ".", "--", 0), "a--b.c");
    EXPECT_EQ(StringReplace("a.b.c", ".", "--", rfReplaceAll), "a--b--c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "", rfReplaceAll), "aXbc");
    EXPECT_EQ(StringReplace("aXbxc", "x", "", rfReplaceAll | rfIgnoreCase), "abc");
    EXPECT_EQ(StringReplace("Ärger ärger", "ÄR", "x", rfReplaceAll | rfIgnoreCase), "xger xger");
    EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
    EXPECT_EQ(StringReplace("aaa", "aa", "a", rfReplaceAll), "aa");

    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
    const struct {
        const char* text;
        const char* expected;
    } dequoted[] = {{"'it''s'", "it's"}, {"'ab'cd", "ab"}, {"ab", "ab"},
                    {"'ab", "'ab"},      {"''", ""},       {"", ""}};
    for (const auto& c : dequoted) EXPECT_EQ(AnsiDequotedStr(c.text, '\''), c.expected) << c.text;
}

TEST_F(SysUtilsTest, FileNameParts) {
    const struct {
        const char* name;
        const char* path;
        const char* file;
        const char* ext;
        const char* changed;
    } cases[] = {
        {"/opt/kvx/MarshalC.ini", "/opt/kvx/", "MarshalC.ini", ".ini", "/opt/kvx/MarshalC.bak"},
        {"C:\\KVX\\Log\\a.b.txt", "C:\\KVX\\Log\\", "a.b.txt", ".txt", "C:\\KVX\\Log\\a.b.bak"},
        {"noext", "", "noext", "", "noext.bak"},
        {"/dir.d/noext", "/dir.d/", "noext", "", "/dir.d/noext.bak"},
        {"/dir/", "/dir/", "", "", "/dir/.bak"},
        {"", "", "", "", ".bak"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
        EXPECT_EQ(ChangeFileExt(c.name, ".bak"), c.changed) << c.name;
    }
    EXPECT_EQ(ExtractFileDir("/opt/kvx/a.ini"), "/opt/kvx");
    EXPECT_EQ(ExtractFileDir("/a.ini"), "/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/opt"), "/opt/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/"), "/opt/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/opt/"), "/opt");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/opt"), "/opt");
}

TEST_F(SysUtilsTest, FilesAndDirectories) {
    char pattern[] = "/tmp/kvx_sysutils_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    const std::string nested = root + "/a/b/c/";
    EXPECT_TRUE(ForceDirectories(nested));
    EXPECT_TRUE(ForceDirectories(nested)); // already there
    EXPECT_TRUE(DirectoryExists(root + "/a/b/c"));
    EXPECT_FALSE(FileExists(root + "/a/b/c"));

    const std::string file = root + "/a/f.txt";
    EXPECT_FALSE(FileExists(file));
    std::ofstream(file) << "x";
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(ForceDirectories(file + "/sub")); // a file is in the way
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_TRUE(DeleteFile(file));
    EXPECT_FALSE(DeleteFile(file));
    EXPECT_FALSE(DeleteFile(root + "/a")); // not a file
    EXPECT_FALSE(FileExists(""));
    std::filesystem::remove_all(root);
}
