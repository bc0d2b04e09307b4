#include "core/Variant.h"

#include "automation/Dispatch.h"
#include "core/SysUtils.h"
#include "core/Utf8.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <utility>
#include <variant>

namespace rt {

// From core/DateTime.cpp: the locale short date (and long time), and its reverse.
std::string DateTimeToStr(TDateTime dt);
bool TryStrToDate(const std::string& s, TDateTime& dt);

// Array storage: elements in the order of a safe array (first index fastest), so that growing the last
// dimension keeps the existing elements where they are.
class VarArrayData {
public:
    TVarType ElemType = varVariant;
    std::vector<int> Low;
    std::vector<int> Count;
    std::vector<Variant> Elems;

    size_t Offset(std::span<const int> idx) const {
        if (idx.size() != Low.size())
            throw EVariantBadIndexError("Variant array has " + std::to_string(Low.size()) +
                                        " dimension(s), " + std::to_string(idx.size()) + " index(es) given");
        size_t offset = 0;
        size_t stride = 1;
        for (size_t d = 0; d < idx.size(); ++d) {
            const long rel = static_cast<long>(idx[d]) - Low[d];
            if (rel < 0 || rel >= Count[d])
                throw EVariantBadIndexError("Variant or safe array index out of bounds");
            offset += static_cast<size_t>(rel) * stride;
            stride *= static_cast<size_t>(Count[d]);
        }
        return offset;
    }

    // What an element holds after a store: byte texts become wide in a variant array, typed arrays
    // convert to their element type.
    Variant Normalize(const Variant& v) const {
        if (ElemType == varVariant) {
            if (v.VarType() == varString) return Variant(v.AsWideString());
            return v;
        }
        return VarAsType(v, ElemType);
    }
};

namespace {

[[noreturn]] void CastError(TVarType from, TVarType to) {
    throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeName(from) + ") into type (" +
                                VarTypeName(to) + ")");
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The lenient number parser used for text-to-number conversions: blanks around, thousands separators,
// a sign, decimals and an exponent.
bool ParseLenientDouble(std::string_view text, double& out) {
    std::string_view s = TrimView(text);
    if (s.empty()) return false;
    std::string cleaned;
    cleaned.reserve(s.size());
    bool seenDigit = false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == ',') {
            // A thousands separator must sit between digits.
            if (!seenDigit || i + 1 >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i + 1])))
                return false;
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) seenDigit = true;
        cleaned.push_back(c);
    }
    if (!seenDigit) return false;
    const char* b = cleaned.data();
    const char* e = b + cleaned.size();
    if (*b == '+' && ++b != e && *b == '-') return false; // from_chars would take a second sign
    auto [ptr, ec] = std::from_chars(b, e, out);
    return ec == std::errc() && ptr == e;
}

// The integer parser of StrToInt: optional leading blanks, sign, decimal or hex ($, 0x, x).
bool ParseStrToInt(std::string_view text, int64_t& out) {
    std::string_view s = text;
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    bool neg = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        neg = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    } else if (!s.empty() && (s.front() == 'x' || s.front() == 'X')) {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    uint64_t v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || ptr != s.data() + s.size()) return false;
    out = static_cast<int64_t>(neg ? 0 - v : v); // wraps, "-$8000000000000000" included
    return true;
}

// A text as AsInt64 and AsDouble read it: the lenient number, else the StrToInt forms, else True (-1)
// or False (0). Nothing when it is none of these.
std::optional<std::variant<double, int64_t>> ParseTextNumber(std::string_view s) {
    double d;
    if (ParseLenientDouble(s, d)) return d;
    int64_t i;
    if (ParseStrToInt(s, i)) return i;
    const std::string_view t = TrimView(s);
    if (SameText(t, "True")) return int64_t{-1};
    if (SameText(t, "False")) return int64_t{0};
    return std::nullopt;
}

int64_t RoundHalfEven(double d, TVarType from, TVarType to) {
    if (!std::isfinite(d) || d > 9.2e18 || d < -9.2e18) CastError(from, to);
    return static_cast<int64_t>(std::nearbyint(d)); // default rounding mode: half to even
}

