// Published properties: look-up, the by-name setter on every kind, dotted paths, published methods.
#include "rtti/PropValue.h"
#include "rtti/Publish.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

KVRT_ENUM(TGadgetShape, gsRound, gsSquare, gsStar)
KVRT_ENUM(TGadgetOption, goShiny, goLoud, goHeavy)
KVRT_SET(TGadgetOptions, TGadgetOption)

class TGadgetFont : public TPersistent {
    KVRT_CLASS(TGadgetFont, TPersistent)
public:
    std::string FName = "Arial";
    int FSize = 9;
};
KVRT_PUBLISHED(TGadgetFont) {
    P.Property("Name", &TGadgetFont::FName, &TGadgetFont::FName);
    P.Property("Size", &TGadgetFont::FSize, &TGadgetFont::FSize);
}

class TGadget : public TPersistent {
    KVRT_CLASS(TGadget, TPersistent)
public:
    TGadget() : FFont(new TGadgetFont) {}
    ~TGadget() override { delete FFont; }

    int GetWidth() const { return FWidth; }
    void SetWidth(int v) {
        FWidth = v;
        ++FWidthSets;
    }
    TGadgetFont* GetFont() const { return FFont; }
    void SetFont(TGadgetFont* f) { FFont->FName = f->FName, FFont->FSize = f->FSize; }

    void Poke(TObject* sender) { Log += "poke:" + (sender ? sender->ClassName() : std::string("nil")) + ";"; }
    void Prod(TObject*) { Log += "prod;"; }
    void Count(TObject*, int& n) { ++n; }

    int FWidth = 0;
    int FWidthSets = 0;
    int64_t FBig = 0;
    bool FActive = false;
    char FAccel = 'a';
    char16_t FWide = u'x';
    TGadgetShape FShape = gsRound;
    TGadgetOptions FOptions;
    double FRatio = 0;
    std::string FCaption;
    int FReadOnly = 7;
    TGadgetFont* FFont;
    TNotifyEvent FOnPoke;
    std::string Log;
};
KVRT_PUBLISHED(TGadget) {
    P.Property("Width", &TGadget::GetWidth, &TGadget::SetWidth);
    P.Property("Big", &TGadget::FBig, &TGadget::FBig);
    P.Property("Active", &TGadget::FActive, &TGadget::FActive);
    P.Property("Accel", &TGadget::FAccel, &TGadget::FAccel);
    P.Property("Wide", &TGadget::FWide, &TGadget::FWide);
    P.Property("Shape", &TGadget::FShape, &TGadget::FShape);
    P.Property("Options", &TGadget::FOptions, &TGadget::FOptions);
    P.Property("Ratio", &TGadget::FRatio, &TGadget::FRatio);
    P.Property("Caption", &TGadget::FCaption, &TGadget::FCaption);
    P.Property("ReadOnlyValue", &TGadget::FReadOnly);
    P.Property("Font", &TGadget::GetFont, &TGadget::SetFont);
    P.Property("OnPoke", &TGadget::FOnPoke, &TGadget::FOnPoke);
    P.Method<&TGadget::Poke>("Poke");
    P.Method<&TGadget::Prod>("Prod");
    P.Method<&TGadget::Count>("Count");
}

class TBigGadget : public TGadget {
    KVRT_CLASS(TBigGadget, TGadget)
public:
    std::string FWidthText = "wide";
};
KVRT_PUBLISHED(TBigGadget) {
    // Redeclares Width with another type; the ancestor's keeps its place in the list.
    P.Property("Width", &TBigGadget::FWidthText, &TBigGadget::FWidthText);
    P.Property("Extra", &TBigGadget::FReadOnly, &TBigGadget::FReadOnly);
}

