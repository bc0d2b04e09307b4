#include "ui/StdCtrls.h"

#include "core/SysUtils.h"
#include "core/Utf8.h"
#include "ui/Forms.h"

#include <algorithm>

namespace rt {

// --- text helpers ---

int Utf8Length(std::string_view s) {
    int n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

size_t Utf8Offset(std::string_view s, int charIndex) {
    if (charIndex <= 0) return 0;
    int n = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == charIndex) return i;
            ++n;
        }
    }
    return s.size();
}

int DbcsLength(std::string_view s) {
    int n = 0;
    for (char c : s) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            n += 1;
        else if ((b & 0xC0) != 0x80)
            n += 2;
    }
    return n;
}

std::string CharToUtf8(char32_t c) {
    std::string out;
    AppendUtf8(c, out);
    return out;
}

const TTypeInfo* TypeInfo_TBorderStyle() {
    static const TTypeInfo info = MakeEnumTypeInfo("TBorderStyle", "bsNone, bsSingle");
    return &info;
}

const TTypeInfo* TypeInfo_TLeftRight() {
    static const TTypeInfo info = MakeEnumTypeInfo("TLeftRight", "taLeftJustify, taRightJustify");
    return &info;
}

// --- TCustomLabel ---

KVRT_PUBLISHED(TCustomLabel) {
    P.Property("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment);
    P.Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize);
    P.Property("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption);
    P.Property("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
    P.Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout);
    P.Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar);
    P.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
    P.Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 65, 17);
    FControlStyle.Include(csOpaque);
}

void TCustomLabel::SetAlignment(TAlignment v) {
    FAlignment = v;
    PeerUpdate(paState);
}

void TCustomLabel::SetAutoSize(bool v) {
    FAutoSize = v;
    AdjustBounds();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || IsLoading() || FWordWrap) return;
    std::string text = GetText();
    if (FShowAccelChar) text = StringReplace(text, "&", "", true);
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    int w = c->TextWidth(text);
    int h = c->TextHeight(text.empty() ? std::string("Wg") : text);
    int left = Left();
    if (FAlignment == taRightJustify) left = Left() + Width() - w;
    SetBounds(left, Top(), w, h);
}

KVRT_PUBLISHED(TLabel) {}

// --- TCustomEdit ---

