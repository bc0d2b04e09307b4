#include "os/CodePage.h"

#include "os/SysInfo.h"

#include <cerrno>
#include <iconv.h>
#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

namespace rt {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// iconv descriptors are costly to open and not shareable between threads: each thread keeps its own.
class ConverterCache {
public:
    ~ConverterCache() {
        for (auto& entry : FConverters)
            if (entry.second != kNoConverter) iconv_close(entry.second);
    }
    iconv_t Get(const std::string& to, const std::string& from) {
        auto key = std::make_pair(to, from);
        auto it = FConverters.find(key);
        if (it == FConverters.end())
            it = FConverters.emplace(key, iconv_open(to.c_str(), from.c_str())).first;
        if (it->second != kNoConverter) iconv(it->second, nullptr, nullptr, nullptr, nullptr); // reset state
        return it->second;
    }

private:
    std::map<std::pair<std::string, std::string>, iconv_t> FConverters;
};

iconv_t Converter(const std::string& to, const std::string& from) {
    thread_local ConverterCache cache;
    return cache.Get(to, from);
}

// iconv names to try for a code page, best first.
std::vector<std::string> CharsetCandidates(int codePage) {
    switch (codePage) {
    case 936:
        return {"CP936", "GBK"};
    case 950:
        return {"CP950", "BIG5"};
    case 20936:
        return {"GB2312"};
    case 54936:
        return {"GB18030"};
    case 1200:
        return {"UTF-16LE"};
    case 1201:
        return {"UTF-16BE"};
    case 12000:
        return {"UTF-32LE"};
    case 12001:
        return {"UTF-32BE"};
    case 20127:
        return {"ASCII"};
    case CP_UTF8:
        return {"UTF-8"};
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28599) return {"ISO-8859-" + std::to_string(codePage - 28590)};
    if (codePage == 28605) return {"ISO-8859-15"};
    if (codePage > 1) return {"CP" + std::to_string(codePage)};
    return {};
}

// The bytes of "?" in the target encoding.
std::string_view Replacement(const std::string& charset) {
    using namespace std::string_view_literals;
    if (charset == "UTF-16LE") return "?\0"sv;
    if (charset == "UTF-16BE") return "\0?"sv;
    if (charset == "UTF-32LE") return "?\0\0\0"sv;
    if (charset == "UTF-32BE") return "\0\0\0?"sv;
    return "?"sv;
}

// Length of the well-formed UTF-8 sequence at the start of s, 0 when there is none.
size_t Utf8SequenceLength(std::string_view s) {
    if (s.empty()) return 0;
    auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;  // no overlong forms
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

enum class SourceKind { Bytes, Utf8, Utf16LE };

// How many input bytes to drop at a position iconv could not convert.
size_t UnconvertibleLength(SourceKind kind, std::string_view rest) {
    switch (kind) {
    case SourceKind::Utf8:
        if (size_t n = Utf8SequenceLength(rest)) return n;
        return 1;
    case SourceKind::Utf16LE: {
        if (rest.size() < 2) return rest.size();
        auto unit = [&](size_t i) {
            return static_cast<unsigned>(static_cast<unsigned char>(rest[i])) |
                   static_cast<unsigned>(static_cast<unsigned char>(rest[i + 1])) << 8;
        };
        if (rest.size() >= 4 && unit(0) >= 0xD800 && unit(0) <= 0xDBFF && unit(2) >= 0xDC00 &&
            unit(2) <= 0xDFFF)
            return 4;
        return 2;
    }
    case SourceKind::Bytes:
        break;
    }
    return 1;
}

struct ConversionResult {
    std::string bytes;
    size_t replaced = 0; // characters that became "?"
};

// Converts everything in input; whatever iconv rejects is replaced, so the loop always advances.
ConversionResult ConvertAll(iconv_t cd, std::string_view input, SourceKind kind,
                            std::string_view replacement) {
    ConversionResult result;
    std::string& out = result.bytes;
    out.resize(input.size() * 2 + 16);
    size_t used = 0;
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    auto append = [&](std::string_view piece) {
        if (out.size() - used < piece.size()) out.resize(used + piece.size() + out.size());
        out.replace(used, piece.size(), piece);
        used += piece.size();
    };
    bool flushed = false;
    while (!flushed) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        // After the input is used up, one more call writes any pending shift sequence.
        size_t rc = inLeft ? iconv(cd, &in, &inLeft, &outPtr, &outLeft)
                           : iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        int error = errno;
        used = static_cast<size_t>(outPtr - out.data());
        if (rc != static_cast<size_t>(-1)) {
            if (inLeft == 0) flushed = true;
            continue;
        }
        if (error == E2BIG) {
            out.resize(out.size() * 2 + 16);
            continue;
        }
        if (inLeft == 0) break;
        size_t skip = error == EINVAL ? inLeft : UnconvertibleLength(kind, std::string_view(in, inLeft));
        if (skip == 0 || skip > inLeft) skip = inLeft;
        append(replacement);
        ++result.replaced;
        in += skip;
        inLeft -= skip;
        if (error != EILSEQ && error != EINVAL) iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return result;
}

std::string Utf16ToLEBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::u16string LEBytesToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    return text;
}

ConversionResult Convert(std::string_view input, SourceKind kind, const std::string& from,
                         const std::string& to) {
    iconv_t cd = Converter(to, from);
    if (cd == kNoConverter) {
        // Cannot happen for resolved code pages; still never lose the ASCII part of the text.
        ConversionResult result;
        for (char c : input) result.bytes += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        result.replaced = input.size();
        return result;
    }
    return ConvertAll(cd, input, kind, Replacement(to));
}

std::string ResolvedCharset(int codePage) {
    return CodePageCharsetName(ResolveCodePage(codePage));
}

} // namespace

