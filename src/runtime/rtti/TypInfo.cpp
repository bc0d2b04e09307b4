#include "rtti/TypInfo.h"

#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "rtti/Idents.h"
#include "rtti/Method.h"

#include <limits>

namespace rt {

namespace {

TTypeInfo MakeOrdinal(TTypeKind kind, const char* name, int64_t lo, int64_t hi) {
    TTypeInfo t;
    t.Kind = kind;
    t.Name = name;
    t.MinValue = lo;
    t.MaxValue = hi;
    return t;
}

TTypeInfo MakeSimple(TTypeKind kind, const char* name) {
    TTypeInfo t;
    t.Kind = kind;
    t.Name = name;
    return t;
}

} // namespace

const char* TypeKindName(TTypeKind kind) {
    switch (kind) {
    case tkInteger:
        return "tkInteger";
    case tkChar:
        return "tkChar";
    case tkEnumeration:
        return "tkEnumeration";
    case tkFloat:
        return "tkFloat";
    case tkSet:
        return "tkSet";
    case tkClass:
        return "tkClass";
    case tkMethod:
        return "tkMethod";
    case tkWChar:
        return "tkWChar";
    case tkLString:
        return "tkLString";
    case tkWString:
        return "tkWString";
    case tkInt64:
        return "tkInt64";
    case tkUnknown:
        break;
    }
    return "tkUnknown";
}

std::string GetEnumName(const TTypeInfo* info, int64_t value) {
    if (!info || info->Kind != tkEnumeration) return std::to_string(value);
    if (value < 0 || value >= static_cast<int64_t>(info->EnumNames.size())) return std::to_string(value);
    return info->EnumNames[static_cast<size_t>(value)];
}

int64_t GetEnumValue(const TTypeInfo* info, std::string_view name) {
    if (!info || info->Kind != tkEnumeration) return -1;
    for (size_t i = 0; i < info->EnumNames.size(); ++i)
        if (SameText(info->EnumNames[i], name)) return static_cast<int64_t>(i);
    return -1;
}

std::string SetToString(const TTypeInfo* info, uint64_t value, bool brackets) {
    std::string out;
    const TTypeInfo* comp = info ? info->CompType : nullptr;
    for (unsigned bit = 0; bit < 64; ++bit) {
        if (!(value & (uint64_t{1} << bit))) continue;
        if (!out.empty()) out += ',';
        out += GetEnumName(comp, bit);
    }
    return brackets ? "[" + out + "]" : out;
}

uint64_t StringToSet(const TTypeInfo* info, std::string_view text) {
    std::string_view s = TrimView(text);
    if (!s.empty() && s.front() == '[') {
        if (s.back() != ']') throw EPropertyError("Invalid set value '" + std::string(text) + "'");
        s = s.substr(1, s.size() - 2);
    }
    const TTypeInfo* comp = info ? info->CompType : nullptr;
    uint64_t result = 0;
    while (true) {
        size_t comma = s.find(',');
        std::string_view item = TrimView(s.substr(0, comma));
        if (!item.empty()) {
            int64_t v = GetEnumValue(comp, item);
            if (v < 0 || v >= 64)
                throw EPropertyError("Invalid property element: " + std::string(item) +
                                     (info ? " is not a value of " + info->Name : std::string()));
            result |= uint64_t{1} << v;
        } else if (comma != std::string_view::npos) {
            throw EPropertyError("Invalid set value '" + std::string(text) + "'");
        }
        if (comma == std::string_view::npos) break;
        s.remove_prefix(comma + 1);
    }
    return result;
}

TTypeInfo MakeEnumTypeInfo(const char* name, const char* valueList) {
    TTypeInfo t;
    t.Kind = tkEnumeration;
    t.Name = name;
    std::string_view rest(valueList);
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string_view item = TrimView(rest.substr(0, comma));
        if (!item.empty()) t.EnumNames.emplace_back(item);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    t.MinValue = 0;
    t.MaxValue = static_cast<int64_t>(t.EnumNames.size()) - 1;
    return t;
}

TTypeInfo MakeIdentIntegerTypeInfo(const char* name, const TIdentMapEntry* idents, int64_t minValue,
                                   int64_t maxValue) {
    TTypeInfo t = MakeOrdinal(tkInteger, name, minValue, maxValue);
    t.Idents = idents;
    return t;
}

TTypeInfo MakeMethodTypeInfo(const char* name, const std::type_info& signature) {
    TTypeInfo t = MakeSimple(tkMethod, name);
    t.Signature = &signature;
    return t;
}

#define KVRT_STD_TYPE(Func, Expr)                                                                            \
    const TTypeInfo* Func() {                                                                                \
        static const TTypeInfo info = Expr;                                                                  \
        return &info;                                                                                        \
    }

KVRT_STD_TYPE(TypeInfo_Integer, MakeOrdinal(tkInteger, "Integer", std::numeric_limits<int32_t>::min(),
                                            std::numeric_limits<int32_t>::max()))
KVRT_STD_TYPE(TypeInfo_Cardinal, MakeOrdinal(tkInteger, "Cardinal", 0, std::numeric_limits<uint32_t>::max()))
KVRT_STD_TYPE(TypeInfo_SmallInt, MakeOrdinal(tkInteger, "SmallInt", -32768, 32767))
KVRT_STD_TYPE(TypeInfo_Word, MakeOrdinal(tkInteger, "Word", 0, 65535))
KVRT_STD_TYPE(TypeInfo_ShortInt, MakeOrdinal(tkInteger, "ShortInt", -128, 127))
KVRT_STD_TYPE(TypeInfo_Byte, MakeOrdinal(tkInteger, "Byte", 0, 255))
KVRT_STD_TYPE(TypeInfo_Int64, MakeOrdinal(tkInt64, "Int64", std::numeric_limits<int64_t>::min(),
                                          std::numeric_limits<int64_t>::max()))
KVRT_STD_TYPE(TypeInfo_Boolean, MakeEnumTypeInfo("Boolean", "False, True"))
KVRT_STD_TYPE(TypeInfo_Char, MakeOrdinal(tkChar, "Char", 0, 255))
KVRT_STD_TYPE(TypeInfo_WideChar, MakeOrdinal(tkWChar, "WideChar", 0, 65535))
KVRT_STD_TYPE(TypeInfo_Double, MakeSimple(tkFloat, "Double"))
KVRT_STD_TYPE(TypeInfo_Single, MakeSimple(tkFloat, "Single"))
KVRT_STD_TYPE(TypeInfo_TDateTime, MakeSimple(tkFloat, "TDateTime"))
KVRT_STD_TYPE(TypeInfo_String, MakeSimple(tkLString, "string"))
KVRT_STD_TYPE(TypeInfo_WideString, MakeSimple(tkWString, "WideString"))

#undef KVRT_STD_TYPE

std::optional<int32_t> IdentToInt(std::string_view ident, const TIdentMapEntry* map) {
    if (!map) return std::nullopt;
    for (const TIdentMapEntry* e = map; e->Name; ++e)
        if (SameText(e->Name, ident)) return e->Value;
    return std::nullopt;
}

const char* IntToIdent(int32_t value, const TIdentMapEntry* map) {
    if (!map) return nullptr;
    for (const TIdentMapEntry* e = map; e->Name; ++e)
        if (e->Value == value) return e->Name;
    return nullptr;
}

} // namespace rt