std::string FloatText(double d) {
    if (std::isnan(d)) return "NAN";
    if (std::isinf(d)) return d > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    std::string s = buf;
    auto epos = s.find('E');
    if (epos == std::string::npos) return s;
    // Exponent as the platform prints it: no plus sign, no leading zeros.
    std::string mant = s.substr(0, epos);
    std::string exp = s.substr(epos + 1);
    bool neg = !exp.empty() && exp[0] == '-';
    if (!exp.empty() && (exp[0] == '-' || exp[0] == '+')) exp.erase(0, 1);
    while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
    return mant + "E" + (neg ? "-" : "") + exp;
}

} // namespace

// ---- construction ----

Variant::Variant(bool v) : FType(varBoolean), FValue(v) {}
Variant::Variant(int v) : FType(varInteger), FValue(int64_t{v}) {}
Variant::Variant(unsigned v) : FType(varLongWord), FValue(int64_t{v}) {}
Variant::Variant(short v) : FType(varSmallint), FValue(int64_t{v}) {}
Variant::Variant(unsigned char v) : FType(varByte), FValue(int64_t{v}) {}
Variant::Variant(long v) : FType(varInt64), FValue(int64_t{v}) {}
Variant::Variant(long long v) : FType(varInt64), FValue(int64_t{v}) {}
Variant::Variant(unsigned long v) : FType(varInt64), FValue(static_cast<int64_t>(v)) {}
Variant::Variant(unsigned long long v) : FType(varInt64), FValue(static_cast<int64_t>(v)) {}
Variant::Variant(double v) : FType(varDouble), FValue(v) {}
Variant::Variant(TDateTime v) : FType(varDate), FValue(v.Val) {}
Variant::Variant(const char* v) : FType(varString), FValue(std::string(v ? v : "")) {}
Variant::Variant(std::string v) : FType(varString), FValue(std::move(v)) {}
Variant::Variant(std::string_view v) : FType(varString), FValue(std::string(v)) {}
Variant::Variant(const char16_t* v) : FType(varOleStr), FValue(std::u16string(v ? v : u"")) {}
Variant::Variant(std::u16string v) : FType(varOleStr), FValue(std::move(v)) {}
Variant::Variant(DispatchPtr v) : FType(varDispatch), FValue(std::move(v)) {}

Variant Variant::Null() {
    Variant v;
    v.FType = varNull;
    return v;
}

Variant Variant::Currency(int64_t scaledBy10000) {
    Variant v;
    v.FType = varCurrency;
    v.FValue = scaledBy10000;
    return v;
}

Variant Variant::FromArrayData(std::shared_ptr<VarArrayData> data) {
    Variant v;
    v.FType = static_cast<TVarType>(varArray | data->ElemType);
    v.FValue = std::move(data);
    return v;
}

Variant Unassigned() {
    return Variant();
}
Variant Null() {
    return Variant::Null();
}

// ---- kinds ----

TVarType Variant::VarType() const {
    return FType;
}
bool Variant::IsArray() const {
    return (FType & varArray) != 0;
}
bool Variant::IsText() const {
    return FType == varString || FType == varOleStr;
}
bool Variant::IsNumeric() const {
    switch (FType) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return true;
    default:
        return false;
    }
}

// ---- conversions ----

int64_t Variant::AsInt64() const {
    switch (FType) {
    case varEmpty:
        return 0;
    case varBoolean:
        return std::get<bool>(FValue) ? -1 : 0;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return std::get<int64_t>(FValue);
    case varCurrency:
        return RoundHalfEven(static_cast<double>(std::get<int64_t>(FValue)) / 10000.0, FType, varInt64);
    case varSingle:
    case varDouble:
    case varDate:
        return RoundHalfEven(std::get<double>(FValue), FType, varInt64);
    case varString:
    case varOleStr: {
        const auto n = ParseTextNumber(AsString());
        if (!n) CastError(FType, varInteger);
        if (const double* d = std::get_if<double>(&*n)) return RoundHalfEven(*d, FType, varInt64);
        return std::get<int64_t>(*n);
    }
    default:
        CastError(FType, varInteger);
    }
}

int32_t Variant::AsInteger() const {
    int64_t v = AsInt64();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<uint32_t>::max())
        throw EVariantTypeCastError("Variant value " + std::to_string(v) + " is out of the integer range");
    return static_cast<int32_t>(v); // LongWord values wrap as the platform does
}

