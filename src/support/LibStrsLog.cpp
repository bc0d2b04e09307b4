// LibStrs: the installation path from the registry and the general alert log.
#include "support/LibStrs.h"

#include "core/DateTime.h"
#include "core/SysUtils.h"
#include "os/Registry.h"
#include "support/LogFiles.h"

using namespace rt;

namespace kvx {

namespace {
constexpr const char* MarshalKey = "\\Software\\KVX\\Marshal";
}

std::string GetMarshalPath() {
    try {
        TRegistry registry(HKEY_LOCAL_MACHINE);
        if (!registry.OpenKeyReadOnly(MarshalKey)) return {};
        std::string path = registry.ReadString("ClientPath");
        if (path.empty()) path = registry.ReadString("ServerPath");
        // Paths written with "\" by an installation of the other platform still name our directories.
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    } catch (const std::exception&) {
        return {};
    }
}

bool WriteAlertLog(std::string_view Name, std::string_view Text, std::string_view Period) {
    try {
        const std::string dir = detail::PrepareLogDir(GetMarshalPath());
        if (dir.empty()) return false;
        const TDateTime now = Now();
        const char* stampFormat = Period == "M" ? "yyyymm" : Period == "Y" ? "yyyy" : "yyyymmdd";
        const std::string name = detail::SafeLogName(Name);
        // A name with a dot brings its own extension, so none is added after the date.
        std::string fileName =
            IncludeTrailingPathDelimiter(dir) + "Alert_" + name + "_" + FormatDateTime(stampFormat, now);
        if (name.find('.') == std::string::npos) fileName += ".log";
        const std::string line =
            "[" + FormatDateTime("YYYY/MM/DD hh:nn:ss:zzz", now) + "] " + std::string(Text);
        return detail::AppendLogLine(fileName, line);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace kvx
