#include "rtti/PropValue.h"

namespace rt {

namespace {
const TPropInfo* RequireProp(const TObject* obj, std::string_view name) {
    const TPropInfo* p = GetPropInfo(obj, name);
    if (!p) throw EPropertyError("Property " + std::string(name) + " does not exist");
    return p;
}
} // namespace

Variant GetPropValue(const TObject* obj, std::string_view name, bool preferStrings) {
    const TPropInfo* p = RequireProp(obj, name);
    switch (p->Kind()) {
    case tkInteger:
        return Variant(static_cast<int>(GetOrdProp(obj, p)));
    case tkInt64:
        return Variant(static_cast<long long>(GetOrdProp(obj, p)));
    case tkChar:
    case tkWChar:
        return Variant(GetPropText(obj, p));
    case tkEnumeration:
        if (preferStrings) return Variant(GetPropText(obj, p));
        if (p->PropType->Name == "Boolean") return Variant(GetOrdProp(obj, p) != 0);
        return Variant(static_cast<int>(GetOrdProp(obj, p)));
    case tkSet:
        if (preferStrings) return Variant(GetPropText(obj, p));
        return Variant(static_cast<long long>(GetOrdProp(obj, p)));
    case tkFloat:
        if (p->PropType->Name == "TDateTime") return Variant(TDateTime(GetFloatProp(obj, p)));
        return Variant(GetFloatProp(obj, p));
    case tkLString:
    case tkWString:
        return Variant(GetStrProp(obj, p));
    default:
        break;
    }
    throw EPropertyError("Property " + p->Name + " cannot be read as a value");
}

void SetPropValue(TObject* obj, std::string_view name, const Variant& value) {
    const TPropInfo* p = RequireProp(obj, name);
    if (value.IsText()) {
        SetPropText(obj, p, value.AsString());
        return;
    }
    switch (p->Kind()) {
    case tkInteger:
    case tkInt64:
    case tkChar:
    case tkWChar:
    case tkSet:
        SetOrdProp(obj, p, value.AsInt64());
        return;
    case tkEnumeration: {
        int64_t v = value.VarType() == varBoolean ? (value.AsBoolean() ? 1 : 0) : value.AsInt64();
        if (v < p->PropType->MinValue || v > p->PropType->MaxValue)
            throw EPropertyError("Invalid property value " + std::to_string(v) + " for " + p->Name);
        SetOrdProp(obj, p, v);
        return;
    }
    case tkFloat:
        SetFloatProp(obj, p, value.AsDouble());
        return;
    case tkLString:
    case tkWString:
        SetStrProp(obj, p, VarToStr(value));
        return;
    default:
        break;
    }
    throw EPropertyError("Property " + p->Name + " cannot be set from a value");
}

} // namespace rt