double Variant::AsDouble() const {
    switch (FType) {
    case varEmpty:
        return 0.0;
    case varBoolean:
        return std::get<bool>(FValue) ? -1.0 : 0.0;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return static_cast<double>(std::get<int64_t>(FValue));
    case varCurrency:
        return static_cast<double>(std::get<int64_t>(FValue)) / 10000.0;
    case varSingle:
    case varDouble:
    case varDate:
        return std::get<double>(FValue);
    case varString:
    case varOleStr: {
        const auto n = ParseTextNumber(AsString());
        if (!n) CastError(FType, varDouble);
        if (const double* d = std::get_if<double>(&*n)) return *d;
        return static_cast<double>(std::get<int64_t>(*n));
    }
    default:
        CastError(FType, varDouble);
    }
}

bool Variant::AsBoolean() const {
    switch (FType) {
    case varEmpty:
        return false;
    case varBoolean:
        return std::get<bool>(FValue);
    case varString:
    case varOleStr: {
        const std::string s = AsString();
        std::string_view t = TrimView(s);
        if (SameText(t, "True")) return true;
        if (SameText(t, "False")) return false;
        double d;
        if (ParseLenientDouble(s, d)) return d != 0.0;
        CastError(FType, varBoolean);
    }
    default:
        if (IsNumeric() || FType == varDate) return AsDouble() != 0.0;
        CastError(FType, varBoolean);
    }
}

std::string Variant::AsString() const {
    switch (FType) {
    case varEmpty:
        return {};
    case varNull:
        CastError(FType, varString);
    case varBoolean:
        return std::get<bool>(FValue) ? "True" : "False";
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return std::to_string(std::get<int64_t>(FValue));
    case varCurrency:
        return FloatText(static_cast<double>(std::get<int64_t>(FValue)) / 10000.0);
    case varSingle:
    case varDouble:
        return FloatText(std::get<double>(FValue));
    case varDate:
        return DateTimeToStr(TDateTime(std::get<double>(FValue)));
    case varString:
        return std::get<std::string>(FValue);
    case varOleStr:
        return Utf16ToUtf8(std::get<std::u16string>(FValue));
    default:
        CastError(FType, varString);
    }
}

std::u16string Variant::AsWideString() const {
    if (FType == varOleStr) return std::get<std::u16string>(FValue);
    return Utf8ToUtf16(AsString());
}

TDateTime Variant::AsDateTime() const {
    switch (FType) {
    case varDate:
    case varDouble:
    case varSingle:
        return TDateTime(std::get<double>(FValue));
    case varString:
    case varOleStr: {
        const std::string s = AsString();
        TDateTime dt;
        if (TryStrToDate(s, dt)) return dt;
        double d;
        if (ParseLenientDouble(s, d)) return TDateTime(d);
        CastError(FType, varDate);
    }
    default:
        if (IsNumeric() || FType == varEmpty || FType == varBoolean) return TDateTime(AsDouble());
        CastError(FType, varDate);
    }
}

DispatchPtr Variant::AsDispatch() const {
    if (FType == varDispatch) return std::get<DispatchPtr>(FValue);
    return nullptr;
}

int64_t Variant::AsCurrencyScaled() const {
    if (FType == varCurrency) return std::get<int64_t>(FValue);
    return RoundHalfEven(AsDouble() * 10000.0, FType, varCurrency);
}

// ---- arrays ----

VarArrayData* Variant::ArrayData() const {
    if (!IsArray()) return nullptr;
    return std::get<std::shared_ptr<VarArrayData>>(FValue).get();
}

VarArrayData* Variant::MutableArrayData() {
    if (!IsArray()) return nullptr;
    auto& p = std::get<std::shared_ptr<VarArrayData>>(FValue);
    if (p.use_count() > 1) p = std::make_shared<VarArrayData>(*p);
    return p.get();
}

namespace {
const VarArrayData& NeedArray(const Variant& v) {
    const VarArrayData* a = v.ArrayData();
    if (!a) throw EVariantError("Variant is not an array");
    return *a;
}
} // namespace

int Variant::DimCount() const {
    const VarArrayData* a = ArrayData();
    return a ? static_cast<int>(a->Low.size()) : 0;
}

