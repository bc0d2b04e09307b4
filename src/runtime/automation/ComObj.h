#pragma once
// Creating automation objects by program identifier ("ReportCounterS.dmReportCounter").
//
// An identifier is registered in the registry file under HKEY_CLASSES_ROOT\<ProgID>:
//
//   [HKEY_CLASSES_ROOT\ReportCounterS.dmReportCounter]
//   @="ReportCounterS.so"                    (or "Library"="..."; "Library" is preferred when both exist)
//   "Factory"="CreateAutomationObject"       (optional; this is the default)
//
// A relative library name is looked for next to the registry file, then next to the runtime library;
// a name written with "\" or ending in ".dll" is taken in this platform's form ("/", ".so"). The factory
// is a C function
//
//   extern "C" rt::IDispatch* CreateAutomationObject(const char* progId);
//
// that returns a new object owned by the caller. The library stays loaded while the object lives.
#include "automation/Dispatch.h"

#include <string>

namespace rt {

// The C signature of a library's factory.
using TAutomationFactory = IDispatch* (*)(const char* progId);
inline constexpr const char* kDefaultAutomationFactory = "CreateAutomationObject";

// A varDispatch Variant holding the new object. Raises EOleSysError: "Invalid class string" with the
// identifier when it is not registered; the loader's message when the library or its factory is missing.
Variant CreateOleObject(const std::string& progId);

// No object is ever running outside this process: always raises EOleSysError.
Variant GetActiveOleObject(const std::string& progId);

} // namespace rt
