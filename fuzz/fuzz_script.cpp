// libFuzzer target: the host's session-script parser must answer any input with a script or a
// ScriptError naming the line, never crash or hang.
#include "HostScript.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        kvx::host::ParseScript(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.kvs");
    } catch (const kvx::host::ScriptError&) {
    }
    return 0;
}
