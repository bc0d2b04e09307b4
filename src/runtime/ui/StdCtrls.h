#pragma once
// The standard controls: label, edit, memo, combo box, list box, button, check box, radio button and
// group box.
//
// Editing positions (SelStart, SelLength, CaretPos) count characters, not bytes. MaxLength limits typing
// only and counts as the platform's double-byte code pages do: one for an ASCII character, two for any
// other.
#include "ui/Controls.h"
#include "ui/Strings.h"

#include <string>
#include <string_view>

namespace rt {

KVRT_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
KVRT_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)
KVRT_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)
KVRT_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
KVRT_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
KVRT_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
          odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
KVRT_SET(TOwnerDrawState, TOwnerDrawStateItem)

KVRT_EVENT(TDrawItemEvent, void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State))
KVRT_EVENT(TMeasureItemEvent, void(TWinControl* Control, int Index, int& Height))

// The two-value border style of controls (bsNone, bsSingle).
const TTypeInfo* TypeInfo_TBorderStyle();
// Alignment limited to left and right (check boxes, radio buttons).
const TTypeInfo* TypeInfo_TLeftRight();

// Text helpers on UTF-8: counts and positions in characters.
int Utf8Length(std::string_view s);
size_t Utf8Offset(std::string_view s, int charIndex);
// Bytes a text takes in a double-byte code page (ASCII 1, other characters 2).
int DbcsLength(std::string_view s);
std::string CharToUtf8(char32_t c);

class TCustomLabel : public TGraphicControl {
    KVRT_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    TWinControl* FocusControl() const { return FFocusControl.get(); }
    void SetFocusControl(TWinControl* v) { FFocusControl = v; }
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v) { FLayout = v; }
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v) { FShowAccelChar = v; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    void Loaded() override;

protected:
    void TextChanged() override { AdjustBounds(); }
    void FontChanged() override;
    // With AutoSize, the size of the caption in the label's font.
    virtual void AdjustBounds();

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TComponentPtr<TWinControl> FFocusControl;
    TTextLayout FLayout = tlTop;
    bool FShowAccelChar = true;
    bool FTransparent = false;
    bool FWordWrap = false;
};

class TLabel : public TCustomLabel {
    KVRT_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

class TCustomEdit : public TWinControl {
    KVRT_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);

    std::string Text() const { return GetText(); }
    void SetText(const std::string& v) override;
    int MaxLength() const { return FMaxLength; }
    virtual void SetMaxLength(int v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char v) { FPasswordChar = v; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase v);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v) { FHideSelection = v; }
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool v) { FOEMConvert = v; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v) { FBorderStyle = v; }
    bool Modified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }

    int SelStart() const { return FSelStart; }
    void SetSelStart(int v);
    int SelLength() const { return FSelLength; }
    void SetSelLength(int v);
    std::string SelText() const;
    // Replaces the selection as typing would (no MaxLength check); OnChange follows.
    void SetSelText(const std::string& v);
    void SelectAll();
    void ClearSelection();
    void Clear() { SetText(""); }

    bool WantsKey(Word key, TShiftState shift) const override;

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void TextChanged() override;
    void DoEnter() override;
    void DefaultKeyPress(TKeyChar& key) override;
    void DefaultKeyDown(Word& key, TShiftState shift) override;
    // Whether typing may insert this text now (MaxLength, read-only); beeps when not.
    virtual bool CanInsert(const std::string& text) const;
    // Puts text in place of the selection and leaves the caret after it (used by typing).
    void ReplaceSelection(const std::string& text);
    // Sets the text without resetting the caret or Modified (editing operations).
    void SetEditText(const std::string& text, int caret);
    std::string ApplyCharCase(const std::string& text) const;

    int FMaxLength = 0;
    int FSelStart = 0;
    int FSelLength = 0;

private:
    bool FReadOnly = false;
    char FPasswordChar = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FAutoSelect = true;
    bool FAutoSize = true;
    bool FHideSelection = true;
    bool FOEMConvert = false;
    TFormBorderStyle FBorderStyle = bsSingle;
    bool FModified = false;
};

