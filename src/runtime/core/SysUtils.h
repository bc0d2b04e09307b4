#pragma once
// The platform's general routines: Format, string handling, number conversion and file names.
// Texts are UTF-8 std::string, indexed by byte from 1 like the platform's single-byte strings.
#include "core/Variant.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace rt {

// One argument of Format: a tagged reference to the caller's value, valid for the call it appears in
// (the platform's "array of const"). Texts and Variants are not copied.
class TVarRec {
public:
    enum class Kind { Integer, Int64, UInt64, Extended, Boolean, Char, String, WideString, Variant };

    TVarRec(int v) : FKind(Kind::Integer), FInt(v) {}
    TVarRec(unsigned v) : FKind(Kind::Int64), FInt(v) {}
    TVarRec(long v) : FKind(Kind::Int64), FInt(v) {}
    TVarRec(long long v) : FKind(Kind::Int64), FInt(v) {}
    TVarRec(unsigned long v) : FKind(Kind::UInt64), FInt(static_cast<int64_t>(v)) {}
    TVarRec(unsigned long long v) : FKind(Kind::UInt64), FInt(static_cast<int64_t>(v)) {}
    TVarRec(double v) : FKind(Kind::Extended), FFloat(v) {}
    TVarRec(float v) : FKind(Kind::Extended), FFloat(v) {}
    TVarRec(TDateTime v) : FKind(Kind::Extended), FFloat(v.Val) {}
    TVarRec(bool v) : FKind(Kind::Boolean), FInt(v) {}
    TVarRec(char v) : FKind(Kind::Char), FInt(static_cast<unsigned char>(v)) {}
    TVarRec(const char* v) : FKind(Kind::String), FText(v ? std::string_view(v) : std::string_view()) {}
    TVarRec(const std::string& v) : FKind(Kind::String), FText(v) {}
    TVarRec(std::string_view v) : FKind(Kind::String), FText(v) {}
    TVarRec(const std::u16string& v) : FKind(Kind::WideString), FWide(v) {}
    TVarRec(const char16_t* v)
        : FKind(Kind::WideString), FWide(v ? std::u16string_view(v) : std::u16string_view()) {}
    TVarRec(const Variant& v) : FKind(Kind::Variant), FVariant(&v) {}
    TVarRec(const VariantRef& v) : FKind(Kind::Variant), FVariant(&v.get()) {}

    Kind VKind() const { return FKind; }
    int64_t AsInt64() const { return FInt; }
    double AsExtended() const { return FFloat; }
    std::string_view AsText() const { return FText; }
    std::u16string_view AsWideText() const { return FWide; }
    const Variant& AsVariant() const { return *FVariant; }

private:
    Kind FKind;
    int64_t FInt = 0;
    double FFloat = 0.0;
    std::string_view FText;
    std::u16string_view FWide;
    const Variant* FVariant = nullptr;
};

// Format with the platform's rules: "%" [index ":"] ["-"] [width] ["." precision] type, where index,
// width and precision may be "*" (taken from the arguments) and type is one of
//   d (integer; precision = minimum digits, zeros after the sign), u (unsigned), x (upper-case hex,
//   negatives as 32-bit two's complement, 64-bit for a 64-bit argument), e (scientific, precision =
//   significant digits, default 15), f (fixed, precision = decimals, default 2), g (general, shortest
//   of the two), n (fixed with thousand separators), s (text; precision = maximum length).
// "%%" is a percent sign. An argument of the wrong type, a missing argument or a bad specifier raises
// EConvertError. Only %s takes a Variant (through VarToStr; Null raises EVariantTypeCastError).
std::string Format(std::string_view format, std::initializer_list<TVarRec> args = {});
std::string Format(std::string_view format, std::span<const TVarRec> args);

// Trimming removes every character up to and including the space (tab, CR, LF, ...).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// Trim without a copy: the part of s between the blanks around it.
std::string_view TrimView(std::string_view s);

// UpperCase/LowerCase/CompareText/SameText change or fold only a-z.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
int CompareStr(std::string_view a, std::string_view b); // byte order; use only the sign
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// The Ansi forms map every letter of the text (UTF-8); bytes that are not valid UTF-8 stay unchanged.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// Integer conversion. Text: leading blanks, an optional sign, decimal digits or hex after "$", "0x" or
// "x"; nothing may follow. Hex may use the full width (StrToInt("$FFFFFFFF") = -1).
std::string IntToStr(int64_t value);
std::string IntToHex(int32_t value, int digits);
std::string IntToHex(int64_t value, int digits);
std::string IntToHex(uint32_t value, int digits);
std::string IntToHex(uint64_t value, int digits);
std::string IntToHex(long long value, int digits);
bool TryStrToInt(std::string_view s, int32_t& value);
bool TryStrToInt64(std::string_view s, int64_t& value);
int32_t StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);
int64_t StrToInt64Def(std::string_view s, int64_t def);

// Floating point. Texts use the locale decimal separator; blanks around the number are ignored, an
// exponent is allowed, thousand separators and hex are not.
bool TryStrToFloat(std::string_view s, double& value);
double StrToFloat(std::string_view s);
double StrToFloatDef(std::string_view s, double def);
// 15 significant digits, the shortest form: "0.1", "1E20", "1.5E-10".
std::string FloatToStr(double value);
// Pattern characters: 0 (digit), # (digit if significant), . (decimal separator), , (thousand
// separators), E+ E- e+ e- (exponent), "..." and '...' (literal text), ; (sections for positive,
// negative and zero values). Other characters are copied.
std::string FormatFloat(std::string_view format, double value);

// Positions are 1-based; 0 means not found.
int Pos(std::string_view sub, std::string_view s);
int PosEx(std::string_view sub, std::string_view s, int offset = 1);
// Copy from 1-based index: an index below 1 counts as 1 (the count is not reduced), an index past the
// end or a negative count gives "", a count past the end is clipped.
std::string Copy(std::string_view s, int index, int count);
// Delete removes nothing when index is outside 1..length; Insert clamps its index into the text.
void Delete(std::string& s, int index, int count);
void Insert(std::string_view sub, std::string& s, int index);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags);

std::string QuotedStr(std::string_view s); // 'it''s'
std::string AnsiQuotedStr(std::string_view s, char quote);
// The text between a leading quote and its matching closing quote, doubled quotes made single; the
// text unchanged when it does not start with the quote or the closing quote is missing.
std::string AnsiDequotedStr(std::string_view s, char quote);

// File names. The delimiter is '/'; a '\' written by a Windows-era configuration also counts.
inline constexpr char PathDelim = '/';
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
std::string ExtractFilePath(std::string_view fileName); // with the trailing delimiter
std::string ExtractFileDir(std::string_view fileName);  // without it
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName); // with the dot, "" when none
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
bool FileExists(const std::string& fileName); // a file, not a directory
bool DirectoryExists(const std::string& dirName);
bool ForceDirectories(const std::string& dirName); // creates every missing level; false on failure
bool DeleteFile(const std::string& fileName);

} // namespace rt
