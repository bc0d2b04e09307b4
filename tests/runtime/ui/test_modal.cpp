// Modal loops, close actions, released forms, the message queue and the dialog driver.
#include "ui/Dialogs.h"
#include "ui/Input.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

class TfrmDialog : public TForm {
    KVRT_CLASS(TfrmDialog, TForm)
public:
    explicit TfrmDialog(TComponent* AOwner) : TForm(AOwner) {
        SetName("frmDialog");
        btnOk = new TButton(this);
        btnOk->SetName("btnOk");
        btnOk->SetParent(this);
        btnOk->SetModalResult(mrOk);
        btnOk->OnClick = Handler<&TfrmDialog::OkClick>(this);
        edValue = new TEdit(this);
        edValue->SetName("edValue");
        edValue->SetParent(this);
        edValue->SetTop(40);
        OnCloseQuery = Handler<&TfrmDialog::FormCloseQuery>(this);
        OnClose = Handler<&TfrmDialog::FormClose>(this);
        OnShow = Handler<&TfrmDialog::FormShow>(this);
        OnHide = Handler<&TfrmDialog::FormHide>(this);
        OnDestroy = Handler<&TfrmDialog::FormDestroy>(this);
    }
    TButton* btnOk;
    TEdit* edValue;
    bool AllowClose = true;
    TCloseAction Action = caHide;
    bool KeepOpenOnOk = false;
    std::string Log;
    std::string* DestroyLog = nullptr;

    void OkClick(TObject*) {
        Log += "click(" + std::to_string(ModalResult()) + ") ";
        if (KeepOpenOnOk) SetModalResult(mrNone);
    }
    void FormCloseQuery(TObject*, bool& canClose) {
        Log += "query ";
        canClose = AllowClose;
    }
    void FormClose(TObject*, TCloseAction& action) {
        Log += "close ";
        action = Action;
    }
    void FormShow(TObject*) { Log += "show "; }
    void FormHide(TObject*) { Log += "hide "; }
    void FormDestroy(TObject*) {
        if (DestroyLog) *DestroyLog += "destroy ";
    }
};
KVRT_PUBLISHED(TfrmDialog) {}

class Modal : public ::testing::Test {
protected:
    void TearDown() override { HeadlessDialogs()->Reset(); }
    THeadlessDialogDriver& Dialogs() { return *HeadlessDialogs(); }
};