TEST(Properties, LookupIgnoresCaseAndFollowsInheritance) {
    TBigGadget g;
    ASSERT_NE(GetPropInfo(&g, "caption"), nullptr);
    EXPECT_EQ(GetPropInfo(&g, "CAPTION")->Name, "Caption");
    EXPECT_EQ(GetPropInfo(&g, "Font")->PropType->Name, "TGadgetFont");
    EXPECT_EQ(GetPropInfo(&g, "Font")->Kind(), tkClass);
    EXPECT_EQ(GetPropInfo(&g, "Active")->PropType->Name, "Boolean");
    EXPECT_EQ(GetPropInfo(&g, "Options")->PropType->Name, "TGadgetOptions");
    EXPECT_EQ(GetPropInfo(&g, "OnPoke")->PropType->Name, "TNotifyEvent");
    EXPECT_EQ(GetPropInfo(&g, "Width")->Kind(), tkLString);
    EXPECT_EQ(GetPropInfo(&g, "Nope"), nullptr);

    auto list = GetPropList(&g);
    ASSERT_EQ(list.front()->Name, "Width");
    EXPECT_EQ(list.front()->Kind(), tkLString);
    EXPECT_EQ(list.back()->Name, "Extra");
}

struct SetCase {
    const char* prop;
    const char* text;
    const char* expected; // GetPropText afterwards
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << c.prop << " = '" << c.text << "'";
}

class PropertyTextSetter : public ::testing::TestWithParam<SetCase> {};

