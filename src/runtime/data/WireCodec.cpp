#include "data/WireCodec.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace rt::wire {
namespace {

using json = nlohmann::json;

// ---- texts that JSON cannot hold as they are ----

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF (what the JSON writer accepts).
bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += len;
    }
    return true;
}

// True when every surrogate is part of a pair, so that UTF-8 holds the text without loss.
bool HasOnlyPairedSurrogates(std::u16string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t n = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8) |
                           uint8_t(bytes[i + 2]);
        out += kBase64[n >> 18];
        out += kBase64[(n >> 12) & 63];
        out += kBase64[(n >> 6) & 63];
        out += kBase64[n & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t n = uint32_t(uint8_t(bytes[i])) << 16;
        if (rest == 2) n |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        out += kBase64[n >> 18];
        out += kBase64[(n >> 12) & 63];
        out += rest == 2 ? kBase64[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::array<int, 256> value;
    value.fill(-1);
    for (int k = 0; k < 64; ++k) value[static_cast<unsigned char>(kBase64[k])] = k;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        int v[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if (c == '=' && i + 4 == text.size() && k >= 2) {
                v[k] = 0;
                ++pad;
            } else if (pad > 0 || value[c] < 0) {
                return std::nullopt;
            } else {
                v[k] = value[c];
            }
        }
        const uint32_t n = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) | v[3];
        out += char(n >> 16);
        if (pad < 2) out += char((n >> 8) & 0xFF);
        if (pad < 1) out += char(n & 0xFF);
    }
    return out;
}

// ---- kinds and their tags ----

struct KindTag {
    TVarType type;
    const char* tag;
};
constexpr KindTag kTags[] = {
    {varEmpty, "empty"}, {varNull, "null"},       {varSmallint, "i2"},  {varInteger, "i4"},
    {varInt64, "i8"},    {varByte, "u1"},         {varLongWord, "u4"},  {varDouble, "r8"},
    {varCurrency, "cy"}, {varDate, "date"},       {varBoolean, "bool"}, {varString, "str"},
    {varOleStr, "wstr"}, {varVariant, "variant"},
};

const char* TagOf(TVarType type) {
    for (const auto& k : kTags)
        if (k.type == type) return k.tag;
    return nullptr;
}

std::optional<TVarType> TypeOfTag(std::string_view tag) {
    for (const auto& k : kTags)
        if (tag == k.tag) return k.type;
    return std::nullopt;
}

[[noreturn]] void Bad(const std::string& what) {
    throw EWireError(errInvalidParams, "Malformed variant: " + what);
}

// ---- encoding ----

json EncodeDouble(double d) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    return d;
}

json Encode(const Variant& v);

json EncodeArray(const Variant& v) {
    const TVarType elemType = v.VarType() & varTypeMask;
    const char* et = TagOf(elemType);
    if (!et || elemType == varEmpty || elemType == varNull)
        throw EWireError(errInvalidParams, "A variant array of " + VarTypeName(elemType) + " cannot travel");
    const int dims = v.DimCount();
    json bounds = json::array();
    std::vector<int> low(dims), high(dims), idx(dims);
    size_t total = 1;
    for (int d = 0; d < dims; ++d) {
        low[d] = v.LowBound(d + 1);
        high[d] = v.HighBound(d + 1);
        bounds.push_back(json::array({low[d], high[d]}));
        total *= static_cast<size_t>(int64_t{high[d]} - low[d] + 1);
    }
    json elems = json::array();
    idx = low;
    for (size_t n = 0; n < total; ++n) {
        elems.push_back(Encode(v.GetElement(idx)));
        // The first index varies fastest, as in the array's own storage.
        for (int d = 0; d < dims; ++d) {
            if (idx[d] < high[d]) {
                ++idx[d];
                break;
            }
            idx[d] = low[d];
        }
    }
    return json{{"t", "array"}, {"et", et}, {"b", std::move(bounds)}, {"v", std::move(elems)}};
}

