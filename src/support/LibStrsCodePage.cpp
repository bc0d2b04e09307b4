// LibStrs: code-page conversion of texts and of whole Variants.
//
// Our texts hold characters, not code-page bytes, so a conversion keeps the characters and only drops
// (to "?") those the target code page lacks. Elements of a Variant array are wide texts: a byte text
// stored into one becomes wide.
#include "support/LibStrs.h"

#include "os/CodePage.h"

#include <utility>

using namespace rt;

namespace kvx {

namespace {

bool IsAscii(std::u16string_view w) {
    for (char16_t c : w)
        if (c >= 0x80) return false;
    return true;
}

// Every code page in use holds the ASCII characters: those texts need no trip through the converter.
std::u16string WideInCodePage(std::u16string_view w, int codePage) {
    if (IsAscii(w)) return std::u16string(w);
    return Utf8ToUtf16(kvx::WideToCodePage(w, codePage));
}

// Converts the text elements of an array in place; true when anything changed. Nested arrays of a
// one-dimensional array are walked too, those of a two-dimensional array are not.
template <class ConvertText> bool ConvertArray(Variant& v, const ConvertText& convert) {
    const int dims = v.DimCount();
    bool changed = false;
    auto visit = [&](const Variant& element, bool descend, auto&& store) {
        const TVarType kind = element.VarType();
        if (kind == varOleStr || kind == varString) {
            Variant converted = convert(element);
            if (!converted.Identical(element)) {
                store(converted);
                changed = true;
            }
        } else if (descend && element.IsArray()) {
            Variant nested = element;
            if (ConvertArray(nested, convert)) {
                store(nested);
                changed = true;
            }
        }
    };
    if (dims == 1) {
        for (int i = v.LowBound(1), high = v.HighBound(1); i <= high; ++i)
            visit(std::as_const(v)[i], true, [&](const Variant& x) { v[i] = x; });
    } else if (dims == 2) {
        for (int i = v.LowBound(1), hi1 = v.HighBound(1); i <= hi1; ++i)
            for (int j = v.LowBound(2), hi2 = v.HighBound(2); j <= hi2; ++j)
                visit(std::as_const(v)(i, j), false, [&](const Variant& x) { v(i, j) = x; });
    }
    return changed;
}

} // namespace

std::string WideToCodePage(std::u16string_view W, int CodePage) {
    if (IsAscii(W)) return Utf16ToUtf8(W);
    return CodePageToUtf8(rt::WideToCodePage(W, CodePage), ResolveCodePage(CodePage));
}

std::u16string CodePageToWide(std::string_view S, int /*CodePage*/) {
    return Utf8ToUtf16(S);
}

Variant VarToCodePage(const Variant& V, int CodePage) {
    Variant result = V;
    try {
        if (VarIsBlank(V)) return result;
        const TVarType kind = V.VarType();
        if (kind == varOleStr || kind == varString)
            return Variant(kvx::WideToCodePage(V.AsWideString(), CodePage));
        if (V.IsArray())
            ConvertArray(result, [CodePage](const Variant& text) {
                return Variant(WideInCodePage(text.AsWideString(), CodePage));
            });
        return result;
    } catch (const std::exception& e) {
        WriteAlertLog("libstrs", std::string("LINE[2735] ") + e.what(), "D");
        return V;
    }
}

Variant VarFromCodePage(const Variant& V, int CodePage) {
    Variant result = V;
    try {
        if (VarIsBlank(V)) return result;
        const TVarType kind = V.VarType();
        if (kind == varOleStr) return result;
        if (kind == varString) return Variant(kvx::CodePageToWide(V.AsString(), CodePage));
        if (V.IsArray())
            ConvertArray(result, [CodePage](const Variant& text) {
                return text.VarType() == varOleStr ? text
                                                   : Variant(kvx::CodePageToWide(text.AsString(), CodePage));
            });
        return result;
    } catch (const std::exception& e) {
        WriteAlertLog("libstrs", std::string("LINE[115] ") + e.what(), "D");
        return V;
    }
}

} // namespace kvx
