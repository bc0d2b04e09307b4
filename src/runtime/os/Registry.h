#pragma once
// The platform registry, read from a text file in the registry-export format:
//
//   Windows Registry Editor Version 5.00        (or REGEDIT4)
//   ; comment
//   [HKEY_LOCAL_MACHINE\Software\KVX\Marshal]
//   "ClientPath"="/opt/kvx/client/"
//   @="default value"
//   "Retries"=dword:0000001f
//   "Search"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00
//
// The file is UTF-8, or UTF-16LE with a byte-order mark as the platform's exporter writes it; legacy
// bytes are decoded with the system code page. Keys and value names ignore case. As when the file is
// imported, a later line overrides an earlier one, "[-Key]" removes a key and "Name"=- a value.
//
// The file is named by the environment variable KVX_REGISTRY, else /etc/kvx/registry.reg. It is loaded
// once per process and loaded again when the file or the variable changes (or on ReloadRegistry).
// There is no write access.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

using HKEY = std::uintptr_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;

// "HKEY_LOCAL_MACHINE" for HKEY_LOCAL_MACHINE; empty for an unknown root.
std::string RootKeyName(HKEY root);

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegValue {
    std::string Name; // "" for the default value
    TRegDataType DataType = TRegDataType::rdUnknown;
    std::string Text;           // rdString, rdExpandString (UTF-8, without the terminating zero)
    uint32_t Number = 0;        // rdInteger
    std::vector<uint8_t> Bytes; // rdBinary and other hex(n) kinds, as written
    uint32_t RegType =
        0; // the platform's type number: 1 text, 2 expandable text, 3 binary, 4 dword, n of hex(n)
};

// One parsed registry file: an immutable snapshot.
class TRegistryFile {
public:
    struct Key {
        std::string Path; // "HKEY_LOCAL_MACHINE\Software\KVX\Marshal" as first written
        std::vector<TRegValue> Values;
    };

    // Strict loading: a file that cannot be read or has a malformed line raises ERegistryException
    // naming the file and the line.
    static std::shared_ptr<const TRegistryFile> LoadFromFile(const std::string& fileName);
    static std::shared_ptr<const TRegistryFile> Parse(std::string_view utf8Text,
                                                      const std::string& sourceName);

    const std::string& FileName() const { return FFileName; }
    // path is the full path with its root name; lookups ignore case. Parents of written keys exist too.
    const Key* FindKey(std::string_view path) const;
    // Names of the direct sub-keys, sorted ignoring case.
    std::vector<std::string> SubKeyNames(std::string_view path) const;

private:
    friend class TRegistryParser;
    std::string FFileName;
    std::map<std::string, Key> FKeys; // by upper-cased path
};

// The path of the registry file this process reads.
std::string RegistryFileName();
// The process-wide snapshot of RegistryFileName(), loaded strictly (raises ERegistryException).
std::shared_ptr<const TRegistryFile> LoadRegistry();
// Forgets the snapshot; the next use loads the file again.
void ReloadRegistry();

// Read-only access to one key at a time, in the shape of the platform's registry class.
class TRegistry {
public:
    TRegistry() = default; // RootKey is HKEY_CURRENT_USER, as on the platform
    explicit TRegistry(HKEY root) : FRootKey(root) {}

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY root);

    // Opens a key below the root (a leading "\") or below the open key (no leading "\"). False when
    // the key does not exist or the registry file cannot be used; LastError() says which.
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    bool KeyExists(const std::string& key);
    const std::string& CurrentPath() const { return FCurrentPath; } // without the root name
    const std::string& LastError() const { return FLastError; }

    // On the open key. The empty name is the default value.
    bool ValueExists(const std::string& name) const;
    TRegDataType GetDataType(const std::string& name) const;
    // A missing value gives ""; a value that is not a text raises ERegistryException.
    std::string ReadString(const std::string& name) const;
    // A missing value or one that is not a number raises ERegistryException.
    int32_t ReadInteger(const std::string& name) const;
    std::vector<uint8_t> ReadBinaryData(const std::string& name) const;
    std::vector<std::string> GetValueNames() const;
    std::vector<std::string> GetKeyNames() const;

private:
    // The absolute path of key (relative to the open key unless it starts with "\"), "" on error.
    std::string AbsolutePath(const std::string& key) const;
    bool EnsureFile();
    const TRegValue* FindValue(const std::string& name) const;

    HKEY FRootKey = HKEY_CURRENT_USER;
    std::shared_ptr<const TRegistryFile> FFile;
    const TRegistryFile::Key* FCurrentKey = nullptr;
    std::string FCurrentPath;
    std::string FLastError;
};

} // namespace rt
