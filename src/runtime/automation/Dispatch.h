#pragma once
// Late-bound automation objects: calls of methods and property reads/writes by name (ignoring case),
// with Variant arguments. Arguments travel in a vector the callee may change: that is how by-reference
// arguments come back to the caller.
#include "core/Variant.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rt {

enum class DispatchKind { Method, PropertyGet, PropertyPut };

class IDispatch : public std::enable_shared_from_this<IDispatch> {
public:
    virtual ~IDispatch() = default;
    // name is matched ignoring case. For PropertyPut the new value is the last argument.
    // Raises EOleError when the name is unknown or the arguments do not fit.
    virtual Variant Invoke(const std::string& name, DispatchKind kind, std::vector<Variant>& args) = 0;
    // The class name reported in error messages.
    virtual std::string DispatchClassName() const { return "IDispatch"; }
};

// A base for objects implemented in C++: register members by name, answer Invoke from the table.
class TAutoObject : public IDispatch {
public:
    using Method = std::function<Variant(std::vector<Variant>& args)>;
    using Getter = std::function<Variant(std::vector<Variant>& args)>;
    using Setter = std::function<void(std::vector<Variant>& args, const Variant& value)>;

    Variant Invoke(const std::string& name, DispatchKind kind, std::vector<Variant>& args) override;

protected:
    void AddMethod(const std::string& name, Method m);
    void AddProperty(const std::string& name, Getter get, Setter set = nullptr);
    // Raises EOleError unless args has between min and max elements.
    static void CheckArgCount(const std::string& name, const std::vector<Variant>& args, size_t min,
                              size_t max);

private:
    struct Member {
        Method method;
        Getter get;
        Setter set;
    };
    std::map<std::string, Member> FMembers; // keys in upper case
};

// One argument of a late-bound call: a value, or a caller's variable passed by reference.
class OleArg {
public:
    OleArg(const Variant& v) : FValue(v) {}          // NOLINT(google-explicit-constructor)
    OleArg(const VariantRef& v) : FValue(v.get()) {} // NOLINT(google-explicit-constructor)
    template <class T>
    OleArg(const T& v) requires std::is_constructible_v<Variant, const T&> : FValue(Variant(v)) {} // NOLINT
    static OleArg ByRef(Variant& target) {
        OleArg a{Variant()};
        a.FValue = target;
        a.FRef = &target;
        return a;
    }
    const Variant& Value() const { return FValue; }
    Variant* Ref() const { return FRef; }

private:
    Variant FValue;
    Variant* FRef = nullptr;
};

// Late-bound calls on a Variant holding an automation object. A Variant that holds no object raises
// EOleError ("Automation object is not assigned").
Variant OleCall(const Variant& obj, const std::string& name, std::initializer_list<OleArg> args = {});
Variant OleCallV(const Variant& obj, const std::string& name, std::vector<OleArg> args);
Variant OleGet(const Variant& obj, const std::string& name, std::initializer_list<OleArg> args = {});
void OleSet(const Variant& obj, const std::string& name, const Variant& value);

} // namespace rt
