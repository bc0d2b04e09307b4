#pragma once
// Menus: menu items (with sub-items, check marks and radio groups), pop-up menus and main menus.
// Menus have no window; choosing an item is TMenuItem::Click (or input::ChooseMenuItem).
#include "ui/Component.h"
#include "ui/Controls.h"

#include <string>
#include <vector>

namespace rt {

class TCustomImageList;
class TMenu;

using TShortCut = Word;
TShortCut ShortCut(Word key, TShiftState shift);
// "Ctrl+S", "F2", "Shift+Del"; "" for none.
std::string ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(std::string_view text); // 0 when the text names no shortcut

KVRT_ENUM(TPopupAlignment, paLeft, paRight, paCenter)
KVRT_EXCEPTION(EMenuError, Exception)

class TMenuItem : public TComponent {
    KVRT_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the other radio items of its group under the same parent.
    void SetChecked(bool v);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool v) { FRadioItem = v; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v) { FGroupIndex = v; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool v) { FAutoCheck = v; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool Default() const { return FDefault; }
    void SetDefault(bool v) { FDefault = v; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v) { FShortCut = v; }
    bool IsLine() const { return FCaption == "-"; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* operator[](int index) const { return Items(index); }
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index); // removes and frees
    void Clear();           // frees every sub-item
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Find(std::string_view caption) const; // caption without '&', ignoring case
    // The menu this item belongs to, or null.
    TMenu* GetParentMenu() const;

    // Chooses the item: AutoCheck toggles the check, then OnClick. Nothing for a disabled item.
    virtual void Click();

    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    bool HasParent() const override { return true; }

    TNotifyEvent OnClick;

private:
    friend class TMenu;
    std::string FCaption;
    bool FChecked = false;
    bool FRadioItem = false;
    int FGroupIndex = 0;
    bool FAutoCheck = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    std::string FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on the root item of a menu
};

class TMenu : public TComponent {
    KVRT_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems; }
    TCustomImageList* Images() const;
    void SetImages(TCustomImageList* v);
    // The item with this shortcut anywhere in the menu, or null.
    TMenuItem* FindItemByShortCut(TShortCut shortCut) const;

private:
    TMenuItem* FItems;
    TComponentPtr<TCustomImageList> FImages;
};

class TMainMenu : public TMenu {
    KVRT_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
};

class TPopupMenu : public TMenu {
    KVRT_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool v) { FAutoPopup = v; }
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment v) { FAlignment = v; }
    TComponent* PopupComponent() const { return FPopupComponent.get(); }
    void SetPopupComponent(TComponent* v) { FPopupComponent = v; }
    // Shows the menu at a screen point: fires OnPopup and records the request with the backend's
    // records (the headless backend keeps the last pop-up); an item is then chosen with
    // input::ChooseMenuItem.
    virtual void Popup(int x, int y);
    TPoint LastPopupPoint() const { return FLastPopup; }
    int PopupCount() const { return FPopupCount; }

    TNotifyEvent OnPopup;

private:
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = paLeft;
    TComponentPtr<TComponent> FPopupComponent;
    TPoint FLastPopup;
    int FPopupCount = 0;
};

// The caption without accelerator marks ("保存(&S)" -> "保存(S)", "&&" -> "&").
std::string StripHotkey(std::string_view caption);

} // namespace rt