KVRT_PUBLISHED(TCustomEdit) {
    P.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
    P.Property("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize);
    P.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle,
               TypeInfo_TBorderStyle());
    P.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase);
    P.Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection);
    P.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
    P.Property("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert);
    P.Property("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar);
    P.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
    P.Property("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
    P.Property("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange);
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 21);
    FTabStop = true;
    SetColor(clWindow);
}

void TCustomEdit::SetText(const std::string& v) {
    if (v == GetText()) return;
    FSelStart = 0;
    FSelLength = 0;
    TWinControl::SetText(v);
    FModified = false;
}

void TCustomEdit::TextChanged() {
    Change();
}

void TCustomEdit::Change() {
    if (IsLoading()) return;
    OnChange(this);
}

void TCustomEdit::SetMaxLength(int v) {
    FMaxLength = std::max(0, v);
}

void TCustomEdit::SetReadOnly(bool v) {
    FReadOnly = v;
    PeerUpdate(paState);
}

std::string TCustomEdit::ApplyCharCase(const std::string& text) const {
    switch (FCharCase) {
    case ecUpperCase:
        return AnsiUpperCase(text);
    case ecLowerCase:
        return AnsiLowerCase(text);
    default:
        return text;
    }
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
    FCharCase = v;
    if (v != ecNormal) SetText(ApplyCharCase(GetText()));
}

void TCustomEdit::SetSelStart(int v) {
    FSelStart = std::clamp(v, 0, Utf8Length(GetText()));
    FSelLength = 0;
    PeerUpdate(paSelection);
}

void TCustomEdit::SetSelLength(int v) {
    FSelLength = std::clamp(v, 0, Utf8Length(GetText()) - FSelStart);
    PeerUpdate(paSelection);
}

std::string TCustomEdit::SelText() const {
    std::string t = GetText();
    size_t a = Utf8Offset(t, FSelStart), b = Utf8Offset(t, FSelStart + FSelLength);
    return t.substr(a, b - a);
}

void TCustomEdit::SetSelText(const std::string& v) {
    ReplaceSelection(v);
}

void TCustomEdit::SelectAll() {
    FSelStart = 0;
    FSelLength = Utf8Length(GetText());
    PeerUpdate(paSelection);
}

void TCustomEdit::ClearSelection() {
    if (FSelLength > 0) ReplaceSelection("");
}

void TCustomEdit::SetEditText(const std::string& text, int caret) {
    bool changed = text != GetText();
    FText = text;
    FSelStart = std::clamp(caret, 0, Utf8Length(text));
    FSelLength = 0;
    if (changed) {
        FModified = true;
        PeerUpdate(paText);
        TextChanged();
        Perform(CM_TEXTCHANGED);
    }
    PeerUpdate(paSelection);
}

void TCustomEdit::ReplaceSelection(const std::string& text) {
    std::string t = GetText();
    size_t a = Utf8Offset(t, FSelStart), b = Utf8Offset(t, FSelStart + FSelLength);
    t.replace(a, b - a, text);
    SetEditText(t, FSelStart + Utf8Length(text));
}

bool TCustomEdit::CanInsert(const std::string& text) const {
    if (FReadOnly) return false;
    if (FMaxLength > 0) {
        int current = DbcsLength(GetText()) - DbcsLength(SelText());
        if (current + DbcsLength(text) > FMaxLength) return false;
    }
    return true;
}

bool TCustomEdit::WantsKey(Word key, TShiftState) const {
    return key >= VK_LEFT && key <= VK_DOWN;
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && !ControlState().Contains(csLButtonDown)) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::DefaultKeyPress(TKeyChar& key) {
    if (key == VK_BACK) {
        if (FReadOnly) return;
        if (FSelLength == 0 && FSelStart > 0) {
            --FSelStart;
            FSelLength = 1;
        }
        if (FSelLength > 0) ReplaceSelection("");
        return;
    }
    if (key < 32) {
        if (key == VK_RETURN) Backend().Beep();
        return;
    }
    std::string text = ApplyCharCase(CharToUtf8(key));
    if (!CanInsert(text)) {
        Backend().Beep();
        return;
    }
    ReplaceSelection(text);
}

void TCustomEdit::DefaultKeyDown(Word& key, TShiftState shift) {
    int length = Utf8Length(GetText());
    int caret = FSelStart + (FSelLength > 0 && shift.Contains(ssShift) ? FSelLength : 0);
    auto moveTo = [&](int pos) {
        pos = std::clamp(pos, 0, length);
        if (shift.Contains(ssShift)) {
            int anchor = FSelStart;
            FSelStart = std::min(anchor, pos);
            FSelLength = std::abs(pos - anchor);
        } else {
            FSelStart = pos;
            FSelLength = 0;
        }
        PeerUpdate(paSelection);
    };
    switch (key) {
    case VK_LEFT:
        moveTo(FSelLength > 0 && !shift.Contains(ssShift) ? FSelStart : caret - 1);
        break;
    case VK_RIGHT:
        moveTo(FSelLength > 0 && !shift.Contains(ssShift) ? FSelStart + FSelLength : caret + 1);
        break;
    case VK_HOME:
        moveTo(0);
        break;
    case VK_END:
        moveTo(length);
        break;
    case VK_DELETE:
        if (FReadOnly) break;
        if (FSelLength == 0 && FSelStart < length) FSelLength = 1;
        if (FSelLength > 0) ReplaceSelection("");
        break;
    default:
        break;
    }
}

KVRT_PUBLISHED(TEdit) {}

// --- TCustomMemo ---

KVRT_PUBLISHED(TCustomMemo) {
    P.Property("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment);
    P.Property("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines, TypeInfo_TStrings());
    P.Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars);
    P.Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns);
    P.Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs);
    P.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(new TStringsObject) {
    SetBounds(0, 0, 185, 89);
    SetAutoSize(false);
    FControlStyle.Exclude(csSetCaption);
    FLines->OnChange = [this](TStringList&) { LinesChanged(); };
}

TCustomMemo::~TCustomMemo() {
    FLines->OnChange = nullptr;
    delete FLines;
}

void TCustomMemo::LinesChanged() {
    if (FSyncing) return;
    std::string text;
    for (int i = 0; i < FLines->Count(); ++i) {
        if (i) text += "\r\n";
        text += FLines->Get(i);
    }
    FSyncing = true;
    try {
        TCustomEdit::SetText(text);
    } catch (...) {
        FSyncing = false;
        throw;
    }
    FSyncing = false;
}

void TCustomMemo::SetText(const std::string& v) {
    TCustomEdit::SetText(v);
}

void TCustomMemo::TextChanged() {
    if (!FSyncing) {
        FSyncing = true;
        try {
            FLines->SetText(GetText());
        } catch (...) {
            FSyncing = false;
            throw;
        }
        FSyncing = false;
    }
    TCustomEdit::TextChanged();
}

TPoint TCustomMemo::CaretPos() const {
    std::string t = GetText();
    size_t caretByte = Utf8Offset(t, FSelStart);
    int line = 0;
    size_t lineStart = 0;
    for (size_t i = 0; i < caretByte && i < t.size(); ++i) {
        if (t[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    int col = Utf8Length(std::string_view(t).substr(lineStart, caretByte - lineStart));
    return Point(col, line);
}

void TCustomMemo::SetCaretPos(TPoint p) {
    std::string t = GetText();
    int line = 0;
    size_t i = 0;
    while (line < p.Y && i < t.size()) {
        if (t[i] == '\n') ++line;
        ++i;
    }
    size_t lineEnd = t.find("\r\n", i);
    if (lineEnd == std::string::npos) lineEnd = t.size();
    int col = std::clamp(p.X, 0, Utf8Length(std::string_view(t).substr(i, lineEnd - i)));
    SetSelStart(Utf8Length(std::string_view(t).substr(0, i)) + col);
}

bool TCustomMemo::WantsKey(Word key, TShiftState shift) const {
    if (key == VK_RETURN) return FWantReturns;
    if (key == VK_TAB) return FWantTabs && !shift.Contains(ssCtrl);
    return TCustomEdit::WantsKey(key, shift);
}

void TCustomMemo::DefaultKeyPress(TKeyChar& key) {
    if (key == VK_RETURN) {
        if (FWantReturns && !ReadOnly()) ReplaceSelection("\r\n");
        return;
    }
    if (key == VK_TAB) {
        if (FWantTabs && !ReadOnly()) ReplaceSelection("\t");
        return;
    }
    TCustomEdit::DefaultKeyPress(key);
}

void TCustomMemo::DefaultKeyDown(Word& key, TShiftState shift) {
    if (key == VK_UP || key == VK_DOWN) {
        TPoint p = CaretPos();
        p.Y += key == VK_UP ? -1 : 1;
        if (p.Y >= 0 && p.Y < std::max(1, FLines->Count())) SetCaretPos(p);
        return;
    }
    TCustomEdit::DefaultKeyDown(key, shift);
}

KVRT_PUBLISHED(TMemo) {}

// --- TCustomComboBox ---

KVRT_PUBLISHED(TCustomComboBox) {
    P.Property("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase);
    P.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount);
    P.Property("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
    P.Property("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems, TypeInfo_TStrings());
    P.Property("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex);
    P.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength);
    P.Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
    P.Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle);
    P.Property("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText);
    P.Property("OnChange", &TCustomComboBox::OnChange, &TCustomComboBox::OnChange);
    P.Property("OnCloseUp", &TCustomComboBox::OnCloseUp, &TCustomComboBox::OnCloseUp);
    P.Property("OnDrawItem", &TCustomComboBox::OnDrawItem, &TCustomComboBox::OnDrawItem);
    P.Property("OnDropDown", &TCustomComboBox::OnDropDown, &TCustomComboBox::OnDropDown);
    P.Property("OnMeasureItem", &TCustomComboBox::OnMeasureItem, &TCustomComboBox::OnMeasureItem);
    P.Property("OnSelect", &TCustomComboBox::OnSelect, &TCustomComboBox::OnSelect);
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner), FItems(new TStringsObject) {
    SetBounds(0, 0, 145, 21);
    FTabStop = true;
    SetColor(clWindow);
    FControlStyle.Exclude(csSetCaption);
    FItems->OnChange = [this](TStringList&) { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() {
    FItems->OnChange = nullptr;
    delete FItems;
}

void TCustomComboBox::ItemsChanged() {
    if (FItemIndex >= FItems->Count()) {
        FItemIndex = -1;
        if (FStyle == csDropDownList || FItems->Count() == 0) FText.clear();
        PeerUpdate(paText);
    }
    PeerUpdate(paItems);
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    if (v == csDropDownList && FItemIndex < 0 && !IsLoading()) FText.clear();
    PeerUpdate(paState);
}

void TCustomComboBox::SetItemIndex(int v) {
    if (IsLoading()) {
        FItemIndex = v; // checked once the items are read
        return;
    }
    if (v < -1 || v >= FItems->Count()) v = -1;
    FItemIndex = v;
    FText = v >= 0 ? FItems->Get(v) : (FStyle == csDropDownList ? std::string() : std::string());
    PeerUpdate(paSelection);
    PeerUpdate(paText);
}

void TCustomComboBox::SetText(const std::string& v) {
    if (FStyle == csDropDownList && !IsLoading()) {
        int index = FItems->IndexOf(v);
        FItemIndex = index;
        FText = index >= 0 ? FItems->Get(index) : std::string();
    } else {
        FText = v;
        if (FItemIndex >= 0 && (FItemIndex >= FItems->Count() || FItems->Get(FItemIndex) != v))
            FItemIndex = -1;
    }
    FSelStart = Utf8Length(FText);
    PeerUpdate(paText);
    PeerUpdate(paSelection);
}

void TCustomComboBox::Loaded() {
    TWinControl::Loaded();
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    if (FItemIndex >= 0) FText = FItems->Get(FItemIndex);
}

void TCustomComboBox::SetDroppedDown(bool v) {
    if (v == FDroppedDown) return;
    FDroppedDown = v;
    if (v)
        OnDropDown(this);
    else
        OnCloseUp(this);
    PeerUpdate(paState);
}

void TCustomComboBox::SetSelStart(int v) {
    FSelStart = std::clamp(v, 0, Utf8Length(FText));
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    FItemIndex = -1;
    FText.clear();
    PeerUpdate(paText);
}

void TCustomComboBox::Change() {
    OnChange(this);
}
void TCustomComboBox::Select() {
    OnSelect(this);
}

void TCustomComboBox::ChooseItem(int index) {
    if (index < 0 || index >= FItems->Count()) return;
    FItemIndex = index;
    FText = FItems->Get(index);
    FSelStart = Utf8Length(FText);
    PeerUpdate(paSelection);
    PeerUpdate(paText);
    Click();
    Change();
    Select();
}

bool TCustomComboBox::WantsKey(Word key, TShiftState) const {
    if (key >= VK_LEFT && key <= VK_DOWN) return true;
    return FDroppedDown && (key == VK_RETURN || key == VK_ESCAPE);
}

void TCustomComboBox::DefaultKeyDown(Word& key, TShiftState shift) {
    if (key == VK_DOWN && shift.Contains(ssAlt)) {
        SetDroppedDown(!FDroppedDown);
        return;
    }
    if ((key == VK_RETURN || key == VK_ESCAPE) && FDroppedDown) {
        SetDroppedDown(false);
        return;
    }
    if (key == VK_UP || key == VK_DOWN) {
        int next = FItemIndex + (key == VK_DOWN ? 1 : -1);
        if (FItemIndex < 0 && key == VK_DOWN) next = 0;
        if (next >= 0 && next < FItems->Count() && next != FItemIndex) ChooseItem(next);
    }
}

void TCustomComboBox::DefaultKeyPress(TKeyChar& key) {
    if (FStyle == csDropDownList || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) {
        if (key < 32) return;
        // Select the next item starting with the character.
        std::string prefix = AnsiUpperCase(CharToUtf8(key));
        int n = FItems->Count();
        for (int step = 1; step <= n; ++step) {
            int i = (FItemIndex + step + n) % n;
            if (AnsiUpperCase(FItems->Get(i)).rfind(prefix, 0) == 0) {
                if (i != FItemIndex) ChooseItem(i);
                break;
            }
        }
        return;
    }
    std::string t = FText;
    if (key == VK_BACK) {
        if (FSelStart > 0) {
            size_t a = Utf8Offset(t, FSelStart - 1), b = Utf8Offset(t, FSelStart);
            t.erase(a, b - a);
            --FSelStart;
        } else {
            return;
        }
    } else if (key < 32) {
        return;
    } else {
        std::string c = CharToUtf8(key);
        if (FCharCase == ecUpperCase) c = AnsiUpperCase(c);
        if (FCharCase == ecLowerCase) c = AnsiLowerCase(c);
        if (FMaxLength > 0 && DbcsLength(t) + DbcsLength(c) > FMaxLength) {
            Backend().Beep();
            return;
        }
        t.insert(Utf8Offset(t, FSelStart), c);
        ++FSelStart;
    }
    FText = t;
    FItemIndex = FItems->IndexOf(t) >= 0 && FItems->Get(FItems->IndexOf(t)) == t ? FItems->IndexOf(t) : -1;
    PeerUpdate(paText);
    Change();
}

KVRT_PUBLISHED(TComboBox) {}

// --- TCustomListBox ---

KVRT_PUBLISHED(TCustomListBox) {
    P.Property("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
    P.Property("Items", &TCustomListBox::Items, &TCustomListBox::SetItems, TypeInfo_TStrings());
    P.Property("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex);
    P.Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect);
    P.Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted);
    P.Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle);
    P.Property("OnDrawItem", &TCustomListBox::OnDrawItem, &TCustomListBox::OnDrawItem);
    P.Property("OnMeasureItem", &TCustomListBox::OnMeasureItem, &TCustomListBox::OnMeasureItem);
}

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner), FItems(new TStringsObject) {
    SetBounds(0, 0, 121, 97);
    FTabStop = true;
    SetColor(clWindow);
    FControlStyle.Exclude(csSetCaption);
    FItems->OnChange = [this](TStringList&) { ItemsChanged(); };
}

TCustomListBox::~TCustomListBox() {
    FItems->OnChange = nullptr;
    delete FItems;
}

void TCustomListBox::ItemsChanged() {
    FSelected.assign(static_cast<size_t>(FItems->Count()), false);
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    if (FItemIndex >= 0) FSelected[static_cast<size_t>(FItemIndex)] = true;
    PeerUpdate(paItems);
}

void TCustomListBox::SetItemIndex(int v) {
    if (IsLoading()) {
        FItemIndex = v;
        return;
    }
    if (v < -1 || v >= FItems->Count()) v = -1;
    FItemIndex = v;
    if (!FMultiSelect) FSelected.assign(static_cast<size_t>(FItems->Count()), false);
    if (v >= 0) FSelected[static_cast<size_t>(v)] = true;
    PeerUpdate(paSelection);
}

bool TCustomListBox::Selected(int index) const {
    if (index < 0 || index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return index < static_cast<int>(FSelected.size()) && FSelected[static_cast<size_t>(index)];
}

void TCustomListBox::SetSelected(int index, bool v) {
    if (index < 0 || index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    FSelected.resize(static_cast<size_t>(FItems->Count()), false);
    if (!FMultiSelect) {
        SetItemIndex(v ? index : -1);
        return;
    }
    FSelected[static_cast<size_t>(index)] = v;
    PeerUpdate(paSelection);
}

int TCustomListBox::SelCount() const {
    if (!FMultiSelect) return -1;
    return static_cast<int>(std::count(FSelected.begin(), FSelected.end(), true));
}

void TCustomListBox::ChooseItem(int index) {
    if (index < 0 || index >= FItems->Count()) return;
    SetItemIndex(index);
    Click();
}

bool TCustomListBox::WantsKey(Word key, TShiftState) const {
    return key >= VK_LEFT && key <= VK_DOWN;
}

void TCustomListBox::DefaultKeyDown(Word& key, TShiftState) {
    if (key == VK_UP && FItemIndex > 0) ChooseItem(FItemIndex - 1);
    if (key == VK_DOWN && FItemIndex + 1 < FItems->Count()) ChooseItem(FItemIndex + 1);
}

KVRT_PUBLISHED(TListBox) {}

// --- buttons ---

KVRT_PUBLISHED(TButtonControl) {
    P.Property("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
}

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    FTabStop = true;
}

void TButtonControl::KeyUp(Word& key, TShiftState shift) {
    TWinControl::KeyUp(key, shift);
    if (key == VK_SPACE) UserClick();
}

KVRT_PUBLISHED(TButton) {
    P.Property("Cancel", &TButton::Cancel, &TButton::SetCancel);
    P.Property("Caption", &TButton::Caption, &TButton::SetCaption);
    P.Property("Default", &TButton::Default, &TButton::SetDefault);
    P.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, TypeInfo_TModalResult());
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool v) {
    FDefault = v;
    PeerUpdate(paState);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

KVRT_PUBLISHED(TCustomCheckBox) {
    P.Property("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment,
               TypeInfo_TLeftRight());
    P.Property("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed);
    P.Property("Caption", &TCustomCheckBox::Caption, &TCustomCheckBox::SetCaption);
    P.Property("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked);
    P.Property("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState);
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (v == FState) return;
    FState = v;
    PeerUpdate(paChecked);
    if (!IsLoading()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked:
        SetState(FAllowGrayed ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

KVRT_PUBLISHED(TCheckBox) {}

KVRT_PUBLISHED(TRadioButton) {
    P.Property("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, TypeInfo_TLeftRight());
    P.Property("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption);
    P.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
    FTabStop = false;
}

void TRadioButton::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    FTabStop = v;
    PeerUpdate(paChecked);
    if (!v) return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
                sibling->SetChecked(false);
    if (!IsLoading()) Click();
}

void TRadioButton::UserClick() {
    if (!FChecked) SetChecked(true);
}

// --- group box ---

KVRT_PUBLISHED(TCustomGroupBox) {
    P.Property("Caption", &TCustomGroupBox::Caption, &TCustomGroupBox::SetCaption);
}

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 185, 105);
    FControlStyle.Include(csAcceptsControls);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) const {
    int h = std::abs(Font()->Height());
    rect.Top += h + 2;
    rect.Left += 2;
    rect.Right -= 2;
    rect.Bottom -= 2;
}

KVRT_PUBLISHED(TGroupBox) {}

} // namespace rt