json Encode(const Variant& v) {
    if (v.IsArray()) return EncodeArray(v);
    const TVarType type = v.VarType();
    switch (type) {
    case varEmpty:
        return json{{"t", "empty"}};
    case varNull:
        return json{{"t", "null"}};
    case varSmallint:
    case varInteger:
    case varInt64:
    case varByte:
    case varLongWord:
        return json{{"t", TagOf(type)}, {"v", v.AsInt64()}};
    case varDouble:
        return json{{"t", "r8"}, {"v", EncodeDouble(v.AsDouble())}};
    case varDate:
        return json{{"t", "date"}, {"v", EncodeDouble(v.AsDateTime().Val)}};
    case varCurrency:
        return json{{"t", "cy"}, {"v", v.AsCurrencyScaled()}};
    case varBoolean:
        return json{{"t", "bool"}, {"v", v.AsBoolean()}};
    case varString: {
        std::string s = v.AsString();
        if (IsValidUtf8(s)) return json{{"t", "str"}, {"v", std::move(s)}};
        return json{{"t", "str"}, {"b", Base64Encode(s)}};
    }
    case varOleStr: {
        std::u16string w = v.AsWideString();
        if (HasOnlyPairedSurrogates(w)) return json{{"t", "wstr"}, {"v", Utf16ToUtf8(w)}};
        json units = json::array();
        for (char16_t c : w) units.push_back(static_cast<unsigned>(c));
        return json{{"t", "wstr"}, {"u", std::move(units)}};
    }
    case varDispatch:
        throw EWireError(errInvalidParams, "An automation object cannot travel over the wire");
    default:
        throw EWireError(errInvalidParams, "A variant of type " + VarTypeName(type) + " cannot travel");
    }
}

// ---- decoding ----

const json& Member(const json& j, const char* key) {
    auto it = j.find(key);
    if (it == j.end()) Bad(std::string("member \"") + key + "\" missing");
    return *it;
}

int64_t IntegerIn(const json& j, int64_t lo, int64_t hi) {
    if (j.is_number_integer() && !j.is_number_unsigned()) {
        const auto n = j.get<int64_t>();
        if (n >= lo && n <= hi) return n;
    } else if (j.is_number_unsigned()) {
        const auto n = j.get<uint64_t>();
        if (n <= static_cast<uint64_t>(hi) && hi >= 0 && static_cast<int64_t>(n) >= lo)
            return static_cast<int64_t>(n);
    }
    Bad("integer expected in " + std::to_string(lo) + ".." + std::to_string(hi));
}

double DecodeDouble(const json& j) {
    if (j.is_number()) return j.get<double>();
    if (j.is_string()) {
        const auto& s = j.get_ref<const std::string&>();
        if (s == "NaN") return std::numeric_limits<double>::quiet_NaN();
        if (s == "Infinity") return std::numeric_limits<double>::infinity();
        if (s == "-Infinity") return -std::numeric_limits<double>::infinity();
    }
    Bad("number expected");
}

Variant Decode(const json& j, int depth);

