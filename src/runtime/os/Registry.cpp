#include "os/Registry.h"

#include "core/Exceptions.h"
#include "os/CodePage.h"
#include "os/FileBytes.h"
#include "os/SysInfo.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

namespace rt {
namespace {

constexpr const char* kDefaultRegistryFile = "/etc/kvx/registry.reg";

struct RootName {
    HKEY Root;
    const char* Name;
    const char* ShortName;
};
constexpr RootName kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},     {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},   {HKEY_USERS, "HKEY_USERS", "HKU"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG", "HKCC"},
};

std::string UpperAscii(std::string_view s) {
    std::string upper(s);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    return TrimLeft(TrimRight(s));
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameTextAscii(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Nothing but blanks or a comment may follow a value.
bool IsLineEnd(std::string_view rest) {
    rest = TrimLeft(rest);
    return rest.empty() || rest.front() == ';';
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string ReadWholeFile(const std::string& fileName) {
    std::string bytes, error;
    if (ReadFileBytes(fileName, bytes, error) != TFileReadResult::Ok)
        throw ERegistryException("Registry file \"" + fileName + "\" cannot be read: " + error);
    return bytes;
}

} // namespace

std::string RootKeyName(HKEY root) {
    for (const RootName& r : kRoots)
        if (r.Root == root) return r.Name;
    return {};
}

// Reads the export format line by line into a TRegistryFile.
class TRegistryParser {
public:
    TRegistryParser(std::string_view text, const std::string& sourceName)
        : FLines(SplitLines(text)), FFile(std::make_shared<TRegistryFile>()) {
        FFile->FFileName = sourceName;
        for (const RootName& r : kRoots) AddKey(r.Name);
    }

    std::shared_ptr<const TRegistryFile> Run() {
        ReadHeader();
        while (FNext < FLines.size()) {
            size_t lineNo = FNext + 1;
            std::string_view line = Trim(FLines[FNext++]);
            if (line.empty() || line.front() == ';') continue;
            if (line.front() == '[')
                ReadKeyLine(line, lineNo);
            else if (line.front() == '"' || line.front() == '@')
                ReadValueLine(line, lineNo);
            else
                Fail(lineNo, "unrecognised line \"" + std::string(line.substr(0, 60)) + "\"");
        }
        return FFile;
    }

private:
    [[noreturn]] void Fail(size_t lineNo, const std::string& what) const {
        throw ERegistryException("Registry file \"" + FFile->FFileName + "\", line " +
                                 std::to_string(lineNo) + ": " + what);
    }

    void ReadHeader() {
        while (FNext < FLines.size()) {
            std::string_view line = Trim(FLines[FNext++]);
            if (line.empty() || line.front() == ';') continue;
            if (line == "REGEDIT4")
                FVersion = 4;
            else if (line == "Windows Registry Editor Version 5.00")
                FVersion = 5;
            else
                Fail(FNext, "missing header (\"Windows Registry Editor Version 5.00\" or \"REGEDIT4\")");
            return;
        }
        Fail(1, "missing header (the file is empty)");
    }

    TRegistryFile::Key& AddKey(const std::string& path) {
        std::string upper = UpperAscii(path);
        auto it = FFile->FKeys.find(upper);
        if (it != FFile->FKeys.end()) return it->second;
        // Parents exist as soon as a child does.
        size_t slash = path.rfind('\\');
        if (slash != std::string::npos) AddKey(path.substr(0, slash));
        TRegistryFile::Key& key = FFile->FKeys[upper];
        key.Path = path;
        return key;
    }

    void RemoveKey(const std::string& path) {
        std::string upper = UpperAscii(path);
        auto& keys = FFile->FKeys;
        for (auto it = keys.lower_bound(upper); it != keys.end() && it->first.starts_with(upper);) {
            bool inside = it->first.size() == upper.size() || it->first[upper.size()] == '\\';
            it = inside ? keys.erase(it) : std::next(it);
        }
        for (const RootName& r : kRoots) AddKey(r.Name); // a root can be emptied, never removed
    }

    // "[HKEY_LOCAL_MACHINE\Software\KVX]" or "[-HKEY_...]".
    void ReadKeyLine(std::string_view line, size_t lineNo) {
        size_t close = line.rfind(']');
        if (close == std::string_view::npos)
            Fail(lineNo, "unterminated key name \"" + std::string(line) + "\"");
        if (!IsLineEnd(line.substr(close + 1))) Fail(lineNo, "unexpected text after the key name");
        std::string_view inner = line.substr(1, close - 1);
        bool remove = !inner.empty() && inner.front() == '-';
        if (remove) inner.remove_prefix(1);
        while (!inner.empty() && inner.back() == '\\') inner.remove_suffix(1);
        if (inner.empty()) Fail(lineNo, "empty key name");

        size_t slash = inner.find('\\');
        std::string_view rootText = inner.substr(0, slash);
        const RootName* root = nullptr;
        for (const RootName& r : kRoots)
            if (SameTextAscii(rootText, r.Name) || SameTextAscii(rootText, r.ShortName)) root = &r;
        if (!root) Fail(lineNo, "unknown root key \"" + std::string(rootText) + "\"");
        std::string path = root->Name;
        if (slash != std::string_view::npos) {
            std::string_view rest = inner.substr(slash + 1);
            if (rest.empty() || rest.find("\\\\") != std::string_view::npos)
                Fail(lineNo, "empty part in key name \"" + std::string(inner) + "\"");
            path += '\\';
            path += rest;
        }
        if (remove) {
            RemoveKey(path);
            FCurrent = nullptr;
            FSkipValues = true;
        } else {
            FCurrent = &AddKey(path);
            FSkipValues = false;
        }
    }

    // A quoted text with the escapes \\ and \" starting at s[0] == '"'; pos ends after the closing quote.
    std::string ReadQuoted(std::string_view s, size_t& pos, size_t lineNo) const {
        std::string text;
        for (pos = 1; pos < s.size(); ++pos) {
            char c = s[pos];
            if (c == '"') {
                ++pos;
                return text;
            }
            if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) c = s[++pos];
            text += c;
        }
        Fail(lineNo, "unterminated quoted text");
    }

    // A hex value may go on over several lines, each but the last ending in a backslash.
    std::string JoinContinuation(std::string_view data, size_t lineNo) {
        std::string joined(TrimRight(data));
        while (!joined.empty() && joined.back() == '\\') {
            joined.pop_back();
            if (FNext >= FLines.size()) Fail(lineNo, "line continuation at the end of the file");
            joined += Trim(FLines[FNext++]);
        }
        return joined;
    }

    void ReadValueLine(std::string_view line, size_t lineNo) {
        size_t pos = 1;
        std::string name;
        if (line.front() == '"') name = ReadQuoted(line, pos, lineNo);
        std::string_view rest = TrimLeft(line.substr(pos));
        if (rest.empty() || rest.front() != '=') Fail(lineNo, "\"=\" expected after the value name");
        std::string_view data = TrimLeft(rest.substr(1));

        TRegValue value;
        value.Name = name;
        std::string hexData;
        if (StartsWithText(data, "hex")) {
            hexData = JoinContinuation(data, lineNo);
            data = hexData;
        }
        if (!FCurrent && !FSkipValues) Fail(lineNo, "value outside a key");

        if (!data.empty() && data.front() == '"') {
            size_t end = 0;
            value.Text = ReadQuoted(data, end, lineNo);
            if (!IsLineEnd(data.substr(end))) Fail(lineNo, "unexpected text after the quoted value");
            value.DataType = TRegDataType::rdString;
            value.RegType = 1;
        } else if (Trim(data) == "-") {
            if (FCurrent) RemoveValue(name);
            return;
        } else if (StartsWithText(data, "dword:")) {
            ReadDword(data.substr(6), value, lineNo);
        } else if (StartsWithText(data, "hex")) {
            ReadHex(data.substr(3), value, lineNo);
        } else {
            Fail(lineNo, "unrecognised value data \"" + std::string(data.substr(0, 40)) + "\"");
        }
        if (FCurrent) SetValue(std::move(value));
    }

    void ReadDword(std::string_view digits, TRegValue& value, size_t lineNo) const {
        size_t n = 0;
        uint32_t number = 0;
        while (n < digits.size() && HexDigit(digits[n]) >= 0) number = number << 4 | HexDigit(digits[n++]);
        if (n == 0 || n > 8 || !IsLineEnd(digits.substr(n)))
            Fail(lineNo, "bad dword value \"" + std::string(Trim(digits).substr(0, 40)) +
                             "\" (1 to 8 hexadecimal digits expected)");
        value.DataType = TRegDataType::rdInteger;
        value.Number = number;
        value.RegType = 4;
    }

    // After "hex": ":01,02" or "(2):41,00".
    void ReadHex(std::string_view s, TRegValue& value, size_t lineNo) const {
        uint32_t kind = 3;
        if (!s.empty() && s.front() == '(') {
            size_t close = s.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9)
                Fail(lineNo, "bad hex value kind");
            kind = 0;
            for (char c : s.substr(1, close - 1)) {
                if (HexDigit(c) < 0) Fail(lineNo, "bad hex value kind");
                kind = kind << 4 | HexDigit(c);
            }
            s.remove_prefix(close + 1);
        }
        if (s.empty() || s.front() != ':') Fail(lineNo, "\":\" expected after hex");
        s.remove_prefix(1);
        std::vector<uint8_t> bytes;
        std::string_view list = Trim(s);
        while (!list.empty()) {
            size_t comma = list.find(',');
            std::string_view item = Trim(list.substr(0, comma));
            if (item.empty() || item.size() > 2 || HexDigit(item[0]) < 0 ||
                (item.size() == 2 && HexDigit(item[1]) < 0))
                Fail(lineNo, "bad byte \"" + std::string(item.substr(0, 10)) + "\" in hex value");
            bytes.push_back(static_cast<uint8_t>(
                item.size() == 1 ? HexDigit(item[0]) : HexDigit(item[0]) << 4 | HexDigit(item[1])));
            if (comma == std::string_view::npos) break;
            list = TrimLeft(list.substr(comma + 1));
            if (list.empty()) break; // a trailing comma
        }
        value.RegType = kind;
        if ((kind == 1 || kind == 2) && (FVersion == 5 ? bytes.size() % 2 == 0 : true)) {
            value.DataType = kind == 1 ? TRegDataType::rdString : TRegDataType::rdExpandString;
            value.Text = DecodeStringBytes(bytes);
        } else if (kind == 4 && bytes.size() == 4) {
            value.DataType = TRegDataType::rdInteger;
            value.Number = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
        } else {
            value.DataType = TRegDataType::rdBinary;
            value.Bytes = std::move(bytes);
        }
    }

    // Text stored as bytes: UTF-16LE in version 5 files, the system code page in REGEDIT4 files.
    std::string DecodeStringBytes(const std::vector<uint8_t>& bytes) const {
        std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        std::string text = CodePageToUtf8(raw, FVersion == 5 ? CP_UTF16LE : GetACP());
        size_t zero = text.find('\0');
        if (zero != std::string::npos) text.resize(zero);
        return text;
    }

    void SetValue(TRegValue value) {
        for (TRegValue& existing : FCurrent->Values) {
            if (SameTextAscii(existing.Name, value.Name)) {
                existing = std::move(value);
                return;
            }
        }
        FCurrent->Values.push_back(std::move(value));
    }

    void RemoveValue(const std::string& name) {
        auto& values = FCurrent->Values;
        values.erase(std::remove_if(values.begin(), values.end(),
                                    [&](const TRegValue& v) { return SameTextAscii(v.Name, name); }),
                     values.end());
    }

    std::vector<std::string_view> FLines;
    size_t FNext = 0;
    int FVersion = 5;
    std::shared_ptr<TRegistryFile> FFile;
    TRegistryFile::Key* FCurrent = nullptr;
    bool FSkipValues = false; // inside a "[-Key]" section
};

std::shared_ptr<const TRegistryFile> TRegistryFile::Parse(std::string_view utf8Text,
                                                          const std::string& sourceName) {
    return TRegistryParser(utf8Text, sourceName).Run();
}

std::shared_ptr<const TRegistryFile> TRegistryFile::LoadFromFile(const std::string& fileName) {
    std::string text = TextFileToUtf8(ReadWholeFile(fileName));
    return Parse(text, fileName);
}

const TRegistryFile::Key* TRegistryFile::FindKey(std::string_view path) const {
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    auto it = FKeys.find(UpperAscii(path));
    return it == FKeys.end() ? nullptr : &it->second;
}

std::vector<std::string> TRegistryFile::SubKeyNames(std::string_view path) const {
    std::string prefix = UpperAscii(path) + '\\';
    std::vector<std::string> names;
    for (auto it = FKeys.lower_bound(prefix); it != FKeys.end() && it->first.starts_with(prefix); ++it) {
        std::string_view rest = std::string_view(it->second.Path).substr(prefix.size());
        if (rest.find('\\') == std::string_view::npos) names.emplace_back(rest);
    }
    return names; // the map orders by upper-cased path, which sorts the names ignoring case
}

// ---- the process-wide snapshot ----------------------------------------------------------------------

namespace {

struct FileStamp {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = -1;
    timespec Modified{};
    bool operator==(const FileStamp& o) const {
        return Device == o.Device && Inode == o.Inode && Size == o.Size &&
               Modified.tv_sec == o.Modified.tv_sec && Modified.tv_nsec == o.Modified.tv_nsec;
    }
};

struct RegistryCache {
    std::mutex Lock;
    std::string FileName;
    FileStamp Stamp;
    std::shared_ptr<const TRegistryFile> File;
};

RegistryCache& Cache() {
    static RegistryCache cache;
    return cache;
}

} // namespace

std::string RegistryFileName() {
    const char* env = std::getenv("KVX_REGISTRY");
    return env && *env ? env : kDefaultRegistryFile;
}

std::shared_ptr<const TRegistryFile> LoadRegistry() {
    std::string fileName = RegistryFileName();
    struct stat info {};
    if (stat(fileName.c_str(), &info) != 0)
        throw ERegistryException("Registry file \"" + fileName +
                                 "\" cannot be read: " + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        throw ERegistryException("Registry file \"" + fileName + "\" cannot be read: not a regular file");
    FileStamp stamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim};

    RegistryCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.Lock);
    if (cache.File && cache.FileName == fileName && cache.Stamp == stamp) return cache.File;
    cache.File.reset();
    auto file = TRegistryFile::LoadFromFile(fileName);
    cache.FileName = fileName;
    cache.Stamp = stamp;
    cache.File = file;
    return file;
}

