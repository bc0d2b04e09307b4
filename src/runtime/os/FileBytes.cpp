#include "os/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace rt {

TFileReadResult ReadFileBytes(const std::string& fileName, std::string& bytes, std::string& error,
                              size_t maxSize) {
    bytes.clear();
    error.clear();
    struct stat info {};
    if (stat(fileName.c_str(), &info) != 0) {
        error = std::strerror(errno);
        return errno == ENOENT || errno == ENOTDIR ? TFileReadResult::NotFound : TFileReadResult::Failed;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "is a directory";
        return TFileReadResult::NotFound;
    }
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) {
        error = std::strerror(errno);
        return TFileReadResult::Failed;
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
        if (bytes.size() > maxSize) {
            std::fclose(f);
            bytes.clear();
            error = "larger than " + std::to_string(maxSize) + " bytes";
            return TFileReadResult::Failed;
        }
    }
    bool failed = std::ferror(f) != 0;
    int readError = errno;
    std::fclose(f);
    if (failed) {
        bytes.clear();
        error = std::strerror(readError);
        return TFileReadResult::Failed;
    }
    return TFileReadResult::Ok;
}

} // namespace rt
