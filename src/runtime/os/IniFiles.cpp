#include "os/IniFiles.h"

#include "core/Exceptions.h"
#include "os/CodePage.h"
#include "os/FileBytes.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace rt {
namespace {

std::string UpperAscii(std::string_view s) {
    std::string upper(s);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The platform trims every character up to the blank, control characters included.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The platform's integer text: optional sign, then decimal digits or "$"/"0x"/"x" and up to eight
// hexadecimal digits (which may wrap into the negative range).
std::optional<int32_t> ParseInteger(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    bool hex = false;
    if (s.starts_with('$') || s.starts_with('x') || s.starts_with('X')) {
        hex = true;
        s.remove_prefix(1);
    } else if (s.starts_with("0x") || s.starts_with("0X")) {
        hex = true;
        s.remove_prefix(2);
    }
    if (s.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : s) {
        int digit = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    if (hex) {
        auto bits = static_cast<uint32_t>(value);
        return static_cast<int32_t>(negative ? 0u - bits : bits);
    }
    if (value > (negative ? 2147483648ull : 2147483647ull)) return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
}

// Sign, digits with an optional ".", optional exponent; nothing else (no hex, no INF/NAN).
std::optional<double> ParseFloat(std::string_view s) {
    std::string text(s);
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    if (text.front() == '+') text.erase(0, 1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

void TCustomIniFile::Parse(std::string_view text) {
    FSections.clear();
    FSectionIndex.clear();
    // The section being filled: always the last one added (so growing FSections never leaves it
    // dangling); null before the first section and inside a repeated one.
    Section* current = nullptr;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++start;

        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            std::string name(
                Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            auto [it, added] = FSectionIndex.emplace(UpperAscii(name), FSections.size());
            if (added) {
                FSections.push_back(Section{name, {}, {}});
                current = &FSections.back();
            } else {
                current = nullptr;
            }
            continue;
        }
        size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos) continue;
        std::string key(Trim(line.substr(0, equals)));
        if (key.empty()) continue;
        if (current->Index.emplace(UpperAscii(key), current->Entries.size()).second)
            current->Entries.emplace_back(std::move(key), std::string(Trim(line.substr(equals + 1))));
    }
}

bool TCustomIniFile::LoadFile(int codePage, std::string& error) {
    std::string bytes;
    TFileReadResult result = ReadFileBytes(FFileName, bytes, error);
    if (result == TFileReadResult::Failed) {
        Parse({});
        return false;
    }
    Parse(TextFileToUtf8(bytes, codePage));
    return true;
}

const TCustomIniFile::Section* TCustomIniFile::FindSection(const std::string& section) const {
    auto it = FSectionIndex.find(UpperAscii(Trim(section)));
    return it == FSectionIndex.end() ? nullptr : &FSections[it->second];
}

const std::string* TCustomIniFile::FindValue(const std::string& section, const std::string& ident) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    auto it = s->Index.find(UpperAscii(Trim(ident)));
    return it == s->Index.end() ? nullptr : &s->Entries[it->second].second;
}

std::string TCustomIniFile::ReadString(const std::string& section, const std::string& ident,
                                       const std::string& def) const {
    const std::string* value = FindValue(section, ident);
    return value ? *value : def;
}

int32_t TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int32_t def) const {
    const std::string* value = FindValue(section, ident);
    if (!value) return def;
    return ParseInteger(*value).value_or(def);
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double def) const {
    const std::string* value = FindValue(section, ident);
    if (!value) return def;
    return ParseFloat(*value).value_or(def);
}

std::vector<std::string> TCustomIniFile::ReadSection(const std::string& section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section))
        for (const auto& entry : s->Entries) keys.push_back(entry.first);
    return keys;
}

std::vector<std::string> TCustomIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const Section& s : FSections) names.push_back(s.Name);
    return names;
}

std::vector<std::string> TCustomIniFile::ReadSectionValues(const std::string& section) const {
    std::vector<std::string> lines;
    if (const Section* s = FindSection(section))
        for (const auto& entry : s->Entries) lines.push_back(entry.first + '=' + entry.second);
    return lines;
}

bool TCustomIniFile::SectionExists(const std::string& section) const {
    return FindSection(section) != nullptr;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    return FindValue(section, ident) != nullptr;
}

TMemIniFile::TMemIniFile(const std::string& fileName, int codePage) : TCustomIniFile(fileName) {
    std::string error;
    if (!LoadFile(codePage, error))
        throw EIniFileException("Cannot read file \"" + fileName + "\": " + error);
}

TIniFile::TIniFile(const std::string& fileName) : TCustomIniFile(fileName) {
    std::string error;
    LoadFile(0, error);
}

} // namespace rt
