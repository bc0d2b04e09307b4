#pragma once
// Forms, the screen and the application.
//
// A form class derives from TForm, declares its published fields and handlers (rtti/Publish.h) and
// registers its resource (ui/FormResource.h). It is created with New<T>(owner), with
// Application->CreateForm, or through the class registry; the resources of the class and its ancestors
// are read in AfterConstruction, base first, and OnCreate runs after them.
//
// Focus follows the platform: moving the focus sets ActiveControl to the new control first, then runs
// OnExit for the old control and each container being left, then OnEnter for each container being
// entered and the new control. A handler that moves the focus or raises ends the chain.
//
// ShowModal runs the modal loop of the dialog driver (ui/Dialogs.h): the headless driver calls the
// scripted handler registered for the form class, or ends the form with mrCancel.
#include "ui/Controls.h"
#include "ui/Strings.h"

#include <functional>
#include <string>
#include <vector>

namespace rt {

class TMainMenu;

KVRT_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
KVRT_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
          poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
KVRT_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
KVRT_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
KVRT_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
KVRT_SET(TBorderIcons, TBorderIcon)
KVRT_ENUM(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated)
KVRT_SET(TFormState, TFormStateItem)

using TModalResult = int;
enum : TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};
const TTypeInfo* TypeInfo_TModalResult();

KVRT_EVENT(TCloseEvent, void(TObject* Sender, TCloseAction& Action))
KVRT_EVENT(TCloseQueryEvent, void(TObject* Sender, bool& CanClose))

class TCustomForm : public TWinControl {
    KVRT_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // Focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    // Before the form is shown: the control that gets the focus first. On the active form: focuses it
    // at once. Raises EInvalidOperation for a control that cannot take the focus.
    void SetActiveControl(TWinControl* control);
    TWinControl* FocusedControl() const { return FFocusedControl; }
    // Moves the focus to control with the enter/exit chain (used by SetFocus).
    void FocusControl(TWinControl* control);
    // Puts the focus back on control without any enter or exit events (a control whose validation on exit
    // failed keeps the focus this way); the focus change in progress, if any, ends.
    void KeepFocus(TWinControl* control);
    // A control inside this form is hidden, disabled or removed: the focus leaves it without events.
    void DefocusControl(TWinControl* control, bool removing);
    bool IsActive() const;
    // Shown and past OnShow: controls can take the focus.
    bool IsShown() const { return Visible() && !FFormState.Contains(fsShowing); }

    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    TFormState FormState() const { return FFormState; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons v) { FBorderIcons = v; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState v);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle v) { FFormStyle = v; }
    TMainMenu* Menu() const;
    void SetMenu(TMainMenu* v);
    int PixelsPerInch() const { return 96; }
    void SetPixelsPerInch(int) {}
    int TextHeight() const { return FTextHeight; }
    void SetTextHeight(int v) { FTextHeight = v; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool v) { FScaled = v; }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool v) { FOldCreateOrder = v; }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool v) { FAutoScroll = v; }

    int ClientWidth() const override;
    int ClientHeight() const override;

    // Showing and closing.
    void Show();
    void Hide() { SetVisible(false); }
    void SetVisible(bool v) override;
    TModalResult ShowModal();
    // On a modal form: ModalResult := mrCancel (the close events run in the modal loop). Otherwise
    // OnCloseQuery, OnClose, then the close action.
    void Close();
    bool CloseQuery();
    // Destroys the form once the current message has been handled (posts CM_RELEASE).
    void Release();
    // One step of a modal loop after messages were processed: runs the close checks when ModalResult is
    // set (OnCloseQuery, OnClose), resetting it when they refuse. Used by the dialog drivers.
    void CloseModal();
    void BringToFront();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnPaint;

    void DefaultHandler(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    // Tab, arrows, Enter and Esc that the focused control does not want.
    virtual bool DialogKey(Word key, TShiftState shift);
    // Alt+key: the first showing, enabled control whose caption has that accelerator acts (a button
    // clicks, a label focuses its FocusControl, a check box or radio button takes the focus and is
    // clicked, a group box focuses its first control, a page control turns to that tab).
    virtual bool DialogChar(Word key);

    // The form's own resources have been read (set by AfterConstruction).
    bool ResourcesRead() const { return FResourcesRead; }

protected:
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void Activate();
    virtual void Deactivate();
    // Reads the resources of the form class and its ancestors (ui/FormResource.h).
    virtual void ReadResources();

private:
    friend class TScreen;
    void SetWindowFocus();
    // Position: centred on the screen, the main form or the owner when shown.
    void PlaceOnScreen();
    void ActivateForm();
    void DeactivateForm();
    void WMClose(TMessage& m);
    void CMRelease(TMessage& m);
    void WMNextDlgCtl(TMessage& m);

    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TWinControl* FEnteredControl = nullptr; // innermost control whose OnEnter has run
    unsigned FFocusGeneration = 0;
    bool FKeyPreview = false;
    TModalResult FModalResult = mrNone;
    TFormState FFormState;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TFormStyle FFormStyle = fsNormal;
    TComponentPtr<TMainMenu> FMenu;
    int FTextHeight = 13;
    bool FScaled = true;
    bool FOldCreateOrder = false;
    bool FAutoScroll = false;
    bool FResourcesRead = false;
    bool FCreated = false;
    bool FDestroyFired = false;
    bool FShowWhenCreated = false;
    bool FActive = false;
};

