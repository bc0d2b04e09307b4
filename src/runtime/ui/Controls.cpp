#include "ui/Controls.h"

#include "core/SysUtils.h"
#include "ui/Forms.h"
#include "ui/Menus.h"

#include <algorithm>

namespace rt {

namespace {

bool IsDialogKey(Word key) {
    return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || (key >= VK_LEFT && key <= VK_DOWN);
}

} // namespace

// --- TControl ---

KVRT_PUBLISHED(TControl) {
    P.Property("Left", &TControl::Left, &TControl::SetLeft);
    P.Property("Top", &TControl::Top, &TControl::SetTop);
    P.Property("Width", &TControl::Width, &TControl::SetWidth);
    P.Property("Height", &TControl::Height, &TControl::SetHeight);
    P.Property("Align", &TControl::Align, &TControl::SetAlign);
    P.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors);
    P.Property("Visible", &TControl::Visible, &TControl::SetVisible);
    P.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled);
    P.Property("Color", &TControl::Color, &TControl::SetColor);
    P.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
    P.Property("Font", &TControl::Font, &TControl::SetFont);
    P.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
    P.Property("Hint", &TControl::Hint, &TControl::SetHint);
    P.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
    P.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
    P.Property("Cursor", &TControl::Cursor, &TControl::SetCursor);
    P.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    P.Property("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext);
    P.Property("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor);
    P.Property("DragMode", &TControl::DragMode, &TControl::SetDragMode);
    P.Property("DragKind", &TControl::DragKind, &TControl::SetDragKind);
    P.Property("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode);
    P.Property("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode);
    P.Property("OnClick", &TControl::OnClick, &TControl::OnClick);
    P.Property("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
    P.Property("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
    P.Property("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
    P.Property("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
    P.Property("OnResize", &TControl::OnResize, &TControl::OnResize);
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(new TFont) {
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont->OnChange = Handler<&TControl::FontChangedHandler>(this);
}

TControl::~TControl() {
    if (FParent) FParent->RemoveControl(this);
    DestroyPeer();
    delete FFont;
}

TComponent* TControl::GetParentComponent() const {
    return FParent;
}

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::SetParent(TWinControl* parent) {
    if (FParent == parent) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (auto* self = dynamic_cast<TWinControl*>(this); self && parent && self->ContainsControl(parent))
        throw EInvalidOperation("A control cannot be placed inside itself");
    if (FParent) FParent->RemoveControl(this);
    if (parent) parent->InsertControl(this);
    PeerUpdate(paParent);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    bool resized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    PeerUpdate(paBounds);
    if (FParent && FAlign != alNone) FParent->Realign();
    if (resized && !IsLoading()) Resize();
}

void TControl::SetClientWidth(int v) {
    SetWidth(FWidth - ClientWidth() + v);
}
void TControl::SetClientHeight(int v) {
    SetHeight(FHeight - ClientHeight() + v);
}

TPoint TControl::ClientToScreen(TPoint p) const {
    for (const TControl* c = this; c; c = c->FParent) {
        p.X += c->FLeft;
        p.Y += c->FTop;
    }
    return p;
}

void TControl::SetAlign(TAlign v) {
    if (v == FAlign) return;
    TAlign old = FAlign;
    FAlign = v;
    if (FParent && (old != alNone || v != alNone)) FParent->Realign();
}

void TControl::Resize() {
    OnResize(this);
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    if (!v) {
        if (auto* w = dynamic_cast<TWinControl*>(this))
            if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(w, false);
    }
    PeerUpdate(paVisible);
    Perform(CM_VISIBLECHANGED, v ? 1 : 0);
    if (FParent && FAlign != alNone) FParent->Realign();
}

bool TControl::Showing() const {
    if (!FVisible) return false;
    if (FParent) return FParent->Showing();
    return dynamic_cast<const TCustomForm*>(this) != nullptr;
}

void TControl::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    if (!v) {
        if (auto* w = dynamic_cast<TWinControl*>(this))
            if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(w, false);
    }
    PeerUpdate(paEnabled);
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& v) {
    if (v == GetText()) return;
    FText = v;
    PeerUpdate(paText);
    TextChanged();
    Perform(CM_TEXTCHANGED);
}

void TControl::SetName(const std::string& value) {
    // A control created at run time shows its name until given a text.
    bool changeText = FControlStyle.Contains(csSetCaption) && !IsLoading() && Name() == GetText() &&
                      !(Owner() && dynamic_cast<TControl*>(Owner()) && Owner()->IsLoading());
    TComponent::SetName(value);
    if (changeText) SetText(value);
}

void TControl::SetColor(TColor v) {
    FParentColor = false;
    if (v == FColor) return;
    FColor = v;
    PeerUpdate(paColor);
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->ParentColorChanged();
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    if (v == FParentColor) return;
    FParentColor = v;
    if (v) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent) return;
    if (FColor == FParent->Color()) return;
    FColor = FParent->Color();
    PeerUpdate(paColor);
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->ParentColorChanged();
}

void TControl::SetParentFont(bool v) {
    if (v == FParentFont) return;
    FParentFont = v;
    if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent) return;
    FUpdatingFont = true;
    try {
        FFont->Assign(FParent->Font());
    } catch (...) {
        FUpdatingFont = false;
        throw;
    }
    FUpdatingFont = false;
}

void TControl::FontChangedHandler(TObject*) {
    if (!FUpdatingFont) FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() {
    PeerUpdate(paFont);
    Perform(CM_FONTCHANGED);
}

void TControl::SetHint(const std::string& v) {
    if (v == FHint) return;
    FHint = v;
    PeerUpdate(paHint);
}

void TControl::SetShowHint(bool v) {
    FParentShowHint = false;
    FShowHint = v;
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->ControlCount(); ++i) {
            TControl* c = w->Controls(i);
            if (c->FParentShowHint) {
                c->SetShowHint(v);
                c->FParentShowHint = true;
            }
        }
}

void TControl::SetParentShowHint(bool v) {
    FParentShowHint = v;
    if (v && FParent) {
        SetShowHint(FParent->ShowHint());
        FParentShowHint = true;
    }
}

TPopupMenu* TControl::PopupMenu() const {
    return FPopupMenu.get();
}
void TControl::SetPopupMenu(TPopupMenu* v) {
    FPopupMenu = v;
}

void TControl::SetControlStateItem(TControlStateItem item, bool on) {
    if (on)
        FControlState.Include(item);
    else
        FControlState.Exclude(item);
}

LRESULT TControl::Perform(uint32_t msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    Dispatch(m);
    return m.Result;
}

void TControl::DefaultHandler(TMessage& m) {
    auto x = static_cast<int>(static_cast<int16_t>(m.LParam & 0xFFFF));
    auto y = static_cast<int>(static_cast<int16_t>((m.LParam >> 16) & 0xFFFF));
    TShiftState shift = ParamToShift(static_cast<LPARAM>(m.WParam));
    switch (m.Msg) {
    case WM_LBUTTONDOWN: {
        if (auto* w = dynamic_cast<TWinControl*>(this); w && w->TabStop() && w->CanFocus() && !w->Focused()) {
            TCustomForm* form = GetParentForm(this);
            if (form && form->IsShown()) w->SetFocus();
        }
        if (FControlStyle.Contains(csCaptureMouse)) FControlState.Include(csLButtonDown);
        if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
        MouseDown(mbLeft, shift << ssLeft, x, y);
        break;
    }
    case WM_LBUTTONUP: {
        MouseUp(mbLeft, shift, x, y);
        bool clicked = FControlState.Contains(csClicked);
        FControlState.Exclude(csClicked);
        FControlState.Exclude(csLButtonDown);
        if (clicked) UserClick();
        break;
    }
    case WM_LBUTTONDBLCLK:
        if (FControlStyle.Contains(csDoubleClicks)) DblClick();
        break;
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, shift << ssRight, x, y);
        break;
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        if (TPopupMenu* menu = PopupMenu(); menu && menu->AutoPopup()) {
            TPoint p = ClientToScreen(Point(x, y));
            menu->SetPopupComponent(this);
            menu->Popup(p.X, p.Y);
        }
        break;
    default:
        break;
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
    OnClick(this);
}
void TControl::DblClick() {
    OnDblClick(this);
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
}

void TControl::CreatePeer() {
    if (FPeer) return;
    FPeer = Backend().CreatePeer(*this);
    if (FPeer) FPeer->Update(paAll);
}

void TControl::DestroyPeer() {
    FPeer.reset();
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParent) {
        if (FParentFont) ParentFontChanged();
        if (FParentColor) ParentColorChanged();
    }
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
}

// --- TWinControl ---

KVRT_PUBLISHED(TWinControl) {
    P.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
    P.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    P.Property("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D);
    P.Property("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D);
    P.Property("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode);
    P.Property("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
    P.Property("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
    P.Property("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
    P.Property("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
    P.Property("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
    P.Property("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    // Child controls go with their parent, whoever owns them.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        RemoveControl(child);
        child->Free();
    }
    if (Parent()) Parent()->RemoveControl(this);
    DestroyHandle();
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FControls[static_cast<size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
    control->FParent = this;
    FControls.push_back(control);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        FTabList.push_back(w);
        if (w->FPendingTabOrder >= 0) {
            int order = w->FPendingTabOrder;
            w->FPendingTabOrder = -1;
            w->SetTabOrder(order);
        }
    }
    if (control->FParentFont) control->ParentFontChanged();
    if (control->FParentColor) control->ParentColorChanged();
    if (control->FParentShowHint) {
        control->SetShowHint(ShowHint());
        control->FParentShowHint = true;
    }
    if (HandleAllocated()) {
        if (auto* w = dynamic_cast<TWinControl*>(control))
            w->CreateHandleTree();
        else
            control->CreatePeer();
    }
    if (control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
    if (!control || control->FParent != this) return;
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(w, true);
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
    }
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
    control->FParent = nullptr;
    if (control->Align() != alNone && !IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::FindChildControl(std::string_view name) const {
    for (TControl* c : FControls) {
        if (SameText(c->Name(), name)) return c;
    }
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (TControl* found = w->FindChildControl(name)) return found;
    return nullptr;
}

int TWinControl::TabOrder() const {
    if (!Parent()) return FPendingTabOrder;
    auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
    TWinControl* parent = Parent();
    if (!parent) {
        FPendingTabOrder = v;
        return;
    }
    auto& list = parent->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    int index = std::clamp(v, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + index, this);
}

void TWinControl::SetTabStop(bool v) {
    if (v == FTabStop) return;
    FTabStop = v;
    PeerUpdate(paState);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : FTabList) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    auto n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), current);
    int start = it == list.end() ? (goForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == current) break;
        if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this))
            return c;
    }
    return nullptr;
}

bool TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    TWinControl* next = FindNextControl(current, goForward, checkTabStop, false);
    if (!next) return false;
    next->SetFocus();
    return true;
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    if (!CanFocus() || !form->IsShown())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    form->FocusControl(this);
}

bool TWinControl::Focused() const {
    TCustomForm* form = GetParentForm(this);
    return form && form->IsActive() && form->FocusedControl() == this;
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (Parent()) Parent()->HandleNeeded();
    if (!FHandle) CreateHandle();
}

void TWinControl::CreateHandle() {
    FHandle = windowtable::Allocate(this);
    CreatePeer();
}

void TWinControl::CreatePeer() {
    TControl::CreatePeer();
    for (TControl* c : FControls)
        if (!dynamic_cast<TWinControl*>(c)) c->CreatePeer();
}

void TWinControl::CreateHandleTree() {
    HandleNeeded();
    for (size_t i = 0; i < FControls.size(); ++i) {
        if (auto* w = dynamic_cast<TWinControl*>(FControls[i]))
            w->CreateHandleTree();
        else
            FControls[i]->CreatePeer();
    }
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    DestroyPeer();
    windowtable::Release(FHandle);
    FHandle = 0;
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || IsLoading() || FAligning || IsDestroying()) return;
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(r);
}

void TWinControl::AlignControls(TRect rect) {
    FAligning = true;
    auto take = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->Align() == align && c->Visible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop:
                return a->Top() < b->Top();
            case alBottom:
                return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft:
                return a->Left() < b->Left();
            case alRight:
                return a->Left() + a->Width() > b->Left() + b->Width();
            default:
                return false;
            }
        });
        return list;
    };
    try {
        for (TControl* c : take(alTop)) {
            c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height());
            rect.Top += c->Height();
        }
        for (TControl* c : take(alBottom)) {
            c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
            rect.Bottom -= c->Height();
        }
        for (TControl* c : take(alLeft)) {
            c->SetBounds(rect.Left, rect.Top, c->Width(), std::max(0, rect.Height()));
            rect.Left += c->Width();
        }
        for (TControl* c : take(alRight)) {
            c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), std::max(0, rect.Height()));
            rect.Right -= c->Width();
        }
        for (TControl* c : take(alClient))
            c->SetBounds(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    bool moved = left != Left() || top != Top();
    bool resized = width != Width() || height != Height();
    int oldClientWidth = ClientWidth(), oldClientHeight = ClientHeight();
    TControl::SetBounds(left, top, width, height);
    if (resized && !IsLoading()) {
        // Children anchored right or bottom follow the edge; anchored on both sides they stretch.
        int dx = ClientWidth() - oldClientWidth, dy = ClientHeight() - oldClientHeight;
        for (size_t i = 0; i < FControls.size(); ++i) {
            TControl* c = FControls[i];
            if (c->Align() != alNone || (dx == 0 && dy == 0)) continue;
            TAnchors a = c->Anchors();
            int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
            if (a.Contains(akRight)) {
                if (a.Contains(akLeft))
                    w += dx;
                else
                    l += dx;
            }
            if (a.Contains(akBottom)) {
                if (a.Contains(akTop))
                    h += dy;
                else
                    t += dy;
            }
            c->SetBounds(l, t, w, h);
        }
    }
    if (resized) Realign();
    // The window's own notifications, for handlers that watch moves and sizes.
    auto pack = [](int lo, int hi) {
        return static_cast<LPARAM>((static_cast<uint32_t>(hi & 0xFFFF) << 16) |
                                   static_cast<uint32_t>(lo & 0xFFFF));
    };
    if (HandleAllocated() && moved) Perform(WM_MOVE, 0, pack(Left(), Top()));
    if (HandleAllocated() && resized) Perform(WM_SIZE, 0, pack(Width(), Height()));
}

void TWinControl::SetVisible(bool v) {
    TControl::SetVisible(v);
    if (v && Parent() && Parent()->HandleAllocated()) CreateHandleTree();
}

void TWinControl::SetEnabled(bool v) {
    TControl::SetEnabled(v);
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* c : FControls) c->ParentFontChanged();
}