TEST_P(PropertyTextSetter, StoresAndReadsBack) {
    TGadget g;
    SetPropPath(&g, GetParam().prop, GetParam().text);
    EXPECT_EQ(GetPropPath(&g, GetParam().prop), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, PropertyTextSetter,
    ::testing::Values(SetCase{"Width", " 42 ", "42"}, SetCase{"Width", "-7", "-7"},
                      SetCase{"Width", "$1F", "31"}, SetCase{"Width", "$FFFFFFFF", "-1"},
                      SetCase{"Big", "9000000000", "9000000000"}, SetCase{"Active", "true", "True"},
                      SetCase{"Active", "False", "False"}, SetCase{"Active", "1", "True"},
                      SetCase{"Accel", "Z", "Z"}, SetCase{"Accel", "#65", "A"}, SetCase{"Wide", "中", "中"},
                      SetCase{"Shape", " gsstar ", "gsStar"}, SetCase{"Shape", "1", "gsSquare"},
                      SetCase{"Options", "[goShiny, goHeavy]", "goShiny,goHeavy"},
                      SetCase{"Options", "goLoud", "goLoud"}, SetCase{"Options", "[]", ""},
                      SetCase{"Ratio", "1.25", "1.25"}, SetCase{"Ratio", " -2e3", "-2000"},
                      SetCase{"Caption", " it's ", " it's "}, SetCase{"Font.Name", "宋体", "宋体"},
                      SetCase{" Font . Size ", "12", "12"}));

struct BadCase {
    const char* prop;
    const char* text;
    bool convertError; // EConvertError, else EPropertyError
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.prop << " = '" << c.text << "'";
}

class PropertyTextSetterRejects : public ::testing::TestWithParam<BadCase> {};

TEST_P(PropertyTextSetterRejects, RaisesAndKeepsTheValue) {
    TGadget g;
    std::string before = IsPublishedProp(&g, GetParam().prop) ? GetPropText(&g, GetParam().prop) : "";
    if (GetParam().convertError)
        EXPECT_THROW(SetPropPath(&g, GetParam().prop, GetParam().text), EConvertError);
    else
        EXPECT_THROW(SetPropPath(&g, GetParam().prop, GetParam().text), EPropertyError);
    if (IsPublishedProp(&g, GetParam().prop)) {
        EXPECT_EQ(GetPropText(&g, GetParam().prop), before);
    }
    EXPECT_EQ(g.FWidthSets, 0);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, PropertyTextSetterRejects,
    ::testing::Values(BadCase{"Width", "abc", true}, BadCase{"Width", "12 3", true},
                      BadCase{"Width", "", true}, BadCase{"Width", "3000000000", true},
                      BadCase{"Accel", "ab", true}, BadCase{"Ratio", "1,5", true},
                      BadCase{"Active", "yes", false}, BadCase{"Shape", "gsOval", false},
                      BadCase{"Shape", "3", false}, BadCase{"Options", "[goShiny, goNone]", false},
                      BadCase{"Options", "[goShiny", false}, BadCase{"ReadOnlyValue", "1", false},
                      BadCase{"Font", "x", false}, BadCase{"OnPoke", "Poke", false},
                      BadCase{"NoSuchProp", "1", false}, BadCase{"Font.NoSuch", "1", false},
                      BadCase{"Caption.Name", "1", false}));

TEST(Properties, TypedAccessChecksKinds) {
    TGadget g;
    SetOrdProp(&g, "Width", 5);
    EXPECT_EQ(g.FWidth, 5);
    EXPECT_EQ(GetOrdProp(&g, "Options"), 0);
    SetSetProp(&g, "Options", "goLoud,goHeavy");
    EXPECT_EQ(GetSetProp(&g, "Options", true), "[goLoud,goHeavy]");
    EXPECT_EQ(GetEnumProp(&g, "active"), "False");
    EXPECT_THROW(SetStrProp(&g, "Width", "1"), EPropertyError);
    EXPECT_THROW(GetFloatProp(&g, "Caption"), EPropertyError);
    EXPECT_THROW(GetOrdProp(&g, "Missing"), EPropertyError);

    TGadgetFont other;
    other.FName = "Courier";
    SetObjectProp(&g, "Font", &other);
    EXPECT_EQ(g.FFont->FName, "Courier");
    TGadget wrongClass;
    EXPECT_THROW(SetObjectProp(&g, "Font", &wrongClass), EPropertyError);
    EXPECT_EQ(GetObjectProp(&g, "Font"), g.FFont);
}

TEST(PublishedMethods, FoundByNameAndCalledThroughTheEvent) {
    TGadget g;
    TMethod m = FindPublishedMethod(&g, "poke");
    ASSERT_TRUE(m.Assigned());
    SetMethodProp(&g, "OnPoke", m);
    g.FOnPoke(&g);
    EXPECT_EQ(g.Log, "poke:TGadget;");
    EXPECT_EQ(GetPropText(&g, "OnPoke"), "Poke");
    EXPECT_EQ(g.MethodName(m.Code), "Poke");

    // The typed look-up refuses a method whose signature does not fit the event.
    EXPECT_FALSE(FindPublishedHandler<TNotifyEvent>(&g, "Count").Assigned());
    EXPECT_TRUE(FindPublishedHandler<TNotifyEvent>(&g, "PROD").Assigned());
    EXPECT_FALSE(FindPublishedMethod(&g, "Missing").Assigned());
}

TEST(Properties, VariantValuesByKind) {
    TGadget g;
    SetPropValue(&g, "Width", Variant(12));
    SetPropValue(&g, "Active", Variant(true));
    SetPropValue(&g, "Shape", Variant("gsStar"));
    SetPropValue(&g, "Ratio", Variant(2.5));
    SetPropValue(&g, "Caption", Variant(7));
    EXPECT_EQ(g.FWidth, 12);
    EXPECT_TRUE(g.FActive);
    EXPECT_EQ(g.FShape, gsStar);
    EXPECT_EQ(g.FCaption, "7");
    EXPECT_EQ(GetPropValue(&g, "Shape").AsString(), "gsStar");
    EXPECT_EQ(GetPropValue(&g, "Shape", false).AsInteger(), 2);
    EXPECT_EQ(GetPropValue(&g, "Active", false).VarType(), varBoolean);
    EXPECT_DOUBLE_EQ(GetPropValue(&g, "Ratio").AsDouble(), 2.5);
    EXPECT_THROW(SetPropValue(&g, "Shape", Variant(9)), EPropertyError);
    EXPECT_THROW(SetPropValue(&g, "Width", Variant("abc")), EConvertError);
    EXPECT_THROW(GetPropValue(&g, "Font"), EPropertyError);
}

} // namespace
} // namespace rt
