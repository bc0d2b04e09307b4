#include "core/Utf8.h"

namespace rt {

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t DecodeUtf8(std::string_view s, size_t& pos, char32_t invalid) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    const size_t n = b0 >= 0xF0 && b0 <= 0xF4  ? 4
                     : b0 >= 0xE0 && b0 < 0xF0 ? 3
                     : b0 >= 0xC2 && b0 < 0xE0 ? 2
                                               : 0;
    if (n == 0 || n > s.size() - pos) {
        ++pos;
        return invalid;
    }
    char32_t cp = b0 & (0xFF >> (n + 1));
    for (size_t i = 1; i < n; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return invalid;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return invalid;
    }
    pos += n;
    return cp;
}

} // namespace rt
