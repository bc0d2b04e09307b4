#pragma once
// Declaring what a class publishes. A class names itself and its parent with KVRT_CLASS and lists its
// published properties, fields, methods and message handlers once, in the body of KVRT_PUBLISHED:
//
//   KVRT_PUBLISHED(TfrmDemo) {
//       P.Property("Limit", &TfrmDemo::GetLimit, &TfrmDemo::SetLimit); // getter and setter
//       P.Property("Tag2", &TfrmDemo::FTag2, &TfrmDemo::FTag2);         // a plain field
//       P.Property("OnApply", &TfrmDemo::FOnApply, &TfrmDemo::FOnApply); // an event (method pointer)
//       P.Field("btnOk", &TfrmDemo::btnOk);                             // filled by the form resource
//       P.Method<&TfrmDemo::btnOkClick>("btnOkClick");                  // bound by resource event names
//       P.Message<&TfrmDemo::WMLookup>(WM_USER + 10);                   // message handler
//   }
//
// The kind and type name of a property follow from the C++ type of its getter: integers, bool (the
// enumeration False/True), char/char16_t, enumerations declared with KVRT_ENUM, sets declared with
// KVRT_SET, double/float/TDateTime, std::string, pointers to TObject classes (type name = class name),
// and event types declared with KVRT_EVENT. A fourth argument gives another type where the C++ type is
// shared (an int published as "TModalResult").
#include "rtti/PropInfo.h"
#include "rtti/Set.h"

#include "core/TDateTime.h"

#include <concepts>
#include <functional>
#include <string>
#include <type_traits>

namespace rt {

namespace detail {
template <class T>
concept HasEnumTypeInfo = requires {
    KvrtTypeInfoFor(static_cast<T*>(nullptr));
};
template <class T>
concept HasStaticTypeInfo = requires {
    { T::TypeInfo() } -> std::convertible_to<const TTypeInfo*>;
};
template <class T>
concept IsEvent = requires(const T& e) {
    { e.Method() } -> std::convertible_to<TMethod>;
    typename T::Signature;
};
template <class T>
concept IsSet = requires(const T& s) {
    { s.Bits() } -> std::convertible_to<uint64_t>;
    { T::FromBits(uint64_t{}) } -> std::same_as<T>;
};
template <class T>
concept IsObjectPointer =
    std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<T>>>;
} // namespace detail

// The type information of a C++ type used as a property type.
template <class T> const TTypeInfo* TypeInfoOf() {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, bool>)
        return TypeInfo_Boolean();
    else if constexpr (detail::HasEnumTypeInfo<U>)
        return KvrtTypeInfoFor(static_cast<U*>(nullptr));
    else if constexpr (detail::HasStaticTypeInfo<U>)
        return U::TypeInfo();
    else if constexpr (detail::IsObjectPointer<U>)
        return std::remove_cv_t<std::remove_pointer_t<U>>::ClassInfo()->TypeInfo();
    else if constexpr (std::is_same_v<U, char>)
        return TypeInfo_Char();
    else if constexpr (std::is_same_v<U, char16_t>)
        return TypeInfo_WideChar();
    else if constexpr (std::is_same_v<U, TDateTime>)
        return TypeInfo_TDateTime();
    else if constexpr (std::is_same_v<U, double>)
        return TypeInfo_Double();
    else if constexpr (std::is_same_v<U, float>)
        return TypeInfo_Single();
    else if constexpr (std::is_same_v<U, std::string>)
        return TypeInfo_String();
    else if constexpr (std::is_integral_v<U> && sizeof(U) == 8)
        return TypeInfo_Int64();
    else if constexpr (std::is_integral_v<U> && std::is_signed_v<U> && sizeof(U) == 4)
        return TypeInfo_Integer();
    else if constexpr (std::is_integral_v<U> && sizeof(U) == 4)
        return TypeInfo_Cardinal();
    else if constexpr (std::is_integral_v<U> && std::is_signed_v<U> && sizeof(U) == 2)
        return TypeInfo_SmallInt();
    else if constexpr (std::is_integral_v<U> && sizeof(U) == 2)
        return TypeInfo_Word();
    else if constexpr (std::is_integral_v<U> && std::is_signed_v<U> && sizeof(U) == 1)
        return TypeInfo_ShortInt();
    else if constexpr (std::is_integral_v<U> && sizeof(U) == 1)
        return TypeInfo_Byte();
    else
        static_assert(sizeof(U) == 0, "type cannot be published");
}

