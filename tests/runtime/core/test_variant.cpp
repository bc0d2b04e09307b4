#include "automation/Dispatch.h"
#include "core/Variant.h"

#include <gtest/gtest.h>
#include <limits>

using namespace rt;

TEST(VariantConversion, TextToIntegerFollowsThePlatform) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"12", 12},  {" 12", 12},  {" 12 ", 12}, {"1,234", 1234}, {"12.5", 12}, {"13.5", 14},
        {"$1F", 31}, {"0x1F", 31}, {"True", -1}, {"false", 0},    {"-7", -7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Variant(c.text).AsInteger(), c.expected) << c.text;
        EXPECT_EQ(Variant(Utf8ToUtf16(c.text)).AsInteger(), c.expected) << c.text;
    }
    for (const char* bad : {"abc", "", "1,", ",1", "12abc"})
        EXPECT_THROW(Variant(bad).AsInteger(), EVariantTypeCastError) << bad;
    EXPECT_THROW(Variant::Null().AsInteger(), EVariantTypeCastError);
    EXPECT_EQ(Variant().AsInteger(), 0);
}

TEST(VariantConversion, TextTakesOneSign) {
    for (const char* bad : {"+-5", "-+5", "++5", "--5", "+-$5"}) {
        EXPECT_THROW(Variant(bad).AsInteger(), EVariantTypeCastError) << bad;
        EXPECT_THROW(Variant(bad).AsDouble(), EVariantTypeCastError) << bad;
    }
    EXPECT_EQ(Variant("+5").AsInteger(), 5);
    EXPECT_EQ(Variant("-$5").AsInteger(), -5);
}

TEST(VariantConversion, HexTextUsesTheFullWidth) {
    EXPECT_EQ(Variant("$FFFFFFFFFFFFFFFF").AsInt64(), -1);
    EXPECT_EQ(Variant("$8000000000000000").AsInt64(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(Variant("-$8000000000000000").AsInt64(), std::numeric_limits<int64_t>::min());
}

TEST(VariantConversion, TextToDoubleReadsTheSameForms) {
    EXPECT_EQ(Variant(" 1,234.5 ").AsDouble(), 1234.5);
    EXPECT_EQ(Variant("$1F").AsDouble(), 31.0);
    EXPECT_EQ(Variant("x10").AsDouble(), 16.0);
    EXPECT_EQ(Variant("TRUE").AsDouble(), -1.0);
    EXPECT_EQ(Variant(u" False ").AsDouble(), 0.0);
    for (const char* bad : {"abc", "", "1,", "$", "12abc"})
        EXPECT_THROW(Variant(bad).AsDouble(), EVariantTypeCastError) << bad;
}

TEST(VariantConversion, NumbersRoundHalfToEvenAndBooleansAreMinusOne) {
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(-2.5).AsInteger(), -2);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant(false).AsInteger(), 0);
    EXPECT_THROW(Variant(1e30).AsInteger(), EVariantTypeCastError);
}

TEST(VariantConversion, Booleans) {
    EXPECT_TRUE(Variant("True").AsBoolean());
    EXPECT_TRUE(Variant("true").AsBoolean());
    EXPECT_TRUE(Variant("1").AsBoolean());
    EXPECT_FALSE(Variant("0").AsBoolean());
    EXPECT_TRUE(Variant(5).AsBoolean());
    EXPECT_THROW(Variant("yes").AsBoolean(), EVariantTypeCastError);
    EXPECT_THROW(Variant("").AsBoolean(), EVariantTypeCastError);
}

TEST(VariantConversion, ToText) {
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(false).AsString(), "False");
    EXPECT_EQ(Variant(-5).AsString(), "-5");
    EXPECT_EQ(Variant(1.5).AsString(), "1.5");
    EXPECT_EQ(Variant(100.0).AsString(), "100");
    EXPECT_EQ(Variant(1e20).AsString(), "1E20");
    EXPECT_EQ(Variant(1.5e-7).AsString(), "1.5E-7");
    EXPECT_EQ(VarToStr(Variant::Null()), "");
    EXPECT_EQ(VarToStr(Variant()), "");
    EXPECT_THROW(Variant::Null().AsString(), EVariantTypeCastError);
    EXPECT_EQ(Variant(u"中文").AsString(), "中文");
    EXPECT_EQ(Variant("中文").AsWideString(), u"中文");
}