int Variant::LowBound(int dim) const {
    const VarArrayData& a = NeedArray(*this);
    if (dim < 1 || dim > static_cast<int>(a.Low.size()))
        throw EVariantBadIndexError("Variant array dimension out of range");
    return a.Low[dim - 1];
}

int Variant::HighBound(int dim) const {
    const VarArrayData& a = NeedArray(*this);
    if (dim < 1 || dim > static_cast<int>(a.Low.size()))
        throw EVariantBadIndexError("Variant array dimension out of range");
    return a.Low[dim - 1] + a.Count[dim - 1] - 1;
}

int Variant::ElementCount() const {
    const VarArrayData* a = ArrayData();
    return a ? static_cast<int>(a->Elems.size()) : 0;
}

const Variant& Variant::GetElement(std::span<const int> indices) const {
    const VarArrayData& a = NeedArray(*this);
    return a.Elems[a.Offset(indices)];
}

void Variant::PutElement(std::span<const int> indices, const Variant& value) {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    VarArrayData* a = MutableArrayData();
    a->Elems[a->Offset(indices)] = a->Normalize(value);
}

const Variant& Variant::operator[](int index) const {
    const int idx[1] = {index};
    return GetElement(idx);
}

VariantRef Variant::operator[](int index) {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    VarArrayData* a = MutableArrayData();
    const int idx[1] = {index};
    return VariantRef(a, &a->Elems[a->Offset(idx)]);
}

const Variant& Variant::operator()(int i, int j) const {
    const int idx[2] = {i, j};
    return GetElement(idx);
}

VariantRef Variant::operator()(int i, int j) {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    VarArrayData* a = MutableArrayData();
    const int idx[2] = {i, j};
    return VariantRef(a, &a->Elems[a->Offset(idx)]);
}

Variant VarArrayCreate(std::span<const int> bounds, TVarType elemType) {
    if (bounds.empty() || bounds.size() % 2 != 0)
        throw EVariantArrayCreateError("Error creating variant or safe array: bounds come in pairs");
    auto data = std::make_shared<VarArrayData>();
    data->ElemType = static_cast<TVarType>(elemType & varTypeMask);
    size_t total = 1;
    for (size_t i = 0; i < bounds.size(); i += 2) {
        const long count = static_cast<long>(bounds[i + 1]) - bounds[i] + 1;
        if (count < 0)
            throw EVariantArrayCreateError(
                "Error creating variant or safe array: high bound below low bound");
        data->Low.push_back(bounds[i]);
        data->Count.push_back(static_cast<int>(count));
        total *= static_cast<size_t>(count);
        if (total > (size_t{1} << 28))
            throw EVariantArrayCreateError("Error creating variant or safe array: too large");
    }
    Variant init;
    if (data->ElemType != varVariant) init = VarAsType(Variant(0), data->ElemType);
    if (data->ElemType == varOleStr) init = Variant(std::u16string());
    if (data->ElemType == varString) init = Variant(std::string());
    data->Elems.assign(total, init);
    return Variant::FromArrayData(std::move(data));
}

Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elemType) {
    return VarArrayCreate(std::span<const int>(bounds.begin(), bounds.size()), elemType);
}

Variant VarArrayOf(const std::vector<Variant>& values) {
    auto data = std::make_shared<VarArrayData>();
    data->Low = {0};
    data->Count = {static_cast<int>(values.size())};
    data->Elems.reserve(values.size());
    for (const auto& v : values) data->Elems.push_back(data->Normalize(v));
    return Variant::FromArrayData(std::move(data));
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
    return VarArrayOf(std::vector<Variant>(values));
}

void VarArrayRedim(Variant& a, int highBound) {
    if (!a.IsArray()) throw EVariantError("Variant is not an array");
    VarArrayData* d = a.MutableArrayData();
    const long count = static_cast<long>(highBound) - d->Low.back() + 1;
    if (count < 0)
        throw EVariantArrayCreateError("Error redimensioning variant array: high bound below low bound");
    size_t inner = 1;
    for (size_t i = 0; i + 1 < d->Count.size(); ++i) inner *= static_cast<size_t>(d->Count[i]);
    d->Count.back() = static_cast<int>(count);
    Variant init;
    if (d->ElemType == varOleStr)
        init = Variant(std::u16string());
    else if (d->ElemType != varVariant)
        init = VarAsType(Variant(0), d->ElemType);
    d->Elems.resize(inner * static_cast<size_t>(count), init);
}

