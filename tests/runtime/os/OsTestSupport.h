#pragma once
// Small helpers for the tests of the operating-system services: a scratch folder, and environment
// settings that are put back when the test ends.
#include "common/TestEnv.h"
#include "os/SysInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace rt::testing {

using kvxtest::ScopedACP;
using kvxtest::ScopedEnv;
using kvxtest::TempDir;

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
