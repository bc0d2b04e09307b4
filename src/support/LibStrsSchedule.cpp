// LibStrs: the first run date of a periodic job and the date rules of dynamic date conditions.
#include "support/LibStrs.h"

#include "core/DateTime.h"
#include "core/SysUtils.h"

#include <cstdio>
#include <utility>

using namespace rt;

namespace kvx {

namespace detail {
bool SplitDate(TDateTime date, int& year, int& month, int& day);
bool MakeDate(long long year, long long month, long long day, TDateTime& date);
std::string DateToYMD(TDateTime date);
} // namespace detail

namespace {

std::string TwoDigits(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2d", value);
    return buf;
}

// A "YYYYMMDD" text shifted by days; raises when it is no date.
std::string AddDays(const std::string& ymd, long long days) {
    const TDateTime date = YMDToDate(ymd);
    if (date.Val == 0) throw EConvertError("'" + ymd + "' is not a valid date");
    const std::string result = detail::DateToYMD(TDateTime(date.Val + static_cast<double>(days)));
    if (result.empty())
        throw EConvertError("'" + ymd + "' shifted by " + std::to_string(days) + " days is no date");
    return result;
}

// DayOfWeek of a "YYYYMMDD" text, 1 = Sunday; raises when it is no date.
int WeekdayOf(const std::string& ymd) {
    const TDateTime date = YMDToDate(ymd);
    if (date.Val == 0) throw EConvertError("'" + ymd + "' is not a valid date");
    return DayOfWeek(date);
}

std::string AddMonths(const std::string& ymd, long long months) {
    const std::string result = DateAddYMD(Variant(ymd), "M", static_cast<int>(months));
    if (result.empty()) throw EConvertError("'" + ymd + "' is not a valid date");
    return result;
}

std::string LastDayOfMonth(const std::string& ymd) {
    const int y = StrToIntDef(ymd.substr(0, 4), 0), m = StrToIntDef(ymd.substr(4, 2), 0);
    return ymd.substr(0, 6) + TwoDigits(DaysInMonth(y, m));
}

int ReadInt(std::string_view text) {
    return StrToInt(std::string(text)); // raises EConvertError for an unreadable number
}

} // namespace

std::string NextRunDate(std::string_view StartDate, const Variant& CycleSpec) {
    try {
        const std::string s(StartDate);
        const int kind = CycleSpec[0].AsInteger();
        const Variant& p = CycleSpec[1];
        switch (kind) {
        case 0:
            return DateAddYMD(Variant(s), "D", 0);
        case 1: {
            const int n = p[0].AsInteger(), w = p[1].AsInteger();
            const int b = WeekdayOf(s), c = w + 1;
            const long long k = c < b ? n : n - 1;
            const std::string t = AddDays(s, 7 * k);
            return AddDays(t, c - WeekdayOf(t));
        }
        case 2: {
            const int sub = p[0].AsInteger(), m = p[1].AsInteger();
            if (sub == 0) {
                const int d = p[2].AsInteger();
                const int startDay = StrToIntDef(s.substr(6, 2), 0);
                if (YMDToDate(s).Val == 0) return {};
                const std::string t = AddMonths(s, d >= startDay ? m - 1 : m);
                const std::string candidate = t.substr(0, 6) + TwoDigits(d);
                // A day of 100 or more would make a nine-character text; it counts as past the month's end.
                if (candidate.size() == 8 && IsValidYMD(candidate)) return candidate;
                return LastDayOfMonth(t);
            }
            if (sub != 1) return {};
            const int r = p[2].AsInteger(), w = p[3].AsInteger();
            if (r < 0 || r > 4) return {};
            std::string result;
            for (long long k = m - 1, pass = 0; pass < 2; k = m, ++pass) {
                const std::string t = AddMonths(s, k);
                const std::string first = t.substr(0, 6) + "01";
                const int c = (w + 1) - WeekdayOf(first);
                if (r == 0) {
                    result = AddDays(first, c < 0 ? c + 7 : c);
                } else if (r < 4) {
                    result = AddDays(first, c + 7LL * (c < 0 ? r + 1 : r));
                } else {
                    const std::string last = LastDayOfMonth(t);
                    const int d = WeekdayOf(last) - (w + 1);
                    result = AddDays(last, d < 0 ? -d - 7 : -d);
                }
                if (!(result < s)) break;
            }
            return result;
        }
        default:
            return {};
        }
    } catch (const std::exception&) {
        return {};
    }
}

std::string WeekBound(std::string_view Base, int N, int Op) {
    const std::string t = AddDays(std::string(Base), 7LL * N);
    const int q = WeekdayOf(t);
    return AddDays(t, Op == 1 ? 1 - q : 7 - q);
}

std::string RelativeDate(std::string_view Base, std::string_view N, std::string_view Unit,
                         std::string_view Op, std::string_view M) {
    const int n = ReadInt(N), op = ReadInt(Op), m = ReadInt(M);
    const std::string base(Base);
    if (base.size() < 7) return AddMonths(base + "01", n).substr(0, 6);
    if (Unit != "0") {
        const std::string t = AddMonths(base, n);
        switch (op) {
        case 0:
            return AddDays(t, m);
        case 1:
            return t.substr(0, 6) + "01";
        case 2:
            return LastDayOfMonth(t);
        default:
            return t;
        }
    }
    if (op != 0) return WeekBound(base, n, op);
    return AddDays(base, 7LL * n + m);
}

Variant ApplyDynamicDates(const Variant& Args, std::string_view RunDate) {
    try {
        Variant values = Args[1];
        const Variant& rules = Args[3];
        const int count = rules[0].AsInteger();
        const std::string runDate(RunDate);
        for (int i = 1; i <= count; ++i) {
            const std::string d = rules[i].AsString();
            const char etx[] = {ETX, 0};
            auto field = [&](int index) { return GetField(d, etx, index); };
            const bool range = field(1) == "0";
            const std::string granularity = field(range ? 13 : 8);
            const std::string base = granularity == "D" ? runDate : runDate.substr(0, 6);
            const int k = StrToInt(field(range ? 14 : 9));
            // The rule of one side: fields from..from+4 are flag, N, unit, operation, M.
            auto shifted = [&](int from) -> std::string {
                if (field(from + 1) == "0" && field(from + 3) == "0" && field(from + 4) == "0") return base;
                return RelativeDate(base, field(from + 1), field(from + 2), field(from + 3), field(from + 4));
            };
            if (!range) {
                if (field(3) == "Y") values[k] = Variant(shifted(3));
            } else {
                Variant bounds = std::as_const(values)[k];
                if (bounds.DimCount() != 1)
                    throw EConvertError("condition " + std::to_string(k) + " is no range");
                if (field(3) == "Y") bounds[1] = Variant(shifted(3));
                if (field(8) == "Y") bounds[2] = Variant(shifted(8));
                values[k] = bounds;
            }
        }
        return values;
    } catch (const std::exception&) {
        return Variant(std::string());
    }
}

} // namespace kvx
