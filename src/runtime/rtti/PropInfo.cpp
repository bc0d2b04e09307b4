#include "rtti/PropInfo.h"

#include "core/SysUtils.h"
#include "core/Utf8.h"
#include "rtti/Idents.h"
#include "rtti/Publish.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace rt {

namespace {

[[noreturn]] void RaiseUnknown(const TObject* obj, std::string_view name) {
    std::string cls = obj ? obj->ClassName() : std::string("nil");
    throw EPropertyError("Property " + std::string(name) + " does not exist in " + cls);
}

const TPropInfo* Require(const TObject* obj, std::string_view name) {
    if (!obj) throw EPropertyError("Property " + std::string(name) + " of a nil object");
    const TPropInfo* p = GetPropInfo(obj, name);
    if (!p) RaiseUnknown(obj, name);
    return p;
}

[[noreturn]] void RaiseReadOnly(const TPropInfo* prop) {
    throw EPropertyError("Property " + prop->Name + " is read-only");
}

[[noreturn]] void RaiseBadNumber(std::string_view text, const char* what) {
    throw EConvertError("'" + std::string(text) + "' is not a valid " + what + " value");
}

// Integer text: optional sign, decimal digits, or hexadecimal after "$", "0x" or "x". Hexadecimal
// values wrap to the type's width as the platform's StrToInt does for 32-bit integers.
int64_t ParseIntegerText(std::string_view original, const TTypeInfo* type) {
    std::string_view s = TrimView(original);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    bool hex = false;
    if (!s.empty() && s.front() == '$') {
        hex = true;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        hex = true;
        s.remove_prefix(2);
    } else if (s.size() > 1 && (s[0] == 'x' || s[0] == 'X')) {
        hex = true;
        s.remove_prefix(1);
    }
    if (s.empty()) RaiseBadNumber(original, "integer");
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, hex ? 16 : 10);
    if (ec != std::errc() || end != s.data() + s.size()) RaiseBadNumber(original, "integer");
    int64_t lo = type ? type->MinValue : std::numeric_limits<int64_t>::min();
    int64_t hi = type ? type->MaxValue : std::numeric_limits<int64_t>::max();
    bool int32Type = lo == std::numeric_limits<int32_t>::min() && hi == std::numeric_limits<int32_t>::max();
    int64_t value;
    if (hex && int32Type && magnitude <= std::numeric_limits<uint32_t>::max()) {
        value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    } else {
        if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            RaiseBadNumber(original, "integer");
        value = static_cast<int64_t>(magnitude);
    }
    if (negative) value = -value;
    if (type && type->Kind != tkInt64 && (value < lo || value > hi)) RaiseBadNumber(original, "integer");
    return value;
}

double ParseFloatText(std::string_view original) {
    std::string_view s = TrimView(original);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        RaiseBadNumber(original, "floating point");
    return value;
}

// One character: the character itself, or "#n".
int64_t ParseCharText(std::string_view text, const TTypeInfo* type) {
    if (text.size() > 1 && text.front() == '#') return ParseIntegerText(text.substr(1), type);
    if (text.size() == 1) return static_cast<unsigned char>(text.front());
    if (type && type->Kind == tkWChar && !text.empty()) {
        // One UTF-8 encoded character of the basic plane.
        auto lead = static_cast<unsigned char>(text[0]);
        size_t len = lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (text.size() == len && len > 1) {
            uint32_t cp = lead & (len == 2 ? 0x1F : 0x0F);
            for (size_t i = 1; i < len; ++i) cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
            return cp;
        }
    }
    throw EConvertError("'" + std::string(text) + "' is not a single character");
}

} // namespace

[[noreturn]] void RaisePropertyKindError(const TPropInfo* prop, const char* wanted) {
    throw EPropertyError("Invalid property value: " + prop->Name + " needs " + wanted);
}

bool TPropInfo::IsWritable() const {
    return static_cast<bool>(SetOrd) || static_cast<bool>(SetFloat) || static_cast<bool>(SetStr) ||
           static_cast<bool>(SetObj) || static_cast<bool>(SetMethod);
}

bool IsOrdinalKind(TTypeKind kind) {
    switch (kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkWChar:
    case tkInt64:
        return true;
    default:
        return false;
    }
}

const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
    return obj ? obj->ClassType()->FindProp(TrimView(name)) : nullptr;
}

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) {
    return cls ? cls->FindProp(TrimView(name)) : nullptr;
}

bool IsPublishedProp(const TObject* obj, std::string_view name) {
    return GetPropInfo(obj, name) != nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TObject* obj) {
    if (!obj) return {};
    return obj->ClassType()->Props();
}

int64_t GetOrdProp(const TObject* obj, const TPropInfo* prop) {
    if (!prop->GetOrd) RaisePropertyKindError(prop, "an ordinal type");
    return prop->GetOrd(obj);
}
int64_t GetOrdProp(const TObject* obj, std::string_view name) {
    return GetOrdProp(obj, Require(obj, name));
}

