// LibStrs: a masked entry laid into another mask.
#include "support/LibStrs.h"

#include "core/FormatSettings.h"
#include "ui/MaskUtils.h"

using namespace rt;

namespace kvx {

std::string ReformatMaskedText(std::string_view Text, std::string_view Mask, std::string_view NewMask) {
    // What a masked edit does when its text is assigned under Mask and its mask then changes to NewMask:
    // the entered characters without Mask's literals, laid into NewMask by the insertion rules, and read
    // back as the edit's Text under NewMask. The mask's '/' and ':' show the date and time separators.
    const FormatSettings& settings = GetFormatSettings();
    const MaskSeparators separators{std::string(1, settings.TimeSeparator),
                                    std::string(1, settings.DateSeparator)};
    const EditMask oldMask = ParseEditMask(Mask, separators);
    const EditMask newMask = ParseEditMask(NewMask, separators);
    const std::string entered = MaskEditTextFromText(oldMask, Text);
    const MaskReformat reformatted = ReformatEditText(oldMask, newMask, entered);
    if (newMask.IsEmpty()) return reformatted.editText;
    return MaskTextFromEditText(newMask, reformatted.editText);
}

} // namespace kvx
