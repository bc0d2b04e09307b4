#include "ui/Component.h"

#include "core/SysUtils.h"

#include <algorithm>

namespace rt {

bool IsValidIdent(std::string_view name) {
    if (name.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(name.front())) return false;
    return std::all_of(name.begin(), name.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

// --- TComponentRef ---

void TComponentRef::Attach(TComponent* target) {
    if (FTarget == target) return;
    if (FTarget) {
        auto& refs = FTarget->FRefs;
        refs.erase(std::remove(refs.begin(), refs.end(), this), refs.end());
    }
    FTarget = target;
    if (FTarget) FTarget->FRefs.push_back(this);
}

// --- TComponent ---

KVRT_PUBLISHED(TComponent) {
    P.Property("Name", &TComponent::Name, &TComponent::SetName);
    P.Property("Tag", &TComponent::Tag, &TComponent::SetTag);
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

void TComponent::BeforeDestruction() {
    if (!IsDestroying()) Destroying();
}

TComponent::~TComponent() {
    Destroying();
    // Whoever asked to be told about our end.
    std::vector<TComponent*> notifies;
    notifies.swap(FFreeNotifies);
    for (TComponent* c : notifies) {
        auto& theirs = c->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        c->Notification(this, opRemove);
    }
    std::vector<TComponentRef*> refs;
    refs.swap(FRefs);
    for (TComponentRef* r : refs) r->FTarget = nullptr;
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
    FComponentState.Include(csDestroying);
}

void TComponent::SetComponentStateItem(TComponentStateItem item, bool on) {
    if (on)
        FComponentState.Include(item);
    else
        FComponentState.Exclude(item);
}

void TComponent::SetLoadingState(bool loading) {
    SetComponentStateItem(csLoading, loading);
    SetComponentStateItem(csReading, loading);
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FComponents[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name)) return c;
    return nullptr;
}

void TComponent::SetName(const std::string& value) {
    if (FName == value) return;
    if (!value.empty() && !IsValidIdent(value))
        throw EComponentError("'" + value + "' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, value);
    else
        ValidateRename(nullptr, FName, value);
    FName = value;
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName) {
    if (component && !SameText(curName, newName)) {
        TComponent* other = FindComponent(newName);
        if (other && other != component)
            throw EComponentError("A component named " + newName + " already exists");
    }
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->FOwner == this) return;
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    ValidateRename(component, "", component->FName);
    Insert(component);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->FOwner != this) return;
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::Insert(TComponent* component) {
    FComponents.push_back(component);
    component->FOwner = this;
}

void TComponent::Remove(TComponent* component) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
    component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        Remove(last);
        last->Free();
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
        FFreeNotifies.push_back(component);
    if (std::find(component->FFreeNotifies.begin(), component->FFreeNotifies.end(), this) ==
        component->FFreeNotifies.end())
        component->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component),
                        FFreeNotifies.end());
    auto& theirs = component->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    // Tell every owned component, so that references between siblings are cleared.
    if (operation == opRemove && component) RemoveFreeNotification(component);
    for (size_t i = 0; i < FComponents.size(); ++i)
        if (FComponents[i] != component) FComponents[i]->Notification(component, operation);
}

} // namespace rt