TEST(VariantConversion, Utf8RoundTripAndBrokenInput) {
    const std::string text = "收料单 ABC \xF0\x9F\x98\x80";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xE4\xB8"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(VariantCompare, PlatformRules) {
    EXPECT_TRUE(Variant("0") == Variant(0));
    EXPECT_TRUE(Variant(" 0 ") == Variant(0));
    EXPECT_THROW((void)(Variant("abc") == Variant(0)), EVariantTypeCastError);
    EXPECT_THROW((void)(Variant("") == Variant(0)), EVariantTypeCastError);
    EXPECT_FALSE(Variant("abc") == Variant("ABC"));
    EXPECT_TRUE(Variant("abc") == Variant(u"abc"));
    EXPECT_TRUE(Variant::Null() == Variant::Null());
    EXPECT_FALSE(Variant::Null() == Variant(0));
    EXPECT_TRUE(Variant::Null() != Variant(""));
    EXPECT_FALSE(Variant(1) == Variant(true));
    EXPECT_TRUE(Variant(-1) == Variant(true));
    EXPECT_TRUE(Variant() == Variant(0));
    EXPECT_TRUE(Variant() == Variant(""));
    EXPECT_TRUE(Variant(1) < Variant(2.5));
    EXPECT_TRUE(Variant("a") < Variant("b"));
}

TEST(VariantArray, CreateBoundsAndIndexErrors) {
    Variant a = VarArrayCreate({1, 12});
    EXPECT_TRUE(VarIsArray(a));
    EXPECT_EQ(VarArrayDimCount(a), 1);
    EXPECT_EQ(VarArrayLowBound(a, 1), 1);
    EXPECT_EQ(VarArrayHighBound(a, 1), 12);
    EXPECT_TRUE(VarIsEmpty(a[1]));
    EXPECT_THROW(a[0], EVariantBadIndexError);
    EXPECT_THROW(a[13], EVariantBadIndexError);
    EXPECT_THROW(VarArrayCreate({1, 2, 3}), EVariantArrayCreateError);
    EXPECT_THROW(VarArrayCreate({5, 3}), EVariantArrayCreateError);
    EXPECT_THROW(a.LowBound(2), EVariantBadIndexError);
    EXPECT_EQ(VarArrayDimCount(Variant(3)), 0);
    EXPECT_EQ(VarArrayCreate({0, -1}).ElementCount(), 0);

    Variant g = VarArrayCreate({-2, 0, 10, 11});
    EXPECT_EQ(g.DimCount(), 2);
    g(-2, 11) = 7;
    g(0, 10) = "x";
    EXPECT_EQ(g(-2, 11).AsInteger(), 7);
    EXPECT_EQ(g(0, 10).VarType(), varOleStr);
    EXPECT_THROW(g(1, 10), EVariantBadIndexError);
    EXPECT_THROW(g[0], EVariantBadIndexError);
}

TEST(VariantArray, ByteTextsStoredIntoVariantElementsBecomeWide) {
    Variant a = VarArrayOf({"abc", 1, std::string("中")});
    EXPECT_EQ(a[0].VarType(), varOleStr);
    EXPECT_EQ(a[1].VarType(), varInteger);
    EXPECT_EQ(a[2].get().AsWideString(), u"中");
    a[1] = std::string("z");
    EXPECT_EQ(a[1].VarType(), varOleStr);
    Variant typed = VarArrayCreate({0, 1}, varInteger);
    typed[0] = "42";
    EXPECT_EQ(typed[0].VarType(), varInteger);
    EXPECT_EQ(typed[0].AsInteger(), 42);
}

