#pragma once
// What the two log writers share: the directory below an installation and the appending of one line.
#include <string>
#include <string_view>

namespace kvx::detail {

// The directory of the running program, with a trailing delimiter.
std::string ProgramDir();
// base (or the program's directory when base is empty) followed by "Log", created when missing.
// Empty when it cannot be created.
std::string PrepareLogDir(const std::string& base);
// Appends line and CR LF to the file in the system code page, creating the file when missing. False
// when the file cannot be opened or written; the file is closed on every path.
bool AppendLogLine(const std::string& fileName, std::string_view line);
// A log name fit to be part of a file name: path delimiters become "_".
std::string SafeLogName(std::string_view name);

} // namespace kvx::detail
