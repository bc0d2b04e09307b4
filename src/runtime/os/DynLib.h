#pragma once
// Shared libraries loaded at run time, in the shape of the platform's library functions.
#include <string>

namespace rt {

using HMODULE = void*;

// dlopen with RTLD_NOW | RTLD_LOCAL. Null on failure; LastLibraryError() then tells why.
HMODULE LoadLibrary(const std::string& fileName);
// Null when the library lacks the export; LastLibraryError() then tells why.
void* GetProcAddress(HMODULE module, const std::string& procName);
bool FreeLibrary(HMODULE module);
// The text of the last failure of LoadLibrary, GetProcAddress or FreeLibrary on this thread.
std::string LastLibraryError();

// The full path of a loaded library; a null module names the running program.
std::string GetModuleFileName(HMODULE module);
// The full path of the library (or program) holding the given code or data address, so that code can
// find the file it was loaded from. Empty when the address belongs to no loaded file.
std::string ModuleFileNameOf(const void* address);

// Typed look-up: GetProcAddressAs<int (*)(const char*)>(module, "Name").
template <class Fn> Fn GetProcAddressAs(HMODULE module, const std::string& procName) {
    return reinterpret_cast<Fn>(GetProcAddress(module, procName));
}

} // namespace rt
