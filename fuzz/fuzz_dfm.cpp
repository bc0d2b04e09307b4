// libFuzzer target: form-resource text, parsed and streamed into a form. Every malformed input must end
// in EReadError (or another of the platform's exceptions from a property setter), never a crash.
#include "ui/FormResource.h"
#include "ui/Forms.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        rt::ParseFormResource(text, "fuzz.dfm");
    } catch (const rt::EReadError&) {
        return 0;
    }
    auto* form = new rt::TForm(nullptr);
    try {
        rt::ReadComponentResource(form, text, "fuzz.dfm");
    } catch (const rt::Exception&) {
    }
    form->Free();
    rt::Application->ProcessMessages();
    return 0;
}