void TWinControl::ParentFontChanged() {
    TControl::ParentFontChanged();
}
void TWinControl::ParentColorChanged() {
    TControl::ParentColorChanged();
}

void TWinControl::Broadcast(TMessage& message) {
    for (size_t i = 0; i < FControls.size(); ++i) {
        FControls[i]->Dispatch(message);
        if (message.Result != 0) return;
    }
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

void TWinControl::DoEnter() {
    OnEnter(this);
}
void TWinControl::DoExit() {
    OnExit(this);
}

bool TWinControl::WantsKey(Word, TShiftState) const {
    return false;
}

void TWinControl::KeyDown(Word& key, TShiftState shift) {
    OnKeyDown(this, key, shift);
    if (key) DefaultKeyDown(key, shift);
}

void TWinControl::KeyPress(TKeyChar& key) {
    OnKeyPress(this, key);
    if (key) DefaultKeyPress(key);
}

void TWinControl::KeyUp(Word& key, TShiftState shift) {
    OnKeyUp(this, key, shift);
}

void TWinControl::WMKeyDown(TMessage& m) {
    auto key = static_cast<Word>(m.WParam);
    TShiftState shift = ParamToShift(m.LParam);
    TCustomForm* form = GetParentForm(this);
    // Menu shortcuts first: the pop-up menus of this control and its parents, then the form's menu.
    if (TShortCut sc = ShortCut(key, shift); sc && (shift.Contains(ssCtrl) || shift.Contains(ssAlt) ||
                                                    (key >= VK_F1 && key <= VK_F12) || key == VK_DELETE)) {
        TMenuItem* item = nullptr;
        for (TControl* c = this; c && !item; c = c->Parent())
            if (TPopupMenu* menu = c->PopupMenu()) item = menu->FindItemByShortCut(sc);
        if (!item && form && form->Menu()) item = form->Menu()->FindItemByShortCut(sc);
        if (item && item->Enabled()) {
            item->Click();
            m.Result = 1;
            return;
        }
    }
    bool alnum = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z');
    if (alnum && shift.Contains(ssAlt) && form && form->Perform(CM_DIALOGCHAR, key, m.LParam) != 0) {
        m.Result = 1; // an accelerator: no character follows
        return;
    }
    if (IsDialogKey(key) && !WantsKey(key, shift) && form &&
        form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) {
        m.Result = 1; // taken as a dialog key: no character follows
        return;
    }
    if (form && form != this && form->KeyPreview()) {
        form->KeyDown(key, shift);
        if (key == 0) {
            m.WParam = 0;
            return;
        }
    }
    KeyDown(key, shift);
    m.WParam = key;
}

void TWinControl::WMChar(TMessage& m) {
    auto key = static_cast<TKeyChar>(m.WParam);
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview()) {
        form->KeyPress(key);
        if (key == 0) {
            m.WParam = 0;
            return;
        }
    }
    KeyPress(key);
    m.WParam = key;
}

