// Fuzzes the separated-text and date parsers of the toolbox with arbitrary bytes. Besides not
// crashing, the fast forms of FieldCount and ReplaceAll must agree with the passes they replace.
#include "support/LibStrs.h"

#include "core/Exceptions.h"
#include "core/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// FieldCount as the passes describe it: mark the first character of the leftmost occurrence, repeat.
int SlowFieldCount(std::string s, const std::string& sep) {
    if (s.empty()) return 0;
    if (sep.empty()) return 1;
    const char marker = sep == "#" ? '*' : '#';
    int passes = 1;
    for (size_t p; (p = s.find(sep)) != std::string::npos; ++passes) s[p] = marker;
    return passes;
}

// ReplaceAll as described: replace the leftmost occurrence, search again from the start.
bool SlowReplaceAll(std::string s, const std::string& from, const std::string& to, std::string& out) {
    for (int steps = 0; steps < 10000; ++steps) {
        const size_t p = s.find(from);
        if (p == std::string::npos) {
            out = s;
            return true;
        }
        s.replace(p, from.size(), to);
        if (s.size() > 100000) return false;
    }
    return false;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int selector = data[0];
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    // "text|separator|replacement" from the input.
    std::string rest = input;
    const std::string text = kvx::CutToken(rest, "|");
    const std::string sep = kvx::CutToken(rest, "|");
    const std::string other = rest;

    kvx::GetField(text, sep, selector % 8);
    Check(kvx::FieldCount(text, sep) == SlowFieldCount(text, sep));
    // Old and New equal ignoring case replace nothing; a New holding Old is replaced once per occurrence.
    const bool sameText = rt::SameText(sep, other);
    if (!sep.empty() && !sameText && other.find(sep) == std::string::npos && text.size() < 256) {
        std::string expected;
        if (SlowReplaceAll(text, sep, other, expected))
            Check(kvx::ReplaceAll(text, sep, other, false) == expected);
    }

    const int style = selector % 7;
    const rt::TDateTime parsed = kvx::ParseDateStyle(text, style, sep);
    const std::string formatted = kvx::FormatDateStyle(style, sep, parsed);
    kvx::FormatYearMonthStyle(style, sep, parsed);
    if (parsed.Val != 0 && style >= 1 && style <= 5 && (sep == "/" || sep == "-" || sep == "."))
        Check(kvx::ParseDateStyle(formatted, style, sep).Val == parsed.Val);

    kvx::YMDToDate(text);
    kvx::IsValidYMD(text);
    kvx::DateAddYMD(rt::Variant(text), sep, static_cast<int>(selector) - 128);
    kvx::NextRunDate(
        text, rt::VarArrayOf({selector % 4, rt::VarArrayOf({sep, selector % 8, other, selector % 7})}));
    try {
        kvx::RelativeDate(text, sep, other, selector % 2 ? "1" : "0", "0");
    } catch (const rt::EConvertError&) {
    }
    kvx::StrToExtDef(text, 0);
    return 0;
}
