#pragma once
// Message dialogs and modal loops, through a dialog driver.
//
// MessageDlg, ShowMessage and MessageBox, and every ShowModal, go through the active driver. The default
// driver is headless: it records every message dialog (kind, caption, text, type, buttons) and answers
// it from a queue of scripted answers, or with the dialog's default button; a modal form runs the
// scripted handler registered for its class (which may set fields, click buttons and set ModalResult)
// and, when the form is still open afterwards, ends it with mrCancel instead of waiting forever.
//
// A message dialog is a real form (TMessageForm, made by CreateMessageDialog) with one button per
// requested button, named after it ("OK", "Cancel", "Yes", ...), so that callers can change captions and
// fonts before showing it; the driver answers it by clicking the chosen button.
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rt {

KVRT_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
KVRT_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
          mbHelp)
KVRT_SET(TMsgDlgButtons, TMsgDlgBtn)

inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// MessageBox flags and answers (the platform's values).
enum : int {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONHAND = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON1 = 0x0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_APPLMODAL = 0x0,
    MB_SYSTEMMODAL = 0x1000,
    MB_TASKMODAL = 0x2000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// The name of a button ("OK", "Cancel", "Yes", "No", "Abort", "Retry", "Ignore", "All", "NoToAll",
// "YesToAll", "Help") and the modal result it gives.
const char* MsgDlgButtonName(TMsgDlgBtn button);
TModalResult MsgDlgButtonResult(TMsgDlgBtn button);

// What a message dialog asked of the user, and what it was answered.
struct TDialogRecord {
    std::string Kind; // "MessageDlg" (also ShowMessage) or "MessageBox"
    std::string Caption;
    std::string Text;
    TMsgDlgType Type = mtCustom;
    std::vector<std::string> Buttons;        // button names in order ("Yes", "No", "Cancel")
    std::vector<std::string> ButtonCaptions; // their captions as shown
    std::vector<int> Results;                // the result of each button
    int DefaultResult = 0;
    int Answer = 0;
};

class TMessageForm : public TForm {
    KVRT_CLASS(TMessageForm, TForm)
public:
    explicit TMessageForm(TComponent* AOwner);
    TLabel* Message() const { return FMessage; }
    TMsgDlgType DialogType() const { return FType; }
    // The buttons in order.
    const std::vector<TButton*>& Buttons() const { return FButtons; }
    TButton* FindButton(TModalResult result) const;

private:
    friend TMessageForm* CreateMessageDialog(const std::string&, TMsgDlgType, TMsgDlgButtons);
    TLabel* FMessage = nullptr;
    TMsgDlgType FType = mtCustom;
    std::vector<TButton*> FButtons;
};

// The platform's message dialog form, not yet shown (caption: the type's title, or the application's
// title for mtCustom). The default button is OK, else Yes, else the first; Cancel, else No, else OK
// answers Esc.
TMessageForm* CreateMessageDialog(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons);
int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
int MessageDlgPos(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x,
                  int y);
void ShowMessage(const std::string& msg);
// The system message box: flags give the buttons (MB_YESNO ...), the icon and the default button.
int MessageBox(HWND owner, const std::string& text, const std::string& caption, int flags);

class TDialogDriver {
public:
    virtual ~TDialogDriver() = default;
    // Answers a message box (no form involved). record is filled in and its Answer set.
    virtual int MessageBox(TDialogRecord& record) = 0;
    // Runs the modal loop of a form shown with ShowModal; returns when the form's ModalResult is set and
    // its close checks passed. The form is shown before and hidden after by ShowModal.
    virtual void RunModal(TCustomForm& form) = 0;
};

using TModalHandler = std::function<void(TCustomForm& form)>;

class THeadlessDialogDriver : public TDialogDriver {
public:
    int MessageBox(TDialogRecord& record) override;
    void RunModal(TCustomForm& form) override;

    // The next message dialog is answered with result (mrYes, IDNO, ...); answers are used in order. An
    // answer that is not one of the dialog's buttons raises EInvalidOperation (a script error).
    void PushAnswer(int result) { FAnswers.push_back(result); }
    size_t PendingAnswers() const { return FAnswers.size(); }
    void ClearAnswers() { FAnswers.clear(); }

    // The handler that plays the user while a form of this class (or a descendant without its own
    // handler) is shown modally. Handlers stay registered until removed.
    void SetModalHandler(const std::string& className, TModalHandler handler);
    void RemoveModalHandler(const std::string& className);
    void ClearModalHandlers() { FHandlers.clear(); }

    const std::vector<TDialogRecord>& Dialogs() const { return FDialogs; }
    const TDialogRecord* LastDialog() const { return FDialogs.empty() ? nullptr : &FDialogs.back(); }
    void ClearDialogs() { FDialogs.clear(); }
    // Forms whose modal loop the driver ended with mrCancel because nothing closed them.
    const std::vector<std::string>& AbandonedForms() const { return FAbandoned; }

    void Reset(); // answers, handlers and records

private:
    int Answer(TDialogRecord& record);
    void RunMessageForm(class TMessageForm& form);
    std::deque<int> FAnswers;
    std::map<std::string, TModalHandler> FHandlers; // upper-case class names
    std::vector<TDialogRecord> FDialogs;
    std::vector<std::string> FAbandoned;
};

TDialogDriver& DialogDriver();
// Installs a driver (null: back to a fresh headless one); returns the previous driver.
std::unique_ptr<TDialogDriver> SetDialogDriver(std::unique_ptr<TDialogDriver> driver);
// The active driver when it is the headless one, else null.
THeadlessDialogDriver* HeadlessDialogs();

// The loop every driver runs once its user has acted: process messages, run the close checks when
// ModalResult is set; returns true when the form may close.
bool ModalLoopStep(TCustomForm& form);

} // namespace rt
