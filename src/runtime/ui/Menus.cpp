#include "ui/Menus.h"

#include "core/SysUtils.h"
#include "ui/ImgList.h"

#include <algorithm>

namespace rt {

std::string StripHotkey(std::string_view caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

TShortCut ShortCut(Word key, TShiftState shift) {
    TShortCut s = key & 0xFF;
    if (shift.Contains(ssShift)) s |= 0x2000;
    if (shift.Contains(ssCtrl)) s |= 0x4000;
    if (shift.Contains(ssAlt)) s |= 0x8000;
    return s;
}

namespace {

std::string KeyName(Word key) {
    if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key));
    if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
    switch (key) {
    case VK_BACK:
        return "BkSp";
    case VK_TAB:
        return "Tab";
    case VK_RETURN:
        return "Enter";
    case VK_ESCAPE:
        return "Esc";
    case VK_SPACE:
        return "Space";
    case VK_PRIOR:
        return "PgUp";
    case VK_NEXT:
        return "PgDn";
    case VK_END:
        return "End";
    case VK_HOME:
        return "Home";
    case VK_LEFT:
        return "Left";
    case VK_UP:
        return "Up";
    case VK_RIGHT:
        return "Right";
    case VK_DOWN:
        return "Down";
    case VK_INSERT:
        return "Ins";
    case VK_DELETE:
        return "Del";
    default:
        return {};
    }
}

} // namespace

std::string ShortCutToText(TShortCut shortCut) {
    std::string name = KeyName(shortCut & 0xFF);
    if (name.empty()) return {};
    std::string prefix;
    if (shortCut & 0x2000) prefix += "Shift+";
    if (shortCut & 0x4000) prefix += "Ctrl+";
    if (shortCut & 0x8000) prefix += "Alt+";
    return prefix + name;
}

TShortCut TextToShortCut(std::string_view text) {
    TShortCut mods = 0;
    std::string rest(text);
    auto eat = [&](const char* p, TShortCut bit) {
        size_t n = std::char_traits<char>::length(p);
        if (rest.size() > n && SameText(rest.substr(0, n), p)) {
            mods |= bit;
            rest.erase(0, n);
            return true;
        }
        return false;
    };
    while (eat("Shift+", 0x2000) || eat("Ctrl+", 0x4000) || eat("Alt+", 0x8000)) {
    }
    for (int key = 1; key < 256; ++key) {
        std::string name = KeyName(static_cast<Word>(key));
        if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(mods | key);
    }
    return 0;
}

// --- TMenuItem ---

KVRT_PUBLISHED(TMenuItem) {
    P.Property("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck);
    P.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    P.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
    P.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
    P.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
    P.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex);
    P.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    P.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex);
    P.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
    P.Property("ShortCut", &TMenuItem::GetShortCut, &TMenuItem::SetShortCut);
    P.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
    P.Property("OnClick", &TMenuItem::OnClick, &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    Destroying();
    while (!FItems.empty()) {
        TMenuItem* last = FItems.back();
        Remove(last);
        last->Free();
    }
    if (FParent) FParent->Remove(this);
}

void TMenuItem::SetCaption(const std::string& v) {
    FCaption = v;
}
void TMenuItem::SetEnabled(bool v) {
    FEnabled = v;
}
void TMenuItem::SetVisible(bool v) {
    FVisible = v;
}

void TMenuItem::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    if (v && FRadioItem && FParent)
        for (TMenuItem* sibling : FParent->FItems)
            if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex)
                sibling->FChecked = false;
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
    return FItems[static_cast<size_t>(index)];
}

int TMenuItem::MenuIndex() const {
    return FParent ? FParent->IndexOf(this) : -1;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->FParent) throw EMenuError("Menu inserted twice");
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    item->FParent = nullptr;
}

void TMenuItem::Delete(int index) {
    TMenuItem* item = Items(index);
    Remove(item);
    item->Free();
}

void TMenuItem::Clear() {
    while (!FItems.empty()) Delete(Count() - 1);
}

TMenuItem* TMenuItem::Find(std::string_view caption) const {
    std::string wanted = StripHotkey(caption);
    for (TMenuItem* item : FItems)
        if (SameText(StripHotkey(item->FCaption), wanted)) return item;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->FParent) root = root->FParent;
    return root->FMenu;
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck) SetChecked(FRadioItem ? true : !FChecked);
    OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (FParent) FParent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(parent))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(parent))
        item->Add(this);
}

// --- TMenu ---

KVRT_PUBLISHED(TMenu) {
    P.Property("Images", &TMenu::Images, &TMenu::SetImages);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    Destroying();
    FItems->Free();
}

TCustomImageList* TMenu::Images() const {
    return FImages.get();
}
void TMenu::SetImages(TCustomImageList* v) {
    FImages = v;
}

namespace {
TMenuItem* FindShortCut(TMenuItem* item, TShortCut s) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* sub = item->Items(i);
        if (sub->GetShortCut() == s) return sub;
        if (TMenuItem* found = FindShortCut(sub, s)) return found;
    }
    return nullptr;
}
} // namespace

TMenuItem* TMenu::FindItemByShortCut(TShortCut shortCut) const {
    return shortCut ? FindShortCut(FItems, shortCut) : nullptr;
}

KVRT_PUBLISHED(TMainMenu) {}

KVRT_PUBLISHED(TPopupMenu) {
    P.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment);
    P.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup);
    P.Property("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup);
}

void TPopupMenu::Popup(int x, int y) {
    FLastPopup = Point(x, y);
    ++FPopupCount;
    OnPopup(this);
}

} // namespace rt
