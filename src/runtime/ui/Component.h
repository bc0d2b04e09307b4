#pragma once
// TComponent: owner, a name unique among the owner's components, the ordered list of owned components,
// removal notification, the loading state of the resource reader. Owned components are destroyed with
// their owner (last created first).
//
// References to components that may be freed elsewhere are held in a TComponentPtr, which the component
// clears when it is destroyed (the platform's free notification, made automatic). Components that keep
// plain pointers override Notification and clear them on opRemove.
#include "rtti/Publish.h"

#include <string>
#include <string_view>
#include <vector>

namespace rt {

KVRT_ENUM(TOperation, opInsert, opRemove)
KVRT_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
          csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
KVRT_SET(TComponentState, TComponentStateItem)

class TComponent;

// The tracking half of TComponentPtr.
class TComponentRef {
public:
    TComponentRef() = default;
    TComponentRef(const TComponentRef& other) { Attach(other.FTarget); }
    TComponentRef& operator=(const TComponentRef& other) {
        if (this != &other) Attach(other.FTarget);
        return *this;
    }
    ~TComponentRef() { Attach(nullptr); }

protected:
    void Attach(TComponent* target);
    TComponent* FTarget = nullptr;

private:
    friend class TComponent;
};

// A pointer to a component that becomes null when the component is destroyed.
template <class T> class TComponentPtr : public TComponentRef {
public:
    TComponentPtr() = default;
    TComponentPtr(T* target) { Attach(target); } // NOLINT(google-explicit-constructor)
    TComponentPtr& operator=(T* target) {
        Attach(target);
        return *this;
    }
    T* get() const { return static_cast<T*>(FTarget); }
    T* operator->() const { return get(); }
    T& operator*() const { return *get(); }
    operator T*() const { return get(); } // NOLINT(google-explicit-constructor)
    explicit operator bool() const { return FTarget != nullptr; }
};

class TComponent : public TPersistent {
    KVRT_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    void BeforeDestruction() override;

    const std::string& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that another component of the same
    // owner already has (compared ignoring case).
    virtual void SetName(const std::string& value);
    TComponent* Owner() const { return FOwner; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    // The owned component of that name (ignoring case), or null.
    TComponent* FindComponent(std::string_view name) const;
    template <class T> T* FindComponent(std::string_view name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    // Asks for a Notification(component, opRemove) when component is destroyed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    TComponentState ComponentState() const { return FComponentState; }
    bool IsLoading() const { return FComponentState.Contains(csLoading); }
    bool IsDestroying() const { return FComponentState.Contains(csDestroying); }

    int Tag() const { return FTag; }
    void SetTag(int value) { FTag = value; }

    // The component that holds this one in the resource tree (the parent control, the parent menu).
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent*) {}
    virtual bool HasParent() const { return false; }

    // Resource reading: csLoading/csReading are set while the reader fills the component, then Loaded
    // runs once the whole resource (and its ancestors') is read.
    void SetLoadingState(bool loading);
    void EndReading() { FComponentState.Exclude(csReading); }
    virtual void Loaded();

    virtual void Notification(TComponent* component, TOperation operation);

protected:
    virtual void ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName);
    virtual void Destroying();
    void SetComponentStateItem(TComponentStateItem item, bool on);

private:
    friend class TComponentRef;
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    std::string FName;
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::vector<TComponentRef*> FRefs;
    TComponentState FComponentState;
    int FTag = 0;
};

bool IsValidIdent(std::string_view name);

} // namespace rt
