#include "core/FormatSettings.h"

#include <cctype>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace rt {

namespace {

FormatSettings& Current() {
    static FormatSettings settings = LocaleFormatSettings();
    return settings;
}

// The locale name the environment selects for a category, as setlocale(category, "") would.
std::string EnvironmentLocale(const char* category) {
    for (const char* name : {"LC_ALL", category, "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

bool IsPlainLocale(const std::string& name) {
    return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

// One ASCII character for a separator, or the fallback when the locale uses none or a multibyte one.
char SingleChar(const char* text, char fallback) {
    if (text && text[0] != '\0' && text[1] == '\0' && static_cast<unsigned char>(text[0]) < 0x80)
        return text[0];
    return fallback;
}

std::string Nested(const char* pattern, char notation, char& found) {
    char inner = '\0';
    std::string part = FormatFromStrftime(pattern, notation, inner);
    if (found != '\0' && inner != '\0' && inner != found) return "";
    if (inner != '\0') found = inner;
    return part;
}

bool IsSeparatorChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > ' ' && u < 0x7F && !std::isalnum(u) && c != '%' && c != '\'' && c != '"';
}

} // namespace

std::string FormatFromStrftime(const std::string& pattern, char notation, char& separator) {
    std::string out;
    char found = '\0';
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%') {
            if (++i >= pattern.size()) return "";
            std::string part;
            switch (pattern[i]) {
            case 'Y':
            case 'y':
                part = "yyyy";
                break;
            case 'm':
                part = "mm";
                break;
            case 'd':
                part = "dd";
                break;
            case 'e':
                part = "d";
                break;
            case 'H':
            case 'I':
                part = "hh";
                break;
            case 'M':
                part = "nn";
                break;
            case 'S':
                part = "ss";
                break;
            case 'p':
                part = "ampm";
                break;
            case 'D':
                part = Nested("%m/%d/%y", notation, found);
                break;
            case 'F':
                part = Nested("%Y-%m-%d", notation, found);
                break;
            case 'T':
                part = Nested("%H:%M:%S", notation, found);
                break;
            case 'R':
                part = Nested("%H:%M", notation, found);
                break;
            case 'r':
                part = Nested("%I:%M:%S %p", notation, found);
                break;
            default:
                return "";
            }
            if (part.empty()) return "";
            out += part;
        } else if (c == ' ') {
            out += c;
        } else if (IsSeparatorChar(c) && (found == '\0' || found == c)) {
            found = c;
            out += notation;
        } else {
            return "";
        }
    }
    if (out.empty() || out.find_first_not_of(' ') == std::string::npos) return "";
    separator = found;
    return out;
}

FormatSettings LocaleFormatSettings() {
    FormatSettings fs;
    const std::string timeName = EnvironmentLocale("LC_TIME");
    const std::string numericName = EnvironmentLocale("LC_NUMERIC");

    if (!IsPlainLocale(timeName)) {
        if (locale_t loc = newlocale(LC_TIME_MASK, timeName.c_str(), static_cast<locale_t>(nullptr))) {
            char sep = '\0';
            const std::string date = FormatFromStrftime(nl_langinfo_l(D_FMT, loc), '/', sep);
            if (!date.empty() && sep != '\0') {
                fs.ShortDateFormat = date;
                fs.DateSeparator = sep;
            }
            sep = '\0';
            const std::string time = FormatFromStrftime(nl_langinfo_l(T_FMT, loc), ':', sep);
            if (!time.empty() && sep != '\0') {
                fs.LongTimeFormat = time;
                fs.TimeSeparator = sep;
                // The short time is the long one without its seconds.
                std::string shortTime = time;
                if (auto at = shortTime.find(":ss"); at != std::string::npos) shortTime.erase(at, 3);
                fs.ShortTimeFormat = shortTime;
            }
            if (const char* am = nl_langinfo_l(AM_STR, loc); am && *am) fs.TimeAMString = am;
            if (const char* pm = nl_langinfo_l(PM_STR, loc); pm && *pm) fs.TimePMString = pm;
            for (int i = 0; i < 12; ++i) {
                fs.ShortMonthNames[i] = nl_langinfo_l(static_cast<nl_item>(ABMON_1 + i), loc);
                fs.LongMonthNames[i] = nl_langinfo_l(static_cast<nl_item>(MON_1 + i), loc);
            }
            for (int i = 0; i < 7; ++i) {
                fs.ShortDayNames[i] = nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + i), loc);
                fs.LongDayNames[i] = nl_langinfo_l(static_cast<nl_item>(DAY_1 + i), loc);
            }
            freelocale(loc);
        }
    }
    if (!IsPlainLocale(numericName)) {
        if (locale_t loc = newlocale(LC_NUMERIC_MASK, numericName.c_str(), static_cast<locale_t>(nullptr))) {
            fs.DecimalSeparator = SingleChar(nl_langinfo_l(RADIXCHAR, loc), '.');
            const char fallback = fs.DecimalSeparator == ',' ? '.' : ',';
            fs.ThousandSeparator = SingleChar(nl_langinfo_l(THOUSEP, loc), fallback);
            if (fs.ThousandSeparator == fs.DecimalSeparator) fs.ThousandSeparator = fallback;
            freelocale(loc);
        }
    }
    return fs;
}

const FormatSettings& GetFormatSettings() {
    return Current();
}

void SetFormatSettings(const FormatSettings& settings) {
    Current() = settings;
}

ScopedFormatSettings::ScopedFormatSettings(const FormatSettings& settings) : FSaved(GetFormatSettings()) {
    SetFormatSettings(settings);
}

ScopedFormatSettings::~ScopedFormatSettings() {
    SetFormatSettings(FSaved);
}

} // namespace rt
