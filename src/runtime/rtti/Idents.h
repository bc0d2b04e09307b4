#pragma once
// Name-to-value tables for integer properties whose values have names: colours ("clRed"), cursors
// ("crHourGlass"), font character sets ("GB2312_CHARSET"). A table ends with an entry whose name is null.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt {

struct TIdentMapEntry {
    int32_t Value;
    const char* Name;
};

// Names compare ignoring case.
std::optional<int32_t> IdentToInt(std::string_view ident, const TIdentMapEntry* map);
const char* IntToIdent(int32_t value, const TIdentMapEntry* map); // null when the value has no name

} // namespace rt