void ReloadRegistry() {
    RegistryCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.Lock);
    cache.File.reset();
}

// ---- TRegistry ----------------------------------------------------------------------------------------

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    FRootKey = root;
}

bool TRegistry::EnsureFile() {
    try {
        FFile = LoadRegistry();
        return true;
    } catch (const Exception& e) {
        FLastError = e.Message();
        return false;
    }
}

std::string TRegistry::AbsolutePath(const std::string& key) const {
    std::string path = RootKeyName(FRootKey);
    if (path.empty()) return {};
    std::string_view rest = key;
    bool relative = rest.empty() || rest.front() != '\\';
    while (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
    if (relative && FCurrentKey && !FCurrentPath.empty()) path += '\\' + FCurrentPath;
    if (!rest.empty()) path += '\\' + std::string(rest);
    return path;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    FLastError.clear();
    if (!EnsureFile()) return false;
    std::string path = AbsolutePath(key);
    if (path.empty()) {
        FLastError = "Unknown root key " + std::to_string(FRootKey);
        return false;
    }
    const TRegistryFile::Key* found = FFile->FindKey(path);
    if (!found) {
        FLastError = "Registry key \"" + path + "\" does not exist in \"" + FFile->FileName() + "\"";
        return false;
    }
    FCurrentKey = found;
    size_t slash = found->Path.find('\\');
    FCurrentPath = slash == std::string::npos ? std::string() : found->Path.substr(slash + 1);
    return true;
}

void TRegistry::CloseKey() {
    FCurrentKey = nullptr;
    FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
    if (!EnsureFile()) return false;
    std::string path = AbsolutePath(key);
    return !path.empty() && FFile->FindKey(path) != nullptr;
}

const TRegValue* TRegistry::FindValue(const std::string& name) const {
    if (!FCurrentKey) return nullptr;
    for (const TRegValue& value : FCurrentKey->Values)
        if (SameTextAscii(value.Name, name)) return &value;
    return nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const {
    return FindValue(name) != nullptr;
}

TRegDataType TRegistry::GetDataType(const std::string& name) const {
    const TRegValue* value = FindValue(name);
    return value ? value->DataType : TRegDataType::rdUnknown;
}

std::string TRegistry::ReadString(const std::string& name) const {
    const TRegValue* value = FindValue(name);
    if (!value) return {};
    if (value->DataType != TRegDataType::rdString && value->DataType != TRegDataType::rdExpandString)
        throw ERegistryException("Invalid data type for '" + name + "'");
    return value->Text;
}

int32_t TRegistry::ReadInteger(const std::string& name) const {
    const TRegValue* value = FindValue(name);
    if (!value) throw ERegistryException("Failed to get data for '" + name + "'");
    if (value->DataType != TRegDataType::rdInteger)
        throw ERegistryException("Invalid data type for '" + name + "'");
    return static_cast<int32_t>(value->Number);
}

std::vector<uint8_t> TRegistry::ReadBinaryData(const std::string& name) const {
    const TRegValue* value = FindValue(name);
    if (!value) throw ERegistryException("Failed to get data for '" + name + "'");
    if (value->DataType != TRegDataType::rdBinary)
        throw ERegistryException("Invalid data type for '" + name + "'");
    return value->Bytes;
}

std::vector<std::string> TRegistry::GetValueNames() const {
    std::vector<std::string> names;
    if (FCurrentKey)
        for (const TRegValue& value : FCurrentKey->Values) names.push_back(value.Name);
    return names;
}

std::vector<std::string> TRegistry::GetKeyNames() const {
    if (!FCurrentKey || !FFile) return {};
    return FFile->SubKeyNames(FCurrentKey->Path);
}

} // namespace rt
