#pragma once
// Run-time type information of published properties: what kind of value a property holds, the name of
// its type, and for enumerations and sets the value names. Type descriptions are created once and live
// for the whole process; they are compared by pointer or by name.
#include <cstdint>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

namespace rt {

class TClassInfo;
struct TIdentMapEntry;

enum TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkLString,
    tkWString,
    tkInt64,
};

// The name of a kind ("tkInteger"), for messages.
const char* TypeKindName(TTypeKind kind);

struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    std::string Name; // "Integer", "TColor", "TAlign", "TFont", "TNotifyEvent"

    // tkInteger, tkInt64, tkChar, tkWChar: the value range.
    int64_t MinValue = 0;
    int64_t MaxValue = 0;
    // tkInteger: optional name-to-value table (colours, cursors, charsets), ended by a null name.
    const TIdentMapEntry* Idents = nullptr;
    // tkEnumeration: the value names in order (value 0 first).
    std::vector<std::string> EnumNames;
    // tkSet: the element type (an enumeration).
    const TTypeInfo* CompType = nullptr;
    // tkClass: the class.
    const TClassInfo* ClassType = nullptr;
    // tkMethod: the handler signature, to check that a method fits an event.
    const std::type_info* Signature = nullptr;
};

// Enumerations. GetEnumValue ignores case and answers -1 for an unknown name.
std::string GetEnumName(const TTypeInfo* info, int64_t value);
int64_t GetEnumValue(const TTypeInfo* info, std::string_view name);

// Sets are carried as bit masks over the element ordinal values (at most 64 elements).
// SetToString gives "fsBold,fsItalic" (with brackets "[fsBold,fsItalic]"); StringToSet accepts both
// forms, blanks around names, and raises EPropertyError for an unknown element name.
std::string SetToString(const TTypeInfo* info, uint64_t value, bool brackets = false);
uint64_t StringToSet(const TTypeInfo* info, std::string_view text);

// Builds an enumeration type from its name and the comma-separated list of value names as written in
// the source ("alNone, alTop = 0x1" is not allowed: values count from 0).
TTypeInfo MakeEnumTypeInfo(const char* name, const char* valueList);

// Standard types of the platform.
const TTypeInfo* TypeInfo_Integer();  // 32-bit signed
const TTypeInfo* TypeInfo_Cardinal(); // 32-bit unsigned
const TTypeInfo* TypeInfo_SmallInt();
const TTypeInfo* TypeInfo_Word();
const TTypeInfo* TypeInfo_ShortInt();
const TTypeInfo* TypeInfo_Byte();
const TTypeInfo* TypeInfo_Int64();
const TTypeInfo* TypeInfo_Boolean(); // enumeration False, True
const TTypeInfo* TypeInfo_Char();
const TTypeInfo* TypeInfo_WideChar();
const TTypeInfo* TypeInfo_Double();
const TTypeInfo* TypeInfo_Single();
const TTypeInfo* TypeInfo_TDateTime();
const TTypeInfo* TypeInfo_String();
const TTypeInfo* TypeInfo_WideString();

// An integer type of the given name carrying a name-to-value table (TColor, TCursor, TFontCharset).
TTypeInfo MakeIdentIntegerTypeInfo(const char* name, const TIdentMapEntry* idents, int64_t minValue,
                                   int64_t maxValue);

// Declares an enumeration whose value names are known at run time:
//   KVRT_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
// The values count from 0. The type information is found through TypeInfoOf<TAlign>().
#define KVRT_ENUM(Name, ...)                                                                                 \
    enum Name { __VA_ARGS__ };                                                                               \
    inline const ::rt::TTypeInfo* KvrtTypeInfoFor(Name*) {                                                   \
        static const ::rt::TTypeInfo info = ::rt::MakeEnumTypeInfo(#Name, #__VA_ARGS__);                     \
        return &info;                                                                                        \
    }

} // namespace rt
