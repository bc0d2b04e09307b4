#pragma once
// Variants written as the host's session literals (docs/host-script.md): "text", 12, -1.5, true,
// null, empty, date(45306.5), [a, b], object. Byte and wide texts are both written as "text" (a
// Variant array turns byte texts into wide ones, so the difference says nothing to a reader).
#include "core/Variant.h"

#include <string>

namespace kvx::host {

std::string FormatValue(const rt::Variant& v);
// A text in double quotes with \\, \", \n, \r, \t and \xHH escapes for other control characters.
std::string QuoteText(const std::string& text);

} // namespace kvx::host
