#pragma once
// Test helpers for the support and configuration libraries: a scratch folder, environment settings,
// the system code page and a registry file, each put back when the test ends.
#include "os/Registry.h"
#include "os/SysInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace kvx::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvx-support-XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        FPath = pattern + "/";
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // With a trailing "/".
    const std::string& Path() const { return FPath; }
    // Writes bytes as they are (creating folders) and returns the file's full name.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = FPath + name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
        return file.string();
    }

private:
    std::string FPath;
};

inline std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

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
        rt::ReloadRegistry();
    }
    std::string FName;
    std::optional<std::string> FOld;
};

class ScopedACP {
public:
    explicit ScopedACP(int codePage) { rt::SetACP(codePage); }
    ~ScopedACP() { rt::SetACP(0); }
    ScopedACP(const ScopedACP&) = delete;
    ScopedACP& operator=(const ScopedACP&) = delete;
};

// A registry file with the values of HKEY_LOCAL_MACHINE\Software\KVX\Marshal (each line
// "\"Name\"=\"Value\""), or without that key when values is nullopt; KVX_REGISTRY names it while the
// object lives.
class ScopedMarshalKey {
public:
    ScopedMarshalKey(const TempDir& dir, std::optional<std::string> values)
        : FEnv("KVX_REGISTRY", dir.Write("registry.reg", Contents(values))) {}

private:
    static std::string Contents(const std::optional<std::string>& values) {
        std::string text =
            "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
            "\"Unrelated\"=\"1\"\r\n";
        if (values) text += "\r\n[HKEY_LOCAL_MACHINE\\Software\\KVX\\Marshal]\r\n" + *values + "\r\n";
        return text;
    }
    ScopedEnv FEnv;
};

} // namespace kvx::testing
