#include "automation/ComObj.h"

#include "core/Exceptions.h"
#include "os/DynLib.h"
#include "os/Registry.h"

#include <memory>
#include <unistd.h>
#include <vector>

namespace rt {
namespace {

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// A text value of the open key; "" when missing or not a text.
std::string ReadText(const TRegistry& reg, const std::string& name) {
    TRegDataType type = reg.GetDataType(name);
    if (type != TRegDataType::rdString && type != TRegDataType::rdExpandString) return {};
    return reg.ReadString(name);
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool EndsWithNoCase(const std::string& s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        char c = s[s.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

// "Lib\Counter.dll" -> "Lib/Counter.so".
std::string PlatformLibraryName(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    if (EndsWithNoCase(name, ".dll")) name.replace(name.size() - 4, 4, ".so");
    return name;
}

std::string LocateLibrary(const std::string& name) {
    if (name.front() == '/') return name;
    std::vector<std::string> candidates;
    candidates.push_back(DirectoryOf(RegistryFileName()) + '/' + name);
    std::string runtime = ModuleFileNameOf(reinterpret_cast<const void*>(&CreateOleObject));
    if (!runtime.empty()) candidates.push_back(DirectoryOf(runtime) + '/' + name);
    for (const std::string& candidate : candidates)
        if (access(candidate.c_str(), F_OK) == 0) return candidate;
    return candidates.front(); // loading it reports the missing file
}

} // namespace

Variant CreateOleObject(const std::string& progId) {
    TRegistry reg(HKEY_CLASSES_ROOT);
    if (progId.empty() || progId.find('\\') != std::string::npos || !reg.OpenKeyReadOnly('\\' + progId)) {
        std::string why = reg.LastError().empty() ? std::string() : " (" + reg.LastError() + ")";
        throw EOleSysError("Invalid class string, ProgID: " + Quoted(progId) + why);
    }
    std::string library = ReadText(reg, "Library");
    if (library.empty()) library = ReadText(reg, "");
    if (library.empty())
        throw EOleSysError("Class not registered, ProgID: " + Quoted(progId) + " names no library");
    std::string factoryName = ReadText(reg, "Factory");
    if (factoryName.empty()) factoryName = kDefaultAutomationFactory;
    reg.CloseKey();

    std::string path = LocateLibrary(PlatformLibraryName(library));
    HMODULE module = LoadLibrary(path);
    if (!module)
        throw EOleSysError("Cannot load the library of " + Quoted(progId) + ": " + LastLibraryError());
    auto factory = GetProcAddressAs<TAutomationFactory>(module, factoryName);
    if (!factory) {
        std::string why = LastLibraryError();
        FreeLibrary(module);
        throw EOleSysError("Cannot create " + Quoted(progId) + ": " + why);
    }
    // If the factory raises, the library stays loaded: the exception object may be defined in it.
    IDispatch* object = factory(progId.c_str());
    if (!object) {
        FreeLibrary(module);
        throw EOleSysError("Cannot create " + Quoted(progId) + ": " + factoryName + " in " + path +
                           " returned no object");
    }
    // The object's code lives in the library: release the library only after the object.
    DispatchPtr shared(object, [module](IDispatch* p) {
        delete p;
        FreeLibrary(module);
    });
    return Variant(std::move(shared));
}

Variant GetActiveOleObject(const std::string& progId) {
    throw EOleSysError("Operation unavailable, ProgID: " + Quoted(progId) + " is not running");
}

} // namespace rt
