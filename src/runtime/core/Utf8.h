#pragma once
// One code point to and from UTF-8, for the routines that walk a text character by character.
#include <cstddef>
#include <string>
#include <string_view>

namespace rt {

// What DecodeUtf8 gives, unless told otherwise, for a byte that starts no well-formed sequence. No code
// point is this large.
inline constexpr char32_t NotUtf8 = 0xFFFFFFFF;

// Appends the UTF-8 bytes of cp. A value that is not a scalar value (a surrogate, or above U+10FFFF) is
// written with the same bit layout, which is not valid UTF-8: callers check first where that matters.
void AppendUtf8(char32_t cp, std::string& out);

// The code point of the well-formed sequence at s[pos], and pos moved past it. An overlong form, a
// surrogate, a value above U+10FFFF, a sequence cut short or a stray byte is not well formed: then pos
// moves by that one byte and the result is `invalid`. pos must be below s.size().
char32_t DecodeUtf8(std::string_view s, size_t& pos, char32_t invalid = NotUtf8);

} // namespace rt