TEST(VariantArray, RedimKeepsDataOnTheLastDimension) {
    Variant a = VarArrayOf({1, 2, 3});
    VarArrayRedim(a, 5);
    EXPECT_EQ(a.HighBound(), 5);
    EXPECT_EQ(a[2].AsInteger(), 3);
    EXPECT_TRUE(a[5].IsEmpty());
    VarArrayRedim(a, 0);
    EXPECT_EQ(a.ElementCount(), 1);
    EXPECT_EQ(a[0].AsInteger(), 1);

    Variant g = VarArrayCreate({0, 1, 0, 1});
    g(1, 0) = 10;
    g(0, 1) = 20;
    VarArrayRedim(g, 3);
    EXPECT_EQ(g.HighBound(1), 1);
    EXPECT_EQ(g.HighBound(2), 3);
    EXPECT_EQ(g(1, 0).AsInteger(), 10);
    EXPECT_EQ(g(0, 1).AsInteger(), 20);
    EXPECT_TRUE(g(1, 3).IsEmpty());
    EXPECT_THROW(VarArrayRedim(g, -2), EVariantArrayCreateError);
}

TEST(VariantArray, CopiesAreIndependentAndNestedArraysWork) {
    Variant inner = VarArrayOf({"a", "b"});
    Variant outer = VarArrayOf({inner, 5});
    Variant copy = outer;
    outer[0][1] = "changed";
    EXPECT_EQ(outer[0][1].AsString(), "changed");
    EXPECT_EQ(copy[0][1].AsString(), "b");
    EXPECT_EQ(inner[1].AsString(), "b");
    EXPECT_TRUE(copy.Identical(VarArrayOf({VarArrayOf({"a", "b"}), 5})));
    EXPECT_FALSE(copy.Identical(outer));
}

TEST(VariantKinds, Predicates) {
    EXPECT_TRUE(VarIsEmpty(Variant()));
    EXPECT_FALSE(VarIsEmpty(Variant::Null()));
    EXPECT_TRUE(VarIsNull(Variant::Null()));
    EXPECT_FALSE(VarIsNull(Variant()));
    EXPECT_EQ(VarType(Variant(TDateTime(45000.5))), varDate);
    EXPECT_EQ(VarType(Variant(short{1})), varSmallint);
    EXPECT_EQ(VarType(Variant(size_t{1})), varInt64);
    EXPECT_EQ(VarType(VarArrayOf({})), varArray | varVariant);
    EXPECT_EQ(VarTypeName(varArray | varVariant), "Array Variant");
}

namespace {
class Echo : public TAutoObject {
public:
    Echo() {
        AddMethod("Twice", [](std::vector<Variant>& a) { return Variant(a.at(0).AsInteger() * 2); });
        AddMethod("Fill", [](std::vector<Variant>& a) {
            a.at(0) = "filled";
            return Variant(true);
        });
        AddProperty(
            "Value", [this](std::vector<Variant>&) { return FValue; },
            [this](std::vector<Variant>&, const Variant& v) { FValue = v; });
    }
    std::string DispatchClassName() const override { return "Echo"; }
    Variant FValue;
};
} // namespace

TEST(Automation, LateBoundCallsByNameIgnoringCase) {
    Variant obj(DispatchPtr(std::make_shared<Echo>()));
    EXPECT_EQ(OleCall(obj, "twice", {21}).AsInteger(), 42);
    Variant holder;
    EXPECT_TRUE(OleCall(obj, "FILL", {OleArg::ByRef(holder)}).AsBoolean());
    EXPECT_EQ(holder.AsString(), "filled");
    OleSet(obj, "Value", 5);
    EXPECT_EQ(OleGet(obj, "value").AsInteger(), 5);
    EXPECT_THROW(OleCall(obj, "Missing"), EOleError);
    EXPECT_THROW(OleCall(Variant(), "Twice", {1}), EOleError);
    Variant copy = obj;
    EXPECT_TRUE(copy == obj);
}
