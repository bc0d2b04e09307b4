#pragma once
// The string lists that controls publish (Items, Lines, SubItems, ...): a TStringList that is also a
// TPersistent, so that published-property code can reach it as an object (GetObjectProp), find its type
// name "TStrings", and dynamic_cast it to TStrings. The owning control watches it through OnChange.
#include "core/Classes.h"
#include "rtti/Publish.h"

namespace rt {

class TStringsObject : public TPersistent, public TStringList {
    KVRT_CLASS(TStringsObject, TPersistent)
public:
    TStringsObject() = default;

    using TStringList::Assign;
    // Copies another string list (texts and attached objects).
    void Assign(const TPersistent* source) override;
    void Assign(const TStringsObject* source) { Assign(static_cast<const TPersistent*>(source)); }
};

// The published type of string-list properties: kind tkClass, name "TStrings".
const TTypeInfo* TypeInfo_TStrings();

} // namespace rt
