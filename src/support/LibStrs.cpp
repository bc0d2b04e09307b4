// LibStrs: separated texts, date styles, "YYYYMMDD" dates, Variant helpers and small conversions.
#include "support/LibStrs.h"

#include "core/DateTime.h"
#include "core/SysUtils.h"
#include "kvx/Edition.h"
#include "os/CodePage.h"
#include "os/SysInfo.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace rt;

namespace kvx {

namespace {

// Occurrences of a separator found inside a multibyte character are impossible with UTF-8 texts: a
// lead or ASCII byte never equals a continuation byte, so a plain byte search only matches whole
// characters.
constexpr size_t npos = std::string_view::npos;

bool IsBlankChar(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && IsBlankChar(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankChar(s.back())) s.remove_suffix(1);
    return s;
}

// Copy(S, From, Count) with 1-based From, as the platform clips it.
std::string_view CopyView(std::string_view s, size_t from1, size_t count) {
    if (from1 < 1) from1 = 1;
    if (from1 > s.size()) return {};
    return s.substr(from1 - 1, count);
}

std::string FormatInt(const char* pattern, int value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

} // namespace

// ---- Shared date helpers (also used by the schedule functions).

namespace detail {

bool SplitDate(TDateTime date, int& year, int& month, int& day) {
    // Dates outside years 1..9999 have no calendar form.
    if (!(date.Val > MinDateTimeDay - 1.0 && date.Val < MaxDateTimeDay + 1.0)) return false;
    try {
        DecodeDate(date, year, month, day);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool MakeDate(long long year, long long month, long long day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    return TryEncodeDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day), date);
}

std::string DateToYMD(TDateTime date) {
    int y = 0, m = 0, d = 0;
    if (!SplitDate(date, y, m, d)) return {};
    return FormatInt("%.4d", y) + FormatInt("%.2d", m) + FormatInt("%.2d", d);
}

} // namespace detail

using detail::MakeDate;
using detail::SplitDate;

// ---- Separated texts.

std::string PadRight(std::string_view S, std::initializer_list<int> Spec) {
    std::string result(S);
    if (Spec.size() == 0) return result;
    const int width = *Spec.begin();
    std::string fill = " ";
    if (Spec.size() > 1) {
        const unsigned char code = static_cast<unsigned char>(*(Spec.begin() + 1) & 0xFF);
        fill = code < 0x80 ? std::string(1, static_cast<char>(code))
                           : CodePageToUtf8(std::string(1, static_cast<char>(code)), GetACP());
    }
    const long long length = static_cast<long long>(ByteLength(S, GetACP()));
    for (long long i = length; i < width; ++i) result += fill;
    return result;
}

std::string GetField(std::string_view S, std::string_view Sep, int Index) {
    // Walks the fields once instead of cutting the front off a copy for every field.
    int counter = 1;
    std::string_view field;
    std::string_view rest = S;
    bool found = true;
    while (counter <= Index && found) {
        const size_t p = Sep.empty() ? npos : rest.find(Sep);
        if (p != npos) {
            field = rest.substr(0, p);
            rest.remove_prefix(p + Sep.size());
            ++counter;
        } else {
            field = rest;
            found = false;
        }
    }
    if (Index > counter) return {};
    return std::string(field);
}

int FieldCount(std::string_view S, std::string_view Sep) {
    if (S.empty()) return 0;
    if (Sep.empty()) return 1;
    if (Sep.size() == 1) {
        // The marker differs from a one-character separator, so each pass finds the next occurrence.
        return 1 + static_cast<int>(std::count(S.begin(), S.end(), Sep[0]));
    }
    // Longer separators: overwrite the first character of each occurrence with the marker, as the
    // passes do. The text before an occurrence is unchanged and held no earlier occurrence, so the next
    // search may resume just before the overwritten character.
    std::string copy(S);
    const char marker = Sep == "#" ? '*' : '#';
    int count = 1;
    size_t from = 0;
    for (;;) {
        const size_t p = copy.find(Sep, from);
        if (p == npos) break;
        copy[p] = marker;
        ++count;
        from = p + 1 >= Sep.size() ? p + 1 - Sep.size() : 0;
    }
    return count;
}

std::string CutToken(std::string& S, std::string_view Sep) {
    const size_t p = Sep.empty() ? npos : S.find(Sep);
    if (p == npos) {
        std::string all;
        all.swap(S);
        return all;
    }
    std::string token = S.substr(0, p);
    S.erase(0, p + Sep.size());
    return token;
}

std::string ReplaceAll(std::string_view S, std::string_view Old, std::string_view New, bool TrimResult) {
    std::string out;
    if (Old.empty() || SameText(std::string(Old), std::string(New))) {
        out.assign(S);
    } else if (New.find(Old) != npos || Old.size() == 1) {
        // One character: a replacement cannot combine with its neighbours into a new occurrence, so one
        // pass left to right gives what searching again from the start gives. A replacement containing
        // Old would have that search never end: it is made once per occurrence.
        size_t from = 0;
        for (;;) {
            const size_t p = S.find(Old, from);
            if (p == npos) break;
            out.append(S.substr(from, p - from));
            out.append(New);
            from = p + Old.size();
        }
        out.append(S.substr(from));
    } else {
        // Every search starts again at the beginning, so the leftmost occurrence of the text as it now
        // stands is replaced. The text before it has no occurrence; one ending at the character just
        // appended is the leftmost, so we move characters one by one into `out` and replace as soon as
        // `out` ends with Old. New goes back in front of the unread text.
        std::vector<char> pending; // inserted replacements not yet read, last character first
        size_t next = 0;
        // A guard against runaway growth: replacements that keep producing occurrences.
        size_t budget = 1'000'000 + 16 * S.size();
        out.reserve(S.size());
        while (!pending.empty() || next < S.size()) {
            if (!pending.empty()) {
                out.push_back(pending.back());
                pending.pop_back();
            } else {
                out.push_back(S[next++]);
            }
            if (out.size() >= Old.size() &&
                std::memcmp(out.data() + out.size() - Old.size(), Old.data(), Old.size()) == 0) {
                if (budget-- == 0) break;
                out.resize(out.size() - Old.size());
                pending.insert(pending.end(), New.rbegin(), New.rend());
            }
        }
        while (!pending.empty()) {
            out.push_back(pending.back());
            pending.pop_back();
        }
        out.append(S.substr(next));
    }
    if (TrimResult) return std::string(TrimView(out));
    return out;
}

// ---- Date styles.

namespace {

std::string SepChar(std::string_view sep) {
    return sep.empty() ? std::string() : std::string(1, sep.front());
}

} // namespace

std::string FormatDateStyle(int Style, std::string_view Sep, TDateTime Date) {
    int y = 0, m = 0, d = 0;
    if (Date.Val == 0 || !SplitDate(Date, y, m, d)) return {};
    const std::string s = SepChar(Sep);
    switch (Style) {
    case 1:
        return FormatInt("%.4d", y) + s + FormatInt("%.2d", m) + s + FormatInt("%.2d", d);
    case 2:
        return FormatInt("%.2d", m) + s + FormatInt("%.2d", d) + s + FormatInt("%.4d", y);
    case 3:
        return FormatInt("%.2d", d) + s + FormatInt("%.2d", m) + s + FormatInt("%.4d", y);
    case 4:
        return FormatInt("%.2d", y - 1911) + s + FormatInt("%.2d", m) + s + FormatInt("%.2d", d);
    case 5:
        return FormatInt("%.3d", y - 1911) + s + FormatInt("%.2d", m) + s + FormatInt("%.2d", d);
    default:
        return {};
    }
}

std::string FormatYearMonthStyle(int Style, std::string_view Sep, TDateTime Date) {
    int y = 0, m = 0, d = 0;
    if (Date.Val == 0 || !SplitDate(Date, y, m, d)) return {};
    const std::string s = SepChar(Sep);
    switch (Style) {
    case 1:
        return FormatInt("%.4d", y) + s + FormatInt("%.2d", m);
    case 2:
    case 3:
        return FormatInt("%.2d", m) + s + FormatInt("%.4d", y);
    case 4:
        return FormatInt("%.2d", y - 1911) + s + FormatInt("%.2d", m);
    case 5:
        return FormatInt("%.3d", y - 1911) + s + FormatInt("%.2d", m);
    default:
        return {};
    }
}

TDateTime ParseDateStyle(std::string_view Text, int Style, std::string_view Sep) {
    std::string rest(TrimView(Text));
    if (rest.empty() || Style < 1 || Style > 5) return 0;
    int parts[3];
    for (int& part : parts) {
        const std::string token = CutToken(rest, Sep);
        part = StrToIntDef(std::string(TrimView(token)), -1);
        // The parts are small integers; a number too large for one is not wrapped round into a
        // plausible day or month but refused.
        if (part <= 0 || part > 32767) return 0;
    }
    long long year = 0, month = 0, day = 0;
    switch (Style) {
    case 1:
        year = parts[0], month = parts[1], day = parts[2];
        break;
    case 2:
        month = parts[0], day = parts[1], year = parts[2];
        break;
    case 3:
        day = parts[0], month = parts[1], year = parts[2];
        break;
    default:
        year = parts[0] + 1911LL, month = parts[1], day = parts[2];
        break;
    }
    TDateTime first;
    if (!MakeDate(year, month, 1, first)) return 0;
    // Running on past 31 December 9999 leaves the calendar: no date.
    const double date = first.Val + static_cast<double>(day - 1);
    return date > MaxDateTimeDay ? TDateTime(0) : TDateTime(date);
}

// ---- "YYYYMMDD" texts.

namespace {

int PartOrZero(std::string_view s, size_t from1, size_t count) {
    return StrToIntDef(std::string(CopyView(s, from1, count)), 0);
}

} // namespace

TDateTime YMDToDate(std::string_view S) {
    if (S.size() != 8) return 0;
    const int y = PartOrZero(S, 1, 4), m = PartOrZero(S, 5, 2), d = PartOrZero(S, 7, 2);
    TDateTime date;
    if (y == 0 || m == 0 || d == 0 || !MakeDate(y, m, d, date)) return 0;
    return date;
}

bool IsValidYMD(std::string_view S) {
    if (S.empty()) return true;
    TDateTime date;
    if (!MakeDate(PartOrZero(S, 1, 4), PartOrZero(S, 5, 2), PartOrZero(S, 7, 2), date)) return false;
    if constexpr (kvx::edition::YmdLowerBound)
        return S >= std::string_view("17530101") && S <= std::string_view("99991231");
    else
        return S <= std::string_view("99991231");
}

std::string DateAddYMD(const Variant& Value, std::string_view Unit, int N) {
    try {
        TDateTime date = 0;
        const TVarType kind = Value.VarType();
        if (kind == varString || kind == varOleStr)
            date = YMDToDate(Value.AsString());
        else if (kind == varDate)
            date = Value.AsDateTime();
        else
            return {};
        if (date.Val == 0) return {};
        int y = 0, m = 0, d = 0;
        if (!SplitDate(date, y, m, d)) return {};
        const std::string unit = UpperCase(std::string(Unit));
        TDateTime result;
        if (unit == "Y" || unit == "M") {
            long long year = y, month = m;
            if (unit == "Y") {
                year += N;
            } else {
                const long long t = year * 12 + month + N;
                month = t % 12;
                year = t / 12;
                if (month <= 0) {
                    month += 12;
                    year -= 1;
                }
            }
            if (year < 1 || year > 9999) return {};
            const int last = DaysInMonth(static_cast<int>(year), static_cast<int>(month));
            if (unit == "Y" && d > last) {
                // 29 February into a common year: the date stays as it was, as callers have always seen.
                result = date;
            } else if (!MakeDate(year, month, d < last ? d : last, result)) {
                // 31 March a month on: the last day of the target month.
                return {};
            }
        } else if (unit == "D") {
            result = TDateTime(date.Val + N);
        } else {
            return {};
        }
        return detail::DateToYMD(result);
    } catch (const std::exception&) {
        return {};
    }
}

int DaysInMonth(int Year, int Month) {
    switch (Month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0 ? 29 : 28;
    default:
        return 0;
    }
}

// ---- Variant helpers.

Variant IIfVar(bool Cond, const Variant& A, const Variant& B) {
    return Cond ? A : B;
}

bool VarIsBlank(const Variant& V) {
    return V.IsEmpty() || V.IsNull();
}

std::u16string PackCounted(std::string_view Prefix, const Variant& Items) {
    try {
        if (Items.DimCount() != 1) return {};
        const int low = Items.LowBound(1), high = Items.HighBound(1);
        if (low > 0 || high < 0) return {};
        const int n = Items[0].AsInteger();
        if (n > high) return {};
        const std::u16string etx(1, u'\x03');
        std::u16string text = Utf8ToUtf16(Prefix) + etx + VarToWideStr(Items[0]) + etx;
        for (int i = 1; i <= n; ++i) text += VarToWideStr(Items[i]) + etx;
        return text;
    } catch (const std::exception&) {
        return {};
    }
}

// ---- Numbers, captions, system facts.

double StrToExtDef(std::string_view S, double Default) {
    size_t i = 0;
    while (i < S.size() && (S[i] == ' ' || S[i] == '\t')) ++i;
    std::string_view body = S.substr(i);
    if (body.empty()) return Default;
    // Check the shape first: from_chars would also take "inf", "nan" and hexadecimal forms.
    size_t k = 0;
    if (body[k] == '+' || body[k] == '-') ++k;
    size_t digits = 0;
    while (k < body.size() && body[k] >= '0' && body[k] <= '9') ++k, ++digits;
    if (k < body.size() && body[k] == '.') {
        ++k;
        while (k < body.size() && body[k] >= '0' && body[k] <= '9') ++k, ++digits;
    }
    if (digits == 0) return Default;
    if (k < body.size() && (body[k] == 'e' || body[k] == 'E')) {
        ++k;
        if (k < body.size() && (body[k] == '+' || body[k] == '-')) ++k;
        size_t expDigits = 0;
        while (k < body.size() && body[k] >= '0' && body[k] <= '9') ++k, ++expDigits;
        if (expDigits == 0) return Default;
    }
    if (k != body.size()) return Default;
    if (body.front() == '+') body.remove_prefix(1);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc() || ptr != body.data() + body.size()) return Default;
    return value;
}

std::string LocalizeButtonCaption(std::string_view Name) {
    struct Caption {
        std::string_view Name, Text;
    };
    static constexpr Caption captions[] = {
        {"Yes", "是(&Y)"},       {"No", "否(&N)"},         {"OK", "确定"},         {"Cancel", "取消"},
        {"Abort", "中断(&A)"},   {"Retry", "重试(&R)"},    {"Ignore", "忽略(&I)"}, {"All", "全部(&A)"},
        {"NoToAll", "全否(&o)"}, {"YesToAll", "全是(&A)"}, {"Help", "帮助(&H)"},
    };
    for (const Caption& c : captions)
        if (c.Name == Name) return std::string(c.Text);
    return std::string(Name);
}

std::string GetTempDir() {
    return GetTempPath();
}

bool IsLocalHost(std::string_view Address) {
    return Address == "127.0.0.1";
}

} // namespace kvx