void TWinControl::WMKeyUp(TMessage& m) {
    auto key = static_cast<Word>(m.WParam);
    TShiftState shift = ParamToShift(m.LParam);
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview()) {
        form->KeyUp(key, shift);
        if (key == 0) return;
    }
    KeyUp(key, shift);
}

void TWinControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_KEYDOWN:
        WMKeyDown(m);
        break;
    case WM_CHAR:
        WMChar(m);
        break;
    case WM_KEYUP:
        WMKeyUp(m);
        break;
    case CM_ENTER:
        DoEnter();
        break;
    case CM_EXIT:
        DoExit();
        break;
    default:
        TControl::DefaultHandler(m);
        break;
    }
}

// --- TCustomControl, TGraphicControl ---

KVRT_PUBLISHED(TCustomControl) {}
TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TCanvas) {}
TCustomControl::~TCustomControl() {
    delete FCanvas;
}

KVRT_PUBLISHED(TGraphicControl) {}
TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(new TCanvas) {}
TGraphicControl::~TGraphicControl() {
    delete FCanvas;
}

// --- helpers ---

bool IsAccel(Word ch, std::string_view caption) {
    auto upper = [](unsigned c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return upper(static_cast<unsigned char>(caption[i + 1])) == upper(ch);
    }
    return false;
}

std::string GetShortHint(std::string_view hint) {
    size_t bar = hint.find('|');
    return std::string(bar == std::string_view::npos ? hint : hint.substr(0, bar));
}

std::string GetLongHint(std::string_view hint) {
    size_t bar = hint.find('|');
    return std::string(bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    if (!c) return nullptr;
    while (c->Parent()) c = c->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

std::string ComponentPath(const TComponent* component) {
    std::string path;
    for (const TComponent* c = component; c; c = c->Owner()) {
        if (dynamic_cast<const TApplication*>(c)) break;
        path = path.empty() ? c->Name() : c->Name() + "/" + path;
        if (!c->Owner()) break;
    }
    return path;
}

} // namespace rt