int VarArrayDimCount(const Variant& v) {
    return v.DimCount();
}
int VarArrayLowBound(const Variant& v, int dim) {
    return v.LowBound(dim);
}
int VarArrayHighBound(const Variant& v, int dim) {
    return v.HighBound(dim);
}
bool VarIsEmpty(const Variant& v) {
    return v.VarType() == varEmpty;
}
bool VarIsNull(const Variant& v) {
    return v.VarType() == varNull;
}
bool VarIsArray(const Variant& v) {
    return v.IsArray();
}
bool VarIsStr(const Variant& v) {
    return v.IsText();
}
bool VarIsClear(const Variant& v) {
    return v.VarType() == varEmpty || (v.VarType() == varDispatch && !v.AsDispatch());
}
TVarType VarType(const Variant& v) {
    return v.VarType();
}

Variant VarAsType(const Variant& v, TVarType type) {
    switch (type & varTypeMask) {
    case varEmpty:
        return Variant();
    case varNull:
        return Variant::Null();
    case varSmallint:
        return Variant(static_cast<short>(v.AsInteger()));
    case varInteger:
        return Variant(v.AsInteger());
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord: {
        Variant r(v.AsInt64());
        return r;
    }
    case varInt64:
        return Variant(static_cast<long long>(v.AsInt64()));
    case varSingle:
    case varDouble:
        return Variant(v.AsDouble());
    case varCurrency:
        return Variant::Currency(v.AsCurrencyScaled());
    case varDate:
        return Variant(v.AsDateTime());
    case varBoolean:
        return Variant(v.AsBoolean());
    case varOleStr:
        return Variant(v.AsWideString());
    case varString:
        return Variant(v.AsString());
    case varVariant:
        return v;
    case varDispatch:
        if (v.VarType() == varDispatch) return v;
        CastError(v.VarType(), varDispatch);
    default:
        CastError(v.VarType(), type);
    }
}

// ---- text ----

std::string VarToStr(const Variant& v) {
    if (v.IsNull()) return {};
    return v.AsString();
}

std::u16string VarToWideStr(const Variant& v) {
    if (v.IsNull()) return {};
    return v.AsWideString();
}

std::string VarTypeName(TVarType type) {
    std::string base;
    switch (type & varTypeMask) {
    case varEmpty:
        base = "Empty";
        break;
    case varNull:
        base = "Null";
        break;
    case varSmallint:
        base = "Smallint";
        break;
    case varInteger:
        base = "Integer";
        break;
    case varSingle:
        base = "Single";
        break;
    case varDouble:
        base = "Double";
        break;
    case varCurrency:
        base = "Currency";
        break;
    case varDate:
        base = "Date";
        break;
    case varOleStr:
        base = "OleStr";
        break;
    case varDispatch:
        base = "Dispatch";
        break;
    case varError:
        base = "Error";
        break;
    case varBoolean:
        base = "Boolean";
        break;
    case varVariant:
        base = "Variant";
        break;
    case varUnknown:
        base = "Unknown";
        break;
    case varShortInt:
        base = "ShortInt";
        break;
    case varByte:
        base = "Byte";
        break;
    case varWord:
        base = "Word";
        break;
    case varLongWord:
        base = "LongWord";
        break;
    case varInt64:
        base = "Int64";
        break;
    case varString:
        base = "String";
        break;
    default:
        base = "Unknown";
        break;
    }
    if (type & varArray) return "Array " + base;
    return base;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t cp = DecodeUtf8(s, i, 0xFFFD);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(cp, out);
    }
    return out;
}

// ---- comparisons ----

