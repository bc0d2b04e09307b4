// Form resources: parsing, streaming through the rtti, visual inheritance, events, references, errors.
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/FormResource.h"
#include "ui/Forms.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

// A base form and a form derived from it, each with its own resource.
class TfrmResBase : public TForm {
    KVRT_CLASS(TfrmResBase, TForm)
public:
    explicit TfrmResBase(TComponent* AOwner) : TForm(AOwner) {}
    TPanel* pnlTop = nullptr;
    TLabel* lblName = nullptr;
    TEdit* edName = nullptr;
    TButton* btnOk = nullptr;
    std::string Log;
    void FormCreate(TObject*) { Log += "create;"; }
    void btnOkClick(TObject*) { Log += "ok;"; }
    void edNameChange(TObject*) { Log += "change;"; }
    void KeyHandler(TObject*, Word&, TShiftState) {}
};
KVRT_PUBLISHED(TfrmResBase) {
    P.Field("pnlTop", &TfrmResBase::pnlTop);
    P.Field("lblName", &TfrmResBase::lblName);
    P.Field("edName", &TfrmResBase::edName);
    P.Field("btnOk", &TfrmResBase::btnOk);
    P.Method<&TfrmResBase::FormCreate>("FormCreate");
    P.Method<&TfrmResBase::btnOkClick>("btnOkClick");
    P.Method<&TfrmResBase::edNameChange>("edNameChange");
    P.Method<&TfrmResBase::KeyHandler>("KeyHandler");
}

class TfrmResDerived : public TfrmResBase {
    KVRT_CLASS(TfrmResDerived, TfrmResBase)
public:
    explicit TfrmResDerived(TComponent* AOwner) : TfrmResBase(AOwner) {}
    TComboBox* cboKind = nullptr;
    void btnOkClick2(TObject*) { Log += "ok2;"; }
};
KVRT_PUBLISHED(TfrmResDerived) {
    P.Field("cboKind", &TfrmResDerived::cboKind);
    P.Method<&TfrmResDerived::btnOkClick2>("btnOkClick2");
}

// Records the order in which Loaded runs.
std::vector<std::string>& LoadedOrder() {
    static std::vector<std::string> order;
    return order;
}

class TLoadRecorder : public TPanel {
    KVRT_CLASS(TLoadRecorder, TPanel)
public:
    explicit TLoadRecorder(TComponent* AOwner) : TPanel(AOwner) {}
    void Loaded() override {
        TPanel::Loaded();
        LoadedOrder().push_back(Name());
    }
};
KVRT_PUBLISHED(TLoadRecorder) {}

const char* kBase = R"(object frmResBase: TfrmResBase
  Left = 10
  Top = 20
  Width = 400
  Height = 300
  Caption = 'Base '#20013'文'
  Font.Name = '宋体'
  Font.Height = -13
  KeyPreview = True
  ActiveControl = edName
  OnCreate = FormCreate
  object pnlTop: TPanel
    Align = alTop
    Height = 60
    object lblName: TLabel
      Caption = 'it''s' +
        ' the name'
      FocusControl = edName
    end
    object edName: TEdit
      Left = 80
      Text = 'abc'
      OnChange = edNameChange
      OnKeyDown = KeyHandler
    end
  end
  object btnOk: TButton
    Caption = 'OK'
    ModalResult = 1
    Default = True
    OnClick = btnOkClick
  end
end
)";

const char* kDerived = R"(inherited frmResDerived: TfrmResDerived
  Caption = 'Derived'
  inherited pnlTop: TPanel
    Height = 80
    object cboKind: TComboBox
      Style = csDropDownList
      Items.Strings = (
        'one'
        'two')
      ItemIndex = 1
    end
  end
  inherited btnOk: TButton
    OnClick = btnOkClick2
  end
end
)";

class FormResources : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFormResource("TfrmResBase", kBase, "ResBase.dfm");
        RegisterFormResource("TfrmResDerived", kDerived, "ResDerived.dfm");
    }
    void TearDown() override {
        UnregisterFormResource("TfrmResBase");
        UnregisterFormResource("TfrmResDerived");
    }
};

TEST_F(FormResources, BaseResourceCreatesComponentsFieldsEventsAndReferences) {
    TOwnedPtr<TfrmResBase> form(New<TfrmResBase>(nullptr));
    EXPECT_EQ(form->Name(), "frmResBase");
    EXPECT_EQ(form->Caption(), "Base 中文");
    EXPECT_EQ(form->Width(), 400);
    EXPECT_EQ(form->Font()->Name(), "宋体");
    EXPECT_TRUE(form->KeyPreview());
    ASSERT_NE(form->edName, nullptr);
    EXPECT_EQ(form->edName->Parent(), form->pnlTop);
    EXPECT_EQ(form->edName->Owner(), form.get());
    EXPECT_EQ(form->lblName->Caption(), "it's the name");
    // References resolved after the whole tree was read (edName is read after both uses).
    EXPECT_EQ(form->lblName->FocusControl(), form->edName);
    EXPECT_EQ(form->ActiveControl(), form->edName);
    // Children take the form's font.
    EXPECT_EQ(form->edName->Font()->Name(), "宋体");
    // OnCreate ran after the resource; OnChange did not fire while loading.
    EXPECT_EQ(form->Log, "create;");
    form->btnOk->Click();
    EXPECT_EQ(form->Log, "create;ok;");
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(form->pnlTop->Width(), form->ClientWidth()); // aligned after loading
    EXPECT_FALSE(form->edName->IsLoading());
}

