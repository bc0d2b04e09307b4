// Focus and keyboard: the enter/exit chain across parents and tab sheets, page changes, tab order,
// dialog keys and key preview.
#include "ui/ComCtrls.h"
#include "ui/Dialogs.h"
#include "ui/ExtCtrls.h"
#include "ui/FormResource.h"
#include "ui/Input.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

class TfrmFocus : public TForm {
    KVRT_CLASS(TfrmFocus, TForm)
public:
    explicit TfrmFocus(TComponent* AOwner) : TForm(AOwner) {}
    TPanel* pnlA = nullptr;
    TEdit* ed1 = nullptr;
    TEdit* ed2 = nullptr;
    TPageControl* pgc = nullptr;
    TTabSheet* ts1 = nullptr;
    TTabSheet* ts2 = nullptr;
    TTabSheet* ts3 = nullptr;
    TEdit* ed3 = nullptr;
    TEdit* ed4 = nullptr;
    TEdit* ed5 = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;

    std::string Log;
    bool VetoPageChange = false;
    TWinControl* MoveFocusOnExit = nullptr;
    Word SwallowKey = 0;

    static std::string NameOf(TObject* o) { return o ? static_cast<TComponent*>(o)->Name() : "nil"; }
    void LogEnter(TObject* s) { Log += NameOf(s) + ".Enter "; }
    void LogExit(TObject* s) {
        Log += NameOf(s) + ".Exit(active=" + NameOf(ActiveControl()) + ") ";
        if (MoveFocusOnExit) {
            TWinControl* target = MoveFocusOnExit;
            MoveFocusOnExit = nullptr;
            target->SetFocus();
        }
    }
    void LogClick(TObject* s) { Log += NameOf(s) + ".Click "; }
    void LogChange(TObject* s) { Log += NameOf(s) + ".Change "; }
    void LogChanging(TObject* s, bool& allow) {
        Log += NameOf(s) + ".Changing ";
        allow = !VetoPageChange;
    }
    void FormKeyDown(TObject* s, Word& key, TShiftState) {
        Log += NameOf(s) + ".KeyDown(" + std::to_string(key) + ") ";
        if (key == SwallowKey) key = 0;
    }
    void FormKeyPress(TObject* s, TKeyChar& key) {
        Log += NameOf(s) + ".KeyPress(" + std::to_string(static_cast<int>(key)) + ") ";
        if (key == 'x') key = 0;
    }
};
KVRT_PUBLISHED(TfrmFocus) {
    P.Field("pnlA", &TfrmFocus::pnlA);
    P.Field("ed1", &TfrmFocus::ed1);
    P.Field("ed2", &TfrmFocus::ed2);
    P.Field("pgc", &TfrmFocus::pgc);
    P.Field("ts1", &TfrmFocus::ts1);
    P.Field("ts2", &TfrmFocus::ts2);
    P.Field("ts3", &TfrmFocus::ts3);
    P.Field("ed3", &TfrmFocus::ed3);
    P.Field("ed4", &TfrmFocus::ed4);
    P.Field("ed5", &TfrmFocus::ed5);
    P.Field("btnOk", &TfrmFocus::btnOk);
    P.Field("btnCancel", &TfrmFocus::btnCancel);
    P.Method<&TfrmFocus::LogEnter>("LogEnter");
    P.Method<&TfrmFocus::LogExit>("LogExit");
    P.Method<&TfrmFocus::LogClick>("LogClick");
    P.Method<&TfrmFocus::LogChange>("LogChange");
    P.Method<&TfrmFocus::LogChanging>("LogChanging");
    P.Method<&TfrmFocus::FormKeyDown>("FormKeyDown");
    P.Method<&TfrmFocus::FormKeyPress>("FormKeyPress");
}

