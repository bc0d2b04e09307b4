#pragma once
// The remote module "ReportCounterS.dmReportCounter": condition schemes, rights, job requests and
// request registrations, answered by name as an automation object. One object is one client session
// (its scheme selection for the provider and its last error); the data lives in the shared TStore.
// The same object serves a client in its own process (CreateAutomationObject) and over TCP (the daemon).
#include "ModuleErrors.h"
#include "Store.h"

#include "automation/Dispatch.h"
#include "core/TDateTime.h"

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace appsrv {

inline constexpr const char* kProgId = "ReportCounterS.dmReportCounter";
inline constexpr const char* kSchemeProvider = "pvdConSave";

struct ModuleOptions {
    int SqlType = 0; // answered by SQLType; the client only stores it
    // Local date and time for request numbers and status times; empty: the process clock (ClockNow).
    std::function<rt::TDateTime()> Clock;
};

class TReportCounter : public rt::TAutoObject {
public:
    explicit TReportCounter(std::shared_ptr<TStore> store, ModuleOptions options = {});

    rt::Variant Invoke(const std::string& name, rt::DispatchKind kind,
                       std::vector<rt::Variant>& args) override;
    std::string DispatchClassName() const override { return "TdmReportCounter"; }

    TStore& Store() { return *FStore; }

private:
    using Args = std::vector<rt::Variant>;
    void Publish(const std::string& name, Method m);

    rt::Variant LoadTable(Args& args);
    rt::Variant InsertConTable(Args& args);
    rt::Variant DeleteConTable(Args& args);
    rt::Variant ChangeConName(Args& args);
    rt::Variant GetPower(Args& args);
    rt::Variant Request(Args& args);
    rt::Variant Request1(Args& args);
    rt::Variant UpdateStatus1(Args& args);
    rt::Variant GetRecords(Args& args);

    // Records a failure for ErrorDescript and returns its text.
    std::string Failed(const std::string& text);
    // Runs a call that answers its refusals instead of raising them: a rejected argument or a store error
    // is recorded as the failure, and the answer is failed(its text).
    rt::Variant Answer(const std::function<rt::Variant()>& call,
                       const std::function<rt::Variant(const std::string&)>& failed);
    rt::TDateTime Now() const;
    std::string StoreJob(const rt::Variant& job, const char* origin, const std::string& computer);

    std::shared_ptr<TStore> FStore;
    ModuleOptions FOptions;
    std::set<std::string> FNames; // upper case

    std::mutex FMutex; // the session state below
    bool FSelected = false;
    std::string FSelUser, FSelProgram;
    std::string FLastError;
};

} // namespace appsrv