void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value) {
    if (!IsOrdinalKind(prop->Kind())) RaisePropertyKindError(prop, "an ordinal type");
    if (!prop->SetOrd) RaiseReadOnly(prop);
    prop->SetOrd(obj, value);
}
void SetOrdProp(TObject* obj, std::string_view name, int64_t value) {
    SetOrdProp(obj, Require(obj, name), value);
}

double GetFloatProp(const TObject* obj, const TPropInfo* prop) {
    if (!prop->GetFloat) RaisePropertyKindError(prop, "a floating point type");
    return prop->GetFloat(obj);
}
double GetFloatProp(const TObject* obj, std::string_view name) {
    return GetFloatProp(obj, Require(obj, name));
}

void SetFloatProp(TObject* obj, const TPropInfo* prop, double value) {
    if (prop->Kind() != tkFloat) RaisePropertyKindError(prop, "a floating point type");
    if (!prop->SetFloat) RaiseReadOnly(prop);
    prop->SetFloat(obj, value);
}
void SetFloatProp(TObject* obj, std::string_view name, double value) {
    SetFloatProp(obj, Require(obj, name), value);
}

std::string GetStrProp(const TObject* obj, const TPropInfo* prop) {
    if (!prop->GetStr) RaisePropertyKindError(prop, "a string type");
    return prop->GetStr(obj);
}
std::string GetStrProp(const TObject* obj, std::string_view name) {
    return GetStrProp(obj, Require(obj, name));
}

void SetStrProp(TObject* obj, const TPropInfo* prop, const std::string& value) {
    if (prop->Kind() != tkLString && prop->Kind() != tkWString) RaisePropertyKindError(prop, "a string type");
    if (!prop->SetStr) RaiseReadOnly(prop);
    prop->SetStr(obj, value);
}
void SetStrProp(TObject* obj, std::string_view name, const std::string& value) {
    SetStrProp(obj, Require(obj, name), value);
}

TObject* GetObjectProp(const TObject* obj, const TPropInfo* prop) {
    if (!prop->GetObj) RaisePropertyKindError(prop, "a class type");
    return prop->GetObj(obj);
}
TObject* GetObjectProp(const TObject* obj, std::string_view name) {
    return GetObjectProp(obj, Require(obj, name));
}

void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value) {
    if (prop->Kind() != tkClass) RaisePropertyKindError(prop, "a class type");
    if (!prop->SetObj) RaiseReadOnly(prop);
    prop->SetObj(obj, value);
}
void SetObjectProp(TObject* obj, std::string_view name, TObject* value) {
    SetObjectProp(obj, Require(obj, name), value);
}

TMethod GetMethodProp(const TObject* obj, const TPropInfo* prop) {
    if (!prop->GetMethod) RaisePropertyKindError(prop, "a method type");
    return prop->GetMethod(obj);
}
TMethod GetMethodProp(const TObject* obj, std::string_view name) {
    return GetMethodProp(obj, Require(obj, name));
}

void SetMethodProp(TObject* obj, const TPropInfo* prop, const TMethod& value) {
    if (prop->Kind() != tkMethod) RaisePropertyKindError(prop, "a method type");
    if (!prop->SetMethod) RaiseReadOnly(prop);
    prop->SetMethod(obj, value);
}
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value) {
    SetMethodProp(obj, Require(obj, name), value);
}

std::string GetEnumProp(const TObject* obj, std::string_view name) {
    const TPropInfo* p = Require(obj, name);
    if (p->Kind() != tkEnumeration) RaisePropertyKindError(p, "an enumeration");
    return GetEnumName(p->PropType, GetOrdProp(obj, p));
}

void SetEnumProp(TObject* obj, std::string_view name, std::string_view value) {
    const TPropInfo* p = Require(obj, name);
    if (p->Kind() != tkEnumeration) RaisePropertyKindError(p, "an enumeration");
    SetPropText(obj, p, value);
}

std::string GetSetProp(const TObject* obj, std::string_view name, bool brackets) {
    const TPropInfo* p = Require(obj, name);
    if (p->Kind() != tkSet) RaisePropertyKindError(p, "a set");
    return SetToString(p->PropType, static_cast<uint64_t>(GetOrdProp(obj, p)), brackets);
}

void SetSetProp(TObject* obj, std::string_view name, std::string_view value) {
    const TPropInfo* p = Require(obj, name);
    if (p->Kind() != tkSet) RaisePropertyKindError(p, "a set");
    SetPropText(obj, p, value);
}