std::string CodePageCharsetName(int codePage) {
    if (codePage == CP_ACP || codePage == CP_THREAD_ACP) codePage = GetACP();
    if (codePage == CP_OEMCP) codePage = GetOEMCP();
    std::vector<std::string> candidates = CharsetCandidates(codePage);
    for (const std::string& name : candidates)
        if (Converter("UTF-16LE", name) != kNoConverter && Converter(name, "UTF-16LE") != kNoConverter)
            return name;
    return candidates.empty() ? std::string() : candidates.front();
}

bool IsValidCodePage(int codePage) {
    if (codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP) return false;
    for (const std::string& name : CharsetCandidates(codePage))
        if (Converter("UTF-16LE", name) != kNoConverter && Converter(name, "UTF-16LE") != kNoConverter)
            return true;
    return false;
}

int ResolveCodePage(int codePage) {
    if (codePage == CP_ACP || codePage == CP_THREAD_ACP)
        codePage = GetACP();
    else if (codePage == CP_OEMCP)
        codePage = GetOEMCP();
    if (IsValidCodePage(codePage)) return codePage;
    int system = GetACP();
    return IsValidCodePage(system) ? system : 1252;
}

std::string WideToCodePage(std::u16string_view text, int codePage) {
    return Convert(Utf16ToLEBytes(text), SourceKind::Utf16LE, "UTF-16LE", ResolvedCharset(codePage)).bytes;
}

std::u16string CodePageToWide(std::string_view bytes, int codePage) {
    return LEBytesToUtf16(Convert(bytes, SourceKind::Bytes, ResolvedCharset(codePage), "UTF-16LE").bytes);
}

std::string Utf8ToCodePage(std::string_view text, int codePage) {
    return Convert(text, SourceKind::Utf8, "UTF-8", ResolvedCharset(codePage)).bytes;
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
    return Convert(bytes, SourceKind::Bytes, ResolvedCharset(codePage), "UTF-8").bytes;
}

bool TryCodePageToUtf8(std::string_view bytes, int codePage, std::string& out) {
    ConversionResult result = Convert(bytes, SourceKind::Bytes, ResolvedCharset(codePage), "UTF-8");
    if (result.replaced) return false;
    out = std::move(result.bytes);
    return true;
}

size_t ByteLength(std::string_view text, int codePage) {
    return Utf8ToCodePage(text, codePage).size();
}

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        size_t n = Utf8SequenceLength(bytes);
        if (n == 0) return false;
        bytes.remove_prefix(n);
    }
    return true;
}

std::string TextFileToUtf8(std::string_view bytes, int codePage) {
    using namespace std::string_view_literals;
    if (bytes.starts_with("\xEF\xBB\xBF"sv)) {
        bytes.remove_prefix(3);
        return IsValidUtf8(bytes) ? std::string(bytes) : CodePageToUtf8(bytes, CP_UTF8);
    }
    if (bytes.starts_with("\xFF\xFE"sv)) return CodePageToUtf8(bytes.substr(2), CP_UTF16LE);
    if (bytes.starts_with("\xFE\xFF"sv)) return CodePageToUtf8(bytes.substr(2), CP_UTF16BE);
    if (codePage != 0) return CodePageToUtf8(bytes, codePage);
    if (IsValidUtf8(bytes)) return std::string(bytes);

    int system = GetACP();
    std::vector<int> candidates;
    if (system == 936 || system == 950) candidates.push_back(system);
    for (int cp : {936, 950})
        if (cp != system) candidates.push_back(cp);
    std::string text;
    for (int cp : candidates)
        if (TryCodePageToUtf8(bytes, cp, text)) return text;
    return CodePageToUtf8(bytes, candidates.front());
}

} // namespace rt
