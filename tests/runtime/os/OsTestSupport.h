#pragma once
// Small helpers for the tests of the operating-system services: a scratch folder, and environment
// settings that are put back when the test ends.
#include "os/SysInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace rt::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvx-os-XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        FPath = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return FPath; }
    // Writes bytes as they are and returns the file's full name.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string file = FPath + "/" + name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
        return file;
    }

private:
    std::string FPath;
};

// Sets (or, with nullopt, removes) an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : FName(name) {
        if (const char* old = std::getenv(name)) FOld = old;
        Apply(value);
    }
    ~ScopedEnv() { Apply(FOld); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Apply(const std::optional<std::string>& value) {
        if (value)
            setenv(FName.c_str(), value->c_str(), 1);
        else
            unsetenv(FName.c_str());
    }
    std::string FName;
    std::optional<std::string> FOld;
};

// Overrides the system code page for the lifetime of the object.
class ScopedACP {
public:
    explicit ScopedACP(int codePage) { SetACP(codePage); }
    ~ScopedACP() { SetACP(0); }
    ScopedACP(const ScopedACP&) = delete;
    ScopedACP& operator=(const ScopedACP&) = delete;
};

// Hex digits to bytes: "d6d0" -> "\xD6\xD0".
inline std::string Bytes(std::string_view hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

// A wide text as UTF-16LE bytes, as the platform's exporter writes files.
inline std::string Utf16LEBytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

} // namespace rt::testing
