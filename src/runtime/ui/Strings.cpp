#include "ui/Strings.h"

namespace rt {

KVRT_PUBLISHED_AS(TStringsObject, "TStringList") {}

void TStringsObject::Assign(const TPersistent* source) {
    if (auto* list = dynamic_cast<const TStrings*>(source)) {
        if (list != this) TStringList::Assign(*list);
        return;
    }
    if (!source) {
        Clear();
        return;
    }
    TPersistent::Assign(source);
}

const TTypeInfo* TypeInfo_TStrings() {
    static const TTypeInfo info = [] {
        TTypeInfo t = *TStringsObject::ClassInfo()->TypeInfo();
        t.Name = "TStrings";
        return t;
    }();
    return &info;
}

} // namespace rt
