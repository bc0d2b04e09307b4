#include "automation/Dispatch.h"

#include <algorithm>
#include <cctype>

namespace rt {
namespace {

std::string UpperAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

Variant CallWith(const Variant& obj, const std::string& name, DispatchKind kind, std::vector<OleArg> args) {
    DispatchPtr d = obj.AsDispatch();
    if (!d) throw EOleError("Automation object is not assigned (call of \"" + name + "\")");
    std::vector<Variant> values;
    values.reserve(args.size());
    for (const auto& a : args) values.push_back(a.Value());
    Variant result = d->Invoke(name, kind, values);
    for (size_t i = 0; i < args.size() && i < values.size(); ++i)
        if (args[i].Ref()) *args[i].Ref() = values[i];
    return result;
}

} // namespace

Variant TAutoObject::Invoke(const std::string& name, DispatchKind kind, std::vector<Variant>& args) {
    auto it = FMembers.find(UpperAscii(name));
    if (it == FMembers.end()) throw EOleError("Unknown name \"" + name + "\" on " + DispatchClassName());
    Member& m = it->second;
    switch (kind) {
    case DispatchKind::Method:
        if (m.method) return m.method(args);
        if (m.get) return m.get(args);
        break;
    case DispatchKind::PropertyGet:
        if (m.get) return m.get(args);
        if (m.method) return m.method(args);
        break;
    case DispatchKind::PropertyPut:
        if (m.set && !args.empty()) {
            Variant value = args.back();
            args.pop_back();
            m.set(args, value);
            return Variant();
        }
        break;
    }
    throw EOleError("Member \"" + name + "\" of " + DispatchClassName() + " does not support this call");
}

void TAutoObject::AddMethod(const std::string& name, Method m) {
    FMembers[UpperAscii(name)].method = std::move(m);
}

void TAutoObject::AddProperty(const std::string& name, Getter get, Setter set) {
    Member& m = FMembers[UpperAscii(name)];
    m.get = std::move(get);
    m.set = std::move(set);
}

void TAutoObject::CheckArgCount(const std::string& name, const std::vector<Variant>& args, size_t min,
                                size_t max) {
    if (args.size() < min || args.size() > max)
        throw EOleError("Wrong number of arguments for \"" + name + "\": " + std::to_string(args.size()));
}

Variant OleCall(const Variant& obj, const std::string& name, std::initializer_list<OleArg> args) {
    return CallWith(obj, name, DispatchKind::Method, std::vector<OleArg>(args));
}

Variant OleCallV(const Variant& obj, const std::string& name, std::vector<OleArg> args) {
    return CallWith(obj, name, DispatchKind::Method, std::move(args));
}

Variant OleGet(const Variant& obj, const std::string& name, std::initializer_list<OleArg> args) {
    return CallWith(obj, name, DispatchKind::PropertyGet, std::vector<OleArg>(args));
}

void OleSet(const Variant& obj, const std::string& name, const Variant& value) {
    CallWith(obj, name, DispatchKind::PropertyPut, {OleArg(value)});
}

} // namespace rt