KVRT_FORM_RESOURCE(TfrmFocus, R"(object frmFocus: TfrmFocus
  Width = 500
  Height = 400
  OnKeyDown = FormKeyDown
  OnKeyPress = FormKeyPress
  object pnlA: TPanel
    Align = alTop
    Height = 50
    OnEnter = LogEnter
    OnExit = LogExit
    object ed1: TEdit
      OnEnter = LogEnter
      OnExit = LogExit
    end
    object ed2: TEdit
      Left = 130
      OnEnter = LogEnter
      OnExit = LogExit
    end
  end
  object pgc: TPageControl
    Top = 60
    Height = 200
    ActivePage = ts1
    OnChange = LogChange
    OnChanging = LogChanging
    OnEnter = LogEnter
    OnExit = LogExit
    object ts1: TTabSheet
      Caption = 'One'
      OnEnter = LogEnter
      OnExit = LogExit
      object ed3: TEdit
        OnEnter = LogEnter
        OnExit = LogExit
      end
    end
    object ts2: TTabSheet
      Caption = 'Two'
      OnEnter = LogEnter
      OnExit = LogExit
      object ed4: TEdit
        OnEnter = LogEnter
        OnExit = LogExit
      end
    end
    object ts3: TTabSheet
      Caption = 'Three'
      TabVisible = False
      object ed5: TEdit
      end
    end
  end
  object btnOk: TButton
    Top = 300
    Caption = 'OK'
    Default = True
    TabOrder = 2
    OnClick = LogClick
    OnEnter = LogEnter
    OnExit = LogExit
  end
  object btnCancel: TButton
    Top = 300
    Left = 100
    Caption = 'Cancel'
    Cancel = True
    TabOrder = 3
    OnClick = LogClick
  end
end)");

class Focus : public ::testing::Test {
protected:
    void SetUp() override {
        form.reset(New<TfrmFocus>(nullptr));
        form->Show();
        form->Log.clear();
    }
    void TearDown() override {
        form.reset();
        HeadlessDialogs()->Reset();
    }
    TOwnedPtr<TfrmFocus> form;
};

TEST(FocusOnShow, FirstTabStopGetsTheFocusWithEnterEvents) {
    TOwnedPtr<TfrmFocus> form(New<TfrmFocus>(nullptr));
    EXPECT_THROW(form->ed2->SetFocus(), EInvalidOperation); // not shown yet
    form->SetActiveControl(form->ed2);                      // chooses the first focus instead
    form->Show();
    EXPECT_EQ(form->Log, "pnlA.Enter ed2.Enter ");
    EXPECT_TRUE(form->ed2->Focused());
    EXPECT_EQ(Screen->ActiveControl(), form->ed2);
}

TEST_F(Focus, ExitsUpToTheCommonParentThenEntersDown) {
    ASSERT_TRUE(form->ed1->Focused());
    form->ed2->SetFocus(); // same panel: only the edits
    EXPECT_EQ(form->Log, "ed1.Exit(active=ed2) ed2.Enter ");
    form->Log.clear();
    form->ed3->SetFocus(); // into the page control's first sheet
    EXPECT_EQ(form->Log, "ed2.Exit(active=ed3) pnlA.Exit(active=ed3) pgc.Enter ts1.Enter ed3.Enter ");
    form->Log.clear();
    form->btnOk->SetFocus();
    EXPECT_EQ(form->Log, "ed3.Exit(active=btnOk) ts1.Exit(active=btnOk) pgc.Exit(active=btnOk) btnOk.Enter ");
}

TEST_F(Focus, AHandlerThatMovesTheFocusEndsTheChain) {
    form->MoveFocusOnExit = form->ed2;
    form->ed3->SetFocus();
    // ed1's OnExit sends the focus to ed2: pnlA is never left and nothing on the page is entered.
    EXPECT_EQ(form->Log, "ed1.Exit(active=ed3) ed2.Enter ");
    EXPECT_TRUE(form->ed2->Focused());
}

