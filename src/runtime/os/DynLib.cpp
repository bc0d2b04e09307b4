#include "os/DynLib.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

namespace rt {
namespace {

thread_local std::string tLastError;

void RememberDlError(const std::string& fallback) {
    const char* text = dlerror();
    tLastError = text ? text : fallback;
}

std::string RunningProgramPath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

// Libraries loaded by a relative name are reported with a full path, as the platform does.
std::string FullPath(const char* name) {
    if (!name || !*name) return {};
    if (name[0] == '/') return name;
    char resolved[PATH_MAX];
    return realpath(name, resolved) ? std::string(resolved) : std::string(name);
}

} // namespace

HMODULE LoadLibrary(const std::string& fileName) {
    if (fileName.empty()) {
        // dlopen(nullptr) would hand back the program itself.
        tLastError = "empty library name";
        return nullptr;
    }
    dlerror();
    HMODULE module = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) RememberDlError(fileName + ": cannot be loaded");
    return module;
}

void* GetProcAddress(HMODULE module, const std::string& procName) {
    if (!module) {
        tLastError = "no library for \"" + procName + "\"";
        return nullptr;
    }
    dlerror();
    void* address = dlsym(module, procName.c_str());
    if (!address) RememberDlError("undefined symbol: " + procName);
    return address;
}

bool FreeLibrary(HMODULE module) {
    if (!module) return false;
    dlerror();
    if (dlclose(module) == 0) return true;
    RememberDlError("library cannot be released");
    return false;
}

std::string LastLibraryError() {
    return tLastError;
}

std::string GetModuleFileName(HMODULE module) {
    if (!module) return RunningProgramPath();
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map) return {};
    // The program's own entry has an empty name.
    if (!map->l_name || !*map->l_name) return RunningProgramPath();
    return FullPath(map->l_name);
}

std::string ModuleFileNameOf(const void* address) {
    Dl_info info{};
    link_map* map = nullptr;
    if (!address || dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0) return {};
    // The program's own entry has an empty name (dladdr reports it by its invocation name).
    if (map && (!map->l_name || !*map->l_name)) return RunningProgramPath();
    return FullPath(info.dli_fname);
}

} // namespace rt
