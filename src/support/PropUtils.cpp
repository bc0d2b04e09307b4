#include "support/PropUtils.h"

#include "rtti/PropInfo.h"
#include "ui/Controls.h"
#include "ui/Messages.h"

using namespace rt;

namespace kvx {

namespace {

const TPropInfo* FindProp(const TObject* obj, std::string_view name) {
    if (!obj || name.empty()) return nullptr;
    return GetPropInfo(obj, name);
}

bool IsTextKind(TTypeKind kind) {
    return kind == tkLString || kind == tkWString;
}

} // namespace

bool HasPropByName(const TObject* Component, std::string_view Name) {
    try {
        return FindProp(Component, Name) != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

std::string GetStrPropByName(const TObject* Component, std::string_view Name) {
    try {
        const TPropInfo* prop = FindProp(Component, Name);
        if (!prop || !IsTextKind(prop->Kind())) return {};
        return GetStrProp(Component, prop);
    } catch (const std::exception&) {
        return {};
    }
}

int64_t GetOrdPropByName(const TObject* Control, std::string_view Name) {
    try {
        const TPropInfo* prop = FindProp(Control, Name);
        if (!prop) return 0;
        if (prop->Kind() == tkClass)
            return static_cast<int64_t>(reinterpret_cast<intptr_t>(GetObjectProp(Control, prop)));
        if (!IsOrdinalKind(prop->Kind())) return 0;
        return GetOrdProp(Control, prop);
    } catch (const std::exception&) {
        return 0;
    }
}

void SetStrPropByName(TObject* Component, std::string_view Name, const std::string& Value) {
    try {
        const TPropInfo* prop = FindProp(Component, Name);
        if (prop && IsTextKind(prop->Kind()) && prop->IsWritable()) SetStrProp(Component, prop, Value);
    } catch (const std::exception&) {
    }
}

void SetOrdPropByName(TObject* Object, std::string_view Name, int64_t Value) {
    try {
        // A number is never turned into an object reference (that would hand out a wild pointer), nor
        // into a value outside the property's type.
        const TPropInfo* prop = FindProp(Object, Name);
        if (!prop || !IsOrdinalKind(prop->Kind()) || !prop->IsWritable()) return;
        const TTypeInfo* type = prop->PropType;
        if (type == TypeInfo_Boolean()) {
            Value = Value != 0 ? 1 : 0; // a Variant's True is -1
        } else if (type->Kind == tkEnumeration) {
            if (Value < 0 || Value >= static_cast<int64_t>(type->EnumNames.size())) return;
        } else if (type->MinValue < type->MaxValue && (Value < type->MinValue || Value > type->MaxValue)) {
            return;
        }
        SetOrdProp(Object, prop, Value);
    } catch (const std::exception&) {
    }
}

TMethod GetMethodPropByName(const TObject* Instance, std::string_view Name) {
    try {
        const TPropInfo* prop = FindProp(Instance, Name);
        if (!prop || prop->Kind() != tkMethod) return {};
        return GetMethodProp(Instance, prop);
    } catch (const std::exception&) {
        return {};
    }
}

void SetMethodPropByName(TObject* Instance, std::string_view Name, const TMethod& Handler) {
    try {
        const TPropInfo* prop = FindProp(Instance, Name);
        if (prop && prop->Kind() == tkMethod && prop->IsWritable()) SetMethodProp(Instance, prop, Handler);
    } catch (const std::exception&) {
    }
}

void SimulateClick(TControl* Control, uintptr_t WParam, intptr_t LParam) {
    if (!Control) return;
    // Perform hands each message to the control's handlers at once, as sending it would.
    Control->Perform(WM_LBUTTONDOWN, WParam, LParam);
    Control->Perform(WM_LBUTTONUP, WParam, LParam);
}

} // namespace kvx
