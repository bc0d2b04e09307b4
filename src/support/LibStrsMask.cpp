// LibStrs: a masked entry laid into another mask.
#include "support/LibStrs.h"

#include "ui/Mask.h"

using namespace rt;

namespace kvx {

std::string ReformatMaskedText(std::string_view Text, std::string_view Mask, std::string_view NewMask) {
    // A masked edit of our own, without owner or parent, does the work: its text is assigned under Mask,
    // its mask changed to NewMask (which drops the old mask's literals and lays the remaining characters
    // into the new one), and its Text read back. The edit is freed on every path.
    try {
        TOwnedPtr<TMaskEdit> edit(New<TMaskEdit>(nullptr));
        edit->SetEditMask(std::string(Mask));
        edit->SetText(std::string(Text));
        edit->SetEditMask(std::string(NewMask));
        return edit->GetText();
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace kvx
