#pragma once
// Facts about the machine, the user and the locale, in the shape of the platform's system calls.
#include <cstdint>
#include <string>

namespace rt {

// A window handle: an integer from the runtime's window table, or a foreign one that is only recorded.
using HWND = std::intptr_t;

std::string GetComputerName(); // gethostname; empty when the system cannot tell
std::string GetUserName();     // the login name of the effective user; empty when unknown
std::string GetTempPath();     // $TMPDIR or /tmp, always ending in "/"

// The system ANSI code page. In this order: the value given to SetACP, the environment variable
// KVX_ACP (a positive number), the locale (LC_ALL, LC_CTYPE, LANG: zh_CN/zh_SG -> 936,
// zh_TW/zh_HK/zh_MO -> 950), else 1252.
int GetACP();
// Overrides GetACP for the whole process; 0 removes the override.
void SetACP(int codePage);
// The OEM code page that goes with GetACP: the same for 936 and 950, otherwise 437.
int GetOEMCP();

// The locale's date and time separators, read from the locale's date and time formats (LC_TIME);
// '/' and ':' when the locale has none or uses a non-ASCII one. SetLocale...Separator overrides them
// for the process; '\0' removes the override.
char GetLocaleDateSeparator();
char GetLocaleTimeSeparator();
void SetLocaleDateSeparator(char separator);
void SetLocaleTimeSeparator(char separator);

// "Linux 6.1.0 x86_64": system name, numeric part of the release, machine.
std::string GetOSVersionText();

// The foreground window is only recorded: the runtime does not move windows of other processes.
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND window);

} // namespace rt
