#pragma once
// Collections: owned lists of items of one class with published properties (list-view columns, status
// bar panels). Form resources fill them with "Name = < item ... end item ... end >".
#include "rtti/Publish.h"

#include <functional>
#include <string>
#include <vector>

namespace rt {

class TCollection;

class TCollectionItem : public TPersistent {
    KVRT_CLASS(TCollectionItem, TPersistent)
public:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    int Index() const;
    void SetIndex(int v);
    int ID() const { return FID; }
    virtual std::string DisplayName() const { return ClassName(); }

protected:
    // Tells the collection that this item changed (all items when all is true).
    void Changed(bool all = false);

private:
    friend class TCollection;
    TCollection* FCollection;
    int FID = 0;
};

class TCollection : public TPersistent {
    KVRT_CLASS(TCollection, TPersistent)
public:
    using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
    // itemClass: the class of the items (for the rtti); factory: creates one, registering itself with the
    // collection through the TCollectionItem constructor.
    TCollection(TClass itemClass, TItemFactory factory);
    ~TCollection() override;
    void Assign(const TPersistent* source) override;

    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int index) const;
    TClass ItemClass() const { return FItemClass; }
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    TCollectionItem* FindItemID(int id) const;
    // The object that owns the collection (a control), or null.
    TPersistent* Owner() const { return FOwner; }
    void SetOwner(TPersistent* owner) { FOwner = owner; }

    // Called after each change when not updating (item null: several items).
    std::function<void(TCollectionItem*)> OnUpdate;

protected:
    virtual void Update(TCollectionItem* item);

private:
    friend class TCollectionItem;
    // Frees the items, the last first, without reporting each removal.
    void FreeItems();
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    void Changed(TCollectionItem* item);

    TClass FItemClass;
    TItemFactory FFactory;
    std::vector<TCollectionItem*> FItems;
    TPersistent* FOwner = nullptr;
    int FUpdateCount = 0;
    int FNextID = 0;
    bool FClearing = false;
};

// A collection of items of class T (T(TCollection*) constructor), with typed access.
template <class T> class TOwnedCollection : public TCollection {
public:
    explicit TOwnedCollection(TPersistent* owner)
        : TCollection(T::ClassInfo(), [](TCollection* c) -> TCollectionItem* { return new T(c); }) {
        SetOwner(owner);
    }
    T* Items(int index) const { return static_cast<T*>(TCollection::Items(index)); }
    T* Add() { return static_cast<T*>(TCollection::Add()); }
    T* Insert(int index) { return static_cast<T*>(TCollection::Insert(index)); }
};

} // namespace rt
