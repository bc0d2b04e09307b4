#include "ui/Dialogs.h"

#include "core/SysUtils.h"

#include <algorithm>

namespace rt {

namespace {

std::unique_ptr<TDialogDriver>& ActiveDriver() {
    static std::unique_ptr<TDialogDriver> driver = std::make_unique<THeadlessDialogDriver>();
    return driver;
}

const char* ButtonCaption(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return "&Yes";
    case mbNo:
        return "&No";
    case mbOK:
        return "OK";
    case mbCancel:
        return "Cancel";
    case mbAbort:
        return "&Abort";
    case mbRetry:
        return "&Retry";
    case mbIgnore:
        return "&Ignore";
    case mbAll:
        return "&All";
    case mbNoToAll:
        return "N&o to All";
    case mbYesToAll:
        return "Yes to &All";
    case mbHelp:
        return "&Help";
    }
    return "";
}

const char* TypeTitle(TMsgDlgType t) {
    switch (t) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    case mtCustom:
        break;
    }
    return nullptr;
}

} // namespace

const char* MsgDlgButtonName(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return "Yes";
    case mbNo:
        return "No";
    case mbOK:
        return "OK";
    case mbCancel:
        return "Cancel";
    case mbAbort:
        return "Abort";
    case mbRetry:
        return "Retry";
    case mbIgnore:
        return "Ignore";
    case mbAll:
        return "All";
    case mbNoToAll:
        return "NoToAll";
    case mbYesToAll:
        return "YesToAll";
    case mbHelp:
        return "Help";
    }
    return "";
}

TModalResult MsgDlgButtonResult(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return mrYes;
    case mbNo:
        return mrNo;
    case mbOK:
        return mrOk;
    case mbCancel:
        return mrCancel;
    case mbAbort:
        return mrAbort;
    case mbRetry:
        return mrRetry;
    case mbIgnore:
        return mrIgnore;
    case mbAll:
        return mrAll;
    case mbNoToAll:
        return mrNoToAll;
    case mbYesToAll:
        return mrYesToAll;
    case mbHelp:
        return mrNone;
    }
    return mrNone;
}

// --- TMessageForm ---

KVRT_PUBLISHED(TMessageForm) {}

TMessageForm::TMessageForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
}

TButton* TMessageForm::FindButton(TModalResult result) const {
    for (TButton* b : FButtons)
        if (b->ModalResult() == result) return b;
    return nullptr;
}

