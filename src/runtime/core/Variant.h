#pragma once
// Variant: the platform's OLE automation variant, with its conversion and comparison rules.
//
// Texts: varString holds a UTF-8 std::string (the platform's byte text), varOleStr a std::u16string
// (wide text). Arrays have one or two dimensions with any bounds and Variant elements; they have value
// semantics (copy on write). Storing a byte text into an element of a varVariant array stores it as
// wide text, as the platform does.
#include "core/Exceptions.h"
#include "core/TDateTime.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rt {

using TVarType = uint16_t;
enum : TVarType {
    varEmpty = 0x0000,
    varNull = 0x0001,
    varSmallint = 0x0002,
    varInteger = 0x0003,
    varSingle = 0x0004,
    varDouble = 0x0005,
    varCurrency = 0x0006,
    varDate = 0x0007,
    varOleStr = 0x0008,
    varDispatch = 0x0009,
    varError = 0x000A,
    varBoolean = 0x000B,
    varVariant = 0x000C,
    varUnknown = 0x000D,
    varShortInt = 0x0010,
    varByte = 0x0011,
    varWord = 0x0012,
    varLongWord = 0x0013,
    varInt64 = 0x0014,
    varString = 0x0100,
    varTypeMask = 0x0FFF,
    varArray = 0x2000,
    varByRef = 0x4000,
};

class IDispatch; // automation/Dispatch.h
using DispatchPtr = std::shared_ptr<IDispatch>;

class Variant;
class VarArrayData;

// Writable reference to an array element: assignment applies the array's element rules.
class VariantRef {
public:
    VariantRef(VarArrayData* array, Variant* elem) : FArray(array), FElem(elem) {}
    VariantRef& operator=(const Variant& v);
    VariantRef& operator=(const VariantRef& r);
    operator const Variant&() const { return *FElem; } // NOLINT(google-explicit-constructor)
    const Variant& get() const { return *FElem; }

    // The read operations of Variant, for convenience (v[1].AsString()).
    TVarType VarType() const;
    bool IsEmpty() const;
    bool IsNull() const;
    bool IsArray() const;
    int32_t AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    bool AsBoolean() const;
    std::string AsString() const;
    std::u16string AsWideString() const;
    TDateTime AsDateTime() const;
    int DimCount() const;
    int LowBound(int dim = 1) const;
    int HighBound(int dim = 1) const;
    VariantRef operator[](int index);
    const Variant& operator[](int index) const;

private:
    VarArrayData* FArray;
    Variant* FElem;
};

class Variant {
public:
    Variant() noexcept = default;
    Variant(const Variant& other) = default;
    Variant(Variant&& other) noexcept = default;
    Variant& operator=(const Variant& other) = default;
    Variant& operator=(Variant&& other) noexcept = default;
    ~Variant() = default;

    Variant(bool v);               // varBoolean (true is -1 when read as an integer)
    Variant(int v);                // varInteger
    Variant(unsigned v);           // varLongWord
    Variant(short v);              // varSmallint
    Variant(unsigned char v);      // varByte
    Variant(long v);               // varInt64
    Variant(long long v);          // varInt64
    Variant(unsigned long v);      // varInt64
    Variant(unsigned long long v); // varInt64
    Variant(double v);             // varDouble
    Variant(TDateTime v);          // varDate
    Variant(const char* v);        // varString
    Variant(std::string v);        // varString
    Variant(std::string_view v);
    Variant(const char16_t* v); // varOleStr
    Variant(std::u16string v);  // varOleStr
    Variant(DispatchPtr v);     // varDispatch (an empty pointer gives an unassigned dispatch)
    Variant(const VariantRef& r) : Variant(r.get()) {}

    static Variant Null();
    static Variant Currency(int64_t scaledBy10000);

    TVarType VarType() const; // with varArray set for arrays (varArray | element type)
    bool IsEmpty() const { return VarType() == varEmpty; }
    bool IsNull() const { return VarType() == varNull; }
    bool IsArray() const;
    bool IsText() const; // varString or varOleStr
    bool IsNumeric() const;

    // Conversions with the platform's rules; a conversion that cannot be made raises
    // EVariantTypeCastError.
    int32_t AsInteger() const; // Integer(V): lenient text parse, banker's rounding, True = -1
    int64_t AsInt64() const;
    double AsDouble() const;
    bool AsBoolean() const;
    std::string AsString() const; // string(V): Null raises; Empty gives ""
    std::u16string AsWideString() const;
    TDateTime AsDateTime() const;
    DispatchPtr AsDispatch() const; // empty pointer unless varDispatch
    int64_t AsCurrencyScaled() const;

    // Arrays.
    int DimCount() const;            // 0 for a non-array
    int LowBound(int dim = 1) const; // dimensions are 1-based; bad dimension raises
    int HighBound(int dim = 1) const;
    int ElementCount() const;                   // product of the dimension lengths
    const Variant& operator[](int index) const; // one-dimensional access; bad index raises
    VariantRef operator[](int index);
    const Variant& operator()(int i, int j) const; // two-dimensional access
    VariantRef operator()(int i, int j);
    const Variant& GetElement(std::span<const int> indices) const;
    void PutElement(std::span<const int> indices, const Variant& value);

    // Comparisons with the platform's rules (may raise EVariantTypeCastError for text against number).
    bool operator==(const Variant& other) const;
    bool operator!=(const Variant& other) const { return !(*this == other); }
    bool operator<(const Variant& other) const;
    // Same kind and same content, recursively; never raises. For tests and round trips.
    bool Identical(const Variant& other) const;

    // Internal access for the array functions.
    VarArrayData* ArrayData() const;
    VarArrayData* MutableArrayData(); // unshares the array first

    // Wraps array data (for the array functions).
    static Variant FromArrayData(std::shared_ptr<VarArrayData> data);

private:
    using Value = std::variant<std::monostate, int64_t, double, bool, std::string, std::u16string,
                               DispatchPtr, std::shared_ptr<VarArrayData>>;
    TVarType FType = varEmpty;
    Value FValue;
};

// The array functions of the platform.
Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elemType = varVariant);
Variant VarArrayCreate(std::span<const int> bounds, TVarType elemType = varVariant);
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
void VarArrayRedim(Variant& a, int highBound); // last dimension only; data kept, new elements empty
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
bool VarIsEmpty(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsClear(const Variant& v);
TVarType VarType(const Variant& v);
Variant VarAsType(const Variant& v, TVarType type);
Variant Unassigned();
Variant Null();

// VarToStr: Null and Empty give "", booleans "True"/"False", dates the locale short date (and time).
std::string VarToStr(const Variant& v);
std::u16string VarToWideStr(const Variant& v);
std::string VarTypeName(TVarType type);

// UTF-8 <-> UTF-16 for the text model (no code pages involved).
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

} // namespace rt
