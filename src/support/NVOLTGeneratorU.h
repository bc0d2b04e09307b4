#pragma once
// NVOLTGeneratorU: the generator's daily alert log and the error report written into it.
#include "core/Exceptions.h"

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace kvx {

// A database engine error carrying the engine's list of errors, each with its 16-bit code.
class EDBEngineError : public rt::Exception {
public:
    struct TDBError {
        uint16_t ErrorCode = 0;
        std::string Message;
    };
    EDBEngineError(std::string message, std::vector<TDBError> errors)
        : rt::Exception(std::move(message)), FErrors(std::move(errors)) {}
    const char* ClassName() const noexcept override { return "EDBEngineError"; }
    int ErrorCount() const { return static_cast<int>(FErrors.size()); }
    const TDBError& Errors(int index) const { return FErrors.at(static_cast<size_t>(index)); }

private:
    std::vector<TDBError> FErrors;
};

// An input/output error with its I/O error code.
class EInOutError : public rt::Exception {
public:
    EInOutError(std::string message, int errorCode)
        : rt::Exception(std::move(message)), ErrorCode(errorCode) {}
    const char* ClassName() const noexcept override { return "EInOutError"; }
    int ErrorCode;
};

// An operating-system error with the system's error code.
class EWin32Error : public rt::EOSError {
public:
    EWin32Error(std::string message, int errorCode)
        : rt::EOSError(std::move(message)), ErrorCode(errorCode) {}
    const char* ClassName() const noexcept override { return "EWin32Error"; }
    int ErrorCode;
};

// The installation path from the registry ("ClientPath", else "ServerPath"), else the system's
// temporary directory; "/tmp" when even that fails. The log directory is this followed by "Log".
std::string GetLogDir();
// Appends "[short date long time] Text" to Log/Alert_NVOLTGenerator_<yyyymmdd>.log below GetLogDir().
// False when the line could not be written; never raises.
bool WriteGeneratorLog(std::string_view Text);
// Writes a header line naming Location, the error's lines (when E is given) and the programmer's
// message (when not blank) to the generator log.
void ReportError(const std::exception* E, std::string_view Location, std::string_view ProgrammerMessage);

} // namespace kvx