class TForm : public TCustomForm {
    KVRT_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

KVRT_EVENT(TExceptionEvent, void(TObject* Sender, Exception& E))

class TScreen : public TComponent {
    KVRT_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int Width() const;
    int Height() const;
    int DesktopWidth() const { return Width(); }
    int DesktopHeight() const { return Height(); }
    int PixelsPerInch() const { return 96; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v) { FCursor = v; }
    // The font names the backend knows.
    TStringsObject* Fonts() const;

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int index) const;
    TCustomForm* FindForm(std::string_view name) const;
    TCustomForm* ActiveForm() const { return FActiveForm; }
    // The focused control of the active form.
    TWinControl* ActiveControl() const;

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);
    void SetActiveForm(TCustomForm* form);
    // The most recently activated visible form other than except, or null.
    TCustomForm* NextActiveForm(TCustomForm* except) const;

    std::vector<TCustomForm*> FForms;
    std::vector<TCustomForm*> FActivationOrder; // most recent last
    TCustomForm* FActiveForm = nullptr;
    TCursor FCursor = crDefault;
    mutable TStringsObject* FFonts = nullptr;
};

class TApplication : public TComponent {
    KVRT_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    std::string ExeName() const;
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* form) { FMainForm = form; }
    const std::string& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& v) { FHelpFile = v; }

    // Creates a form owned by the application; the first becomes the main form.
    template <class T> T* CreateForm() {
        T* form = New<T>(this);
        if (!FMainForm) FMainForm = form;
        return form;
    }
    template <class T> void CreateForm(T*& reference) { reference = CreateForm<T>(); }

    // Delivers every queued message (and what their handlers post); an exception of the platform's
    // exception class raised by a handler goes to HandleException.
    void ProcessMessages();
    // Processes messages until the application is terminated or nothing is left to do.
    void Run();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    void ResetTerminated() { FTerminated = false; }

    // The platform's handling of an exception that reached the message loop: OnException if assigned,
    // otherwise an error dialog with the exception's message (through the dialog driver).
    void HandleException(Exception& e);
    void ShowException(Exception& e);
    // The application's message box (through the dialog driver); answers IDOK, IDCANCEL, ...
    int MessageBox(const std::string& text, const std::string& caption, int flags = 0);

    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor v) { FHintColor = v; }
    int HintPause() const { return FHintPause; }
    void SetHintPause(int v) { FHintPause = v; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int v) { FHintHidePause = v; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int v) { FHintShortPause = v; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }

    // The modal form on top, or null.
    TCustomForm* ModalForm() const { return FModalStack.empty() ? nullptr : FModalStack.back(); }
    int ModalLevel() const { return static_cast<int>(FModalStack.size()); }

    TExceptionEvent OnException;
    TNotifyEvent OnIdle;

private:
    friend class TCustomForm;
    std::string FTitle;
    std::string FHelpFile;
    std::string FHint;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FShowHint = true;
    TColor FHintColor = clInfoBk;
    int FHintPause = 500;
    int FHintHidePause = 2500;
    int FHintShortPause = 50;
    std::vector<TCustomForm*> FModalStack;
};

// The process-wide application and screen objects, created when the runtime library loads.
extern TApplication* Application;
extern TScreen* Screen;

} // namespace rt
