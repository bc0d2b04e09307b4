#include "core/TDateTime.h"
#include <string>
namespace rt {
std::string DateTimeToStr(TDateTime dt) { return "D" + std::to_string(dt.Val); }
bool TryStrToDate(const std::string&, TDateTime&) { return false; }
}
