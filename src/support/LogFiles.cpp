#include "support/LogFiles.h"

#include "core/SysUtils.h"
#include "os/CodePage.h"
#include "os/DynLib.h"
#include "os/SysInfo.h"

#include <cstdio>

using namespace rt;

namespace kvx::detail {

std::string ProgramDir() {
    return ExtractFilePath(GetModuleFileName(nullptr));
}

std::string PrepareLogDir(const std::string& base) {
    const std::string root = base.empty() ? ProgramDir() : base;
    if (root.empty()) return {};
    const std::string dir = IncludeTrailingPathDelimiter(root) + "Log";
    if (!DirectoryExists(dir) && !ForceDirectories(dir)) return {};
    return dir;
}

bool AppendLogLine(const std::string& fileName, std::string_view line) {
    std::string bytes = Utf8ToCodePage(line, GetACP());
    bytes += "\r\n";
    std::FILE* file = std::fopen(fileName.c_str(), "ab");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

std::string SafeLogName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe)
        if (c == '/' || c == '\\') c = '_';
    return safe;
}

} // namespace kvx::detail
