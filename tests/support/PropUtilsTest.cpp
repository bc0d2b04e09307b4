// The property helpers by name on published properties.
#include "support/PropUtils.h"

#include "rtti/Publish.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace kvxtest {

KVRT_ENUM(TWidgetMode, wmPlain, wmFancy, wmLoud)

class TWidgetPart : public rt::TPersistent {
    KVRT_CLASS(TWidgetPart, rt::TPersistent)
};
KVRT_PUBLISHED(TWidgetPart) {}

class TWidget : public rt::TPersistent {
    KVRT_CLASS(TWidget, rt::TPersistent)
public:
    void Clicked(rt::TObject*) { Log += "clicked;"; }
    void Other(rt::TObject*) { Log += "other;"; }

    std::string FCaption = "确定";
    int FColor = 11534335;
    bool FChecked = true;
    TWidgetMode FMode = wmFancy;
    int FFixed = 4;
    double FRatio = 1.5;
    TWidgetPart* FPart = nullptr;
    rt::TNotifyEvent FOnClick;
    std::string Log;
};
KVRT_PUBLISHED(TWidget) {
    P.Property("Caption", &TWidget::FCaption, &TWidget::FCaption);
    P.Property("Color", &TWidget::FColor, &TWidget::FColor);
    P.Property("Checked", &TWidget::FChecked, &TWidget::FChecked);
    P.Property("Mode", &TWidget::FMode, &TWidget::FMode);
    P.Property("Fixed", &TWidget::FFixed);
    P.Property("Ratio", &TWidget::FRatio, &TWidget::FRatio);
    P.Property("Part", &TWidget::FPart, &TWidget::FPart);
    P.Property("OnClick", &TWidget::FOnClick, &TWidget::FOnClick);
    P.Method<&TWidget::Clicked>("Clicked");
}

} // namespace kvxtest