TMessageForm* CreateMessageDialog(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons) {
    auto* form = New<TMessageForm>(Application);
    try {
        form->FType = type;
        const char* title = TypeTitle(type);
        form->SetCaption(title ? title : Application->Title());
        form->FMessage = new TLabel(form);
        form->FMessage->SetName("Message");
        form->FMessage->SetParent(form);
        form->FMessage->SetCaption(msg);
        form->FMessage->SetBounds(16, 16, form->FMessage->Width(), form->FMessage->Height());
        TMsgDlgBtn defaultButton = buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : mbHelp;
        TMsgDlgBtn cancelButton = buttons.Contains(mbCancel) ? mbCancel
                                  : buttons.Contains(mbNo)   ? mbNo
                                                             : mbOK;
        bool defaultSet = false;
        int x = 16;
        int y = form->FMessage->Top() + form->FMessage->Height() + 16;
        for (int i = mbYes; i <= mbHelp; ++i) {
            auto b = static_cast<TMsgDlgBtn>(i);
            if (!buttons.Contains(b)) continue;
            auto* button = new TButton(form);
            button->SetName(MsgDlgButtonName(b));
            button->SetParent(form);
            button->SetCaption(ButtonCaption(b));
            button->SetModalResult(MsgDlgButtonResult(b));
            button->SetBounds(x, y, 75, 25);
            x += 83;
            if (b == defaultButton || (defaultButton == mbHelp && !defaultSet)) {
                button->SetDefault(true);
                defaultSet = true;
                form->SetActiveControl(button);
            }
            if (b == cancelButton && buttons.Contains(cancelButton)) button->SetCancel(true);
            form->FButtons.push_back(button);
        }
        if (!defaultSet && !form->FButtons.empty()) {
            form->FButtons.front()->SetDefault(true);
            form->SetActiveControl(form->FButtons.front());
        }
        int width = std::max(x + 8, form->FMessage->Width() + 40);
        form->SetClientWidth(width);
        form->SetClientHeight(y + 25 + 16);
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

int MessageDlgPos(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int, int x, int y) {
    TMessageForm* form = CreateMessageDialog(msg, type, buttons);
    int result;
    try {
        if (x >= 0) form->SetLeft(x);
        if (y >= 0) form->SetTop(y);
        result = form->ShowModal();
    } catch (...) {
        form->Free();
        throw;
    }
    form->Free();
    return result;
}

int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
    return MessageDlgPos(msg, type, buttons, helpCtx, -1, -1);
}

void ShowMessage(const std::string& msg) {
    MessageDlgPos(msg, mtCustom, {mbOK}, 0, -1, -1);
}

int MessageBox(HWND, const std::string& text, const std::string& caption, int flags) {
    TDialogRecord record;
    record.Kind = "MessageBox";
    record.Caption = caption;
    record.Text = text;
    switch (flags & 0xF0) {
    case MB_ICONHAND:
        record.Type = mtError;
        break;
    case MB_ICONQUESTION:
        record.Type = mtConfirmation;
        break;
    case MB_ICONEXCLAMATION:
        record.Type = mtWarning;
        break;
    case MB_ICONASTERISK:
        record.Type = mtInformation;
        break;
    default:
        record.Type = mtCustom;
        break;
    }
    std::vector<std::pair<const char*, int>> buttons;
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        buttons = {{"OK", IDOK}, {"Cancel", IDCANCEL}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
        break;
    case MB_YESNO:
        buttons = {{"Yes", IDYES}, {"No", IDNO}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
        break;
    default:
        buttons = {{"OK", IDOK}};
        break;
    }
    for (auto& [name, result] : buttons) {
        record.Buttons.emplace_back(name);
        record.ButtonCaptions.emplace_back(name);
        record.Results.push_back(result);
    }
    size_t def = static_cast<size_t>((flags & 0xF00) >> 8);
    record.DefaultResult = record.Results[def < record.Results.size() ? def : 0];
    return DialogDriver().MessageBox(record);
}

// --- drivers ---

TDialogDriver& DialogDriver() {
    return *ActiveDriver();
}

std::unique_ptr<TDialogDriver> SetDialogDriver(std::unique_ptr<TDialogDriver> driver) {
    if (!driver) driver = std::make_unique<THeadlessDialogDriver>();
    std::swap(driver, ActiveDriver());
    return driver;
}

THeadlessDialogDriver* HeadlessDialogs() {
    return dynamic_cast<THeadlessDialogDriver*>(&DialogDriver());
}

bool ModalLoopStep(TCustomForm& form) {
    Application->ProcessMessages();
    if (Application->Terminated() && form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
    if (!form.Visible()) {
        if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
        return true;
    }
    if (form.ModalResult() == mrNone) return false;
    form.CloseModal();
    return form.ModalResult() != mrNone;
}

int THeadlessDialogDriver::Answer(TDialogRecord& record) {
    int answer = record.DefaultResult;
    if (!FAnswers.empty()) {
        answer = FAnswers.front();
        FAnswers.pop_front();
        if (std::find(record.Results.begin(), record.Results.end(), answer) == record.Results.end()) {
            record.Answer = answer;
            FDialogs.push_back(record);
            throw EInvalidOperation("Scripted answer " + std::to_string(answer) +
                                    " is not a button of the dialog \"" + record.Text + "\"");
        }
    }
    record.Answer = answer;
    FDialogs.push_back(record);
    return answer;
}

int THeadlessDialogDriver::MessageBox(TDialogRecord& record) {
    return Answer(record);
}

void THeadlessDialogDriver::RunMessageForm(TMessageForm& form) {
    TDialogRecord record;
    record.Kind = "MessageDlg";
    record.Caption = form.Caption();
    record.Text = form.Message() ? form.Message()->Caption() : std::string();
    record.Type = form.DialogType();
    for (TButton* b : form.Buttons()) {
        record.Buttons.push_back(b->Name());
        record.ButtonCaptions.push_back(b->Caption());
        record.Results.push_back(b->ModalResult());
        if (b->Default()) record.DefaultResult = b->ModalResult();
    }
    int answer = Answer(record);
    if (TButton* b = form.FindButton(answer))
        b->Click();
    else
        form.SetModalResult(answer);
}

void THeadlessDialogDriver::RunModal(TCustomForm& form) {
    if (auto* messageForm = dynamic_cast<TMessageForm*>(&form)) {
        RunMessageForm(*messageForm);
    } else {
        for (TClass c = form.ClassType(); c; c = c->Parent()) {
            auto it = FHandlers.find(UpperCase(c->Name()));
            if (it == FHandlers.end()) continue;
            TModalHandler handler = it->second; // a copy: the handler may change the registrations
            handler(form);
            break;
        }
    }
    if (ModalLoopStep(form)) return;
    // Nothing closed the form: the user walks away with the close box.
    FAbandoned.push_back(form.ClassName());
    form.SetModalResult(mrCancel);
    if (ModalLoopStep(form)) return;
    form.SetModalResult(mrCancel); // the close checks refused; a script cannot do better, so end anyway
}

void THeadlessDialogDriver::SetModalHandler(const std::string& className, TModalHandler handler) {
    FHandlers[UpperCase(className)] = std::move(handler);
}

void THeadlessDialogDriver::RemoveModalHandler(const std::string& className) {
    FHandlers.erase(UpperCase(className));
}

void THeadlessDialogDriver::Reset() {
    FAnswers.clear();
    FHandlers.clear();
    FDialogs.clear();
    FAbandoned.clear();
}

} // namespace rt
