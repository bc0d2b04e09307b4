#include "ui/Forms.h"

#include "core/SysUtils.h"
#include "ui/ComCtrls.h"
#include "ui/Dialogs.h"
#include "ui/FormResource.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <algorithm>
#include <unistd.h>

namespace rt {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

struct GlobalObjects {
    GlobalObjects() {
        Application = new TApplication(nullptr);
        Screen = new TScreen(nullptr);
    }
} globalObjects; // never destroyed: forms may outlive static destruction order

void CollectButtons(TWinControl* parent, std::vector<TButton*>& out) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (auto* b = dynamic_cast<TButton*>(c)) out.push_back(b);
        if (auto* w = dynamic_cast<TWinControl*>(c)) CollectButtons(w, out);
    }
}

} // namespace

const TTypeInfo* TypeInfo_TModalResult() {
    static const TTypeInfo info = [] {
        TTypeInfo t = *TypeInfo_Integer();
        t.Name = "TModalResult";
        return t;
    }();
    return &info;
}

// --- TCustomForm ---

KVRT_PUBLISHED(TCustomForm) {
    P.Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    P.Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons);
    P.Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle);
    P.Property("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption);
    P.Property("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
    P.Property("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
    P.Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle);
    P.Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
    P.Property("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    P.Property("ModalResult", &TCustomForm::ModalResult, &TCustomForm::SetModalResult,
               TypeInfo_TModalResult());
    P.Property("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder);
    P.Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
    P.Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition);
    P.Property("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled);
    P.Property("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll);
    P.Property("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight);
    P.Property("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState);
    P.Property("OnActivate", &TCustomForm::OnActivate, &TCustomForm::OnActivate);
    P.Property("OnClose", &TCustomForm::OnClose, &TCustomForm::OnClose);
    P.Property("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::OnCloseQuery);
    P.Property("OnCreate", &TCustomForm::OnCreate, &TCustomForm::OnCreate);
    P.Property("OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::OnDeactivate);
    P.Property("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::OnDestroy);
    P.Property("OnHide", &TCustomForm::OnHide, &TCustomForm::OnHide);
    P.Property("OnPaint", &TCustomForm::OnPaint, &TCustomForm::OnPaint);
    P.Property("OnShow", &TCustomForm::OnShow, &TCustomForm::OnShow);
    P.Message<&TCustomForm::WMClose>(WM_CLOSE);
    P.Message<&TCustomForm::CMRelease>(CM_RELEASE);
    P.Message<&TCustomForm::WMNextDlgCtl>(WM_NEXTDLGCTL);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    FFormState.Include(fsCreating);
    TControl::SetVisible(false);
    SetBounds(0, 0, 320, 240);
    SetParentFont(false);
    SetColor(clBtnFace);
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    Destroying();
    if (Application->MainForm() == this) Application->SetMainForm(nullptr);
    auto& modal = Application->FModalStack;
    modal.erase(std::remove(modal.begin(), modal.end(), this), modal.end());
    // The components go while the form is still whole: their removal touches its focus state.
    DestroyComponents();
    Screen->RemoveForm(this);
}

void TCustomForm::AfterConstruction() {
    TWinControl::AfterConstruction();
    if (FCreated) return;
    FCreated = true;
    ReadResources();
    FResourcesRead = true;
    FFormState.Exclude(fsCreating);
    DoCreate();
    // A resource that says Visible = True shows the form once it is created.
    if (FShowWhenCreated) {
        FShowWhenCreated = false;
        Show();
    }
}

void TCustomForm::ReadResources() {
    InitInheritedComponent(this);
}

void TCustomForm::BeforeDestruction() {
    if (!FDestroyFired) {
        FDestroyFired = true;
        if (Visible()) Hide();
        DoDestroy();
    }
    TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
    OnCreate(this);
}
void TCustomForm::DoDestroy() {
    OnDestroy(this);
}
void TCustomForm::DoShow() {
    OnShow(this);
}
void TCustomForm::DoHide() {
    OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& action) {
    OnClose(this, action);
}
void TCustomForm::Activate() {
    OnActivate(this);
}
void TCustomForm::Deactivate() {
    OnDeactivate(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    PeerUpdate(paState);
}

void TCustomForm::SetWindowState(TWindowState v) {
    if (v == FWindowState) return;
    FWindowState = v;
    PeerUpdate(paState);
}

TMainMenu* TCustomForm::Menu() const {
    return FMenu.get();
}
void TCustomForm::SetMenu(TMainMenu* v) {
    FMenu = v;
}

namespace {
int FrameWidth(TFormBorderStyle s) {
    switch (s) {
    case bsNone:
        return 0;
    case bsSizeable:
    case bsSizeToolWin:
        return 4;
    default:
        return 3;
    }
}
int CaptionHeight(TFormBorderStyle s) {
    switch (s) {
    case bsNone:
        return 0;
    case bsToolWindow:
    case bsSizeToolWin:
        return 16;
    default:
        return 19;
    }
}
} // namespace

int TCustomForm::ClientWidth() const {
    return std::max(0, Width() - 2 * FrameWidth(FBorderStyle));
}

int TCustomForm::ClientHeight() const {
    int menu = Menu() ? 19 : 0;
    return std::max(0, Height() - 2 * FrameWidth(FBorderStyle) - CaptionHeight(FBorderStyle) - menu);
}

bool TCustomForm::IsActive() const {
    return Screen->ActiveForm() == this && Visible();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == FActiveControl) return;
    if (control &&
        (control == this || GetParentForm(control) != this || (!IsLoading() && !control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (IsLoading() || !IsActive() || !control) {
        FActiveControl = control;
        return;
    }
    FocusControl(control);
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (!control) return;
    if (!IsActive()) {
        if (control != this) FActiveControl = control;
        return;
    }
    unsigned generation = ++FFocusGeneration;
    FFocusedControl = control;
    if (control != this) FActiveControl = control;
    control->PeerUpdate(paFocus);

    // The innermost control that stays entered: the nearest container of both.
    TWinControl* common = this;
    for (TWinControl* c = FEnteredControl; c; c = c->Parent())
        if (c->ContainsControl(control)) {
            common = c;
            break;
        }
    while (FEnteredControl && FEnteredControl != common && FEnteredControl != this) {
        TWinControl* leaving = FEnteredControl;
        // Counted as left before its OnExit runs, so that a handler moving the focus does not leave it twice.
        FEnteredControl = leaving->Parent();
        try {
            leaving->Perform(CM_EXIT);
        } catch (...) {
            if (generation == FFocusGeneration) FEnteredControl = leaving;
            throw;
        }
        if (generation != FFocusGeneration) return;
    }
    std::vector<TWinControl*> path;
    for (TWinControl* c = control; c && c != common && c != this; c = c->Parent()) path.push_back(c);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        FEnteredControl = *it;
        (*it)->Perform(CM_ENTER);
        if (generation != FFocusGeneration) return;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
    Screen->OnActiveControlChange(Screen);
}

void TCustomForm::KeepFocus(TWinControl* control) {
    if (!control || GetParentForm(control) != this) return;
    ++FFocusGeneration;
    FFocusedControl = control;
    FActiveControl = control;
    FEnteredControl = control;
    control->PeerUpdate(paFocus);
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
    if (!control || control == this) return;
    TWinControl* parent = control->Parent();
    if (control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
    if (control->ContainsControl(FFocusedControl)) FFocusedControl = removing ? parent : nullptr;
    if (FFocusedControl == this) FFocusedControl = nullptr;
    if (control->ContainsControl(FEnteredControl)) FEnteredControl = parent == this ? nullptr : parent;
}

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::BringToFront() {
    if (Visible()) ActivateForm();
}

void TCustomForm::SetVisible(bool v) {
    if (IsLoading() || FFormState.Contains(fsCreating)) {
        FShowWhenCreated = v;
        return;
    }
    if (v == Visible()) {
        if (v) ActivateForm();
        return;
    }
    if (v) {
        if (!FCreated) AfterConstruction();
        PlaceOnScreen();
        CreateHandleTree();
        FFormState.Include(fsShowing);
        try {
            TControl::SetVisible(true);
            FFormState.Include(fsVisible);
            DoShow();
        } catch (...) {
            FFormState.Exclude(fsShowing);
            throw;
        }
        FFormState.Exclude(fsShowing);
        ActivateForm();
    } else {
        FFormState.Include(fsShowing);
        try {
            DoHide();
        } catch (...) {
            FFormState.Exclude(fsShowing);
            throw;
        }
        FFormState.Exclude(fsShowing);
        FFormState.Exclude(fsVisible);
        TControl::SetVisible(false);
        if (Screen->ActiveForm() == this) {
            DeactivateForm();
            TCustomForm* next = Screen->NextActiveForm(this);
            Screen->SetActiveForm(next);
            if (next) next->ActivateForm();
        }
    }
}

void TCustomForm::PlaceOnScreen() {
    TCustomForm* around = nullptr;
    switch (FPosition) {
    case poMainFormCenter:
        around = Application->MainForm();
        break;
    case poOwnerFormCenter:
        around = dynamic_cast<TCustomForm*>(Owner());
        break;
    case poScreenCenter:
    case poDesktopCenter:
        break;
    default:
        return;
    }
    if (around == this || (around && !around->Visible())) around = nullptr;
    TRect area = around ? around->BoundsRect() : Rect(0, 0, Screen->Width(), Screen->Height());
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(),
              Height());
}

void TCustomForm::ActivateForm() {
    if (!Visible()) return;
    if (Screen->ActiveForm() != this || !FActive) {
        Screen->SetActiveForm(this);
        FActive = true;
        Activate();
    }
    SetWindowFocus();
}

void TCustomForm::DeactivateForm() {
    if (!FActive) return;
    FActive = false;
    Deactivate();
}

void TCustomForm::SetWindowFocus() {
    if (!IsActive()) return;
    TWinControl* target = nullptr;
    if (FActiveControl && FActiveControl->CanFocus())
        target = FActiveControl;
    else if (FFocusedControl && FFocusedControl->CanFocus())
        target = FFocusedControl;
    else
        target = FindNextControl(nullptr, true, true, false);
    if (!target || target == FFocusedControl) return; // returning to the form: no events
    FocusControl(target);
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || FFormState.Contains(fsModal))
        throw EInvalidOperation("Cannot make a visible window modal");
    if (!FCreated) AfterConstruction();
    TCustomForm* previous = Screen->ActiveForm();
    FModalResult = mrNone;
    FFormState.Include(fsModal);
    Application->FModalStack.push_back(this);
    auto finish = [&] {
        auto& stack = Application->FModalStack;
        stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
        FFormState.Exclude(fsModal);
        if (previous && previous != this && previous->Visible()) previous->ActivateForm();
    };
    TComponentPtr<TCustomForm> alive(this);
    try {
        Show();
        DialogDriver().RunModal(*this);
        if (!alive) return mrCancel; // freed by its own handler: nothing left to touch
        if (Visible()) Hide();
    } catch (...) {
        if (!alive) throw;
        FFormState.Exclude(fsModal);
        if (Visible()) {
            try {
                Hide();
            } catch (...) {
            }
        }
        finish();
        throw;
    }
    finish();
    return FModalResult;
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::CloseModal() {
    if (FModalResult == mrNone) return;
    if (!CloseQuery()) {
        FModalResult = mrNone;
        return;
    }
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        FModalResult = mrNone;
    else if (action == caFree)
        Release();
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = FFormStyle == fsMDIChild ? caMinimize : caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this) Application->Terminate();
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

void TCustomForm::Release() {
    PostMessage(Handle(), CM_RELEASE);
}

void TCustomForm::WMClose(TMessage&) {
    Close();
}

void TCustomForm::CMRelease(TMessage&) {
    Free();
}

void TCustomForm::WMNextDlgCtl(TMessage& m) {
    if (m.LParam == 0) SelectNext(FActiveControl, m.WParam == 0, true);
}

bool TCustomForm::DialogKey(Word key, TShiftState shift) {
    switch (key) {
    case VK_TAB:
        if (shift.Contains(ssCtrl)) {
            // Ctrl+Tab turns the pages of the page control around the focused control.
            for (TWinControl* c = FFocusedControl; c; c = c->Parent())
                if (auto* pages = dynamic_cast<TPageControl*>(c)) {
                    pages->SelectNextPage(!shift.Contains(ssShift));
                    return true;
                }
            return false;
        }
        if (shift.Contains(ssAlt)) return false;
        SelectNext(FActiveControl, !shift.Contains(ssShift), true);
        return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (!FActiveControl) return false;
        SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, true);
        return true;
    case VK_RETURN:
    case VK_ESCAPE: {
        if (key == VK_RETURN)
            if (auto* focused = dynamic_cast<TButton*>(FFocusedControl); focused && focused->CanFocus()) {
                focused->Click();
                return true;
            }
        std::vector<TButton*> buttons;
        CollectButtons(this, buttons);
        for (TButton* b : buttons)
            if ((key == VK_RETURN ? b->Default() : b->Cancel()) && b->Showing() && b->Enabled()) {
                b->Click();
                return true;
            }
        return false;
    }
    default:
        return false;
    }
}

namespace {
bool AccelIn(TWinControl* parent, Word key) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible() || !c->Enabled()) continue;
        if (auto* pages = dynamic_cast<TPageControl*>(c)) {
            for (int p = 0; p < pages->PageCount(); ++p) {
                TTabSheet* page = pages->Pages(p);
                if (page->TabVisible() && IsAccel(key, page->Caption())) {
                    if (page != pages->ActivePage()) pages->ChangePageByUser(page);
                    return true;
                }
            }
        }
        if (IsAccel(key, c->Caption())) {
            if (auto* label = dynamic_cast<TCustomLabel*>(c)) {
                if (TWinControl* target = label->FocusControl(); target && target->CanFocus()) {
                    target->SetFocus();
                    return true;
                }
            } else if (auto* button = dynamic_cast<TButton*>(c)) {
                button->Click();
                return true;
            } else if (dynamic_cast<TCustomCheckBox*>(c) || dynamic_cast<TRadioButton*>(c)) {
                auto* w = static_cast<TWinControl*>(c);
                if (w->CanFocus()) w->SetFocus();
                if (w->Focused()) w->UserClick();
                return true;
            } else if (auto* group = dynamic_cast<TCustomGroupBox*>(c)) {
                if (TWinControl* first = group->FindNextControl(nullptr, true, true, false))
                    first->SetFocus();
                return true;
            } else if (dynamic_cast<TGraphicControl*>(c)) {
                c->UserClick(); // speed and tool buttons
                return true;
            }
        }
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (AccelIn(w, key)) return true;
    }
    return false;
}
} // namespace

bool TCustomForm::DialogChar(Word key) {
    return AccelIn(this, key);
}

void TCustomForm::DefaultHandler(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        m.Result = DialogChar(static_cast<Word>(m.WParam)) ? 1 : 0;
        return;
    }
    if (m.Msg == CM_DIALOGKEY) {
        m.Result = DialogKey(static_cast<Word>(m.WParam), ParamToShift(m.LParam)) ? 1 : 0;
        return;
    }
    TWinControl::DefaultHandler(m);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component) {
        if (component == FActiveControl) FActiveControl = nullptr;
        if (component == FFocusedControl) FFocusedControl = nullptr;
        if (component == FEnteredControl) FEnteredControl = nullptr;
    }
}

KVRT_PUBLISHED(TForm) {}

// --- TScreen ---

KVRT_PUBLISHED(TScreen) {}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() {
    delete FFonts;
}

int TScreen::Width() const {
    return Backend().ScreenWidth();
}
int TScreen::Height() const {
    return Backend().ScreenHeight();
}

TStringsObject* TScreen::Fonts() const {
    if (!FFonts) {
        FFonts = new TStringsObject;
        for (const std::string& name : Backend().FontNames()) FFonts->Add(name);
    }
    return FFonts;
}

TCustomForm* TScreen::Forms(int index) const {
    if (index < 0 || index >= FormCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FForms[static_cast<size_t>(index)];
}

TCustomForm* TScreen::FindForm(std::string_view name) const {
    for (TCustomForm* f : FForms)
        if (SameText(f->Name(), name)) return f;
    return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
    return FActiveForm ? FActiveForm->FocusedControl() : nullptr;
}

void TScreen::AddForm(TCustomForm* form) {
    FForms.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
    FActivationOrder.erase(std::remove(FActivationOrder.begin(), FActivationOrder.end(), form),
                           FActivationOrder.end());
    if (FActiveForm == form) FActiveForm = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* form) {
    if (FActiveForm == form) return;
    TCustomForm* old = FActiveForm;
    FActiveForm = form;
    if (old) old->DeactivateForm();
    if (form) {
        FActivationOrder.erase(std::remove(FActivationOrder.begin(), FActivationOrder.end(), form),
                               FActivationOrder.end());
        FActivationOrder.push_back(form);
    }
    OnActiveFormChange(this);
}

TCustomForm* TScreen::NextActiveForm(TCustomForm* except) const {
    for (auto it = FActivationOrder.rbegin(); it != FActivationOrder.rend(); ++it)
        if (*it != except && (*it)->Visible()) return *it;
    return nullptr;
}

// --- TApplication ---

KVRT_PUBLISHED(TApplication) {}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    FTitle = ChangeFileExt(ExtractFileName(ExeName()), "");
}

TApplication::~TApplication() = default;

std::string TApplication::ExeName() const {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

void TApplication::ProcessMessages() {
    Backend().PumpEvents();
    while (!messagequeue::Empty()) {
        try {
            messagequeue::DeliverAll();
        } catch (Exception& e) {
            HandleException(e);
        }
    }
}

void TApplication::Run() {
    while (!FTerminated) {
        ProcessMessages();
        OnIdle(this);
        if (messagequeue::Empty()) break; // headless: nothing will arrive by itself
    }
}

void TApplication::HandleException(Exception& e) {
    if (OnException.Assigned())
        OnException(this, e);
    else
        ShowException(e);
}

void TApplication::ShowException(Exception& e) {
    std::string msg = e.Message();
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
    MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
    return rt::MessageBox(0, text, caption.empty() ? FTitle : caption, flags);
}

} // namespace rt
