#include "ui/Collections.h"

#include "core/Classes.h"

#include <algorithm>

namespace rt {

KVRT_PUBLISHED(TCollectionItem) {}

TCollectionItem::TCollectionItem(TCollection* collection) : FCollection(nullptr) {
    if (collection) collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection) FCollection->RemoveItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int v) {
    int cur = Index();
    if (cur < 0 || v == cur) return;
    auto& items = FCollection->FItems;
    v = std::clamp(v, 0, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + cur);
    items.insert(items.begin() + v, this);
    Changed(true);
}

void TCollectionItem::Changed(bool all) {
    if (FCollection) FCollection->Changed(all ? nullptr : this);
}

KVRT_PUBLISHED(TCollection) {}

TCollection::TCollection(TClass itemClass, TItemFactory factory)
    : FItemClass(itemClass), FFactory(std::move(factory)) {}

TCollection::~TCollection() {
    FreeItems();
}

void TCollection::Assign(const TPersistent* source) {
    if (auto* other = dynamic_cast<const TCollection*>(source)) {
        if (other == this) return;
        UpdateScope update(*this);
        Clear();
        for (TCollectionItem* item : other->FItems) Add()->Assign(item);
        return;
    }
    TPersistent::Assign(source);
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() {
    return FFactory(this);
}

TCollectionItem* TCollection::Insert(int index) {
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index) {
    delete Items(index);
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    FreeItems();
    EndUpdate();
}

void TCollection::FreeItems() {
    FClearing = true;
    while (!FItems.empty()) {
        TCollectionItem* last = FItems.back();
        FItems.pop_back();
        last->FCollection = nullptr;
        delete last;
    }
    FClearing = false;
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed(nullptr);
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == id) return item;
    return nullptr;
}

void TCollection::InsertItem(TCollectionItem* item) {
    FItems.push_back(item);
    item->FCollection = this;
    item->FID = FNextID++;
    Changed(nullptr);
}

void TCollection::RemoveItem(TCollectionItem* item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
    item->FCollection = nullptr;
    if (!FClearing) Changed(nullptr);
}

void TCollection::Changed(TCollectionItem* item) {
    if (FUpdateCount == 0) Update(item);
}

void TCollection::Update(TCollectionItem* item) {
    if (OnUpdate) OnUpdate(item);
}

} // namespace rt