[[noreturn]] void RaisePropertyKindError(const TPropInfo* prop, const char* wanted);

template <class T> class TPublisher {
public:
    explicit TPublisher(TClassInfo& info) : FInfo(info) {}

    // getter: a const member function or a data member; setter: a member function taking the value, a
    // data member, or nullptr for a read-only property.
    template <class G, class S = std::nullptr_t>
    void Property(const char* name, G getter, S setter = nullptr, const TTypeInfo* type = nullptr) {
        using V = std::remove_cvref_t<std::invoke_result_t<G, const T&>>;
        auto prop = std::make_unique<TPropInfo>();
        prop->Name = name;
        prop->PropType = type ? type : TypeInfoOf<V>();
        constexpr bool writable = !std::is_same_v<S, std::nullptr_t>;
        auto self = [](const TObject* o) { return static_cast<const T*>(o); };
        auto mut = [](TObject* o) { return static_cast<T*>(o); };
        auto get = [getter, self](const TObject* o) -> V { return std::invoke(getter, *self(o)); };
        [[maybe_unused]] auto set = [setter, mut](TObject* o, V v) {
            if constexpr (writable) {
                if constexpr (std::is_member_function_pointer_v<S>)
                    (mut(o)->*setter)(std::move(v));
                else
                    mut(o)->*setter = std::move(v);
            }
        };
        if constexpr (detail::IsEvent<V>) {
            prop->GetMethod = [get](const TObject* o) { return get(o).Method(); };
            if constexpr (writable) prop->SetMethod = [set](TObject* o, const TMethod& m) { set(o, V(m)); };
        } else if constexpr (detail::IsSet<V>) {
            prop->GetOrd = [get](const TObject* o) { return static_cast<int64_t>(get(o).Bits()); };
            if constexpr (writable)
                prop->SetOrd = [set](TObject* o, int64_t v) {
                    set(o, V::FromBits(static_cast<uint64_t>(v)));
                };
        } else if constexpr (detail::IsObjectPointer<V>) {
            using C = std::remove_cv_t<std::remove_pointer_t<V>>;
            prop->GetObj = [get](const TObject* o) -> TObject* { return const_cast<C*>(get(o)); };
            if constexpr (writable)
                prop->SetObj = [set, p = prop.get()](TObject* o, TObject* v) {
                    C* typed = dynamic_cast<C*>(v);
                    if (v && !typed) RaisePropertyKindError(p, C::ClassInfo()->Name().c_str());
                    set(o, typed);
                };
        } else if constexpr (std::is_same_v<V, std::string>) {
            prop->GetStr = get;
            if constexpr (writable) prop->SetStr = [set](TObject* o, const std::string& v) { set(o, v); };
        } else if constexpr (std::is_same_v<V, TDateTime> || std::is_floating_point_v<V>) {
            prop->GetFloat = [get](const TObject* o) { return static_cast<double>(get(o)); };
            if constexpr (writable)
                prop->SetFloat = [set](TObject* o, double v) { set(o, static_cast<V>(v)); };
        } else if constexpr (std::is_same_v<V, bool>) {
            prop->GetOrd = [get](const TObject* o) -> int64_t { return get(o) ? 1 : 0; };
            if constexpr (writable) prop->SetOrd = [set](TObject* o, int64_t v) { set(o, v != 0); };
        } else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>) {
            prop->GetOrd = [get](const TObject* o) { return static_cast<int64_t>(get(o)); };
            if constexpr (writable)
                prop->SetOrd = [set](TObject* o, int64_t v) { set(o, static_cast<V>(v)); };
        } else {
            static_assert(sizeof(V) == 0, "property type cannot be published");
        }
        FInfo.AddProp(std::move(prop));
    }

    // A published field holding a component of the form, set by the resource reader when it creates or
    // finds the component of that name.
    template <class V> void Field(const char* name, V* T::*field) {
        static_assert(std::is_base_of_v<TObject, V>, "published fields hold objects");
        TFieldEntry entry;
        entry.Name = name;
        entry.FieldClass = V::ClassInfo();
        entry.Set = [field](TObject* self, TObject* value) {
            static_cast<T*>(self)->*field = dynamic_cast<V*>(value);
        };
        entry.Get = [field](const TObject* self) -> TObject* { return static_cast<const T*>(self)->*field; };
        FInfo.AddField(std::move(entry));
    }

    // A published method (an event handler found by name).
    template <auto M> void Method(const char* name) {
        using Traits = detail::MemberFnTraits<decltype(M)>;
        static_assert(std::is_base_of_v<typename Traits::Class, T>, "the method must belong to the class");
        FInfo.AddMethod(TMethodEntry{name, MethodCode<M>(), &typeid(typename Traits::Signature)});
    }

    // A message handler: void Handler(TMessage&).
    template <auto M> void Message(uint32_t msg) { FInfo.AddMessageHandler(msg, &MessageThunk<M>); }