void SetPropText(TObject* obj, const TPropInfo* prop, std::string_view text) {
    const TTypeInfo* type = prop->PropType;
    switch (prop->Kind()) {
    case tkInteger:
    case tkInt64: {
        std::string_view t = TrimView(text);
        if (type->Idents) {
            if (auto v = IdentToInt(t, type->Idents)) {
                SetOrdProp(obj, prop, *v);
                return;
            }
        }
        SetOrdProp(obj, prop, ParseIntegerText(t, type));
        return;
    }
    case tkChar:
    case tkWChar:
        SetOrdProp(obj, prop, ParseCharText(text, type));
        return;
    case tkEnumeration: {
        std::string_view t = TrimView(text);
        int64_t v = GetEnumValue(type, t);
        if (v < 0) {
            int64_t n = 0;
            auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
            if (t.empty() || ec != std::errc() || end != t.data() + t.size() || n < type->MinValue ||
                n > type->MaxValue)
                throw EPropertyError("Invalid property value '" + std::string(t) + "' for " + prop->Name +
                                     " (" + type->Name + ")");
            v = n;
        }
        SetOrdProp(obj, prop, v);
        return;
    }
    case tkSet: {
        std::string_view t = TrimView(text);
        if (!t.empty() && t.front() >= '0' && t.front() <= '9')
            SetOrdProp(obj, prop, ParseIntegerText(t, nullptr));
        else
            SetOrdProp(obj, prop, static_cast<int64_t>(StringToSet(type, t)));
        return;
    }
    case tkFloat:
        SetFloatProp(obj, prop, ParseFloatText(text));
        return;
    case tkLString:
    case tkWString:
        SetStrProp(obj, prop, std::string(text));
        return;
    case tkClass:
    case tkMethod:
    case tkUnknown:
        break;
    }
    throw EPropertyError("Property " + prop->Name + " of type " + (type ? type->Name : std::string("?")) +
                         " cannot be set from text");
}

void SetPropText(TObject* obj, std::string_view name, std::string_view text) {
    SetPropText(obj, Require(obj, name), text);
}

std::string GetPropText(const TObject* obj, const TPropInfo* prop) {
    const TTypeInfo* type = prop->PropType;
    switch (prop->Kind()) {
    case tkInteger:
    case tkInt64:
        return std::to_string(GetOrdProp(obj, prop));
    case tkChar:
        return std::string(1, static_cast<char>(GetOrdProp(obj, prop)));
    case tkWChar: {
        std::string out;
        AppendUtf8(static_cast<char32_t>(GetOrdProp(obj, prop)), out);
        return out;
    }
    case tkEnumeration:
        return GetEnumName(type, GetOrdProp(obj, prop));
    case tkSet:
        return SetToString(type, static_cast<uint64_t>(GetOrdProp(obj, prop)));
    case tkFloat: {
        char buf[64];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, GetFloatProp(obj, prop));
        return ec == std::errc() ? std::string(buf, end) : std::string();
    }
    case tkLString:
    case tkWString:
        return GetStrProp(obj, prop);
    case tkClass: {
        TObject* o = GetObjectProp(obj, prop);
        return o ? o->ClassName() : std::string();
    }
    case tkMethod: {
        TMethod m = GetMethodProp(obj, prop);
        if (!m.Code || !m.Data) return {};
        return static_cast<TObject*>(m.Data)->MethodName(m.Code);
    }
    case tkUnknown:
        break;
    }
    return {};
}

std::string GetPropText(const TObject* obj, std::string_view name) {
    return GetPropText(obj, Require(obj, name));
}

std::pair<TObject*, const TPropInfo*> FindPropPath(TObject* obj, std::string_view path) {
    TObject* current = obj;
    std::string_view rest = path;
    while (true) {
        size_t dot = rest.find('.');
        std::string_view segment = TrimView(rest.substr(0, dot));
        if (!current) throw EPropertyError("Property path " + std::string(path) + " reaches a nil object");
        const TPropInfo* prop = GetPropInfo(current, segment);
        if (!prop) RaiseUnknown(current, segment);
        if (dot == std::string_view::npos) return {current, prop};
        if (prop->Kind() != tkClass)
            throw EPropertyError("Property " + prop->Name + " in path " + std::string(path) +
                                 " is not an object");
        current = GetObjectProp(current, prop);
        if (!current)
            throw EPropertyError("Property " + prop->Name + " in path " + std::string(path) + " is nil");
        rest.remove_prefix(dot + 1);
    }
}

void SetPropPath(TObject* obj, std::string_view path, std::string_view text) {
    auto [target, prop] = FindPropPath(obj, path);
    SetPropText(target, prop, text);
}

std::string GetPropPath(const TObject* obj, std::string_view path) {
    auto [target, prop] = FindPropPath(const_cast<TObject*>(obj), path);
    return GetPropText(target, prop);
}

TMethod FindPublishedMethod(TObject* obj, std::string_view name) {
    if (!obj) return {};
    void* code = obj->MethodAddress(name);
    return code ? TMethod{code, static_cast<void*>(obj)} : TMethod{};
}

} // namespace rt
