#pragma once
// Test helpers for the support and configuration libraries: a scratch folder, environment settings,
// the system code page and a registry file, each put back when the test ends.
#include "common/TestEnv.h"
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

using kvxtest::ReadFile;
using kvxtest::ScopedACP;
using kvxtest::ScopedEnv;
using kvxtest::TempDir;

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