class TEdit : public TCustomEdit {
    KVRT_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo : public TCustomEdit {
    KVRT_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    // The lines; the memo's Text is the lines joined by CR LF.
    TStringsObject* Lines() const { return FLines; }
    void SetLines(TStringsObject* v) { FLines->Assign(v); }
    void SetText(const std::string& v) override;
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v) { FScrollBars = v; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    // The caret as column (X) and line (Y), both from 0.
    TPoint CaretPos() const;
    void SetCaretPos(TPoint p);

    bool WantsKey(Word key, TShiftState shift) const override;

protected:
    void TextChanged() override;
    void DefaultKeyPress(TKeyChar& key) override;
    void DefaultKeyDown(Word& key, TShiftState shift) override;

private:
    void LinesChanged();
    TStringsObject* FLines;
    bool FSyncing = false;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
    KVRT_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// Combo box. Setting ItemIndex or Text in code fires neither OnChange nor OnSelect; the user choosing an
// item fires OnClick, OnChange and OnSelect; typing into the edit part fires OnChange.
class TCustomComboBox : public TWinControl {
    KVRT_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle v);
    TStringsObject* Items() const { return FItems; }
    void SetItems(TStringsObject* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);
    std::string Text() const { return GetText(); }
    void SetText(const std::string& v) override;
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v) { FMaxLength = v; }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v) { FDropDownCount = v; }
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool v) { FItems->SetSorted(v); }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase v) { FCharCase = v; }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v) { FItemHeight = v; }
    bool DroppedDown() const { return FDroppedDown; }
    void SetDroppedDown(bool v);
    int SelStart() const { return FSelStart; }
    void SetSelStart(int v);
    void Clear();

    // The user picks an item (list click, arrow keys, a key in a drop-down list).
    void ChooseItem(int index);

    bool WantsKey(Word key, TShiftState shift) const override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    virtual void Change();
    virtual void Select();
    void DefaultKeyPress(TKeyChar& key) override;
    void DefaultKeyDown(Word& key, TShiftState shift) override;
    void Loaded() override;

private:
    void ItemsChanged();
    TComboBoxStyle FStyle = csDropDown;
    TStringsObject* FItems;
    int FItemIndex = -1;
    int FMaxLength = 0;
    int FDropDownCount = 8;
    TEditCharCase FCharCase = ecNormal;
    int FItemHeight = 16;
    bool FDroppedDown = false;
    int FSelStart = 0;
};

class TComboBox : public TCustomComboBox {
    KVRT_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

class TCustomListBox : public TWinControl {
    KVRT_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    TStringsObject* Items() const { return FItems; }
    void SetItems(TStringsObject* v) { FItems->Assign(v); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle v) { FStyle = v; }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v) { FMultiSelect = v; }
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool v) { FItems->SetSorted(v); }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v) { FItemHeight = v; }
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int SelCount() const;
    void Clear() { FItems->Clear(); }
    void ChooseItem(int index);
    bool WantsKey(Word key, TShiftState shift) const override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void DefaultKeyDown(Word& key, TShiftState shift) override;

private:
    void ItemsChanged();
    TStringsObject* FItems;
    std::vector<bool> FSelected;
    int FItemIndex = -1;
    TListBoxStyle FStyle = lbStandard;
    bool FMultiSelect = false;
    int FItemHeight = 13;
};

class TListBox : public TCustomListBox {
    KVRT_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

class TButtonControl : public TWinControl {
    KVRT_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }

protected:
    void KeyUp(Word& key, TShiftState shift) override;

private:
    bool FWordWrap = false;
};

// Push button. Click copies ModalResult to the form before OnClick (also mrNone). Default takes Enter,
// Cancel takes Esc, without moving the focus.
class TButton : public TButtonControl {
    KVRT_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int v) { FModalResult = v; }
    void Click() override;

private:
    bool FCancel = false;
    bool FDefault = false;
    int FModalResult = 0;
};

// Check box. Setting Checked or State fires OnClick when the state changes (not while loading).
class TCustomCheckBox : public TButtonControl {
    KVRT_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { FAllowGrayed = v; }
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    virtual void SetState(TCheckBoxState v);
    // The user's click: unchecked -> (grayed when allowed, else checked) -> ... -> unchecked.
    virtual void Toggle();
    void UserClick() override { Toggle(); }

private:
    TAlignment FAlignment = taRightJustify;
    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
    KVRT_CLASS(TCheckBox, TCustomCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Radio button. Checked := True unchecks the radio buttons of the same parent and fires OnClick; the
// checked button of a group is its tab stop.
class TRadioButton : public TButtonControl {
    KVRT_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    bool Checked() const { return FChecked; }
    virtual void SetChecked(bool v);
    void UserClick() override;

private:
    TAlignment FAlignment = taRightJustify;
    bool FChecked = false;
};

class TCustomGroupBox : public TCustomControl {
    KVRT_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void AdjustClientRect(TRect& rect) const override;
};

class TGroupBox : public TCustomGroupBox {
    KVRT_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

} // namespace rt