TEST_F(Focus, HiddenPagesAndDisabledParentsCannotTakeTheFocus) {
    EXPECT_FALSE(form->ed4->CanFocus());
    EXPECT_THROW(form->ed4->SetFocus(), EInvalidOperation);
    form->pnlA->SetEnabled(false);
    EXPECT_FALSE(form->ed2->CanFocus());
    EXPECT_THROW(form->SetActiveControl(form->ed2), EInvalidOperation);
    EXPECT_TRUE(form->CanFocus()); // the form itself is not checked
}

TEST_F(Focus, TabOrderIsDepthFirstSkipsHiddenPagesAndWraps) {
    std::vector<std::string> visited;
    for (int i = 0; i < 7; ++i) {
        input::PressKey(VK_TAB);
        visited.push_back(Screen->ActiveControl()->Name());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"ed2", "pgc", "ed3", "btnOk", "btnCancel", "ed1", "ed2"}));
    input::PressKey(VK_TAB, {ssShift});
    EXPECT_EQ(Screen->ActiveControl(), form->ed1);
    form->Perform(WM_NEXTDLGCTL, 0, 0);
    EXPECT_EQ(Screen->ActiveControl(), form->ed2);
    form->Perform(WM_NEXTDLGCTL, 1, 0);
    EXPECT_EQ(Screen->ActiveControl(), form->ed1);
}

TEST_F(Focus, SelectNextPageRunsChangingThenTheFocusChainThenChange) {
    form->ed3->SetFocus();
    form->Log.clear();
    form->pgc->SelectNextPage(true);
    EXPECT_EQ(form->pgc->ActivePage(), form->ts2);
    EXPECT_EQ(form->Log,
              "pgc.Changing ed3.Exit(active=ed4) ts1.Exit(active=ed4) ts2.Enter ed4.Enter pgc.Change ");
    EXPECT_FALSE(form->ts1->Visible());
    // Forward from the last visible tab wraps to the first, skipping the hidden tab.
    form->pgc->SelectNextPage(true);
    EXPECT_EQ(form->pgc->ActivePage(), form->ts1);
    form->pgc->SelectNextPage(false);
    EXPECT_EQ(form->pgc->ActivePage(), form->ts2);
    form->pgc->SelectNextPage(true, false); // hidden tabs count when asked
    EXPECT_EQ(form->pgc->ActivePage(), form->ts3);
}

TEST_F(Focus, CtrlTabTurnsThePagesAroundTheFocus) {
    form->ed3->SetFocus();
    form->Log.clear();
    input::PressKey(VK_TAB, {ssCtrl});
    EXPECT_EQ(form->pgc->ActivePage(), form->ts2);
    EXPECT_TRUE(form->ed4->Focused());
    EXPECT_EQ(form->Log.substr(0, 13), "pgc.Changing ");
    input::PressKey(VK_TAB, {ssCtrl, ssShift});
    EXPECT_EQ(form->pgc->ActivePage(), form->ts1);
}

TEST_F(Focus, AltAcceleratorsActOnCaptions) {
    form->btnCancel->SetCaption("&Cancel");
    form->ts2->SetCaption("&Two");
    input::PressKey('C', {ssAlt});
    EXPECT_EQ(form->Log, "btnCancel.Click ");
    form->Log.clear();
    input::PressKey('T', {ssAlt});
    EXPECT_EQ(form->pgc->ActivePage(), form->ts2);
    EXPECT_EQ(form->Log, "pgc.Changing pgc.Change ");
    EXPECT_TRUE(IsAccel('s', "保存(&S)"));
    EXPECT_FALSE(IsAccel('s', "A&&S"));
    EXPECT_EQ(GetLongHint("short|long"), "long");
}

TEST(FormPosition, ScreenCenterPlacesTheFormWhenShown) {
    TOwnedPtr<TForm> form(New<TForm>(nullptr));
    form->SetBounds(0, 0, 400, 300);
    form->SetPosition(poScreenCenter);
    form->Show();
    EXPECT_EQ(form->Left(), (1024 - 400) / 2);
    EXPECT_EQ(form->Top(), (768 - 300) / 2);
}

