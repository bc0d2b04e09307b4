// Initialisation files of any content and encoding: every read answers, never a crash.
#include "os/CodePage.h"
#include "os/IniFiles.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rt::TMemIniFile ini("/nonexistent/fuzz.ini");
    ini.SetText(rt::TextFileToUtf8(bytes));
    for (const std::string& section : ini.ReadSections()) {
        (void)ini.ReadSectionValues(section);
        for (const std::string& key : ini.ReadSection(section)) {
            (void)ini.ReadInteger(section, key, 0);
            (void)ini.ReadBool(section, key, false);
            (void)ini.ReadFloat(section, key, 0.0);
        }
    }
    // The same bytes through the code-page converters.
    (void)rt::Utf8ToCodePage(bytes, 936);
    (void)rt::CodePageToUtf8(bytes, 950);
    return 0;
}
