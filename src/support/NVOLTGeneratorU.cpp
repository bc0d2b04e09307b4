#include "support/NVOLTGeneratorU.h"

#include "core/DateTime.h"
#include "core/FormatSettings.h"
#include "core/SysUtils.h"
#include "os/Registry.h"
#include "os/SysInfo.h"
#include "support/LogFiles.h"

#include <cxxabi.h>
#include <memory>
#include <typeinfo>

using namespace rt;

namespace kvx {

namespace {

// The last resort when neither the registry nor the system names a directory.
constexpr const char* FallbackLogDir = "/tmp";

std::string ClassNameOf(const std::exception& e) {
    if (const auto* platform = dynamic_cast<const Exception*>(&e)) return platform->ClassName();
    const char* mangled = typeid(e).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    return status == 0 && demangled ? demangled.get() : mangled;
}

std::string MessageOf(const std::exception& e) {
    if (const auto* platform = dynamic_cast<const Exception*>(&e)) return platform->Message();
    return e.what();
}

} // namespace

std::string GetLogDir() {
    try {
        std::string dir;
        TRegistry registry(HKEY_LOCAL_MACHINE);
        if (registry.OpenKeyReadOnly("\\Software\\KVX\\Marshal")) {
            dir = registry.ReadString("ClientPath");
            if (dir.empty()) dir = registry.ReadString("ServerPath");
        }
        for (char& c : dir)
            if (c == '\\') c = '/';
        if (dir.empty()) dir = GetTempPath();
        if (dir.empty()) dir = FallbackLogDir;
        return dir;
    } catch (const std::exception&) {
        return FallbackLogDir;
    }
}

bool WriteGeneratorLog(std::string_view Text) {
    try {
        const std::string dir = detail::PrepareLogDir(GetLogDir());
        if (dir.empty()) return false;
        const TDateTime now = Now();
        const FormatSettings& settings = GetFormatSettings();
        const std::string fileName = IncludeTrailingPathDelimiter(dir) + "Alert_NVOLTGenerator_" +
                                     FormatDateTime("yyyymmdd", now) + ".log";
        const std::string stamp = FormatDateTime(settings.ShortDateFormat, now) + " " +
                                  FormatDateTime(settings.LongTimeFormat, now);
        return detail::AppendLogLine(fileName, "[" + stamp + "] " + std::string(Text));
    } catch (const std::exception&) {
        return false;
    }
}

void ReportError(const std::exception* E, std::string_view Location, std::string_view ProgrammerMessage) {
    try {
        const std::string dashes(34, '-');
        const std::string where =
            Trim(Location).empty() ? std::string() : " on " + std::string(Location) + " ";
        WriteGeneratorLog(dashes + where + dashes);
        if (E) {
            WriteGeneratorLog("讯息信息:");
            int lines = 1;
            if (const auto* db = dynamic_cast<const EDBEngineError*>(E)) {
                lines = db->ErrorCount();
                for (int i = 0; i < lines; ++i) {
                    const EDBEngineError::TDBError& error = db->Errors(i);
                    WriteGeneratorLog(Format("EDBEngineError Error %.2d: Code: %d, Message: %s",
                                             {i + 1, static_cast<int>(error.ErrorCode), error.Message}));
                }
            } else if (const auto* os = dynamic_cast<const EWin32Error*>(E)) {
                WriteGeneratorLog(Format("EWin32Error Error %.2d: Code: %d, Message: %s",
                                         {1, os->ErrorCode, os->Message()}));
            } else if (const auto* io = dynamic_cast<const EInOutError*>(E)) {
                WriteGeneratorLog(Format("EInOutError Error %.2d: Code: %d, Message: %s",
                                         {1, io->ErrorCode, io->Message()}));
            } else {
                // The message is appended as it is: a percent sign in it is no format specifier.
                WriteGeneratorLog(Format("Exception is %s\r\nMessage %.2d: ", {ClassNameOf(*E), 1}) +
                                  MessageOf(*E));
            }
            WriteGeneratorLog(Format("ErrorMessage Count: %d", {lines}));
        }
        if (!Trim(ProgrammerMessage).empty())
            WriteGeneratorLog("Programer Message: " + std::string(ProgrammerMessage));
    } catch (const std::exception&) {
        // Reporting an error never raises one.
    }
}

} // namespace kvx
