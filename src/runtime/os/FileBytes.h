#pragma once
// Whole-file reads for the configuration readers.
#include <cstddef>
#include <string>

namespace rt {

enum class TFileReadResult { Ok, NotFound, Failed };

// Reads the whole file into bytes. NotFound when there is no such file (or it is a directory); Failed
// with the reason in error when it cannot be read or is larger than maxSize.
TFileReadResult ReadFileBytes(const std::string& fileName, std::string& bytes, std::string& error,
                              size_t maxSize = size_t{64} << 20);

} // namespace rt
