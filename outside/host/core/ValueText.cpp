#include "ValueText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kvx::host {
namespace {

std::string FormatDouble(double d) {
    if (std::isnan(d)) return "nan";
    if (std::isinf(d)) return d < 0 ? "-inf" : "inf";
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

void FormatArray(const rt::Variant& v, std::string& out) {
    if (v.DimCount() == 1) {
        out += '[';
        for (int i = v.LowBound(); i <= v.HighBound(); ++i) {
            if (i > v.LowBound()) out += ", ";
            out += FormatValue(v[i]);
        }
        out += ']';
        return;
    }
    // Two dimensions: one inner list per first index.
    out += '[';
    for (int i = v.LowBound(1); i <= v.HighBound(1); ++i) {
        if (i > v.LowBound(1)) out += ", ";
        out += '[';
        for (int j = v.LowBound(2); j <= v.HighBound(2); ++j) {
            if (j > v.LowBound(2)) out += ", ";
            out += FormatValue(v(i, j));
        }
        out += ']';
    }
    out += ']';
}

} // namespace

std::string QuoteText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                out += hex;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string FormatValue(const rt::Variant& v) {
    if (v.IsArray()) {
        std::string out;
        FormatArray(v, out);
        return out;
    }
    switch (v.VarType()) {
    case rt::varEmpty:
        return "empty";
    case rt::varNull:
        return "null";
    case rt::varBoolean:
        return v.AsBoolean() ? "true" : "false";
    case rt::varString:
    case rt::varOleStr:
        return QuoteText(v.AsString());
    case rt::varSingle:
    case rt::varDouble:
        return FormatDouble(v.AsDouble());
    case rt::varCurrency:
        return FormatDouble(v.AsDouble());
    case rt::varDate:
        return "date(" + FormatDouble(v.AsDouble()) + ")";
    case rt::varDispatch:
    case rt::varUnknown:
        return "object";
    case rt::varError:
        return "error";
    default:
        return std::to_string(v.AsInt64());
    }
}

} // namespace kvx::host