TEST_F(Focus, OnChangingCanRefuseThePageChange) {
    form->ed3->SetFocus();
    form->Log.clear();
    form->VetoPageChange = true;
    form->pgc->SelectNextPage(true);
    EXPECT_EQ(form->pgc->ActivePage(), form->ts1);
    EXPECT_EQ(form->Log, "pgc.Changing ");
    EXPECT_TRUE(form->ed3->Focused());
}

TEST_F(Focus, SettingActivePageMovesTheFocusWithoutPageEvents) {
    form->ed3->SetFocus();
    form->Log.clear();
    form->pgc->SetActivePage(form->ts2);
    EXPECT_EQ(form->Log, "ed3.Exit(active=ed4) ts1.Exit(active=ed4) ts2.Enter ed4.Enter ");
}

TEST_F(Focus, ClickOnATabFocusesThePageControlFirst) {
    form->Log.clear();
    input::SelectTab(form->pgc, 1);
    EXPECT_EQ(form->Log, "ed1.Exit(active=pgc) pnlA.Exit(active=pgc) pgc.Enter pgc.Changing pgc.Change ");
    EXPECT_TRUE(form->pgc->Focused());
    EXPECT_THROW(input::SelectTab(form->pgc, 2), EInvalidOperation); // hidden tab
}

TEST_F(Focus, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
    form->SetKeyPreview(true);
    form->SwallowKey = VK_F2;
    input::PressKey(VK_F2);
    EXPECT_EQ(form->Log, "frmFocus.KeyDown(113) ");
    form->Log.clear();
    input::TypeText("ax");
    EXPECT_EQ(form->ed1->Text(), "a"); // the form swallowed 'x'
    EXPECT_EQ(form->Log,
              "frmFocus.KeyDown(65) frmFocus.KeyPress(97) frmFocus.KeyDown(88) frmFocus.KeyPress(120) ");
    form->Log.clear();
    input::PressKey(VK_TAB); // a dialog key: the form's preview never sees it
    EXPECT_EQ(form->Log.find("KeyDown"), std::string::npos);
    form->SetKeyPreview(false);
    form->Log.clear();
    input::TypeText("x");
    EXPECT_EQ(form->Log, "");
    EXPECT_EQ(form->ed2->Text(), "x");
}

TEST_F(Focus, EnterAndEscapeClickTheDefaultAndCancelButtonsWithoutMovingTheFocus) {
    input::PressKey(VK_RETURN);
    EXPECT_EQ(form->Log, "btnOk.Click ");
    EXPECT_EQ(form->ModalResult(), mrNone);
    EXPECT_TRUE(form->ed1->Focused());
    form->Log.clear();
    input::PressKey(VK_ESCAPE);
    EXPECT_EQ(form->Log, "btnCancel.Click ");
    // Without a default button Enter reaches the control (the form's preview sees it).
    form->btnOk->SetDefault(false);
    form->SetKeyPreview(true);
    form->Log.clear();
    input::PressKey(VK_RETURN);
    EXPECT_EQ(form->Log, "frmFocus.KeyDown(13) frmFocus.KeyPress(13) ");
}

TEST_F(Focus, AClickMovesTheFocusToAButtonBeforeItsOnClick) {
    input::Click(form->btnOk);
    EXPECT_EQ(form->Log, "ed1.Exit(active=btnOk) pnlA.Exit(active=btnOk) btnOk.Enter btnOk.Click ");
}

TEST_F(Focus, HidingOrDestroyingTheFocusedControlLeavesNoDanglingFocus) {
    form->ed2->SetFocus();
    form->ed2->Free();
    EXPECT_EQ(form->FocusedControl(), form->pnlA);
    form->Log.clear();
    form->ed3->SetFocus();
    EXPECT_EQ(form->Log, "pnlA.Exit(active=ed3) pgc.Enter ts1.Enter ed3.Enter ");
    form->ts1->SetVisible(false);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_FALSE(form->ed3->Focused());
}

} // namespace
} // namespace rt
