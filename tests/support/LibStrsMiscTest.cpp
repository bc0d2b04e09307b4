// Variant helpers, code pages, numbers, captions and system facts.
#include "support/LibStrs.h"

#include "SupportTestEnv.h"
#include "core/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kvx;
using rt::VarArrayOf;
using rt::Variant;

namespace {

TEST(LibStrsVariant, IIfVarAndVarIsBlank) {
    EXPECT_EQ(IIfVar(true, Variant(1), Variant("b")).AsInteger(), 1);
    EXPECT_EQ(IIfVar(false, Variant(1), Variant("b")).AsString(), "b");
    EXPECT_TRUE(VarIsBlank(Variant()));
    EXPECT_TRUE(VarIsBlank(Variant::Null()));
    EXPECT_FALSE(VarIsBlank(Variant("")));
    EXPECT_FALSE(VarIsBlank(Variant(0)));
}

TEST(LibStrsVariant, PackCountedJoinsTheCountAndItems) {
    EXPECT_EQ(PackCounted("P", VarArrayOf({2, "x", "y"})), u"P\x03"
                                                           u"2\x03x\x03y\x03");
    EXPECT_EQ(PackCounted("权限", VarArrayOf({"1", 3.5, "extra"})), u"权限\x03"
                                                                    u"1\x03"
                                                                    u"3.5\x03");
    EXPECT_EQ(PackCounted("P", VarArrayOf({0})), u"P\x03"
                                                 u"0\x03");
    // Malformed lists give an empty text instead of raising.
    EXPECT_EQ(PackCounted("P", VarArrayOf({3, "x"})), u"");
    EXPECT_EQ(PackCounted("P", VarArrayOf({"many", "x"})), u"");
    EXPECT_EQ(PackCounted("P", Variant("x")), u"");
    EXPECT_EQ(PackCounted("P", rt::VarArrayCreate({1, 2})), u"");
}

TEST(LibStrsCodePage, TextsKeepTheCharactersTheCodePageHas) {
    EXPECT_EQ(WideToCodePage(u"报表 abc", 936), "报表 abc");
    EXPECT_EQ(WideToCodePage(u"報表", 950), "報表");
    // Simplified characters BIG5 lacks, and Chinese in the English code page, become "?".
    EXPECT_EQ(WideToCodePage(u"报", 950), "?");
    EXPECT_EQ(WideToCodePage(u"报表", 437), "??");
    EXPECT_EQ(CodePageToWide("报表 abc", 936), u"报表 abc");
    EXPECT_EQ(CodePageToWide("", 950), u"");
}

TEST(LibStrsCodePage, VariantConversionLeavesNonTextsAndBlanksAlone) {
    EXPECT_TRUE(VarFromCodePage(Variant(), 936).IsEmpty());
    EXPECT_TRUE(VarFromCodePage(Variant::Null(), 936).IsNull());
    EXPECT_TRUE(VarToCodePage(Variant::Null(), 936).IsNull());
    EXPECT_EQ(VarToCodePage(Variant(12), 936).VarType(), rt::varInteger);

    const Variant scalarTo = VarToCodePage(Variant(u"报表"), 936);
    EXPECT_EQ(scalarTo.VarType(), rt::varString);
    EXPECT_EQ(scalarTo.AsString(), "报表");
    const Variant scalarFrom = VarFromCodePage(Variant("报表"), 936);
    EXPECT_EQ(scalarFrom.VarType(), rt::varOleStr);
    EXPECT_EQ(scalarFrom.AsWideString(), u"报表");
}

TEST(LibStrsCodePage, VariantArraysAreWalkedNestedInOneDimensionAndFlatInTwo) {
    const rt::TDateTime day = rt::EncodeDate(2026, 12, 9);
    const Variant job = VarArrayOf({"报表", 7, Variant(day), VarArrayOf({"收货", VarArrayOf({"报"})})});
    const Variant big5 = VarToCodePage(job, 950);
    EXPECT_EQ(big5[0].AsWideString(), u"?表"); // BIG5 has 表 but not 报
    EXPECT_EQ(big5[0].VarType(), rt::varOleStr);
    EXPECT_EQ(big5[1].VarType(), rt::varInteger);
    EXPECT_EQ(big5[2].VarType(), rt::varDate);
    EXPECT_EQ(big5[3][0].AsWideString(), u"收?");
    EXPECT_EQ(big5[3][1][0].AsWideString(), u"?");
    EXPECT_TRUE(VarFromCodePage(job, 936).Identical(job));
    EXPECT_EQ(job[0].AsWideString(), u"报表"); // the input is a copy, untouched

    Variant grid = rt::VarArrayCreate({0, 1, 0, 1});
    grid(0, 0) = Variant("报");
    grid(0, 1) = Variant(3.5);
    grid(1, 0) = VarArrayOf({"报"});
    grid(1, 1) = Variant(day);
    const Variant converted = VarToCodePage(grid, 437);
    EXPECT_EQ(converted(0, 0).AsWideString(), u"?");
    EXPECT_EQ(converted(0, 1).AsDouble(), 3.5);
    EXPECT_EQ(converted(1, 0)[0].AsWideString(), u"报"); // nested arrays of a grid are left alone
    EXPECT_EQ(converted(1, 1).VarType(), rt::varDate);
}

TEST(LibStrsMisc, StrToExtDefReadsPlainNumbersOnly) {
    const struct {
        const char* Text;
        double Expected;
    } cases[] = {
        {"1.5", 1.5}, {"-2", -2},  {"+3.25", 3.25}, {"1e3", 1000}, {"2.5E-1", 0.25}, {"  7", 7},
        {".5", 0.5},  {"5.", 5},   {"", -1},        {"abc", -1},   {"1,000", -1},    {"1.5 ", -1},
        {"1e", -1},   {"$1F", -1}, {"inf", -1},     {"nan", -1},   {"0x10", -1},     {"1e999", -1},
        {"-", -1},    {".", -1},   {"1.2.3", -1},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(StrToExtDef(c.Text, -1), c.Expected) << c.Text;
}

TEST(LibStrsMisc, LocalizeButtonCaptionMatchesExactly) {
    EXPECT_EQ(LocalizeButtonCaption("Yes"), "是(&Y)");
    EXPECT_EQ(LocalizeButtonCaption("NoToAll"), "全否(&o)");
    EXPECT_EQ(LocalizeButtonCaption("OK"), "确定");
    EXPECT_EQ(LocalizeButtonCaption("Help"), "帮助(&H)");
    EXPECT_EQ(LocalizeButtonCaption("yes"), "yes");
    EXPECT_EQ(LocalizeButtonCaption(""), "");
}

TEST(LibStrsMisc, IsLocalHostAndGetTempDir) {
    EXPECT_TRUE(IsLocalHost("127.0.0.1"));
    EXPECT_FALSE(IsLocalHost("localhost"));
    EXPECT_FALSE(IsLocalHost(" 127.0.0.1"));
    kvx::testing::TempDir dir;
    kvx::testing::ScopedEnv tmp("TMPDIR", dir.Path());
    EXPECT_EQ(GetTempDir(), dir.Path());
}

} // namespace