private:
    template <auto M> static void MessageThunk(TObject* self, TMessage& message) {
        using Traits = detail::MemberFnTraits<decltype(M)>;
        (static_cast<typename Traits::Class*>(self)->*M)(message);
    }

    TClassInfo& FInfo;
};

// Fills the class information of T (its published members and, for components, the constructor used by
// the class registry). The information object exists before this runs, so that classes whose properties
// refer to each other (a page and its page control) can be described.
template <class T> void PublishClass(TClassInfo& info) {
    TPublisher<T> publisher(info);
    T::DeclarePublished(publisher);
    if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                  std::is_constructible_v<T, TComponent*>)
        info.SetFactory([](TComponent* owner) -> TComponent* { return New<T>(owner); });
}

bool RegisterClassAtLoad(TClass cls);

} // namespace rt

// In the class declaration: names the class and its parent. Leaves the access at private.
#define KVRT_CLASS(Self, Base)                                                                               \
public:                                                                                                      \
    using inherited = Base;                                                                                  \
    using ThisClass = Self;                                                                                  \
    static ::rt::TClass ClassInfo();                                                                         \
    ::rt::TClass ClassType() const override {                                                                \
        return Self::ClassInfo();                                                                            \
    }                                                                                                        \
    static void DeclarePublished(::rt::TPublisher<Self>& P);                                                 \
                                                                                                             \
private:

// In one source file, at namespace scope where Self is visible unqualified: defines the class information
// and opens the body that declares the published members (P is the publisher).
#define KVRT_PUBLISHED(Self) KVRT_PUBLISHED_AS(Self, #Self)

// The same for a class whose published class name differs from its C++ name.
#define KVRT_PUBLISHED_AS(Self, ClassName)                                                                   \
    ::rt::TClass Self::ClassInfo() {                                                                         \
        static ::rt::TClassInfo* info = nullptr; /* set before publishing: see PublishClass */               \
        if (!info) {                                                                                         \
            info = new ::rt::TClassInfo(ClassName, Self::inherited::ClassInfo());                            \
            ::rt::PublishClass<Self>(*info);                                                                 \
        }                                                                                                    \
        return info;                                                                                         \
    }                                                                                                        \
    [[maybe_unused]] static const bool kvrtRegistered_##Self = ::rt::RegisterClassAtLoad(Self::ClassInfo()); \
    void Self::DeclarePublished([[maybe_unused]] ::rt::TPublisher<Self>& P)
