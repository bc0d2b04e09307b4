#include "core/SysUtils.h"

#include "core/Exceptions.h"
#include "core/FormatSettings.h"
#include "core/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <locale.h>
#include <optional>
#include <system_error>
#include <unistd.h>
#include <vector>
#include <wctype.h>

namespace rt {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ---- Decimal digits of a double, as the platform's float-to-text routines see it -------------------

// value = 0.Digits * 10^Exponent; Digits has no trailing zeros and is empty for zero.
struct Decimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

constexpr int FloatPrecision = 15; // significant digits of the platform's conversions

Decimal ToDecimal(double value, int precision = FloatPrecision) {
    Decimal d;
    d.Negative = std::signbit(value) && value != 0.0;
    if (value == 0.0) return d;
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, precision - 1);
    const std::string_view text(buf, res.ptr - buf);
    const size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.') d.Digits += c;
    int exp10 = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exp10);
    d.Exponent = exp10 + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    return d;
}

// Rounds (half up, on the decimal digits) to keep significant digits.
void RoundDigits(Decimal& d, int keep) {
    if (keep >= static_cast<int>(d.Digits.size())) return;
    if (keep < 0) {
        d.Digits.clear();
    } else {
        const bool up = d.Digits[keep] >= '5';
        d.Digits.resize(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
            if (i >= 0) {
                ++d.Digits[i];
            } else { // every kept digit was a 9 (or none was kept): one more power of ten
                d.Digits = "1";
                ++d.Exponent;
            }
        }
        while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    }
    if (d.Digits.empty()) {
        d.Negative = false;
        d.Exponent = 0;
    }
}

char DigitAt(const Decimal& d, int index) {
    return index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[index] : '0';
}