TEST_F(FormResources, DerivedResourceAddsAndOverridesBaseFirst) {
    TOwnedPtr<TfrmResDerived> form(New<TfrmResDerived>(nullptr));
    EXPECT_EQ(form->Name(), "frmResDerived");
    EXPECT_EQ(form->Caption(), "Derived");
    EXPECT_EQ(form->Width(), 400);         // from the base
    EXPECT_EQ(form->pnlTop->Height(), 80); // overridden
    ASSERT_NE(form->cboKind, nullptr);     // added, inside an inherited component
    EXPECT_EQ(form->cboKind->Parent(), form->pnlTop);
    EXPECT_EQ(form->cboKind->Text(), "two"); // ItemIndex applied after the items were read
    form->btnOk->Click();
    EXPECT_EQ(form->Log, "create;ok2;");
}

TEST_F(FormResources, VisibleInTheResourceShowsTheFormOnceCreated) {
    RegisterFormResource(
        "TfrmResDerived",
        std::string(kDerived).replace(std::string(kDerived).find("Caption"), 0, "Visible = True\n  "),
        "ResDerived.dfm");
    TOwnedPtr<TfrmResDerived> form(New<TfrmResDerived>(nullptr));
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->Log, "create;");
    EXPECT_TRUE(form->edName->Focused()); // the resource's ActiveControl
}

TEST_F(FormResources, TwoFormsOfOneClassGetDistinctNames) {
    TOwnedPtr<TComponent> owner(new TComponent(nullptr));
    auto* a = New<TfrmResBase>(owner.get());
    auto* b = New<TfrmResBase>(owner.get());
    EXPECT_EQ(a->Name(), "frmResBase");
    EXPECT_EQ(b->Name(), "frmResBase_1");
}

TEST(FormResourceReader, LoadedRunsForEveryComponentAndTheRootLast) {
    LoadedOrder().clear();
    TOwnedPtr<TForm> form(new TForm(nullptr));
    ReadComponentResource(form.get(), R"(object frmLoad: TForm
  object pA: TLoadRecorder
    object pB: TLoadRecorder
    end
  end
  object pC: TLoadRecorder
  end
end)",
                          "load.dfm");
    EXPECT_EQ(LoadedOrder(), (std::vector<std::string>{"pA", "pB", "pC"}));
    EXPECT_FALSE(form->IsLoading());
}

TEST(FormResourceReader, CollectionsSetsAndColours) {
    TOwnedPtr<TForm> form(new TForm(nullptr));
    ReadComponentResource(form.get(), R"(object f: TForm
  BorderIcons = [biSystemMenu, biMinimize]
  Color = clBtnFace
  object sb: TStatusBar
    Panels = <
      item
        Text = 'first'
        Width = 120
      end
      item
        Alignment = taCenter
      end>
  end
  object lv: TListView
    ViewStyle = vsReport
    Columns = <
      item
        Caption = #26041#26696
        Width = 90
      end>
  end
  object p: TPanel
    Color = $00FF8040
    Font.Style = [fsBold]
  end
end)",
                          "misc.dfm");
    EXPECT_EQ(form->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize}));
    auto* sb = form->FindComponent<TStatusBar>("sb");
    ASSERT_EQ(sb->Panels()->Count(), 2);
    EXPECT_EQ(sb->Panels()->Items(0)->Text(), "first");
    EXPECT_EQ(sb->Panels()->Items(1)->Alignment(), taCenter);
    EXPECT_EQ(GetPropInfo(sb, "Panels")->PropType->Name, "TStatusPanels");
    auto* lv = form->FindComponent<TListView>("lv");
    EXPECT_EQ(GetPropInfo(lv, "Columns")->PropType->Name, "TListColumns");
    EXPECT_EQ(lv->Columns()->Items(0)->Caption(), "方案");
    auto* p = form->FindComponent<TPanel>("p");
    EXPECT_EQ(p->Color(), TColor(0x00FF8040));
    EXPECT_TRUE(p->Font()->Style().Contains(fsBold));
    EXPECT_FALSE(p->ParentFont());
}

struct ErrorCase {
    const char* text;
    int line;
    const char* property; // "" when the error is not about a property
    const char* reason;   // a part of the message
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.reason;
}

class FormResourceErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FormResourceErrors, NameFileLineAndProperty) {
    TOwnedPtr<TfrmResBase> form(new TfrmResBase(nullptr));
    try {
        ReadComponentResource(form.get(), GetParam().text, "bad.dfm");
        FAIL() << "no error";
    } catch (const EFormResourceError& e) {
        EXPECT_EQ(e.File(), "bad.dfm");
        EXPECT_EQ(e.Line(), GetParam().line) << e.Message();
        EXPECT_EQ(e.Property(), GetParam().property) << e.Message();
        EXPECT_NE(e.Message().find(GetParam().reason), std::string::npos) << e.Message();
        EXPECT_EQ(e.Message().rfind("bad.dfm(" + std::to_string(GetParam().line) + "): ", 0), 0u)
            << e.Message();
    }
    // Nothing half-read stays in the loading state.
    EXPECT_FALSE(form->IsLoading());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormResourceErrors,
    ::testing::Values(
        ErrorCase{"object f: TfrmResBase\n  Widht = 3\nend", 2, "f.Widht", "Widht does not exist"},
        ErrorCase{"object f: TfrmResBase\n  Width = 'x'\nend", 2, "f.Width", "Invalid property value 'x'"},
        ErrorCase{"object f: TfrmResBase\n  Width = 99999999999\nend", 2, "f.Width",
                  "Invalid property value"},
        ErrorCase{"object f: TfrmResBase\n  BorderStyle = bsRound\nend", 2, "f.BorderStyle", "bsRound"},
        ErrorCase{"object f: TfrmResBase\n  BorderIcons = [biNone]\nend", 2, "f.BorderIcons", "biNone"},
        ErrorCase{"object f: TfrmResBase\n  Font.Nme = 'x'\nend", 2, "f.Font.Nme", "Nme does not exist"},
        ErrorCase{"object f: TfrmResBase\n  OnCreate = NoSuchMethod\nend", 2, "f.OnCreate",
                  "NoSuchMethod not found"},
        ErrorCase{"object f: TfrmResBase\n  OnCreate = KeyHandler\nend", 2, "f.OnCreate", "parameters"},
        ErrorCase{"object f: TfrmResBase\n\n  object x: TNoClass\n  end\nend", 3, "",
                  "Class TNoClass not found"},
        ErrorCase{"object f: TfrmResBase\n  object btnOk: TEdit\n  end\nend", 2, "",
                  "Field btnOk is a TButton"},
        ErrorCase{"object f: TfrmResBase\n  object a: TEdit\n  end\n  object A: TEdit\n  end\nend", 4, "",
                  "already exists"},
        ErrorCase{"object f: TfrmResBase\n  inherited zz: TEdit\n  end\nend", 2, "", "Ancestor for 'zz'"},
        ErrorCase{"object f: TfrmResBase\n  object l: TLabel\n    FocusControl = nowhere\n  end\nend", 3,
                  "l.FocusControl", "Component 'nowhere' not found"},
        ErrorCase{"object f: TfrmResBase\n  object l: TLabel\n    FocusControl = m\n  end\n  object m: "
                  "TLabel\n  end\nend",
                  3, "l.FocusControl", "needs TWinControl"},
        ErrorCase{"object f: TfrmResBase\n  Caption = 'open\nend", 2, "", "Unterminated string"},
        ErrorCase{"object f: TfrmResBase\n  Caption = 'a' +\nend", 3, "", "String expected after '+'"},
        ErrorCase{"object f: TfrmResBase\n  Caption\nend", 2, "", "'=' expected"},
        ErrorCase{"object f: TfrmResBase\n  Width = 3", 2, "", "'end' expected"},
        ErrorCase{"object f: TfrmResBase\nend\nend", 3, "", "Text after the final 'end'"},
        ErrorCase{"object f: TfrmResBase\n  Caption = #99999999\nend", 2, "", "Invalid character code"},
        ErrorCase{"object f: TfrmResBase\n  Tag = { 0A 0B }\nend", 2, "f.Tag", "Binary property data"},
        ErrorCase{"object f: TfrmResBase\n  object e: TEdit\n    Text = ('a')\n  end\nend", 3, "e.Text",
                  "Invalid property value"},
        ErrorCase{"\n\nobject f TfrmResBase\nend", 3, "",
                  "'=' expected after the property name TfrmResBase"}));

TEST(FormResourceReader, RootClassMustMatch) {
    TOwnedPtr<TForm> form(new TForm(nullptr));
    EXPECT_THROW(ReadComponentResource(form.get(), "object f: TfrmResBase\nend", "x.dfm"),
                 EFormResourceError);
}

TEST(FormResourceReader, DeepNestingIsAnErrorNotACrash) {
    std::string text = "object f: TForm\n";
    for (int i = 0; i < 500; ++i) text += "object p" + std::to_string(i) + ": TPanel\n";
    EXPECT_THROW(ParseFormResource(text, "deep.dfm"), EFormResourceError);
    std::string values = "object f: TForm\n  Tag = " + std::string(5000, '(') + "\nend";
    EXPECT_THROW(ParseFormResource(values, "deep.dfm"), EFormResourceError);
}

TEST(FormResourceReader, ClassNameOfAResourceText) {
    EXPECT_EQ(ResourceClassName("\xEF\xBB\xBFinherited frmX: TfrmX\nend"), "TfrmX");
    EXPECT_EQ(ResourceClassName("  object TfrmY\nend"), "TfrmY");
    EXPECT_EQ(ResourceClassName("Width = 3"), "");
}

} // namespace
} // namespace rt
