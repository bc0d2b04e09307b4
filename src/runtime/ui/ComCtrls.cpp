#include "ui/ComCtrls.h"

#include "core/Classes.h"
#include "core/SysUtils.h"
#include "ui/Forms.h"

#include <algorithm>

namespace rt {

// --- TTabSheet ---

KVRT_PUBLISHED(TTabSheet) {
    P.Property("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption);
    P.Property("Highlighted", &TTabSheet::Highlighted, &TTabSheet::SetHighlighted);
    P.Property("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex);
    P.Property("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl);
    P.Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex);
    P.Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
    P.Property("OnHide", &TTabSheet::OnHide, &TTabSheet::OnHide);
    P.Property("OnShow", &TTabSheet::OnShow, &TTabSheet::OnShow);
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle.Include(csAcceptsControls);
    TWinControl::SetVisible(false);
    SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
    auto* pc = dynamic_cast<TPageControl*>(parent);
    if (FPageControl && FPageControl != pc) FPageControl->RemovePage(this);
    TWinControl::SetParent(parent);
    if (pc && FPageControl != pc) pc->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* parent) {
    if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TTabSheet::SetPageControl(TPageControl* v) {
    SetParent(v);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v) {
    if (!FPageControl) return;
    auto& pages = FPageControl->FPages;
    pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
    v = std::clamp(v, 0, static_cast<int>(pages.size()));
    pages.insert(pages.begin() + v, this);
    FPageControl->PeerUpdate(paItems);
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible) return -1;
    int index = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return index;
        if (p->FTabVisible) ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool v) {
    if (v == FTabVisible) return;
    FTabVisible = v;
    if (FPageControl) {
        FPageControl->PeerUpdate(paItems);
        if (!v && FPageControl->FActivePage == this && !FPageControl->IsLoading())
            FPageControl->ChangeActivePage(FPageControl->FindNextPage(this, true, true));
    }
}

// --- TPageControl ---

KVRT_PUBLISHED(TPageControl) {
    P.Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    P.Property("HotTrack", &TPageControl::HotTrack, &TPageControl::SetHotTrack);
    P.Property("Images", &TPageControl::Images, &TPageControl::SetImages);
    P.Property("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine);
    P.Property("OwnerDraw", &TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw);
    P.Property("Style", &TPageControl::Style, &TPageControl::SetStyle);
    P.Property("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight);
    P.Property("TabIndex", &TPageControl::TabIndex, &TPageControl::SetTabIndex);
    P.Property("TabPosition", &TPageControl::TabPosition, &TPageControl::SetTabPosition);
    P.Property("TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth);
    P.Property("OnChange", &TPageControl::OnChange, &TPageControl::OnChange);
    P.Property("OnChanging", &TPageControl::OnChanging, &TPageControl::OnChanging);
    P.Property("OnDrawTab", &TPageControl::OnDrawTab, &TPageControl::OnDrawTab);
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 289, 193);
    FTabStop = true;
    FControlStyle.Include(csAcceptsControls);
}

TPageControl::~TPageControl() {
    // The pages are destroyed as children; they must not call back into this half-destroyed object.
    for (TTabSheet* p : FPages) p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FPages[static_cast<size_t>(index)];
}

TCustomImageList* TPageControl::Images() const {
    return FImages.get();
}
void TPageControl::SetImages(TCustomImageList* v) {
    FImages = v;
}

void TPageControl::InsertPage(TTabSheet* page) {
    FPages.push_back(page);
    page->FPageControl = this;
    if (page != FActivePage && page->Visible() && !IsLoading() && !page->IsLoading()) page->SetVisible(false);
    if (!FActivePage && !IsLoading() && !page->IsLoading()) ChangeActivePage(page);
    PeerUpdate(paItems);
}

void TPageControl::RemovePage(TTabSheet* page) {
    if (page == FActivePage) {
        TTabSheet* next = FindNextPage(page, true, true);
        ChangeActivePage(next == page ? nullptr : next);
        if (FActivePage == page) FActivePage = nullptr;
    }
    FPages.erase(std::remove(FPages.begin(), FPages.end(), page), FPages.end());
    page->FPageControl = nullptr;
    PeerUpdate(paItems);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->FPageControl != this)
        throw EInvalidOperation("Tab sheet " + page->Name() + " is not a page of " + Name());
    if (IsLoading()) {
        FActivePage = page;
        return;
    }
    ChangeActivePage(page);
}

void TPageControl::SetActivePageIndex(int v) {
    if (v >= 0 && v < PageCount())
        SetActivePage(FPages[static_cast<size_t>(v)]);
    else
        SetActivePage(nullptr);
}

void TPageControl::SetTabIndex(int v) {
    int index = 0;
    for (TTabSheet* p : FPages) {
        if (!p->TabVisible()) continue;
        if (index++ == v) {
            SetActivePage(p);
            return;
        }
    }
}

void TPageControl::ChangeActivePage(TTabSheet* page) {
    if (page == FActivePage) return;
    TTabSheet* old = FActivePage;
    TCustomForm* form = GetParentForm(this);
    bool focusInOld = form && old && form->IsActive() && old->ContainsControl(form->FocusedControl());
    if (page) {
        page->SetVisible(true);
        page->BringToFront();
    }
    if (focusInOld && page) {
        try {
            if (TWinControl* target = page->FindNextControl(nullptr, true, true, false))
                target->SetFocus();
            else if (CanFocus())
                SetFocus();
        } catch (...) {
            // The focus could not leave the old page (a validation refused): stay on it.
            if (page != old) page->SetVisible(false);
            throw;
        }
    }
    FActivePage = page;
    if (old) {
        old->SetVisible(false);
        old->OnHide(old);
    }
    if (page) page->OnShow(page);
    PeerUpdate(paSelection);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    auto n = static_cast<int>(FPages.size());
    if (n == 0) return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), current);
    int start = it == FPages.end() ? (goForward ? n - 1 : 0) : static_cast<int>(it - FPages.begin());
    for (int step = 1; step <= n; ++step) {
        int i = goForward ? (start + step) % n : ((start - step) % n + n) % n;
        TTabSheet* p = FPages[static_cast<size_t>(i)];
        if (p == current) continue;
        if (!checkTabVisible || p->TabVisible()) return p;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
    TTabSheet* page = FindNextPage(FActivePage, goForward, checkTabVisible);
    if (page && page != FActivePage) ChangePageByUser(page);
}

bool TPageControl::ChangePageByUser(TTabSheet* page) {
    if (!page || page == FActivePage || page->FPageControl != this) return false;
    if (!CanChange()) return false;
    ChangeActivePage(page);
    Change();
    return true;
}

bool TPageControl::CanChange() {
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    OnChange(this);
}

void TPageControl::AdjustClientRect(TRect& rect) const {
    int tab = FTabHeight > 0 ? FTabHeight + 4 : std::abs(Font()->Height()) + 10;
    rect.Left += 4;
    rect.Right -= 4;
    rect.Bottom -= 4;
    rect.Top += 4;
    switch (FTabPosition) {
    case tpTop:
        rect.Top += tab;
        break;
    case tpBottom:
        rect.Bottom -= tab;
        break;
    case tpLeft:
        rect.Left += tab;
        break;
    case tpRight:
        rect.Right -= tab;
        break;
    }
}

bool TPageControl::WantsKey(Word key, TShiftState) const {
    return key >= VK_LEFT && key <= VK_DOWN;
}

void TPageControl::DefaultKeyDown(Word& key, TShiftState shift) {
    if (key == VK_LEFT || key == VK_UP) SelectNextPage(false);
    if (key == VK_RIGHT || key == VK_DOWN) SelectNextPage(true);
    (void)shift;
}

void TPageControl::Loaded() {
    TCustomControl::Loaded();
    if (FActivePage && FActivePage->FPageControl != this) FActivePage = nullptr;
    if (!FActivePage)
        for (TTabSheet* p : FPages)
            if (p->TabVisible()) {
                FActivePage = p;
                break;
            }
    for (TTabSheet* p : FPages) p->SetVisible(p == FActivePage);
}

// --- list view: columns ---

KVRT_PUBLISHED(TListColumn) {
    P.Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment);
    P.Property("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize);
    P.Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
    P.Property("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex);
    P.Property("MaxWidth", &TListColumn::MaxWidth, &TListColumn::SetMaxWidth);
    P.Property("MinWidth", &TListColumn::MinWidth, &TListColumn::SetMinWidth);
    P.Property("Tag", &TListColumn::Tag, &TListColumn::SetTag);
    P.Property("Width", &TListColumn::Width, &TListColumn::SetWidth);
}

TListColumn::TListColumn(TCollection* collection) : TCollectionItem(collection) {}

void TListColumn::SetAlignment(TAlignment v) {
    FAlignment = v;
    Changed(false);
}

void TListColumn::SetAutoSize(bool v) {
    FAutoSize = v;
    Changed(false);
}

void TListColumn::SetCaption(const std::string& v) {
    FCaption = v;
    Changed(false);
}

void TListColumn::SetWidth(int v) {
    auto* columns = dynamic_cast<TListColumns*>(Collection());
    TCustomListView* lv = columns ? columns->ListView() : nullptr;
    if ((v == ColumnHeaderWidth || v == ColumnTextWidth) && lv) {
        int w = Backend().TextWidth(*lv->Font(), FCaption) + 14;
        if (v == ColumnTextWidth) {
            int col = Index();
            for (int i = 0; i < lv->Items()->Count(); ++i) {
                TListItem* item = lv->Items()->Item(i);
                std::string text = col == 0                              ? item->Caption()
                                   : col - 1 < item->SubItems()->Count() ? item->SubItems()->Get(col - 1)
                                                                         : std::string();
                w = std::max(w, Backend().TextWidth(*lv->Font(), text) + 14);
            }
        }
        v = w;
    }
    if (v < 0) v = 0;
    if (FMinWidth > 0) v = std::max(v, FMinWidth);
    if (FMaxWidth > 0) v = std::min(v, FMaxWidth);
    FWidth = v;
    Changed(false);
}

KVRT_PUBLISHED(TListColumns) {}

TListColumns::TListColumns(TCustomListView* owner) : TOwnedCollection<TListColumn>(owner) {
    OnUpdate = [owner](TCollectionItem*) { owner->ColumnsChanged(); };
}

TCustomListView* TListColumns::ListView() const {
    return static_cast<TCustomListView*>(Owner());
}

// --- list view: items ---

KVRT_PUBLISHED(TListItem) {
    P.Property("Caption", &TListItem::Caption, &TListItem::SetCaption);
    P.Property("Checked", &TListItem::Checked, &TListItem::SetChecked);
    P.Property("ImageIndex", &TListItem::ImageIndex, &TListItem::SetImageIndex);
    P.Property("Selected", &TListItem::Selected, &TListItem::SetSelected);
    P.Property("StateIndex", &TListItem::StateIndex, &TListItem::SetStateIndex);
    P.Property("SubItems", &TListItem::SubItems, &TListItem::SetSubItems, TypeInfo_TStrings());
}

TListItem::TListItem(TListItems* owner) : FOwner(owner), FSubItems(new TStringsObject) {
    FSubItems->OnChange = [this](TStringList&) {
        if (TCustomListView* lv = ListView()) lv->ItemChanged(this, ctText);
    };
}

TListItem::~TListItem() {
    FSubItems->OnChange = nullptr;
    if (FOwner) {
        auto& items = FOwner->FItems;
        items.erase(std::remove(items.begin(), items.end(), this), items.end());
    }
    delete FSubItems;
}

void TListItem::Assign(const TPersistent* source) {
    if (auto* other = dynamic_cast<const TListItem*>(source)) {
        FCaption = other->FCaption;
        FSubItems->Assign(other->FSubItems);
        FImageIndex = other->FImageIndex;
        FStateIndex = other->FStateIndex;
        FData = other->FData;
        FChecked = other->FChecked;
        if (TCustomListView* lv = ListView()) lv->ItemChanged(this, ctText);
        return;
    }
    TPersistent::Assign(source);
}

TCustomListView* TListItem::ListView() const {
    return FOwner ? FOwner->FOwner : nullptr;
}

int TListItem::Index() const {
    return FOwner ? FOwner->IndexOf(this) : -1;
}

void TListItem::SetCaption(const std::string& v) {
    if (v == FCaption) return;
    if (TCustomListView* lv = ListView()) {
        bool allow = true;
        lv->OnChanging(lv, this, ctText, allow);
        if (!allow) return;
    }
    FCaption = v;
    if (TCustomListView* lv = ListView()) lv->ItemChanged(this, ctText);
}

void TListItem::SetImageIndex(int v) {
    FImageIndex = v;
    if (TCustomListView* lv = ListView()) lv->ItemChanged(this, ctImage);
}

void TListItem::SetSelected(bool v) {
    if (v == FSelected) return;
    TCustomListView* lv = ListView();
    if (lv) {
        bool allow = true;
        lv->OnChanging(lv, this, ctState, allow);
        if (!allow) return;
        if (v && !lv->MultiSelect())
            for (TListItem* other : FOwner->FItems)
                if (other != this && other->FSelected) other->SetSelected(false);
    }
    FSelected = v;
    if (lv) lv->ItemSelected(this, v);
}

void TListItem::SetFocused(bool v) {
    if (v == FFocused) return;
    if (v && FOwner)
        for (TListItem* other : FOwner->FItems) other->FFocused = false;
    FFocused = v;
}

void TListItem::Delete() {
    if (FOwner) FOwner->Delete(Index());
}

KVRT_PUBLISHED(TListItems) {}

TListItems::TListItems(TCustomListView* owner) : FOwner(owner) {}

TListItems::~TListItems() {
    for (TListItem* item : FItems) {
        item->FOwner = nullptr;
        delete item;
    }
}

void TListItems::Assign(const TPersistent* source) {
    if (auto* other = dynamic_cast<const TListItems*>(source)) {
        if (other == this) return;
        UpdateScope update(*this);
        Clear();
        for (TListItem* item : other->FItems) Add()->Assign(item);
        return;
    }
    TPersistent::Assign(source);
}

TListItem* TListItems::Item(int index) const {
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[static_cast<size_t>(index)];
}

TListItem* TListItems::Add() {
    return Insert(Count());
}

TListItem* TListItems::Insert(int index) {
    index = std::clamp(index, 0, Count());
    auto* item = new TListItem(this);
    FItems.insert(FItems.begin() + index, item);
    if (FOwner) {
        FOwner->OnInsert(FOwner, item);
        FOwner->ItemChanged(item, ctText);
    }
    return item;
}

void TListItems::Delete(int index) {
    TListItem* item = Item(index);
    if (FOwner) FOwner->OnDeletion(FOwner, item);
    delete item; // removes itself
    if (FOwner) FOwner->PeerUpdate(paItems);
}

void TListItems::Clear() {
    UpdateScope update(*this);
    while (!FItems.empty()) Delete(Count() - 1);
}

int TListItems::IndexOf(const TListItem* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TListItems::BeginUpdate() {
    ++FUpdateCount;
}

void TListItems::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FOwner) {
        FOwner->SortIfNeeded();
        FOwner->PeerUpdate(paItems);
    }
}

// --- list view ---

KVRT_PUBLISHED(TCustomListView) {
    P.Property("AllocBy", &TCustomListView::AllocBy, &TCustomListView::SetAllocBy);
    P.Property("Checkboxes", &TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes);
    P.Property("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick);
    P.Property("Columns", &TCustomListView::Columns, &TCustomListView::SetColumns);
    P.Property("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines);
    P.Property("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection);
    P.Property("HotTrack", &TCustomListView::HotTrack, &TCustomListView::SetHotTrack);
    P.Property("Items", &TCustomListView::Items, &TCustomListView::SetItems);
    P.Property("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages);
    P.Property("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect);
    P.Property("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly);
    P.Property("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect);
    P.Property("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders,
               &TCustomListView::SetShowColumnHeaders);
    P.Property("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
    P.Property("SortType", &TCustomListView::SortType, &TCustomListView::SetSortType);
    P.Property("StateImages", &TCustomListView::StateImages, &TCustomListView::SetStateImages);
    P.Property("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle);
    P.Property("OnChange", &TCustomListView::OnChange, &TCustomListView::OnChange);
    P.Property("OnChanging", &TCustomListView::OnChanging, &TCustomListView::OnChanging);
    P.Property("OnColumnClick", &TCustomListView::OnColumnClick, &TCustomListView::OnColumnClick);
    P.Property("OnCompare", &TCustomListView::OnCompare, &TCustomListView::OnCompare);
    P.Property("OnDeletion", &TCustomListView::OnDeletion, &TCustomListView::OnDeletion);
    P.Property("OnEdited", &TCustomListView::OnEdited, &TCustomListView::OnEdited);
    P.Property("OnEditing", &TCustomListView::OnEditing, &TCustomListView::OnEditing);
    P.Property("OnInsert", &TCustomListView::OnInsert, &TCustomListView::OnInsert);
    P.Property("OnSelectItem", &TCustomListView::OnSelectItem, &TCustomListView::OnSelectItem);
}

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(new TListColumns(this)), FItems(new TListItems(this)) {
    SetBounds(0, 0, 250, 150);
    FTabStop = true;
    SetColor(clWindow);
    FControlStyle.Exclude(csSetCaption);
}

TCustomListView::~TCustomListView() {
    FItems->FOwner = nullptr; // no events while the list goes
    for (TListItem* item : FItems->FItems) item->FOwner = nullptr;
    for (TListItem* item : FItems->FItems) delete item;
    FItems->FItems.clear();
    delete FItems;
    FColumns->OnUpdate = nullptr;
    delete FColumns;
}

TCustomImageList* TCustomListView::LargeImages() const {
    return FLargeImages.get();
}
void TCustomListView::SetLargeImages(TCustomImageList* v) {
    FLargeImages = v;
}
TCustomImageList* TCustomListView::SmallImages() const {
    return FSmallImages.get();
}
void TCustomListView::SetSmallImages(TCustomImageList* v) {
    FSmallImages = v;
}
TCustomImageList* TCustomListView::StateImages() const {
    return FStateImages.get();
}
void TCustomListView::SetStateImages(TCustomImageList* v) {
    FStateImages = v;
}

void TCustomListView::SetViewStyle(TViewStyle v) {
    if (v == FViewStyle) return;
    FViewStyle = v;
    PeerUpdate(paState);
}

void TCustomListView::SetSortType(TSortType v) {
    if (v == FSortType) return;
    FSortType = v;
    SortIfNeeded();
}

void TCustomListView::ColumnsChanged() {
    PeerUpdate(paItems);
}

void TCustomListView::ItemSelected(TListItem* item, bool selected) {
    OnSelectItem(this, item, selected);
    OnChange(this, item, ctState);
    PeerUpdate(paSelection);
}

void TCustomListView::ItemChanged(TListItem* item, TItemChange change) {
    if (change == ctText && FItems->FUpdateCount == 0) SortIfNeeded();
    OnChange(this, item, change);
    if (FItems->FUpdateCount == 0) PeerUpdate(paItems);
}

TListItem* TCustomListView::Selected() const {
    for (TListItem* item : FItems->FItems)
        if (item->Selected()) return item;
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
    if (item && item->ListView() != this) return;
    for (TListItem* other : FItems->FItems)
        if (other != item && other->Selected()) other->SetSelected(false);
    if (item) {
        item->SetSelected(true);
        item->SetFocused(true);
    }
}

int TCustomListView::ItemIndex() const {
    TListItem* s = Selected();
    return s ? s->Index() : -1;
}

void TCustomListView::SetItemIndex(int v) {
    SetSelected(v >= 0 && v < FItems->Count() ? FItems->Item(v) : nullptr);
}

TListItem* TCustomListView::ItemFocused() const {
    for (TListItem* item : FItems->FItems)
        if (item->Focused()) return item;
    return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item) {
    if (item) item->SetFocused(true);
}

int TCustomListView::SelCount() const {
    return static_cast<int>(std::count_if(FItems->FItems.begin(), FItems->FItems.end(),
                                          [](TListItem* i) { return i->Selected(); }));
}

void TCustomListView::ClearSelection() {
    for (TListItem* item : FItems->FItems)
        if (item->Selected()) item->SetSelected(false);
}

void TCustomListView::SelectAll() {
    if (!FMultiSelect) return;
    for (TListItem* item : FItems->FItems) item->SetSelected(true);
}

TListItem* TCustomListView::FindCaption(int startIndex, const std::string& value, bool partial,
                                        bool inclusive, bool wrap) const {
    int n = FItems->Count();
    if (n == 0) return nullptr;
    int first = std::clamp(inclusive ? startIndex : startIndex + 1, 0, n);
    auto matches = [&](TListItem* item) {
        return partial ? AnsiUpperCase(item->Caption()).rfind(AnsiUpperCase(value), 0) == 0
                       : AnsiSameText(item->Caption(), value);
    };
    for (int i = first; i < n; ++i)
        if (matches(FItems->Item(i))) return FItems->Item(i);
    if (wrap)
        for (int i = 0; i < first && i < n; ++i)
            if (matches(FItems->Item(i))) return FItems->Item(i);
    return nullptr;
}

int TCustomListView::CompareItems(TListItem* a, TListItem* b) {
    if (OnCompare.Assigned()) {
        int result = 0;
        OnCompare(this, a, b, 0, result);
        return result;
    }
    if (FSortType == stData) return a->Data() < b->Data() ? -1 : a->Data() > b->Data() ? 1 : 0;
    int r = AnsiCompareStr(a->Caption(), b->Caption());
    if (r == 0 && FSortType == stBoth) return a->Data() < b->Data() ? -1 : a->Data() > b->Data() ? 1 : 0;
    return r;
}

bool TCustomListView::CustomSort(const TCompareFunc& compare) {
    if (FSorting) return false;
    FSorting = true;
    try {
        auto& items = FItems->FItems;
        if (compare)
            std::stable_sort(items.begin(), items.end(),
                             [&](TListItem* a, TListItem* b) { return compare(a, b) < 0; });
        else
            std::stable_sort(items.begin(), items.end(),
                             [this](TListItem* a, TListItem* b) { return CompareItems(a, b) < 0; });
    } catch (...) {
        FSorting = false;
        throw;
    }
    FSorting = false;
    PeerUpdate(paItems);
    return true;
}

bool TCustomListView::AlphaSort() {
    return CustomSort(nullptr);
}

void TCustomListView::SortIfNeeded() {
    if (FSortType != stNone && !FSorting && FItems->FUpdateCount == 0) AlphaSort();
}

bool TCustomListView::EditCaption(TListItem* item, const std::string& text) {
    if (!item || item->ListView() != this || FReadOnly) return false;
    bool allow = true;
    OnEditing(this, item, allow);
    if (!allow) return false;
    std::string s = text;
    OnEdited(this, item, s);
    item->SetCaption(s);
    return true;
}

void TCustomListView::ClickColumn(int index) {
    if (!FColumnClick || index < 0 || index >= FColumns->Count()) return;
    OnColumnClick(this, FColumns->Items(index));
}

void TCustomListView::ChooseItem(int index) {
    if (index < 0 || index >= FItems->Count()) return;
    TListItem* item = FItems->Item(index);
    SetSelected(item);
    Click();
}

bool TCustomListView::WantsKey(Word key, TShiftState) const {
    return key >= VK_LEFT && key <= VK_DOWN;
}

void TCustomListView::DefaultKeyDown(Word& key, TShiftState) {
    int index = ItemIndex();
    if (key == VK_DOWN && index + 1 < FItems->Count()) SetItemIndex(index + 1);
    if (key == VK_UP && index > 0) SetItemIndex(index - 1);
    if (key == VK_HOME && FItems->Count() > 0) SetItemIndex(0);
    if (key == VK_END && FItems->Count() > 0) SetItemIndex(FItems->Count() - 1);
}

KVRT_PUBLISHED(TListView) {}

// --- tool bar ---

KVRT_PUBLISHED(TToolButton) {
    P.Property("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp);
    P.Property("Caption", &TToolButton::Caption, &TToolButton::SetCaption);
    P.Property("Down", &TToolButton::Down, &TToolButton::SetDown);
    P.Property("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
    P.Property("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped);
    P.Property("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex);
    P.Property("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate);
    P.Property("Marked", &TToolButton::Marked, &TToolButton::SetMarked);
    P.Property("Style", &TToolButton::Style, &TToolButton::SetStyle);
    P.Property("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap);
}

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 23, 22);
    FControlStyle.Exclude(csSetCaption);
}

TToolBar* TToolButton::ToolBar() const {
    return dynamic_cast<TToolBar*>(Parent());
}

int TToolButton::Index() const {
    TToolBar* bar = ToolBar();
    if (!bar) return -1;
    for (int i = 0; i < bar->ButtonCount(); ++i)
        if (bar->Buttons(i) == this) return i;
    return -1;
}

TPopupMenu* TToolButton::DropdownMenu() const {
    return FDropdownMenu.get();
}
void TToolButton::SetDropdownMenu(TPopupMenu* v) {
    FDropdownMenu = v;
}

void TToolButton::SetImageIndex(int v) {
    FImageIndex = v;
    PeerUpdate(paState);
}

void TToolButton::SetStyle(TToolButtonStyle v) {
    FStyle = v;
    if ((v == tbsSeparator || v == tbsDivider) && !IsLoading()) SetWidth(8);
    if (TToolBar* bar = ToolBar(); bar && !bar->IsLoading()) bar->ArrangeButtons();
}

void TToolButton::SetDown(bool v) {
    if (v == FDown) return;
    FDown = v;
    if (v && FGrouped && FStyle == tbsCheck)
        if (TToolBar* bar = ToolBar())
            for (int i = 0; i < bar->ButtonCount(); ++i) {
                TToolButton* b = bar->Buttons(i);
                if (b != this && b->FGrouped && b->FStyle == tbsCheck && b->FDown) {
                    b->FDown = false;
                    b->PeerUpdate(paChecked);
                }
            }
    PeerUpdate(paChecked);
}

void TToolButton::UserClick() {
    if (!Enabled()) return;
    if (FStyle == tbsCheck) {
        if (!FDown)
            SetDown(true);
        else if (!FGrouped || FAllowAllUp)
            SetDown(false);
    }
    Click();
}

void TToolButton::ClickDropDown() {
    if (!Enabled() || !FDropdownMenu) return;
    TPoint p = ClientToScreen(Point(0, Height()));
    FDropdownMenu->SetPopupComponent(this);
    FDropdownMenu->Popup(p.X, p.Y);
}

void TToolButton::SetParent(TWinControl* parent) {
    TGraphicControl::SetParent(parent);
    if (TToolBar* bar = ToolBar(); bar && !bar->IsLoading() && !IsLoading()) bar->ArrangeButtons();
}

KVRT_PUBLISHED(TToolBar) {
    P.Property("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize);
    P.Property("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight);
    P.Property("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth);
    P.Property("Caption", &TToolBar::Caption, &TToolBar::SetCaption);
    P.Property("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
    P.Property("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders);
    P.Property("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner);
    P.Property("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter);
    P.Property("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
    P.Property("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
    P.Property("Images", &TToolBar::Images, &TToolBar::SetImages);
    P.Property("Indent", &TToolBar::Indent, &TToolBar::SetIndent);
    P.Property("List", &TToolBar::List, &TToolBar::SetList);
    P.Property("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
    P.Property("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent);
    P.Property("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable);
}

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
    FControlStyle.Include(csAcceptsControls);
}

int TToolBar::ButtonCount() const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TToolButton*>(Controls(i))) ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)))
            if (n++ == index) return b;
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TToolBar::SetButtonHeight(int v) {
    FButtonHeight = v;
    ArrangeButtons();
}

void TToolBar::SetButtonWidth(int v) {
    FButtonWidth = v;
    ArrangeButtons();
}

TCustomImageList* TToolBar::Images() const {
    return FImages.get();
}
void TToolBar::SetImages(TCustomImageList* v) {
    FImages = v;
}
TCustomImageList* TToolBar::DisabledImages() const {
    return FDisabledImages.get();
}
void TToolBar::SetDisabledImages(TCustomImageList* v) {
    FDisabledImages = v;
}
TCustomImageList* TToolBar::HotImages() const {
    return FHotImages.get();
}
void TToolBar::SetHotImages(TCustomImageList* v) {
    FHotImages = v;
}

void TToolBar::ArrangeButtons() {
    if (IsLoading()) return;
    int x = FIndent;
    int y = 2;
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (!b->Visible()) continue;
        bool separator = b->Style() == tbsSeparator || b->Style() == tbsDivider;
        int w = separator ? (b->Width() > 0 ? b->Width() : 8) : FButtonWidth;
        if (FWrapable && x + w > ClientWidth() && x > FIndent) {
            x = FIndent;
            y += FButtonHeight;
        }
        b->SetBounds(x, y, w, FButtonHeight);
        x += w;
    }
}

void TToolBar::Loaded() {
    TWinControl::Loaded();
    ArrangeButtons();
}

// --- status bar ---

KVRT_PUBLISHED(TStatusPanel) {
    P.Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment);
    P.Property("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel);
    P.Property("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle);
    P.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    P.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

void TStatusPanel::SetText(const std::string& v) {
    FText = v;
    Changed(false);
}

void TStatusPanel::SetWidth(int v) {
    FWidth = v;
    Changed(false);
}

KVRT_PUBLISHED(TStatusPanels) {}

KVRT_PUBLISHED(TStatusBar) {
    P.Property("AutoHint", &TStatusBar::AutoHint, &TStatusBar::SetAutoHint);
    P.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    P.Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
    P.Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    P.Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner), FPanels(new TStatusPanels(this)) {
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
    FControlStyle.Exclude(csSetCaption);
    FPanels->OnUpdate = [this](TCollectionItem*) { PeerUpdate(paItems); };
}

TStatusBar::~TStatusBar() {
    FPanels->OnUpdate = nullptr;
    delete FPanels;
}

void TStatusBar::SetSimplePanel(bool v) {
    FSimplePanel = v;
    PeerUpdate(paItems);
}

void TStatusBar::SetSimpleText(const std::string& v) {
    FSimpleText = v;
    PeerUpdate(paText);
}

// --- animation, progress ---

KVRT_PUBLISHED(TAnimate) {
    P.Property("Active", &TAnimate::Active, &TAnimate::SetActive);
    P.Property("Center", &TAnimate::Center, &TAnimate::SetCenter);
    P.Property("CommonAVI", &TAnimate::CommonAVI, &TAnimate::SetCommonAVI);
    P.Property("FileName", &TAnimate::FileName, &TAnimate::SetFileName);
    P.Property("Repetitions", &TAnimate::Repetitions, &TAnimate::SetRepetitions);
    P.Property("StartFrame", &TAnimate::StartFrame, &TAnimate::SetStartFrame);
    P.Property("StopFrame", &TAnimate::StopFrame, &TAnimate::SetStopFrame);
    P.Property("Transparent", &TAnimate::Transparent, &TAnimate::SetTransparent);
    P.Property("OnClose", &TAnimate::OnClose, &TAnimate::OnClose);
    P.Property("OnOpen", &TAnimate::OnOpen, &TAnimate::OnOpen);
    P.Property("OnStart", &TAnimate::OnStart, &TAnimate::OnStart);
    P.Property("OnStop", &TAnimate::OnStop, &TAnimate::OnStop);
}

TAnimate::TAnimate(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 100, 80);
    FControlStyle.Exclude(csSetCaption);
}

void TAnimate::SetActive(bool v) {
    if (v && !Open()) v = false;
    if (v == FActive) return;
    FActive = v;
    PeerUpdate(paState);
    if (IsLoading()) return;
    if (v)
        OnStart(this);
    else
        OnStop(this);
}

void TAnimate::SetCommonAVI(TCommonAVI v) {
    if (v == FCommonAVI) return;
    bool wasOpen = Open();
    if (FActive) SetActive(false);
    FCommonAVI = v;
    if (v != aviNone) FFileName.clear();
    if (IsLoading()) return;
    if (wasOpen) OnClose(this);
    if (Open()) OnOpen(this);
}

void TAnimate::SetFileName(const std::string& v) {
    if (v == FFileName) return;
    bool wasOpen = Open();
    if (FActive) SetActive(false);
    FFileName = v;
    if (!v.empty()) FCommonAVI = aviNone;
    if (IsLoading()) return;
    if (wasOpen) OnClose(this);
    if (Open()) OnOpen(this);
}

void TAnimate::Play(int fromFrame, int toFrame, int count) {
    FStartFrame = fromFrame;
    FStopFrame = toFrame;
    FRepetitions = count;
    SetActive(true);
}

void TAnimate::Reset() {
    SetActive(false);
    FStartFrame = 1;
    FStopFrame = FrameCount();
}

KVRT_PUBLISHED(TProgressBar) {
    P.Property("Max", &TProgressBar::Max, &TProgressBar::SetMax);
    P.Property("Min", &TProgressBar::Min, &TProgressBar::SetMin);
    P.Property("Position", &TProgressBar::Position, &TProgressBar::SetPosition);
    P.Property("Step", &TProgressBar::Step, &TProgressBar::SetStep);
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 150, 16);
    FControlStyle.Exclude(csSetCaption);
}

void TProgressBar::SetMin(int v) {
    FMin = v;
    SetPosition(FPosition);
}
void TProgressBar::SetMax(int v) {
    FMax = v;
    SetPosition(FPosition);
}
void TProgressBar::SetPosition(int v) {
    FPosition = std::clamp(v, FMin, std::max(FMin, FMax));
    PeerUpdate(paState);
}

} // namespace rt