std::string SpecialText(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

void AddThousands(std::string& intPart, char separator) {
    for (int at = static_cast<int>(intPart.size()) - 3; at > 0; at -= 3) intPart.insert(at, 1, separator);
}

std::string FixedText(double value, int decimals, bool thousands, const FormatSettings& fs) {
    if (!std::isfinite(value)) return SpecialText(value);
    Decimal d = ToDecimal(value);
    RoundDigits(d, d.Exponent + decimals);
    std::string intPart;
    for (int i = 0; i < d.Exponent; ++i) intPart += DigitAt(d, i);
    if (intPart.empty()) intPart = "0";
    if (thousands) AddThousands(intPart, fs.ThousandSeparator);
    std::string out = d.Negative ? "-" + intPart : intPart;
    if (decimals > 0) {
        out += fs.DecimalSeparator;
        for (int i = 0; i < decimals; ++i) out += DigitAt(d, d.Exponent + i);
    }
    return out;
}

std::string ExponentText(double value, int precision, int minExpDigits, bool plusSign,
                         const FormatSettings& fs) {
    if (!std::isfinite(value)) return SpecialText(value);
    Decimal d = ToDecimal(value);
    RoundDigits(d, precision);
    std::string out = d.Negative ? "-" : "";
    out += DigitAt(d, 0);
    if (precision > 1) {
        out += fs.DecimalSeparator;
        for (int i = 1; i < precision; ++i) out += DigitAt(d, i);
    }
    const int exp = d.Digits.empty() ? 0 : d.Exponent - 1;
    out += 'E';
    if (exp < 0)
        out += '-';
    else if (plusSign)
        out += '+';
    std::string digits = std::to_string(std::abs(exp));
    if (static_cast<int>(digits.size()) < minExpDigits) digits.insert(0, minExpDigits - digits.size(), '0');
    return out + digits;
}

std::string GeneralText(double value, int precision, const FormatSettings& fs) {
    if (!std::isfinite(value)) return SpecialText(value);
    Decimal d = ToDecimal(value, precision);
    if (d.Digits.empty()) return "0";
    std::string out = d.Negative ? "-" : "";
    if (d.Exponent > precision || d.Exponent < -3) {
        out += d.Digits[0];
        if (d.Digits.size() > 1) out += fs.DecimalSeparator + d.Digits.substr(1);
        return out + "E" + std::to_string(d.Exponent - 1);
    }
    if (d.Exponent <= 0) return out + "0" + fs.DecimalSeparator + std::string(-d.Exponent, '0') + d.Digits;
    for (int i = 0; i < d.Exponent; ++i) out += DigitAt(d, i);
    if (static_cast<int>(d.Digits.size()) > d.Exponent)
        out += fs.DecimalSeparator + d.Digits.substr(d.Exponent);
    return out;
}

// ---- Format ------------------------------------------------------------------------------------------

constexpr int MaxFormatWidth = 1 << 16;

class Formatter {
public:
    Formatter(std::string_view format, std::span<const TVarRec> args)
        : FFormat(format), FArgs(args), FSettings(GetFormatSettings()) {}

    std::string Run() {
        std::string out;
        size_t i = 0;
        while (i < FFormat.size()) {
            const size_t percent = FFormat.find('%', i);
            out.append(
                FFormat.substr(i, percent == std::string_view::npos ? std::string_view::npos : percent - i));
            if (percent == std::string_view::npos) break;
            if (percent + 1 < FFormat.size() && FFormat[percent + 1] == '%') {
                out += '%';
                i = percent + 2;
                continue;
            }
            FStart = percent;
            FPos = percent + 1;
            out += Specifier();
            i = FPos;
        }
        return out;
    }

private:
    [[noreturn]] void Invalid() const {
        throw EConvertError("Format '" + std::string(FFormat.substr(FStart, FPos - FStart)) +
                            "' invalid or incompatible with argument");
    }

    const TVarRec& NextArg() {
        if (FArgIndex >= FArgs.size())
            throw EConvertError("No argument for format '" +
                                std::string(FFormat.substr(FStart, FPos - FStart)) + "'");
        return FArgs[FArgIndex++];
    }

    // A number or "*" (an integer argument), if there is one.
    std::optional<int64_t> Number() {
        if (FPos < FFormat.size() && FFormat[FPos] == '*') {
            ++FPos;
            const TVarRec& arg = NextArg();
            if (arg.VKind() != TVarRec::Kind::Integer && arg.VKind() != TVarRec::Kind::Int64) Invalid();
            const int64_t v = arg.AsInt64();
            if (v > MaxFormatWidth || v < -MaxFormatWidth) Invalid();
            return v;
        }
        if (FPos >= FFormat.size() || FFormat[FPos] < '0' || FFormat[FPos] > '9') return std::nullopt;
        int64_t v = 0;
        while (FPos < FFormat.size() && FFormat[FPos] >= '0' && FFormat[FPos] <= '9') {
            v = v * 10 + (FFormat[FPos++] - '0');
            if (v > MaxFormatWidth) Invalid();
        }
        return v;
    }

    bool Skip(char c) {
        if (FPos >= FFormat.size() || FFormat[FPos] != c) return false;
        ++FPos;
        return true;
    }

    std::string Specifier() {
        std::optional<int64_t> width = Number();
        if (Skip(':')) {
            if (!width || *width < 0) Invalid();
            FArgIndex = static_cast<size_t>(*width);
            width.reset();
        }
        bool left = false;
        if (!width) {
            left = Skip('-');
            width = Number();
        }
        if (width && *width < 0) { // a negative width from "*" aligns left
            left = true;
            width = -*width;
        }
        int precision = -1;
        if (Skip('.')) precision = static_cast<int>(std::max<int64_t>(Number().value_or(0), -1));
        if (FPos >= FFormat.size()) Invalid();
        const char type = AsciiLower(FFormat[FPos++]);
        std::string text = Convert(type, NextArg(), precision);
        const size_t w = static_cast<size_t>(width.value_or(0));
        if (text.size() < w) {
            const std::string pad(w - text.size(), ' ');
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    static std::string WithMinDigits(std::string digits, bool negative, int precision) {
        if (precision > static_cast<int>(digits.size())) digits.insert(0, precision - digits.size(), '0');
        return negative ? "-" + digits : digits;
    }

    std::string Convert(char type, const TVarRec& arg, int precision) {
        using K = TVarRec::Kind;
        const K kind = arg.VKind();
        const bool integer = kind == K::Integer || kind == K::Int64 || kind == K::UInt64;
        switch (type) {
        case 'd': {
            if (!integer) Invalid();
            const int64_t v = arg.AsInt64();
            if (kind == K::UInt64)
                return WithMinDigits(std::to_string(static_cast<uint64_t>(v)), false, precision);
            const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            return WithMinDigits(std::to_string(magnitude), v < 0, precision);
        }
        case 'u':
        case 'x': {
            if (!integer) Invalid();
            const uint64_t bits = kind == K::Integer ? static_cast<uint32_t>(arg.AsInt64())
                                                     : static_cast<uint64_t>(arg.AsInt64());
            if (type == 'u') return WithMinDigits(std::to_string(bits), false, precision);
            char buf[20];
            const auto res = std::to_chars(buf, buf + sizeof buf, bits, 16);
            std::string hex(buf, res.ptr);
            for (char& c : hex) c = AsciiUpper(c);
            return WithMinDigits(hex, false, precision);
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n': {
            if (kind != K::Extended) Invalid();
            const double v = arg.AsExtended();
            if (type == 'e')
                return ExponentText(v, precision < 0 ? FloatPrecision : std::clamp(precision, 1, 18), 3, true,
                                    FSettings);
            if (type == 'g')
                return GeneralText(v, precision < 0 ? FloatPrecision : std::clamp(precision, 1, 18),
                                   FSettings);
            const int decimals = precision < 0 ? 2 : std::min(precision, 18);
            // Beyond the 15 significant digits a fixed form would invent digits: scientific instead.
            if (std::isfinite(v) && ToDecimal(v).Exponent > FloatPrecision)
                return ExponentText(v, FloatPrecision, 3, true, FSettings);
            return FixedText(v, decimals, type == 'n', FSettings);
        }
        case 's': {
            std::string text;
            switch (kind) {
            case K::String:
                text = arg.AsText();
                break;
            case K::WideString:
                text = Utf16ToUtf8(arg.AsWideText());
                break;
            case K::Char:
                text = std::string(1, static_cast<char>(arg.AsInt64()));
                break;
            case K::Variant:
                if (arg.AsVariant().IsNull())
                    throw EVariantTypeCastError(
                        "Could not convert variant of type (Null) into type (String)");
                text = VarToStr(arg.AsVariant());
                break;
            default:
                Invalid();
            }
            if (precision >= 0 && static_cast<size_t>(precision) < text.size()) {
                // Never cut a UTF-8 character in two.
                size_t cut = static_cast<size_t>(precision);
                while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
                text.resize(cut);
            }
            return text;
        }
        default:
            Invalid();
        }
    }

    std::string_view FFormat;
    std::span<const TVarRec> FArgs;
    const FormatSettings& FSettings;
    size_t FArgIndex = 0;
    size_t FStart = 0;
    size_t FPos = 0;
};

// ---- UTF-8 case mapping ------------------------------------------------------------------------------

locale_t Utf8Locale() {
    static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return loc;
}

char32_t MapCase(char32_t cp, bool upper) {
    if (cp < 0x80)
        return static_cast<unsigned char>(upper ? AsciiUpper(static_cast<char>(cp))
                                                : AsciiLower(static_cast<char>(cp)));
    const locale_t loc = Utf8Locale();
    if (!loc) return cp;
    const wint_t mapped =
        upper ? towupper_l(static_cast<wint_t>(cp), loc) : towlower_l(static_cast<wint_t>(cp), loc);
    return static_cast<char32_t>(mapped);
}

std::string AnsiMapCase(std::string_view s, bool upper) {
    std::string out;
    out.reserve(s.size());
    size_t pos = 0;
    while (pos < s.size()) {
        const size_t at = pos;
        const char32_t cp = DecodeUtf8(s, pos);
        if (cp != NotUtf8)
            AppendUtf8(MapCase(cp, upper), out);
        else
            out += s[at];
    }
    return out;
}

// The text as case-folded units with the byte offset of each, for searching without regard to case.
// Bytes outside valid UTF-8 become units of their own that no character folds to.
struct FoldedText {
    std::u32string Units;
    std::vector<size_t> Offsets; // one per unit, plus the end
};

FoldedText Fold(std::string_view s) {
    FoldedText f;
    size_t pos = 0;
    while (pos < s.size()) {
        f.Offsets.push_back(pos);
        const auto byte = static_cast<unsigned char>(s[pos]);
        const char32_t cp = DecodeUtf8(s, pos);
        f.Units += cp != NotUtf8 ? MapCase(MapCase(cp, true), false) : 0x110000 + byte;
    }
    f.Offsets.push_back(s.size());
    return f;
}

// ---- Integers ----------------------------------------------------------------------------------------

bool ParseInteger(std::string_view s, int bits, int64_t& value) {
    size_t pos = 0;
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
    int base = 10;
    if (pos < s.size() && s[pos] == '$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < s.size() && s[pos] == '0' && (s[pos + 1] == 'x' || s[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    } else if (pos < s.size() && (s[pos] == 'x' || s[pos] == 'X')) {
        base = 16;
        ++pos;
    }
    if (pos >= s.size()) return false;
    uint64_t magnitude = 0;
    const auto res = std::from_chars(s.data() + pos, s.data() + s.size(), magnitude, base);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return false;
    // from_chars takes no sign of its own, so a second sign ("--5") was refused above.
    const uint64_t hexLimit = bits == 32 ? 0xFFFFFFFFull : std::numeric_limits<uint64_t>::max();
    const uint64_t decLimit = bits == 32 ? 0x7FFFFFFFull : 0x7FFFFFFFFFFFFFFFull;
    if (base == 16) {
        if (magnitude > hexLimit) return false;
        const int64_t v = bits == 32 ? static_cast<int32_t>(static_cast<uint32_t>(magnitude))
                                     : static_cast<int64_t>(magnitude);
        value = negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(v)) : v;
        if (bits == 32) value = static_cast<int32_t>(value);
        return true;
    }
    if (magnitude > decLimit + (negative ? 1 : 0)) return false;
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

std::string HexDigits(uint64_t bits, int digits) {
    char buf[20];
    const auto res = std::to_chars(buf, buf + sizeof buf, bits, 16);
    std::string hex(buf, res.ptr);
    for (char& c : hex) c = AsciiUpper(c);
    if (digits > static_cast<int>(hex.size())) hex.insert(0, std::min(digits, 64) - hex.size(), '0');
    return hex;
}

// ---- FormatFloat ---------------------------------------------------------------------------------------

std::vector<std::string_view> SplitSections(std::string_view format) {
    std::vector<std::string_view> sections;
    char quote = '\0';
    size_t start = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote) {
            if (c == quote) quote = '\0';
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';' && sections.size() < 2) {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

class FloatPattern {
public:
    explicit FloatPattern(std::string_view section) : FSection(section) {
        char quote = '\0';
        for (size_t i = 0; i < section.size(); ++i) {
            const char c = section[i];
            if (quote) {
                if (c == quote) quote = '\0';
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
            } else if (FExpAt == npos && (c == '0' || c == '#')) {
                if (FPointAt == npos) {
                    if (c == '0' && FMinInt == 0)
                        FMinInt = 1;
                    else if (FMinInt > 0)
                        ++FMinInt;
                    ++FIntCount;
                } else {
                    ++FFracCount;
                    if (c == '0') FMinFrac = FFracCount;
                }
            } else if (c == '.' && FPointAt == npos && FExpAt == npos) {
                FPointAt = i;
            } else if (c == ',' && FExpAt == npos) {
                FThousands = true;
            } else if ((c == 'E' || c == 'e') && FExpAt == npos && i + 1 < section.size() &&
                       (section[i + 1] == '+' || section[i + 1] == '-') && FIntCount + FFracCount > 0) {
                FExpAt = i;
                FExpPlus = section[i + 1] == '+';
                for (size_t j = i + 2; j < section.size() && section[j] == '0'; ++j) ++FExpDigits;
            }
        }
    }

    std::string Apply(double value, bool withSign, const FormatSettings& fs) const {
        Decimal d = ToDecimal(value);
        int exponent = 0;
        if (FExpAt != npos) {
            const int intDigits = std::max(1, FIntCount);
            RoundDigits(d, std::min(intDigits + FFracCount, FloatPrecision));
            if (!d.Digits.empty()) {
                exponent = d.Exponent - intDigits;
                d.Exponent = intDigits;
            }
        } else {
            RoundDigits(d, d.Exponent + FFracCount);
        }
        // Integer digits, at least FMinInt of them.
        std::string intDigits;
        for (int i = 0; i < d.Exponent; ++i) intDigits += DigitAt(d, i);
        if (static_cast<int>(intDigits.size()) < FMinInt)
            intDigits.insert(0, FMinInt - intDigits.size(), '0');
        // Fraction digits: all placeholders, less trailing zeros beyond the required ones.
        std::string frac;
        for (int i = 0; i < FFracCount; ++i) frac += DigitAt(d, d.Exponent + i);
        while (static_cast<int>(frac.size()) > FMinFrac && frac.back() == '0') frac.pop_back();

        std::string out = withSign && d.Negative ? "-" : "";
        // Integer placeholders are filled from the right; the first takes any excess digits.
        int intPlaceholder = 0;
        const int excess = static_cast<int>(intDigits.size()) - FIntCount;
        size_t nextDigit = 0;
        auto emitInt = [&](size_t count) {
            for (size_t k = 0; k < count && nextDigit < intDigits.size(); ++k) {
                out += intDigits[nextDigit++];
                const size_t remaining = intDigits.size() - nextDigit;
                if (FThousands && remaining > 0 && remaining % 3 == 0) out += fs.ThousandSeparator;
            }
        };
        size_t fracIndex = 0;
        char quote = '\0';
        for (size_t i = 0; i < FSection.size(); ++i) {
            const char c = FSection[i];
            if (quote) {
                if (c == quote)
                    quote = '\0';
                else
                    out += c;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
            } else if (i == FExpAt) {
                out += c;
                if (exponent < 0)
                    out += '-';
                else if (FExpPlus)
                    out += '+';
                std::string digits = std::to_string(std::abs(exponent));
                if (static_cast<int>(digits.size()) < FExpDigits)
                    digits.insert(0, FExpDigits - digits.size(), '0');
                out += digits;
                i += 1 + FExpDigits;
            } else if ((c == '0' || c == '#') && FIntCount > 0 && (FPointAt == npos || i < FPointAt)) {
                // Placeholder number intPlaceholder of FIntCount: its share of the digits.
                const int slotsLeft = FIntCount - intPlaceholder;
                const int have = static_cast<int>(intDigits.size() - nextDigit);
                if (intPlaceholder == 0 && excess > 0)
                    emitInt(static_cast<size_t>(excess) + 1);
                else if (have >= slotsLeft)
                    emitInt(1);
                ++intPlaceholder;
            } else if (c == '0' || c == '#') {
                emitInt(intDigits.size()); // a pattern without integer placeholders (".00")
                if (fracIndex < frac.size()) out += frac[fracIndex];
                ++fracIndex;
            } else if (c == '.' && i == FPointAt) {
                emitInt(intDigits.size());
                if (!frac.empty()) out += fs.DecimalSeparator;
            } else if (c != ',') { // a comma is a flag, never printed
                out += c;
            }
        }
        return out;
    }

private:
    static constexpr size_t npos = std::string_view::npos;
    std::string_view FSection;
    int FIntCount = 0, FMinInt = 0, FFracCount = 0, FMinFrac = 0, FExpDigits = 0;
    size_t FPointAt = npos, FExpAt = npos;
    bool FThousands = false, FExpPlus = false;
};

bool IsDelimiter(char c) {
    return c == '/' || c == '\\';
}

size_t LastDelimiter(std::string_view s) {
    for (size_t i = s.size(); i > 0; --i)
        if (IsDelimiter(s[i - 1])) return i - 1;
    return std::string_view::npos;
}

} // namespace

// ---- Format ------------------------------------------------------------------------------------------

std::string Format(std::string_view format, std::initializer_list<TVarRec> args) {
    return Format(format, std::span<const TVarRec>(args.begin(), args.size()));
}

std::string Format(std::string_view format, std::span<const TVarRec> args) {
    return Formatter(format, args).Run();
}

// ---- Strings -----------------------------------------------------------------------------------------

std::string Trim(std::string_view s) {
    return std::string(TrimView(s));
}

std::string TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

int CompareStr(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareText(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiUpper(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (ca != cb) return ca - cb;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string AnsiUpperCase(std::string_view s) {
    return AnsiMapCase(s, true);
}

std::string AnsiLowerCase(std::string_view s) {
    return AnsiMapCase(s, false);
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    return CompareStr(a, b);
}

int AnsiCompareText(std::string_view a, std::string_view b) {
    const FoldedText fa = Fold(a), fb = Fold(b);
    const int c = fa.Units.compare(fb.Units);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
    return AnsiCompareText(a, b) == 0;
}

// ---- Integers ----------------------------------------------------------------------------------------

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

std::string IntToHex(int32_t value, int digits) {
    return HexDigits(static_cast<uint32_t>(value), digits);
}
std::string IntToHex(int64_t value, int digits) {
    return HexDigits(static_cast<uint64_t>(value), digits);
}
std::string IntToHex(uint32_t value, int digits) {
    return HexDigits(value, digits);
}
std::string IntToHex(uint64_t value, int digits) {
    return HexDigits(value, digits);
}
std::string IntToHex(long long value, int digits) {
    return HexDigits(static_cast<uint64_t>(value), digits);
}

bool TryStrToInt(std::string_view s, int32_t& value) {
    int64_t v;
    if (!ParseInteger(s, 32, v)) return false;
    value = static_cast<int32_t>(v);
    return true;
}

bool TryStrToInt64(std::string_view s, int64_t& value) {
    return ParseInteger(s, 64, value);
}

int32_t StrToInt(std::string_view s) {
    int32_t v;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v;
    if (!TryStrToInt64(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return v;
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
    int32_t v;
    return TryStrToInt(s, v) ? v : def;
}

int64_t StrToInt64Def(std::string_view s, int64_t def) {
    int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

// ---- Floating point ----------------------------------------------------------------------------------

bool TryStrToFloat(std::string_view s, double& value) {
    const char separator = GetFormatSettings().DecimalSeparator;
    size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    // Validate the shape first: [sign] digits [separator digits] [e [sign] digits].
    std::string normal;
    size_t i = begin;
    if (i < end && (s[i] == '+' || s[i] == '-')) normal += s[i++];
    size_t digits = 0;
    while (i < end && s[i] >= '0' && s[i] <= '9') normal += s[i++], ++digits;
    if (i < end && s[i] == separator) {
        normal += '.';
        ++i;
        while (i < end && s[i] >= '0' && s[i] <= '9') normal += s[i++], ++digits;
    }
    if (digits == 0) return false;
    if (i < end && (s[i] == 'e' || s[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < end && (s[i] == '+' || s[i] == '-')) normal += s[i++];
        size_t expDigits = 0;
        while (i < end && s[i] >= '0' && s[i] <= '9') normal += s[i++], ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != end) return false;
    const char* first = normal.data() + (normal[0] == '+' ? 1 : 0);
    double v = 0.0;
    const auto res = std::from_chars(first, normal.data() + normal.size(), v);
    if (res.ptr != normal.data() + normal.size()) return false;
    if (res.ec == std::errc::result_out_of_range) {
        // Too small for a double reads as zero (or a denormal); too large is an error.
        static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
        if (!c) return false;
        v = strtod_l(normal.c_str(), nullptr, c);
        if (!std::isfinite(v)) return false;
    } else if (res.ec != std::errc()) {
        return false;
    }
    value = v;
    return true;
}

double StrToFloat(std::string_view s) {
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(std::string_view s, double def) {
    double v;
    return TryStrToFloat(s, v) ? v : def;
}

std::string FloatToStr(double value) {
    return GeneralText(value, FloatPrecision, GetFormatSettings());
}

std::string FormatFloat(std::string_view format, double value) {
    const FormatSettings& fs = GetFormatSettings();
    if (!std::isfinite(value)) return SpecialText(value);
    const std::vector<std::string_view> sections = SplitSections(format);
    if (format.empty()) return GeneralText(value, FloatPrecision, fs);
    std::string_view section = sections[0];
    bool withSign = true;
    if (value < 0 && sections.size() > 1 && !sections[1].empty()) {
        section = sections[1];
        withSign = false;
    } else if (value == 0 && sections.size() > 2 && !sections[2].empty()) {
        section = sections[2];
    }
    return FloatPattern(section).Apply(value, withSign, fs);
}

// ---- Pos, Copy and friends ---------------------------------------------------------------------------

int Pos(std::string_view sub, std::string_view s) {
    return PosEx(sub, s, 1);
}

int PosEx(std::string_view sub, std::string_view s, int offset) {
    if (sub.empty() || offset < 1 || static_cast<size_t>(offset) > s.size()) return 0;
    const size_t at = s.find(sub, static_cast<size_t>(offset) - 1);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(std::string_view s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<size_t>(index) > s.size()) return "";
    return std::string(s.substr(static_cast<size_t>(index) - 1, static_cast<size_t>(count)));
}

void Delete(std::string& s, int index, int count) {
    if (index < 1 || static_cast<size_t>(index) > s.size() || count <= 0) return;
    s.erase(static_cast<size_t>(index) - 1, static_cast<size_t>(count));
}

void Insert(std::string_view sub, std::string& s, int index) {
    if (index < 1) index = 1;
    const size_t at = std::min(static_cast<size_t>(index) - 1, s.size());
    s.insert(at, sub);
}

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags) {
    if (oldPattern.empty()) return std::string(s);
    const bool all = (flags & rfReplaceAll) != 0;
    std::string out;
    if (!(flags & rfIgnoreCase)) {
        size_t from = 0;
        while (true) {
            const size_t at = s.find(oldPattern, from);
            if (at == std::string_view::npos) break;
            out.append(s.substr(from, at - from)).append(newPattern);
            from = at + oldPattern.size();
            if (!all) break;
        }
        out.append(s.substr(from));
        return out;
    }
    const FoldedText text = Fold(s);
    const FoldedText pattern = Fold(oldPattern);
    size_t from = 0;   // in units
    size_t copied = 0; // in bytes
    while (true) {
        const size_t at = text.Units.find(pattern.Units, from);
        if (at == std::u32string::npos) break;
        out.append(s.substr(copied, text.Offsets[at] - copied)).append(newPattern);
        from = at + pattern.Units.size();
        copied = text.Offsets[from];
        if (!all) break;
    }
    out.append(s.substr(copied));
    return out;
}

std::string QuotedStr(std::string_view s) {
    return AnsiQuotedStr(s, '\'');
}

std::string AnsiQuotedStr(std::string_view s, char quote) {
    std::string out(1, quote);
    for (char c : s) {
        out += c;
        if (c == quote) out += quote;
    }
    out += quote;
    return out;
}

std::string AnsiDequotedStr(std::string_view s, char quote) {
    if (s.empty() || s[0] != quote) return std::string(s);
    std::string out;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] != quote) {
            out += s[i];
        } else if (i + 1 < s.size() && s[i + 1] == quote) {
            out += quote;
            ++i;
        } else {
            return out;
        }
    }
    return std::string(s); // no closing quote
}

// ---- File names --------------------------------------------------------------------------------------

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    if (!path.empty() && IsDelimiter(path.back())) return std::string(path);
    return std::string(path) + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
    if (!path.empty() && IsDelimiter(path.back())) path.remove_suffix(1);
    return std::string(path);
}

std::string ExtractFilePath(std::string_view fileName) {
    const size_t at = LastDelimiter(fileName);
    return at == std::string_view::npos ? "" : std::string(fileName.substr(0, at + 1));
}

std::string ExtractFileDir(std::string_view fileName) {
    const size_t at = LastDelimiter(fileName);
    if (at == std::string_view::npos) return "";
    // The root keeps its delimiter: "/a" gives "/".
    return std::string(fileName.substr(0, at == 0 ? 1 : at));
}

std::string ExtractFileName(std::string_view fileName) {
    const size_t at = LastDelimiter(fileName);
    return std::string(at == std::string_view::npos ? fileName : fileName.substr(at + 1));
}

std::string ExtractFileExt(std::string_view fileName) {
    const std::string name = ExtractFileName(fileName);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot);
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
    const size_t nameAt = fileName.size() - ExtractFileName(fileName).size();
    const size_t dot = fileName.rfind('.');
    const size_t stem = dot == std::string_view::npos || dot < nameAt ? fileName.size() : dot;
    return std::string(fileName.substr(0, stem)) + std::string(extension);
}

bool FileExists(const std::string& fileName) {
    std::error_code ec;
    return !fileName.empty() && std::filesystem::is_regular_file(fileName, ec);
}

bool DirectoryExists(const std::string& dirName) {
    std::error_code ec;
    return !dirName.empty() && std::filesystem::is_directory(dirName, ec);
}

bool ForceDirectories(const std::string& dirName) {
    const std::string dir = ExcludeTrailingPathDelimiter(dirName);
    if (dir.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return !ec && std::filesystem::is_directory(dir, ec);
}

bool DeleteFile(const std::string& fileName) {
    return FileExists(fileName) && ::unlink(fileName.c_str()) == 0;
}

} // namespace rt
