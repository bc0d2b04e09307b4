// Registry-export files of any content: parsed or rejected with ERegistryException, never a crash.
#include "core/Exceptions.h"
#include "os/CodePage.h"
#include "os/Registry.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        auto file = rt::TRegistryFile::Parse(rt::TextFileToUtf8(bytes), "fuzz.reg");
        for (const char* root : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT"})
            for (const std::string& name : file->SubKeyNames(root))
                if (const auto* key = file->FindKey(std::string(root) + "\\" + name))
                    for (const rt::TRegValue& value : key->Values) (void)value.Text.size();
    } catch (const rt::ERegistryException&) {
    }
    return 0;
}
