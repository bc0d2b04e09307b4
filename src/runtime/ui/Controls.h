#pragma once
// TControl and TWinControl: the visual component tree (Parent, bounds, visibility, text, colour, font,
// hints), windowed controls with their tab order, focus and keyboard handling, and window handles that
// are created on first use together with the backend's peer.
//
// Input arrives as messages (WM_LBUTTONDOWN/UP, WM_KEYDOWN, WM_CHAR, WM_KEYUP) sent by the simulated-input
// functions of ui/Input.h; the default handlers here give the platform's behaviour, and controls of the
// module may register their own handlers for any message number.
#include "backend/Backend.h"
#include "rtti/Publish.h"
#include "ui/Component.h"
#include "ui/Graphics.h"
#include "ui/Messages.h"

#include <memory>
#include <string>
#include <vector>

namespace rt {

class TWinControl;
class TCustomForm;
class TPopupMenu;

KVRT_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
KVRT_SET(TShiftState, TShiftStateItem)
KVRT_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
KVRT_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
KVRT_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
KVRT_SET(TAnchors, TAnchorKind)
KVRT_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
KVRT_ENUM(TVerticalAlignment, taAlignTop, taAlignBottom, taVerticalCenter)
KVRT_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
KVRT_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
KVRT_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
KVRT_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
KVRT_ENUM(TDragMode, dmManual, dmAutomatic)
KVRT_ENUM(TDragKind, dkDrag, dkDock)
KVRT_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)
KVRT_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata,
          imChinese, imSHanguel, imHanguel)
KVRT_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
          csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
          csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents)
KVRT_SET(TControlStyle, TControlStyleItem)
KVRT_ENUM(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded,
          csFocusing, csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking)
KVRT_SET(TControlState, TControlStateItem)

// The character of a key press: a UTF-16 code unit, so that every character of the basic plane (Chinese
// included) arrives as one key press. Key = 0 in a handler swallows it.
using TKeyChar = char16_t;

KVRT_EVENT(TKeyEvent, void(TObject* Sender, Word& Key, TShiftState Shift))
KVRT_EVENT(TKeyPressEvent, void(TObject* Sender, TKeyChar& Key))
KVRT_EVENT(TMouseEvent, void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y))
KVRT_EVENT(TMouseMoveEvent, void(TObject* Sender, TShiftState Shift, int X, int Y))

// Shift state carried in a key or mouse message's LParam (and WParam for mouse messages).
inline LPARAM ShiftToParam(TShiftState s) {
    return static_cast<LPARAM>(s.Bits());
}
inline TShiftState ParamToShift(LPARAM p) {
    return TShiftState::FromBits(static_cast<uint64_t>(p) & 0x7F);
}

class TControl : public TComponent {
    KVRT_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    bool HasParent() const override { return true; }

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Rect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    TPoint ClientToScreen(TPoint p) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors v) { FAnchors = v; }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent visible.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);

    // The window text: a label's or button's Caption, an edit's Text.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& v) { SetText(v); }
    virtual std::string GetText() const { return FText; }
    virtual void SetText(const std::string& v);

    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool v);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* v) { FFont->Assign(v); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v) { FCursor = v; }
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* v);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int v) { FHelpContext = v; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor v) { FDragCursor = v; }
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode v) { FDragMode = v; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind v) { FDragKind = v; }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode v) { FBiDiMode = v; }
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool v) { FParentBiDiMode = v; }
    bool IsControl() const { return FIsControl; }
    void SetIsControl(bool v) { FIsControl = v; }

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v) { FControlStyle = v; }
    TControlState ControlState() const { return FControlState; }

    // Sends a message to this control's handlers and answers its result.
    LRESULT Perform(uint32_t msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void DefaultHandler(TMessage& message) override;

    virtual void Click();
    virtual void DblClick();
    // A click by the user (mouse release on the control, or the space key on a button): check boxes
    // toggle, radio buttons check, speed buttons go down or up; then the click events follow.
    virtual void UserClick() { Click(); }
    void BringToFront();
    void SendToBack();
    void Refresh() {}
    void Repaint() {}
    void Invalidate() {}
    void Update() {}

    // The peer of the active backend, created when the control first needs to be shown.
    TControlPeer* Peer() const { return FPeer.get(); }
    virtual void CreatePeer();
    void DestroyPeer();
    void PeerUpdate(TPeerAspect aspect) {
        if (FPeer) FPeer->Update(aspect);
    }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void SetName(const std::string& value) override;

protected:
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    virtual void FontChanged();
    virtual void TextChanged() {}
    // The parent's font and colour (and hint flag) have changed.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    void SetControlStateItem(TControlStateItem item, bool on);

    std::string FText;
    TColor FColor = clBtnFace;
    TControlStyle FControlStyle;

private:
    friend class TWinControl;
    void FontChangedHandler(TObject* sender);

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    bool FVisible = true;
    bool FEnabled = true;
    bool FParentColor = true;
    TFont* FFont;
    bool FParentFont = true;
    bool FUpdatingFont = false;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TComponentPtr<TPopupMenu> FPopupMenu;
    int FHelpContext = 0;
    bool FIsControl = false;
    TCursor FDragCursor = crDrag;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TControlState FControlState;
    std::unique_ptr<TControlPeer> FPeer;
};