namespace {

enum class CmpClass { Empty, Null, Number, Text, Boolean, Dispatch, Array, Other };

CmpClass ClassOf(const Variant& v) {
    switch (v.VarType()) {
    case varEmpty:
        return CmpClass::Empty;
    case varNull:
        return CmpClass::Null;
    case varString:
    case varOleStr:
        return CmpClass::Text;
    case varBoolean:
        return CmpClass::Boolean;
    case varDispatch:
        return CmpClass::Dispatch;
    case varDate:
        return CmpClass::Number;
    default:
        if (v.IsArray()) return CmpClass::Array;
        if (v.IsNumeric()) return CmpClass::Number;
        return CmpClass::Other;
    }
}

double TextAsNumber(const Variant& v) {
    double d;
    if (!ParseLenientDouble(v.AsString(), d)) CastError(v.VarType(), varDouble);
    return d;
}

// -1, 0, 1; Null handled by the callers.
int Compare3(const Variant& a, const Variant& b) {
    CmpClass ca = ClassOf(a), cb = ClassOf(b);
    if (ca == CmpClass::Array || cb == CmpClass::Array || ca == CmpClass::Other || cb == CmpClass::Other)
        throw EVariantError("Invalid variant operation: these variants cannot be compared");
    if (ca == CmpClass::Dispatch || cb == CmpClass::Dispatch) {
        if (ca != cb) throw EVariantError("Invalid variant operation: an object compared with a value");
        auto pa = a.AsDispatch().get(), pb = b.AsDispatch().get();
        return pa == pb ? 0 : (std::less<>()(pa, pb) ? -1 : 1);
    }
    if (ca == CmpClass::Empty && cb == CmpClass::Empty) return 0;
    if (ca == CmpClass::Text && (cb == CmpClass::Text || cb == CmpClass::Empty)) {
        int c = a.AsString().compare(b.AsString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (ca == CmpClass::Empty && cb == CmpClass::Text) return -Compare3(b, a);
    // Numbers, booleans and dates compare by value; a text against a number converts to a number.
    double x = ca == CmpClass::Text ? TextAsNumber(a) : a.AsDouble();
    double y = cb == CmpClass::Text ? TextAsNumber(b) : b.AsDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

} // namespace

bool Variant::operator==(const Variant& other) const {
    if (IsNull() || other.IsNull()) return IsNull() && other.IsNull();
    return Compare3(*this, other) == 0;
}

bool Variant::operator<(const Variant& other) const {
    if (IsNull() || other.IsNull()) return false;
    return Compare3(*this, other) < 0;
}

bool Variant::Identical(const Variant& other) const {
    if (FType != other.FType) return false;
    if (IsArray()) {
        const VarArrayData& a = *ArrayData();
        const VarArrayData& b = *other.ArrayData();
        if (a.Low != b.Low || a.Count != b.Count) return false;
        for (size_t i = 0; i < a.Elems.size(); ++i)
            if (!a.Elems[i].Identical(b.Elems[i])) return false;
        return true;
    }
    if (FValue.index() != other.FValue.index()) return false;
    if (std::holds_alternative<double>(FValue)) {
        double x = std::get<double>(FValue), y = std::get<double>(other.FValue);
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    return FValue == other.FValue;
}

// ---- element references ----

VariantRef& VariantRef::operator=(const Variant& v) {
    *FElem = FArray->Normalize(v);
    return *this;
}

VariantRef& VariantRef::operator=(const VariantRef& r) {
    Variant copy = r.get();
    return *this = copy;
}

TVarType VariantRef::VarType() const {
    return FElem->VarType();
}
bool VariantRef::IsEmpty() const {
    return FElem->IsEmpty();
}
bool VariantRef::IsNull() const {
    return FElem->IsNull();
}
bool VariantRef::IsArray() const {
    return FElem->IsArray();
}
int32_t VariantRef::AsInteger() const {
    return FElem->AsInteger();
}
int64_t VariantRef::AsInt64() const {
    return FElem->AsInt64();
}
double VariantRef::AsDouble() const {
    return FElem->AsDouble();
}
bool VariantRef::AsBoolean() const {
    return FElem->AsBoolean();
}
std::string VariantRef::AsString() const {
    return FElem->AsString();
}
std::u16string VariantRef::AsWideString() const {
    return FElem->AsWideString();
}
TDateTime VariantRef::AsDateTime() const {
    return FElem->AsDateTime();
}
int VariantRef::DimCount() const {
    return FElem->DimCount();
}
int VariantRef::LowBound(int dim) const {
    return FElem->LowBound(dim);
}
int VariantRef::HighBound(int dim) const {
    return FElem->HighBound(dim);
}
VariantRef VariantRef::operator[](int index) {
    return (*FElem)[index];
}
const Variant& VariantRef::operator[](int index) const {
    return std::as_const(*FElem)[index];
}

} // namespace rt
