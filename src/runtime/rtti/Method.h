#pragma once
// Method pointers: an event handler is a (Code, Data) pair, as on the platform. Code is the address of a
// small thunk that calls one member function; Data is the object it is called on. A pair can be read and
// written through the published event properties, saved (also as two pointers in a string list's
// attached objects), compared, restored and called. Handlers are chained by saving the previous pair and
// calling it from the new handler:
//
//   FSavedExit = Edit1->OnExit;                          // keep the old handler
//   Edit1->OnExit = rt::Handler<&TfrmX::DateExit>(this); // install ours
//   void TfrmX::DateExit(TObject* Sender) { ...; FSavedExit(Sender); }
//   Edit1->OnExit = FSavedExit;                          // give it back
#include "rtti/TypInfo.h"

#include <cstddef>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace rt {

class TObject;

struct TMethod {
    void* Code = nullptr;
    void* Data = nullptr;
    bool Assigned() const { return Code != nullptr; }
    bool operator==(const TMethod&) const = default;
};

TTypeInfo MakeMethodTypeInfo(const char* name, const std::type_info& signature);

template <class Sig> class TEvent;

// A typed method pointer. Calling an unassigned event does nothing (and answers a default value).
template <class R, class... Args> class TEvent<R(Args...)> {
public:
    using Signature = R(Args...);
    using Thunk = R (*)(void*, Args...);

    constexpr TEvent() = default;
    constexpr TEvent(std::nullptr_t) {} // NOLINT(google-explicit-constructor): Edit1->OnExit = nullptr
    explicit TEvent(const TMethod& m) : FMethod(m) {}
    // A plain function taking the data pointer first, for handlers that are not member functions.
    TEvent(Thunk code, void* data) : FMethod{reinterpret_cast<void*>(code), data} {}

    const TMethod& Method() const { return FMethod; }
    void* Code() const { return FMethod.Code; }
    void* Data() const { return FMethod.Data; }
    bool Assigned() const { return FMethod.Code != nullptr; }
    explicit operator bool() const { return Assigned(); }

    R operator()(Args... args) const {
        if (!FMethod.Code) {
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R{};
        }
        return reinterpret_cast<Thunk>(FMethod.Code)(FMethod.Data, std::forward<Args>(args)...);
    }

    bool operator==(const TEvent& other) const { return FMethod == other.FMethod; }

    static const TTypeInfo* TypeInfo() {
        static const TTypeInfo info = MakeMethodTypeInfo("TMethod", typeid(Signature));
        return &info;
    }

private:
    TMethod FMethod;
};

namespace detail {
template <class M> struct MemberFnTraits;
template <class C, class R, class... A> struct MemberFnTraits<R (C::*)(A...)> {
    using Class = C;
    using Signature = R(A...);
    template <auto M> static R Thunk(void* data, A... args) {
        return (static_cast<C*>(static_cast<TObject*>(data))->*M)(std::forward<A>(args)...);
    }
};
} // namespace detail

// The code pointer of a member function as used in a method pointer (the same for every object).
template <auto M> void* MethodCode() {
    using Traits = detail::MemberFnTraits<decltype(M)>;
    return reinterpret_cast<void*>(&Traits::template Thunk<M>);
}

// The method pointer that calls member function M on obj: rt::Handler<&TfrmX::btnOkClick>(this).
template <auto M>
TEvent<typename detail::MemberFnTraits<decltype(M)>::Signature>
Handler(typename detail::MemberFnTraits<decltype(M)>::Class* obj) {
    using Traits = detail::MemberFnTraits<decltype(M)>;
    using Event = TEvent<typename Traits::Signature>;
    static_assert(std::is_base_of_v<TObject, typename Traits::Class>,
                  "handlers are methods of TObject classes");
    return Event(TMethod{MethodCode<M>(), static_cast<void*>(static_cast<TObject*>(obj))});
}

// Declares a named event type (the type name is what the rtti reports):
//   KVRT_EVENT(TNotifyEvent, void(TObject* Sender))
#define KVRT_EVENT(Name, ...)                                                                                \
    class Name : public ::rt::TEvent<__VA_ARGS__> {                                                          \
    public:                                                                                                  \
        using Base = ::rt::TEvent<__VA_ARGS__>;                                                              \
        using Base::Base;                                                                                    \
        Name() = default;                                                                                    \
        Name(const Base& e) : Base(e) {} /* NOLINT(google-explicit-constructor) */                           \
        static const ::rt::TTypeInfo* TypeInfo() {                                                           \
            static const ::rt::TTypeInfo info = ::rt::MakeMethodTypeInfo(#Name, typeid(Signature));          \
            return &info;                                                                                    \
        }                                                                                                    \
    };

KVRT_EVENT(TNotifyEvent, void(TObject* Sender))

} // namespace rt