Variant DecodeArray(const json& j, int depth) {
    if (depth >= kMaxNesting) Bad("arrays nested too deeply");
    const json& et = Member(j, "et");
    if (!et.is_string()) Bad("element type must be a text");
    const auto elemType = TypeOfTag(et.get_ref<const std::string&>());
    if (!elemType || *elemType == varEmpty || *elemType == varNull) Bad("unknown element type");
    const json& b = Member(j, "b");
    const json& elems = Member(j, "v");
    if (!b.is_array() || b.empty() || b.size() > 8) Bad("bounds must list 1 to 8 dimensions");
    if (!elems.is_array()) Bad("elements must be a list");
    std::vector<int> bounds;
    uint64_t total = 1;
    for (const auto& dim : b) {
        if (!dim.is_array() || dim.size() != 2) Bad("each dimension is [low, high]");
        const auto lo =
            IntegerIn(dim[0], std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
        const auto hi =
            IntegerIn(dim[1], std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
        if (hi < lo - 1) Bad("high bound below low bound");
        total *= static_cast<uint64_t>(hi - lo + 1);
        if (total > elems.size()) Bad("element count does not match the bounds");
        bounds.push_back(static_cast<int>(lo));
        bounds.push_back(static_cast<int>(hi));
    }
    if (total != elems.size()) Bad("element count does not match the bounds");
    Variant a;
    try {
        a = VarArrayCreate(std::span<const int>(bounds), *elemType);
    } catch (const Exception& e) {
        Bad(e.Message());
    }
    const size_t dims = bounds.size() / 2;
    std::vector<int> idx(dims);
    for (size_t d = 0; d < dims; ++d) idx[d] = bounds[2 * d];
    for (const auto& e : elems) {
        Variant value = Decode(e, depth + 1);
        try {
            a.PutElement(idx, value);
        } catch (const Exception& ex) {
            Bad("element does not fit the array: " + ex.Message());
        }
        for (size_t d = 0; d < dims; ++d) {
            if (idx[d] < bounds[2 * d + 1]) {
                ++idx[d];
                break;
            }
            idx[d] = bounds[2 * d];
        }
    }
    return a;
}

Variant Decode(const json& j, int depth) {
    if (!j.is_object()) Bad("a variant is an object");
    const json& t = Member(j, "t");
    if (!t.is_string()) Bad("tag must be a text");
    const auto& tag = t.get_ref<const std::string&>();
    if (tag == "array") return DecodeArray(j, depth);
    const auto type = TypeOfTag(tag);
    if (!type || *type == varVariant) Bad("unknown tag \"" + tag + "\"");
    switch (*type) {
    case varEmpty:
        return Variant();
    case varNull:
        return Variant::Null();
    case varSmallint:
        return Variant(static_cast<short>(IntegerIn(Member(j, "v"), INT16_MIN, INT16_MAX)));
    case varInteger:
        return Variant(static_cast<int>(IntegerIn(Member(j, "v"), INT32_MIN, INT32_MAX)));
    case varInt64:
        return Variant(static_cast<long long>(IntegerIn(Member(j, "v"), INT64_MIN, INT64_MAX)));
    case varByte:
        return Variant(static_cast<unsigned char>(IntegerIn(Member(j, "v"), 0, UINT8_MAX)));
    case varLongWord:
        return Variant(static_cast<unsigned>(IntegerIn(Member(j, "v"), 0, UINT32_MAX)));
    case varDouble:
        return Variant(DecodeDouble(Member(j, "v")));
    case varDate:
        return Variant(TDateTime(DecodeDouble(Member(j, "v"))));
    case varCurrency:
        return Variant::Currency(IntegerIn(Member(j, "v"), INT64_MIN, INT64_MAX));
    case varBoolean: {
        const json& b = Member(j, "v");
        if (!b.is_boolean()) Bad("boolean expected");
        return Variant(b.get<bool>());
    }
    case varString: {
        if (auto it = j.find("v"); it != j.end() && it->is_string()) return Variant(it->get<std::string>());
        if (auto it = j.find("b"); it != j.end() && it->is_string()) {
            auto bytes = Base64Decode(it->get_ref<const std::string&>());
            if (!bytes) Bad("invalid base64 text");
            return Variant(std::move(*bytes));
        }
        Bad("text expected");
    }
    case varOleStr: {
        if (auto it = j.find("v"); it != j.end() && it->is_string())
            return Variant(Utf8ToUtf16(it->get_ref<const std::string&>()));
        if (auto it = j.find("u"); it != j.end() && it->is_array()) {
            std::u16string w;
            w.reserve(it->size());
            for (const auto& u : *it) w.push_back(static_cast<char16_t>(IntegerIn(u, 0, 0xFFFF)));
            return Variant(std::move(w));
        }
        Bad("wide text expected");
    }
    default:
        Bad("unknown tag \"" + tag + "\"");
    }
}

json ParseJson(std::string_view text) {
    json j = json::parse(text, nullptr, false);
    if (j.is_discarded()) throw EWireError(errParse, "The message is not valid JSON");
    return j;
}

std::string Dump(const json& j) {
    // Every text put into the document was checked to be valid UTF-8, so strict dumping cannot fail;
    // replacing keeps it so should a future change forget a check.
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

const char* KindName(DispatchKind k) {
    switch (k) {
    case DispatchKind::PropertyGet:
        return "get";
    case DispatchKind::PropertyPut:
        return "put";
    default:
        return "call";
    }
}

json EncodeArgs(const std::vector<Variant>& args) {
    json a = json::array();
    for (const auto& v : args) a.push_back(Encode(v));
    return a;
}

std::string IdText(const json& id) {
    return id.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace

std::string EncodeVariant(const Variant& v) {
    return Dump(Encode(v));
}

Variant DecodeVariant(std::string_view text) {
    return Decode(ParseJson(text), 0);
}

std::string EncodeRequest(const CallRequest& r) {
    json j{{"jsonrpc", "2.0"},
           {"method", r.Method},
           {"params", {{"kind", KindName(r.Kind)}, {"args", EncodeArgs(r.Args)}}}};
    if (!r.IdJson.empty()) j["id"] = ParseJson(r.IdJson);
    return Dump(j);
}

CallRequest DecodeRequest(std::string_view text) {
    const json j = ParseJson(text);
    if (j.is_array()) throw EWireError(errInvalidRequest, "Batches are not supported");
    if (!j.is_object()) throw EWireError(errInvalidRequest, "A request is a JSON object");
    CallRequest r;
    if (auto it = j.find("id"); it != j.end()) {
        if (!it->is_number_integer() && !it->is_string() && !it->is_null())
            throw EWireError(errInvalidRequest, "The id must be an integer or a text");
        r.IdJson = IdText(*it);
    }
    const std::string id = r.IdJson.empty() ? "null" : r.IdJson;
    if (auto it = j.find("jsonrpc"); it == j.end() || *it != "2.0")
        throw EWireError(errInvalidRequest, "Not a JSON-RPC 2.0 request", id);
    auto m = j.find("method");
    if (m == j.end() || !m->is_string() || m->get_ref<const std::string&>().empty())
        throw EWireError(errInvalidRequest, "The method must be a non-empty text", id);
    r.Method = m->get<std::string>();
    auto p = j.find("params");
    if (p == j.end()) return r;
    if (!p->is_object()) throw EWireError(errInvalidParams, "params must be an object", id);
    if (auto k = p->find("kind"); k != p->end()) {
        if (*k == "call")
            r.Kind = DispatchKind::Method;
        else if (*k == "get")
            r.Kind = DispatchKind::PropertyGet;
        else if (*k == "put")
            r.Kind = DispatchKind::PropertyPut;
        else
            throw EWireError(errInvalidParams, "kind must be \"call\", \"get\" or \"put\"", id);
    }
    if (auto a = p->find("args"); a != p->end()) {
        if (!a->is_array()) throw EWireError(errInvalidParams, "args must be a list", id);
        r.Args.reserve(a->size());
        try {
            for (const auto& e : *a) r.Args.push_back(Decode(e, 0));
        } catch (const EWireError& e) {
            throw EWireError(e.Code(), e.Message(), id);
        }
    }
    return r;
}

std::string EncodeResponse(const CallResponse& r) {
    if (!r.Ok) return EncodeError(r.IdJson, r.ErrorCode, r.ErrorMessage, r.ErrorClass);
    json result{{"value", Encode(r.Value)}};
    if (!r.ByRef.empty()) {
        json byRef = json::array();
        for (const auto& [index, value] : r.ByRef) byRef.push_back(json::array({index, Encode(value)}));
        result["byref"] = std::move(byRef);
    }
    return Dump(json{{"jsonrpc", "2.0"}, {"id", ParseJson(r.IdJson)}, {"result", std::move(result)}});
}

std::string EncodeError(const std::string& idJson, int code, const std::string& message,
                        const std::string& errorClass) {
    json id = json::parse(idJson, nullptr, false);
    if (id.is_discarded()) id = nullptr;
    json error{{"code", code},
               {"message", IsValidUtf8(message) ? message : std::string("(unreadable message)")}};
    if (!errorClass.empty() && IsValidUtf8(errorClass)) error["data"] = json{{"class", errorClass}};
    return Dump(json{{"jsonrpc", "2.0"}, {"id", std::move(id)}, {"error", std::move(error)}});
}

CallResponse DecodeResponse(std::string_view text) {
    const json j = ParseJson(text);
    if (!j.is_object() || j.value("jsonrpc", json()) != "2.0")
        throw EWireError(errInvalidRequest, "Not a JSON-RPC 2.0 answer");
    CallResponse r;
    if (auto it = j.find("id"); it != j.end()) r.IdJson = IdText(*it);
    if (auto e = j.find("error"); e != j.end()) {
        if (!e->is_object()) throw EWireError(errInvalidRequest, "error must be an object");
        r.Ok = false;
        const json& code = Member(*e, "code");
        const json& message = Member(*e, "message");
        if (!code.is_number_integer() || !message.is_string())
            throw EWireError(errInvalidRequest, "error needs an integer code and a text message");
        r.ErrorCode = code.get<int>();
        r.ErrorMessage = message.get<std::string>();
        if (auto d = e->find("data"); d != e->end() && d->is_object())
            if (auto c = d->find("class"); c != d->end() && c->is_string())
                r.ErrorClass = c->get<std::string>();
        return r;
    }
    auto res = j.find("result");
    if (res == j.end() || !res->is_object()) throw EWireError(errInvalidRequest, "The answer has no result");
    r.Value = Decode(Member(*res, "value"), 0);
    if (auto b = res->find("byref"); b != res->end()) {
        if (!b->is_array()) Bad("byref must be a list");
        for (const auto& pair : *b) {
            if (!pair.is_array() || pair.size() != 2) Bad("each byref entry is [index, value]");
            const auto index = IntegerIn(pair[0], 0, std::numeric_limits<int32_t>::max());
            r.ByRef.emplace_back(static_cast<size_t>(index), Decode(pair[1], 0));
        }
    }
    return r;
}

std::vector<std::pair<size_t, Variant>> ChangedArguments(const std::vector<Variant>& before,
                                                         const std::vector<Variant>& after) {
    std::vector<std::pair<size_t, Variant>> changed;
    for (size_t i = 0; i < after.size(); ++i)
        if (i >= before.size() || !before[i].Identical(after[i])) changed.emplace_back(i, after[i]);
    return changed;
}

} // namespace rt::wire
