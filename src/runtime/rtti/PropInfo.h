#pragma once
// Published properties: their description and the by-name access functions of the platform.
//
// Access by kind: ordinal values (integers, characters, enumerations, Booleans, sets as bit masks) go
// through GetOrdProp/SetOrdProp, floats through GetFloatProp, texts through GetStrProp, objects through
// GetObjectProp and event handlers through GetMethodProp. GetPropText/SetPropText convert to and from
// text for any kind a text can name: the by-name setter used by resources, language files and scripts.
//
// Names are matched ignoring case. Asking for a property the object does not publish raises
// EPropertyError; nothing is ever created by setting an unknown name.
#include "rtti/Object.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

struct TPropInfo {
    std::string Name;
    const TTypeInfo* PropType = nullptr;
    TClass Owner = nullptr; // the class that declared it

    // The accessors of the property's kind; a missing setter means read-only.
    std::function<int64_t(const TObject*)> GetOrd;
    std::function<void(TObject*, int64_t)> SetOrd;
    std::function<double(const TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<std::string(const TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<TObject*(const TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;
    std::function<TMethod(const TObject*)> GetMethod;
    std::function<void(TObject*, const TMethod&)> SetMethod;

    TTypeKind Kind() const { return PropType ? PropType->Kind : tkUnknown; }
    bool IsWritable() const;
};

bool IsOrdinalKind(TTypeKind kind); // integer, char, enumeration, set, wide char, int64

// Look-ups; null when not published.
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);
bool IsPublishedProp(const TObject* obj, std::string_view name);
std::vector<const TPropInfo*> GetPropList(const TObject* obj);

// Typed access. The name forms raise EPropertyError when the property is not published; all forms raise
// EPropertyError when the property is not of a fitting kind or is read-only.
int64_t GetOrdProp(const TObject* obj, const TPropInfo* prop);
int64_t GetOrdProp(const TObject* obj, std::string_view name);
void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value);
void SetOrdProp(TObject* obj, std::string_view name, int64_t value);
double GetFloatProp(const TObject* obj, const TPropInfo* prop);
double GetFloatProp(const TObject* obj, std::string_view name);
void SetFloatProp(TObject* obj, const TPropInfo* prop, double value);
void SetFloatProp(TObject* obj, std::string_view name, double value);
std::string GetStrProp(const TObject* obj, const TPropInfo* prop);
std::string GetStrProp(const TObject* obj, std::string_view name);
void SetStrProp(TObject* obj, const TPropInfo* prop, const std::string& value);
void SetStrProp(TObject* obj, std::string_view name, const std::string& value);
TObject* GetObjectProp(const TObject* obj, const TPropInfo* prop);
TObject* GetObjectProp(const TObject* obj, std::string_view name);
// For a class property the value must be of the property's class (or null).
void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value);
void SetObjectProp(TObject* obj, std::string_view name, TObject* value);
TMethod GetMethodProp(const TObject* obj, const TPropInfo* prop);
TMethod GetMethodProp(const TObject* obj, std::string_view name);
void SetMethodProp(TObject* obj, const TPropInfo* prop, const TMethod& value);
void SetMethodProp(TObject* obj, std::string_view name, const TMethod& value);
std::string GetEnumProp(const TObject* obj, std::string_view name);
void SetEnumProp(TObject* obj, std::string_view name, std::string_view value);
std::string GetSetProp(const TObject* obj, std::string_view name, bool brackets = false);
void SetSetProp(TObject* obj, std::string_view name, std::string_view value);

// Text conversion of any property:
// - integers: decimal, "$1F" / "0x1F" hexadecimal, or a name of the type's table (clRed, crHandPoint);
// - characters: a one-character text or "#13";
// - enumerations (Booleans are False/True): a value name, ignoring case, or its ordinal number;
// - sets: "[a, b]" or "a,b";
// - floats: "1.5", "-2e3";
// - texts: unchanged.
// Surrounding blanks are ignored except for texts. A text that does not convert raises EConvertError; a
// name that is not a value of the type raises EPropertyError. Class and method properties cannot be set
// from text (EPropertyError).
void SetPropText(TObject* obj, const TPropInfo* prop, std::string_view text);
void SetPropText(TObject* obj, std::string_view name, std::string_view text);
// Integers as decimal numbers, enumerations by name, sets as "a,b", floats in shortest round-trip form,
// class properties as the held object's class name or "" for none, method properties as the published
// name of the handler on its object (or "" when unassigned or not published).
std::string GetPropText(const TObject* obj, const TPropInfo* prop);
std::string GetPropText(const TObject* obj, std::string_view name);

// Dotted paths through class-typed properties: "Font.Name". Segments are trimmed of blanks. Returns the
// object holding the last property and that property; raises EPropertyError naming the segment that is
// not published, not a class property, or holds no object.
std::pair<TObject*, const TPropInfo*> FindPropPath(TObject* obj, std::string_view path);
void SetPropPath(TObject* obj, std::string_view path, std::string_view text);
std::string GetPropPath(const TObject* obj, std::string_view path);

// Published methods: the handler of the given name on obj as a method pointer ({} when not published).
TMethod FindPublishedMethod(TObject* obj, std::string_view name);
// The same, typed, and only when the method's signature fits the event type.
template <class Event> Event FindPublishedHandler(TObject* obj, std::string_view name) {
    if (!obj) return Event();
    const TMethodEntry* m = obj->ClassType()->FindMethod(name);
    if (!m || *m->Signature != typeid(typename Event::Signature)) return Event();
    return Event(TMethod{m->Code, static_cast<void*>(obj)});
}

} // namespace rt
