#include "os/SysInfo.h"

#include <atomic>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <string_view>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace rt {
namespace {

std::atomic<int> gACPOverride{0};
std::atomic<char> gDateSeparatorOverride{'\0'};
std::atomic<char> gTimeSeparatorOverride{'\0'};
std::atomic<HWND> gForegroundWindow{0};

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// A positive decimal number, or 0.
int ParseCodePageNumber(std::string_view text) {
    if (text.empty() || text.size() > 6) return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

int CodePageOfLocaleName(std::string_view name) {
    for (std::string_view p : {"zh_CN", "zh_SG", "zh-CN", "zh-SG"})
        if (StartsWith(name, p)) return 936;
    for (std::string_view p : {"zh_TW", "zh_HK", "zh_MO", "zh-TW", "zh-HK", "zh-MO"})
        if (StartsWith(name, p)) return 950;
    return 1252;
}

// The first separator character written literally in a strftime format, or '\0'.
char SeparatorInFormat(std::string_view format) {
    for (size_t i = 0; i < format.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(format[i]);
        if (c == '%') {
            // Skip flags and modifiers up to the conversion letter; some conversions imply a separator.
            size_t j = i + 1;
            while (j < format.size() && std::strchr("-_0^#EO", format[j])) ++j;
            if (j >= format.size()) return '\0';
            if (format[j] == 'D') return '/';
            if (format[j] == 'F') return '-';
            if (format[j] == 'T' || format[j] == 'R') return ':';
            i = j;
            continue;
        }
        if (c >= 0x80) return '\0'; // a non-ASCII word such as a year sign: no single separator
        if (!std::isalnum(c) && !std::isspace(c)) return static_cast<char>(c);
    }
    return '\0';
}

char LocaleSeparator(nl_item item, char fallback) {
    locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return fallback;
    char separator = SeparatorInFormat(nl_langinfo_l(item, loc));
    freelocale(loc);
    return separator ? separator : fallback;
}

} // namespace

std::string GetComputerName() {
    char buffer[HOST_NAME_MAX + 1] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0) return {};
    return buffer;
}

std::string GetUserName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    for (const char* name : {"USER", "LOGNAME"})
        if (const char* value = NonEmptyEnv(name)) return value;
    return {};
}

std::string GetTempPath() {
    const char* dir = NonEmptyEnv("TMPDIR");
    std::string path = dir ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    return path;
}

int GetACP() {
    if (int cp = gACPOverride.load()) return cp;
    if (const char* env = NonEmptyEnv("KVX_ACP"))
        if (int cp = ParseCodePageNumber(env)) return cp;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* value = NonEmptyEnv(name)) return CodePageOfLocaleName(value);
    return 1252;
}

void SetACP(int codePage) {
    gACPOverride = codePage > 0 ? codePage : 0;
}

int GetOEMCP() {
    int acp = GetACP();
    return acp == 936 || acp == 950 ? acp : 437;
}

char GetLocaleDateSeparator() {
    if (char c = gDateSeparatorOverride.load()) return c;
    return LocaleSeparator(D_FMT, '/');
}

char GetLocaleTimeSeparator() {
    if (char c = gTimeSeparatorOverride.load()) return c;
    return LocaleSeparator(T_FMT, ':');
}

void SetLocaleDateSeparator(char separator) {
    gDateSeparatorOverride = separator;
}
void SetLocaleTimeSeparator(char separator) {
    gTimeSeparatorOverride = separator;
}

std::string GetOSVersionText() {
    utsname names{};
    if (uname(&names) != 0) return "Unknown";
    std::string_view release = names.release;
    size_t numeric = 0;
    while (numeric < release.size() &&
           (std::isdigit(static_cast<unsigned char>(release[numeric])) || release[numeric] == '.'))
        ++numeric;
    std::string text = names.sysname;
    text += ' ';
    text += numeric ? release.substr(0, numeric) : release;
    text += ' ';
    text += names.machine;
    return text;
}

HWND GetForegroundWindow() {
    return gForegroundWindow.load();
}

bool SetForegroundWindow(HWND window) {
    gForegroundWindow = window;
    return window != 0;
}

} // namespace rt