class TWinControl : public TControl {
    KVRT_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // True when control is this control or lies inside it.
    bool ContainsControl(const TControl* control) const;
    // The child control of that name, searched through every level.
    TControl* FindChildControl(std::string_view name) const;

    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v);
    // The windowed controls inside this one in tab order, depth first (children after their parent).
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    // The next (or previous) control after current in tab order inside this control, wrapping around;
    // only controls that can take the focus, and with checkTabStop only those with TabStop.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                 bool checkParent) const;
    // Moves the focus there; false when no control qualifies.
    bool SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    // The control, and every parent up to the form, visible and enabled.
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;

    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    void HandleNeeded();
    // Creates the handles (and peers) of this control and every control inside it.
    void CreateHandleTree();

    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool v) { FCtl3D = v; }
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool v) { FParentCtl3D = v; }
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode v) { FImeMode = v; }
    const std::string& ImeName() const { return FImeName; }
    void SetImeName(const std::string& v) { FImeName = v; }

    // Lays out the aligned children inside the client area.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    virtual void AdjustClientRect(TRect& rect) const;
    void Broadcast(TMessage& message);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    void DefaultHandler(TMessage& message) override;
    void Loaded() override;
    void CreatePeer() override;
    void SetVisible(bool v) override;
    void SetEnabled(bool v) override;
    void SetBounds(int left, int top, int width, int height) override;

    // Keyboard: the events and the control's own response. A handler that sets Key to 0 stops the rest.
    virtual void KeyDown(Word& key, TShiftState shift);
    virtual void KeyPress(TKeyChar& key);
    virtual void KeyUp(Word& key, TShiftState shift);
    // Whether the control handles Tab, arrows, Enter or Esc itself (otherwise they are dialog keys of the
    // form).
    virtual bool WantsKey(Word key, TShiftState shift) const;

protected:
    virtual void DoEnter();
    virtual void DoExit();
    // The control's response to a key press nobody swallowed (an edit inserts the character).
    virtual void DefaultKeyPress(TKeyChar&) {}
    virtual void DefaultKeyDown(Word&, TShiftState) {}
    virtual void CreateHandle();
    virtual void DestroyHandle();
    void AlignControls(TRect rect);
    void FontChanged() override;
    void ParentFontChanged() override;
    void ParentColorChanged() override;

    bool FTabStop = false;

private:
    friend class TControl;
    void WMKeyDown(TMessage& m);
    void WMChar(TMessage& m);
    void WMKeyUp(TMessage& m);

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    int FPendingTabOrder = -1;
    HWND FHandle = 0;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    TImeMode FImeMode = imDontCare;
    std::string FImeName;
    int FAlignLevel = 0;
    bool FAligning = false;
};

// A windowed control that can be drawn on (self-drawn controls of the module derive from it).
class TCustomControl : public TWinControl {
    KVRT_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas; }
    virtual void Paint() {}

private:
    TCanvas* FCanvas;
};

// A control without a window: labels, speed buttons, splitters. It never takes the focus.
class TGraphicControl : public TControl {
    KVRT_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas; }
    virtual void Paint() {}

private:
    TCanvas* FCanvas;
};

// Whether caption marks ch as its accelerator ("保存(&S)" has S; "&&" is a plain ampersand). Letters
// compare ignoring case.
bool IsAccel(Word ch, std::string_view caption);
// The parts of a hint "short|long" (the whole hint for both when there is no '|').
std::string GetShortHint(std::string_view hint);
std::string GetLongHint(std::string_view hint);

// The form a control lies on (the outermost parent that is a form), or null.
TCustomForm* GetParentForm(const TControl* control);
// "frmX/pnlTop/edName": the names from the outermost owner (below the application) down to component.
std::string ComponentPath(const TComponent* component);

} // namespace rt
