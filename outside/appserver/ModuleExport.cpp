// ReportCounterS.so: the remote module created in the caller's process. The registry entry
// HKEY_CLASSES_ROOT\ReportCounterS.dmReportCounter names this library; CreateOleObject calls the export
// below and owns the object it returns. The database file is DefaultDatabasePath() (KVX_APPSERVER_DB).
#include "ReportCounter.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

extern "C" __attribute__((visibility("default"))) rt::IDispatch* CreateAutomationObject(const char* progId) {
    if (progId && *progId && ::strcasecmp(progId, appsrv::kProgId) != 0) return nullptr;
    try {
        return new appsrv::TReportCounter(appsrv::TStore::Shared(appsrv::DefaultDatabasePath()));
    } catch (const std::exception& e) {
        // An exception must not cross the C boundary: the caller reports the failed creation, the reason
        // goes to the log.
        std::fprintf(stderr, "ReportCounterS: %s\n", e.what());
        return nullptr;
    }
}