namespace {

using kvxtest::TWidget;

TEST(PropUtils, HasPropByNameIgnoresCaseAndRefusesNothing) {
    TWidget w;
    EXPECT_TRUE(HasPropByName(&w, "Caption"));
    EXPECT_TRUE(HasPropByName(&w, "onclick"));
    EXPECT_FALSE(HasPropByName(&w, "Text"));
    EXPECT_FALSE(HasPropByName(&w, ""));
    EXPECT_FALSE(HasPropByName(nullptr, "Caption"));
}

TEST(PropUtils, ReadingByKind) {
    kvxtest::TWidgetPart part;
    TWidget w;
    w.FPart = &part;
    EXPECT_EQ(GetStrPropByName(&w, "caption"), "确定");
    EXPECT_EQ(GetStrPropByName(&w, "Color"), "");
    EXPECT_EQ(GetStrPropByName(&w, "Missing"), "");
    EXPECT_EQ(GetStrPropByName(nullptr, "Caption"), "");

    EXPECT_EQ(GetOrdPropByName(&w, "Color"), 11534335);
    EXPECT_EQ(GetOrdPropByName(&w, "Checked"), 1);
    EXPECT_EQ(GetOrdPropByName(&w, "Mode"), 1);
    EXPECT_EQ(GetOrdPropByName(&w, "Part"), reinterpret_cast<intptr_t>(&part));
    EXPECT_EQ(GetOrdPropByName(&w, "Caption"), 0);
    EXPECT_EQ(GetOrdPropByName(&w, "Ratio"), 0);
    EXPECT_EQ(GetOrdPropByName(&w, "Missing"), 0);
    EXPECT_EQ(GetOrdPropByName(nullptr, "Color"), 0);
}

TEST(PropUtils, WritingOnlyWhatIsPublishedAndWritable) {
    kvxtest::TWidgetPart part;
    TWidget w;
    SetStrPropByName(&w, "CAPTION", "取消");
    SetOrdPropByName(&w, "Color", 255);
    SetOrdPropByName(&w, "Checked", 0);
    EXPECT_FALSE(w.FChecked);
    SetOrdPropByName(&w, "Checked", -1); // True as a Variant holds it
    EXPECT_TRUE(w.FChecked);
    SetOrdPropByName(&w, "Checked", 0);
    SetOrdPropByName(&w, "Mode", 2);
    EXPECT_EQ(w.FCaption, "取消");
    EXPECT_EQ(w.FColor, 255);
    EXPECT_FALSE(w.FChecked);
    EXPECT_EQ(w.FMode, kvxtest::wmLoud);

    // Unknown names, wrong kinds, read-only properties, bad values and null objects change nothing.
    SetStrPropByName(&w, "Text", "x");
    SetStrPropByName(&w, "Color", "x");
    SetOrdPropByName(&w, "Fixed", 9);
    SetOrdPropByName(&w, "Caption", 9);
    SetOrdPropByName(&w, "Mode", 77);
    SetOrdPropByName(&w, "Mode", -1);
    SetOrdPropByName(&w, "Part", reinterpret_cast<intptr_t>(&part));
    SetOrdPropByName(nullptr, "Color", 1);
    SetStrPropByName(nullptr, "Caption", "x");
    EXPECT_EQ(w.FCaption, "取消");
    EXPECT_EQ(w.FColor, 255);
    EXPECT_EQ(w.FFixed, 4);
    EXPECT_EQ(w.FMode, kvxtest::wmLoud);
    EXPECT_EQ(w.FPart, nullptr);
}

TEST(PropUtils, EventHandlersCanBeSavedReplacedAndRestored) {
    TWidget w;
    EXPECT_FALSE(GetMethodPropByName(&w, "OnClick").Assigned());
    w.FOnClick = rt::Handler<&TWidget::Clicked>(&w);

    const rt::TMethod saved = GetMethodPropByName(&w, "onClick");
    EXPECT_EQ(saved, w.FOnClick.Method());
    SetMethodPropByName(&w, "OnClick", rt::Handler<&TWidget::Other>(&w).Method());
    w.FOnClick(&w);
    SetMethodPropByName(&w, "OnClick", saved);
    w.FOnClick(&w);
    EXPECT_EQ(w.Log, "other;clicked;");

    EXPECT_FALSE(GetMethodPropByName(&w, "Caption").Assigned());
    EXPECT_FALSE(GetMethodPropByName(&w, "OnExit").Assigned());
    EXPECT_FALSE(GetMethodPropByName(nullptr, "OnClick").Assigned());
    SetMethodPropByName(&w, "Caption", saved);
    SetMethodPropByName(nullptr, "OnClick", saved);
    EXPECT_EQ(w.FCaption, "确定");
}

} // namespace


namespace {

struct ClickLog : rt::TObject {
    void MouseDown(rt::TObject*, rt::TMouseButton, rt::TShiftState, int x, int y) {
        Text += "down " + std::to_string(x) + "," + std::to_string(y) + ";";
    }
    void Clicked(rt::TObject*) { Text += "click;"; }
    std::string Text;
};

TEST(PropUtils, SimulateClickPressesAndReleasesTheLeftButton) {
    rt::TOwnedPtr<rt::TCheckBox> box(rt::New<rt::TCheckBox>(nullptr));
    ClickLog log;
    box->OnMouseDown = rt::Handler<&ClickLog::MouseDown>(&log);
    box->OnClick = rt::Handler<&ClickLog::Clicked>(&log);

    SimulateClick(box.get(), 0, (7 << 16) | 5);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(log.Text, "down 5,7;click;");
    SimulateClick(nullptr, 0, 0);

    // The same control through the helpers, as the forms address value properties and events.
    EXPECT_TRUE(HasPropByName(box.get(), "Checked"));
    EXPECT_EQ(GetOrdPropByName(box.get(), "Checked"), 1);
    SetOrdPropByName(box.get(), "Checked", 0);
    EXPECT_FALSE(box->Checked());
    SetStrPropByName(box.get(), "Caption", "变动日期");
    EXPECT_EQ(GetStrPropByName(box.get(), "Caption"), "变动日期");
    EXPECT_EQ(GetMethodPropByName(box.get(), "OnClick"), box->OnClick.Method());
}

} // namespace
