#pragma once
// TObject, the root of every class with published information, and TClassInfo, the class reference:
// the class name, its parent, published properties, fields and methods, message handlers, and for
// components the constructor used to create one by class name.
//
// A class takes part with two macros: KVRT_CLASS in its declaration and KVRT_PUBLISHED in one source
// file, whose body declares what it publishes (see rtti/Publish.h):
//
//   class TMyEdit : public TEdit {
//       KVRT_CLASS(TMyEdit, TEdit)
//   public:
//       ...
//   };
//   KVRT_PUBLISHED(TMyEdit) { P.Property("Limit", &TMyEdit::GetLimit, &TMyEdit::SetLimit); }
//
// Every class so declared is registered at load time and can be found with FindClass.
#include "core/Exceptions.h"
#include "rtti/Method.h"
#include "rtti/TypInfo.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

class TObject;
class TComponent;
class TClassInfo;
struct TPropInfo;
template <class T> class TPublisher;

using TClass = const TClassInfo*;

KVRT_EXCEPTION(EClassNotFound, Exception)

// A window message as dispatched to an object's message handlers.
struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

using TMessageHandler = void (*)(TObject* self, TMessage& message);

// A published method: a member function that resources and look-ups find by name.
struct TMethodEntry {
    std::string Name;
    void* Code = nullptr;
    const std::type_info* Signature = nullptr;
};

// A published field: a component pointer of the form that the resource reader fills by name.
struct TFieldEntry {
    std::string Name;
    TClass FieldClass = nullptr;
    std::function<void(TObject* self, TObject* value)> Set;
    std::function<TObject*(const TObject* self)> Get;
};

class TClassInfo {
public:
    using TFactory = TComponent* (*)(TComponent* owner);

    TClassInfo(std::string name, TClass parent);
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;
    ~TClassInfo();

    const std::string& Name() const { return FName; }
    TClass Parent() const { return FParent; }
    bool InheritsFrom(TClass other) const;
    // The type of a property that holds an object of this class (kind tkClass, the class name).
    const TTypeInfo* TypeInfo() const { return &FTypeInfo; }

    // Published properties, inherited ones included, looked up ignoring case; null when not published.
    const TPropInfo* FindProp(std::string_view name) const;
    // All published properties, ancestors' first, each name once (a redeclared property takes the place
    // of the ancestor's).
    const std::vector<const TPropInfo*>& Props() const;

    const TMethodEntry* FindMethod(std::string_view name) const;
    const TMethodEntry* FindMethodByCode(const void* code) const;
    const TFieldEntry* FindField(std::string_view name) const;
    TMessageHandler FindMessageHandler(uint32_t msg) const;

    // Creates a component of this class; null when the class cannot be created by name (abstract, or
    // not a component).
    TFactory Factory() const { return FFactory; }

    // Building (used by TPublisher while the class information is made).
    void AddProp(std::unique_ptr<TPropInfo> prop);
    void AddMethod(TMethodEntry method);
    void AddField(TFieldEntry field);
    void AddMessageHandler(uint32_t msg, TMessageHandler handler);
    void SetFactory(TFactory factory) { FFactory = factory; }

private:
    std::string FName;
    TClass FParent;
    TTypeInfo FTypeInfo;
    // The inherited and own properties merged, made on first look-up (every class is complete by then).
    void EnsureIndex() const;

    std::vector<std::unique_ptr<TPropInfo>> FOwnProps;
    mutable bool FIndexed = false;
    mutable std::vector<const TPropInfo*> FAllProps;
    mutable std::map<std::string, const TPropInfo*, std::less<>> FPropIndex; // upper-case names
    std::map<std::string, TMethodEntry, std::less<>> FMethods;               // own, upper-case names
    std::map<std::string, TFieldEntry, std::less<>> FFields;                 // own, upper-case names
    std::map<uint32_t, TMessageHandler> FMessages;                           // own
    TFactory FFactory = nullptr;
};

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    using ThisClass = TObject;
    static TClass ClassInfo();
    virtual TClass ClassType() const { return ClassInfo(); }
    const std::string& ClassName() const { return ClassType()->Name(); }
    bool InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }

    // Published methods by name (ignoring case): the code pointer, or null.
    void* MethodAddress(std::string_view name) const;
    std::string MethodName(const void* code) const;

    // Delivers a message to the handler registered for its number on this class or its nearest
    // ancestor; without one, to DefaultHandler.
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);
    // The "inherited" of a message handler: the handler an ancestor of cls registered for the message,
    // or DefaultHandler. A handler registered on class X passes a message on with
    // DispatchInherited(X::ClassInfo(), m).
    void DispatchInherited(TClass cls, TMessage& message);

    // Called by New<T>() after the constructor, and by Free() before the destructor: the places where
    // virtual behaviour of the complete object (resources, OnCreate, OnDestroy) can run.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
    // Destroys the object the platform's way: BeforeDestruction, then the destructor.
    void Free();

    static void DeclarePublished(TPublisher<TObject>& P);
};

// Creates an object and runs AfterConstruction: the way to create forms and components.
template <class T, class... A> T* New(A&&... args) {
    T* obj = new T(std::forward<A>(args)...);
    try {
        obj->AfterConstruction();
    } catch (...) {
        obj->Free();
        throw;
    }
    return obj;
}

// Null-safe Free, and Free that also clears the pointer.
inline void Free(TObject* obj) {
    if (obj) obj->Free();
}
template <class T> void FreeAndNil(T*& obj) {
    T* tmp = obj;
    obj = nullptr;
    if (tmp) tmp->Free();
}

// Deleter for smart pointers that own a root object (a form without owner in a test).
struct TFreeDeleter {
    void operator()(TObject* obj) const { Free(obj); }
};
template <class T> using TOwnedPtr = std::unique_ptr<T, TFreeDeleter>;

// The base of objects that can copy themselves from another (Assign) and be streamed.
class TPersistent : public TObject {
public:
    using inherited = TObject;
    using ThisClass = TPersistent;
    static TClass ClassInfo();
    TClass ClassType() const override { return ClassInfo(); }
    static void DeclarePublished(TPublisher<TPersistent>& P);

    // Copies source into this object. The default asks source->AssignTo(this); when neither side knows
    // the other, raises EConvertError "Cannot assign a TX to a TY".
    virtual void Assign(const TPersistent* source);

protected:
    virtual void AssignTo(TPersistent* dest) const;
};

// The class registry. Every class declared with KVRT_CLASS/KVRT_PUBLISHED is registered when its
// library loads; RegisterClass is for classes registered by hand. Names compare ignoring case; the first
// class registered under a name keeps it.
void RegisterClass(TClass cls);
TClass GetClass(std::string_view name);  // null when unknown
TClass FindClass(std::string_view name); // raises EClassNotFound "Class X not found"
// Creates a component by class name; raises EClassNotFound, or EComponentError when the class cannot be
// created by name.
TComponent* CreateComponentByClassName(std::string_view name, TComponent* owner);

} // namespace rt
