// libFuzzer target for the edit-mask engine: any mask text, any value, any keys. Besides the sanitizers
// it checks the invariants the masked edit relies on.
#include "ui/MaskUtils.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

} // namespace

// Input: mask text, NUL, second mask text, NUL, value; the value doubles as the typed keys.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const size_t cut1 = all.find('\0');
    const std::string_view maskText = all.substr(0, cut1);
    std::string_view rest = cut1 == std::string_view::npos ? std::string_view() : all.substr(cut1 + 1);
    const size_t cut2 = rest.find('\0');
    const std::string_view newMaskText = rest.substr(0, cut2);
    const std::string_view value = cut2 == std::string_view::npos ? rest : rest.substr(cut2 + 1);

    const rt::EditMask mask = rt::ParseEditMask(maskText, {".", "-"});
    const std::string skeleton = rt::MaskEditTextFromText(mask, "");
    const std::string editText = rt::MaskEditTextFromText(mask, value);
    const std::string text = rt::MaskTextFromEditText(mask, editText);
    (void)rt::UnmaskEditText(mask, value);
    (void)rt::MaskTextFromEditText(mask, value);
    (void)rt::ValidateEditText(mask, value);
    (void)rt::FormatMaskText(maskText, value);
    (void)rt::MaskBareValue(maskText, value);
    const rt::MaskReformat re = rt::ReformatEditText(maskText, newMaskText, editText);
    Check(re.maxLength == rt::ParseEditMask(newMaskText).Length());

    // Whatever the engine writes splits back into the same characters, so the positions stay put.
    if (!mask.IsEmpty()) Check(rt::MaskTyping(mask, editText).EditText() == editText);
    rt::MaskTyping blank(mask, skeleton);
    Check(blank.EditText() == skeleton);
    const int rejected = blank.TypeText(value);
    Check(rejected >= 0);
    if (!mask.IsEmpty()) {
        rt::MaskTyping check(mask, blank.EditText());
        Check(check.EditText() == blank.EditText());
    }
    Check(blank.Validate() >= -1);

    rt::MaskTyping typing(mask, editText, static_cast<int>(size % 7));
    for (const char c : value) {
        switch (static_cast<unsigned char>(c) % 5) {
        case 0:
            typing.Backspace();
            break;
        case 1:
            typing.Delete();
            break;
        case 2:
            typing.SetCursor(static_cast<unsigned char>(c) % 23 - 3);
            break;
        case 3:
            typing.ClearRange(c % 5, c % 11);
            break;
        default:
            typing.TypeChar(static_cast<unsigned char>(c) * 37u);
            break;
        }
        Check(typing.Cursor() >= 0 && typing.Cursor() <= static_cast<int>(typing.EditText().size()));
    }
    if (!mask.IsEmpty()) Check(rt::MaskTyping(mask, typing.EditText()).EditText() == typing.EditText());
    (void)rt::MaskTextFromEditText(mask, typing.EditText());
    return 0;
}