TEST_F(Modal, ScriptedHandlerFillsTheFormAndClicksOk) {
    TOwnedPtr<TfrmDialog> form(New<TfrmDialog>(nullptr));
    Dialogs().SetModalHandler("TfrmDialog", [](TCustomForm&) {
        input::TypeInto("frmDialog/edValue", "42");
        input::Click("frmDialog/btnOk");
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(form->edValue->Text(), "42");
    EXPECT_EQ(form->Log, "show click(1) query close hide ");
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(Dialogs().AbandonedForms().empty());
}

TEST_F(Modal, WithoutAHandlerTheFormEndsWithCancelInsteadOfHanging) {
    TOwnedPtr<TfrmDialog> form(New<TfrmDialog>(nullptr));
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(form->Log, "show query close hide ");
    ASSERT_EQ(Dialogs().AbandonedForms().size(), 1u);
    EXPECT_EQ(Dialogs().AbandonedForms()[0], "TfrmDialog");
    // Even a form whose close checks refuse ends.
    form->AllowClose = false;
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_FALSE(form->Visible());
}

TEST_F(Modal, CloseQueryAndCaNoneKeepTheFormOpen) {
    TOwnedPtr<TfrmDialog> form(New<TfrmDialog>(nullptr));
    int attempt = 0;
    Dialogs().SetModalHandler("TfrmDialog", [&](TCustomForm& f) {
        auto& dlg = static_cast<TfrmDialog&>(f);
        dlg.AllowClose = false;
        input::Click(dlg.btnOk);
        EXPECT_TRUE(dlg.Visible()); // the loop has not run yet: closing happens after the handler returns
        ++attempt;
    });
    // The handler runs once; the refused close leaves the form open, so the driver abandons it.
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(attempt, 1);
    EXPECT_NE(form->Log.find("click(1) query "), std::string::npos);

    form->Log.clear();
    form->AllowClose = true;
    form->Action = caNone;
    Dialogs().SetModalHandler("TfrmDialog", [](TCustomForm& f) { f.SetModalResult(mrYes); });
    EXPECT_EQ(form->ShowModal(), mrCancel); // caNone refused mrYes, then the driver gave up
    EXPECT_EQ(form->Log.substr(0, 22), "show query close query");
}

TEST_F(Modal, ButtonModalResultIsCopiedBeforeOnClickWhichMayOverrideIt) {
    TOwnedPtr<TfrmDialog> form(New<TfrmDialog>(nullptr));
    form->KeepOpenOnOk = true;
    Dialogs().SetModalHandler("TfrmDialog", [](TCustomForm& f) {
        input::Click(static_cast<TfrmDialog&>(f).btnOk);
        EXPECT_EQ(f.ModalResult(), mrNone);
        EXPECT_TRUE(f.Visible());
        f.Close(); // on a modal form: only ModalResult := mrCancel
        EXPECT_EQ(f.ModalResult(), mrCancel);
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(form->Log, "show click(1) query close hide ");
}

TEST_F(Modal, CaFreeReleasesTheFormAfterShowModalReturns) {
    std::string destroyLog;
    auto* form = New<TfrmDialog>(nullptr);
    TComponentPtr<TfrmDialog> watch(form);
    form->DestroyLog = &destroyLog;
    form->Action = caFree;
    Dialogs().SetModalHandler("TfrmDialog", [](TCustomForm& f) { f.SetModalResult(mrOk); });
    EXPECT_EQ(form->ShowModal(), mrOk);
    ASSERT_TRUE(watch); // never destroyed during the events or inside ShowModal
    EXPECT_EQ(destroyLog, "");
    Application->ProcessMessages();
    EXPECT_FALSE(watch);
    EXPECT_EQ(destroyLog, "destroy ");
}

TEST_F(Modal, PostedCloseTakesEffectWhenMessagesAreProcessed) {
    TOwnedPtr<TfrmDialog> form(New<TfrmDialog>(nullptr));
    form->Show();
    form->Log.clear();
    PostMessage(form->Handle(), WM_CLOSE);
    EXPECT_TRUE(form->Visible());
    Application->ProcessMessages();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->Log, "query close hide ");
}

TEST_F(Modal, MessagesPostedToADestroyedControlAreDropped) {
    auto* form = New<TfrmDialog>(nullptr);
    HWND wnd = form->edValue->Handle();
    EXPECT_TRUE(PostMessage(wnd, WM_USER + 10, 1, 2));
    form->Free();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_NO_THROW(Application->ProcessMessages());
    EXPECT_FALSE(PostMessage(wnd, WM_USER + 10));
    EXPECT_EQ(SendMessage(wnd, WM_USER + 10), 0);
}

class TLookupEdit : public TEdit {
    KVRT_CLASS(TLookupEdit, TEdit)
public:
    explicit TLookupEdit(TComponent* AOwner) : TEdit(AOwner) {}
    std::vector<std::pair<WPARAM, LPARAM>> Seen;
    void WMLookup(TMessage& m) {
        Seen.emplace_back(m.WParam, m.LParam);
        m.Result = 7;
    }
};
KVRT_PUBLISHED(TLookupEdit) {
    P.Message<&TLookupEdit::WMLookup>(WM_USER + 10);
}

class TLookupEdit2 : public TLookupEdit {
    KVRT_CLASS(TLookupEdit2, TLookupEdit)
public:
    explicit TLookupEdit2(TComponent* AOwner) : TLookupEdit(AOwner) {}
    int Own = 0;
    void WMLookup2(TMessage& m) {
        ++Own;
        DispatchInherited(TLookupEdit2::ClassInfo(), m); // on to TLookupEdit's handler
    }
    void WMChar2(TMessage& m) {
        if (m.WParam == '-') return; // swallowed
        DispatchInherited(TLookupEdit2::ClassInfo(), m);
    }
};
KVRT_PUBLISHED(TLookupEdit2) {
    P.Message<&TLookupEdit2::WMLookup2>(WM_USER + 10);
    P.Message<&TLookupEdit2::WMChar2>(WM_CHAR);
}

TEST_F(Modal, MessageHandlersPassMessagesOnToTheirAncestors) {
    TOwnedPtr<TForm> form(New<TForm>(nullptr));
    auto* edit = new TLookupEdit2(form.get());
    edit->SetParent(form.get());
    EXPECT_EQ(SendMessage(edit->Handle(), WM_USER + 10, 1, 2), 7);
    EXPECT_EQ(edit->Own, 1);
    EXPECT_EQ(edit->Seen.size(), 1u);
    form->Show();
    input::TypeText("1-2");
    EXPECT_EQ(edit->Text(), "12");
}

TEST_F(Modal, SendAndPostReachTheClassMessageHandlers) {
    TOwnedPtr<TForm> form(New<TForm>(nullptr));
    auto* edit = new TLookupEdit(form.get());
    edit->SetParent(form.get());
    EXPECT_EQ(SendMessage(edit->Handle(), WM_USER + 10, 3, 4), 7);
    PostMessage(edit->Handle(), WM_USER + 10, 5, 6);
    EXPECT_EQ(edit->Seen.size(), 1u);
    Application->ProcessMessages();
    ASSERT_EQ(edit->Seen.size(), 2u);
    EXPECT_EQ(edit->Seen[1].first, 5u);
}

TEST_F(Modal, MessageDialogsAreRecordedAndAnsweredFromTheQueueOrByDefault) {
    EXPECT_EQ(MessageDlg("Save?", mtConfirmation, mbYesNoCancel), mrYes); // default: Yes
    Dialogs().PushAnswer(mrNo);
    EXPECT_EQ(MessageDlg("Save again?", mtConfirmation, mbYesNoCancel), mrNo);
    EXPECT_EQ(MessageDlg("Done", mtInformation, {mbOK}), mrOk);
    ShowMessage("plain");
    ASSERT_EQ(Dialogs().Dialogs().size(), 4u);
    const TDialogRecord& second = Dialogs().Dialogs()[1];
    EXPECT_EQ(second.Kind, "MessageDlg");
    EXPECT_EQ(second.Text, "Save again?");
    EXPECT_EQ(second.Type, mtConfirmation);
    EXPECT_EQ(second.Caption, "Confirm");
    EXPECT_EQ(second.Buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
    EXPECT_EQ(second.Answer, mrNo);
    EXPECT_EQ(Dialogs().Dialogs()[3].Caption, Application->Title());

    // An answer that is not a button of the dialog is a script error.
    Dialogs().PushAnswer(mrYes);
    EXPECT_THROW(MessageDlg("Continue?", mtWarning, mbOKCancel), EInvalidOperation);
}

TEST_F(Modal, CallersMayChangeTheMessageFormBeforeShowingIt) {
    TMessageForm* dlg = CreateMessageDialog("Delete?", mtWarning, mbYesNo);
    dlg->SetCaption("frmX");
    dlg->FindButton(mrYes)->SetCaption("是(&Y)");
    Dialogs().PushAnswer(mrNo);
    EXPECT_EQ(dlg->ShowModal(), mrNo);
    dlg->Free();
    const TDialogRecord* r = Dialogs().LastDialog();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Caption, "frmX");
    EXPECT_EQ(r->ButtonCaptions[0], "是(&Y)");
}

TEST_F(Modal, MessageBoxFlagsGiveButtonsIconAndDefault) {
    EXPECT_EQ(MessageBox(0, "Retry?", "Title", MB_RETRYCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2), IDCANCEL);
    const TDialogRecord* r = Dialogs().LastDialog();
    EXPECT_EQ(r->Kind, "MessageBox");
    EXPECT_EQ(r->Type, mtConfirmation);
    EXPECT_EQ(r->Buttons, (std::vector<std::string>{"Retry", "Cancel"}));
    Dialogs().PushAnswer(IDRETRY);
    EXPECT_EQ(Application->MessageBox("Again", "T", MB_RETRYCANCEL), IDRETRY);
}

TEST_F(Modal, ExceptionsFromUserActionsBecomeErrorDialogs) {
    TOwnedPtr<TfrmDialog> form(New<TfrmDialog>(nullptr));
    form->btnOk->OnClick = TNotifyEvent(
        TNotifyEvent::Thunk([](void*, TObject*) { throw EConvertError("'x' is not a valid integer value"); }),
        nullptr);
    form->Show();
    input::Click(form->btnOk);
    const TDialogRecord* r = Dialogs().LastDialog();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Type, mtError);
    EXPECT_EQ(r->Text, "'x' is not a valid integer value.");
}

TEST_F(Modal, InputBehindAModalFormIsAScriptError) {
    TOwnedPtr<TfrmDialog> owner(New<TfrmDialog>(nullptr));
    owner->Show();
    TOwnedPtr<TfrmDialog> dialog(New<TfrmDialog>(nullptr));
    dialog->SetName("frmDialog2");
    bool threw = false;
    Dialogs().SetModalHandler("TfrmDialog", [&](TCustomForm&) {
        try {
            input::Click(owner->btnOk);
        } catch (const EInvalidOperation&) {
            threw = true;
        }
    });
    dialog->ShowModal();
    EXPECT_TRUE(threw);
    EXPECT_EQ(Screen->ActiveForm(), owner.get()); // the owner is active again
}

} // namespace
} // namespace rt
