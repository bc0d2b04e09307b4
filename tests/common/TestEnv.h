#pragma once
// Helpers shared by the test programs: a scratch folder, and process settings (environment variables,
// the system code page) that are put back when the test ends.
#include "os/Registry.h"
#include "os/SysInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace kvxtest {

// A fresh folder under the temporary directory, removed with everything in it.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "kvx-test") {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
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
    // The full name of a file in the folder.
    std::string File(const std::string& name) const { return FPath + name; }
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

// Sets (or, with nullopt, removes) an environment variable for the lifetime of the object. The
// registry is read again each time, in case the variable names its file.
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

// Overrides the system code page for the lifetime of the object.
class ScopedACP {
public:
    explicit ScopedACP(int codePage) { rt::SetACP(codePage); }
    ~ScopedACP() { rt::SetACP(0); }
    ScopedACP(const ScopedACP&) = delete;
    ScopedACP& operator=(const ScopedACP&) = delete;
};

} // namespace kvxtest
