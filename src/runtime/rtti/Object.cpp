#include "rtti/Object.h"

#include "core/SysUtils.h"
#include "rtti/PropInfo.h"
#include "rtti/Publish.h"

#include <algorithm>

namespace rt {

namespace {

struct ClassRegistry {
    std::map<std::string, TClass, std::less<>> ByName; // upper-case names
};

ClassRegistry& Registry() {
    static ClassRegistry registry;
    return registry;
}

} // namespace

TClassInfo::TClassInfo(std::string name, TClass parent) : FName(std::move(name)), FParent(parent) {
    FTypeInfo.Kind = tkClass;
    FTypeInfo.Name = FName;
    FTypeInfo.ClassType = this;
}

TClassInfo::~TClassInfo() = default;

bool TClassInfo::InheritsFrom(TClass other) const {
    for (TClass c = this; c; c = c->FParent)
        if (c == other) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
    EnsureIndex();
    auto it = FPropIndex.find(UpperCase(name));
    return it == FPropIndex.end() ? nullptr : it->second;
}

const TMethodEntry* TClassInfo::FindMethod(std::string_view name) const {
    std::string key = UpperCase(name);
    for (TClass c = this; c; c = c->FParent) {
        auto it = c->FMethods.find(key);
        if (it != c->FMethods.end()) return &it->second;
    }
    return nullptr;
}

const TMethodEntry* TClassInfo::FindMethodByCode(const void* code) const {
    if (!code) return nullptr;
    for (TClass c = this; c; c = c->FParent)
        for (const auto& [key, m] : c->FMethods)
            if (m.Code == code) return &m;
    return nullptr;
}

const TFieldEntry* TClassInfo::FindField(std::string_view name) const {
    std::string key = UpperCase(name);
    for (TClass c = this; c; c = c->FParent) {
        auto it = c->FFields.find(key);
        if (it != c->FFields.end()) return &it->second;
    }
    return nullptr;
}

TMessageHandler TClassInfo::FindMessageHandler(uint32_t msg) const {
    for (TClass c = this; c; c = c->FParent) {
        auto it = c->FMessages.find(msg);
        if (it != c->FMessages.end()) return it->second;
    }
    return nullptr;
}

void TClassInfo::AddProp(std::unique_ptr<TPropInfo> prop) {
    prop->Owner = this;
    FOwnProps.push_back(std::move(prop));
}

void TClassInfo::AddMethod(TMethodEntry method) {
    std::string key = UpperCase(method.Name);
    FMethods[key] = std::move(method);
}

void TClassInfo::AddField(TFieldEntry field) {
    std::string key = UpperCase(field.Name);
    FFields[key] = std::move(field);
}

void TClassInfo::AddMessageHandler(uint32_t msg, TMessageHandler handler) {
    FMessages[msg] = handler;
}

const std::vector<const TPropInfo*>& TClassInfo::Props() const {
    EnsureIndex();
    return FAllProps;
}

void TClassInfo::EnsureIndex() const {
    if (FIndexed) return;
    FIndexed = true;
    if (FParent) {
        FParent->EnsureIndex();
        FAllProps = FParent->FAllProps;
        FPropIndex = FParent->FPropIndex;
    }
    for (const auto& prop : FOwnProps) {
        std::string key = UpperCase(prop->Name);
        auto it = FPropIndex.find(key);
        if (it != FPropIndex.end()) {
            // A redeclared property replaces the ancestor's in place.
            std::replace(FAllProps.begin(), FAllProps.end(), it->second,
                         static_cast<const TPropInfo*>(prop.get()));
            it->second = prop.get();
        } else {
            FPropIndex.emplace(std::move(key), prop.get());
            FAllProps.push_back(prop.get());
        }
    }
}

// --- TObject ---

TObject::~TObject() = default;

TClass TObject::ClassInfo() {
    static const TClass info = new TClassInfo("TObject", nullptr);
    return info;
}

void TObject::DeclarePublished(TPublisher<TObject>&) {}

void* TObject::MethodAddress(std::string_view name) const {
    const TMethodEntry* m = ClassType()->FindMethod(name);
    return m ? m->Code : nullptr;
}

std::string TObject::MethodName(const void* code) const {
    const TMethodEntry* m = ClassType()->FindMethodByCode(code);
    return m ? m->Name : std::string();
}

void TObject::Dispatch(TMessage& message) {
    if (TMessageHandler handler = ClassType()->FindMessageHandler(message.Msg))
        handler(this, message);
    else
        DefaultHandler(message);
}

void TObject::DefaultHandler(TMessage&) {}

void TObject::DispatchInherited(TClass cls, TMessage& message) {
    TClass parent = cls ? cls->Parent() : nullptr;
    if (TMessageHandler handler = parent ? parent->FindMessageHandler(message.Msg) : nullptr)
        handler(this, message);
    else
        DefaultHandler(message);
}

void TObject::Free() {
    BeforeDestruction();
    delete this;
}

// --- TPersistent ---

KVRT_PUBLISHED(TPersistent) {}

void TPersistent::Assign(const TPersistent* source) {
    if (source) {
        source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) const {
    std::string destName = dest ? dest->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + destName);
}

// --- registry ---

void RegisterClass(TClass cls) {
    if (!cls) return;
    Registry().ByName.try_emplace(UpperCase(cls->Name()), cls);
}

bool RegisterClassAtLoad(TClass cls) {
    RegisterClass(cls);
    return true;
}

TClass GetClass(std::string_view name) {
    auto& map = Registry().ByName;
    auto it = map.find(UpperCase(name));
    return it == map.end() ? nullptr : it->second;
}

TClass FindClass(std::string_view name) {
    TClass cls = GetClass(name);
    if (!cls) throw EClassNotFound("Class " + std::string(name) + " not found");
    return cls;
}

TComponent* CreateComponentByClassName(std::string_view name, TComponent* owner) {
    TClass cls = FindClass(name);
    if (!cls->Factory()) throw EComponentError("Class " + cls->Name() + " cannot be created by name");
    return cls->Factory()(owner);
}

} // namespace rt
