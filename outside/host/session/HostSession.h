#pragma once
// Runs a host session script against a report module: loads the library, drives its controller, acts
// on its forms through a FormDriver and checks the expectations. Prints one line per happening to out
// and every failure (with file and line) to err; see docs/host-script.md.
#include "FormDriver.h"
#include "HostScript.h"
#include "HostServices.h"
#include "controller/DLLBaseCtrller.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace kvx::host {

class HostSession {
public:
    HostSession(std::shared_ptr<const HostDatabase> db, FormDriver& driver, std::ostream& out,
                std::ostream& err);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Where `load` looks for relative module paths after the script's folder.
    void SetProgramDir(std::string dir) { FProgramDir = std::move(dir); }
    // For in-process runs: `load` takes its controller from here instead of loading a library.
    void SetControllerSource(std::function<TDLLBaseController*()> source) {
        FControllerSource = std::move(source);
    }

    // Runs the script to its end (or to a fatal failure), frees a controller still held, and answers
    // the exit status: 0 when everything held, 1 otherwise.
    int Run(const Script& script);

    int Failures() const { return FFailures; }
    const std::shared_ptr<HostApp>& App() const { return FApp; }

private:
    struct PendingError {
        int Line;
        std::string What;
        std::string Message;
    };

    void RunBlock(const std::vector<ScriptCommand>& commands);
    void RunCommand(const ScriptCommand& cmd);
    void RunModalBody(const std::vector<ScriptCommand>& commands);
    void Load(const ScriptCommand& cmd);
    void Call(const ScriptCommand& cmd);
    void Modal(const ScriptCommand& cmd);
    void FormAction(const ScriptCommand& cmd);
    void Expect(const ScriptCommand& cmd);
    void FreeController();

    bool HaveController(const ScriptCommand& cmd, const std::string& what);
    std::string ResolveModulePath(const std::string& path) const;
    void CheckPendingError();
    void Raised(int line, const std::string& what, const std::string& message);
    void Fail(int line, const std::string& message);
    void Fatal(int line, const std::string& message);

    static void EventThunk(void* self, int32_t code, rt::TObject* sender);
    void OnEvent(int32_t code);

    std::shared_ptr<const HostDatabase> FDb;
    FormDriver& FDriver;
    std::ostream& FOut;
    std::ostream& FErr;
    std::shared_ptr<HostApp> FApp;
    std::string FScriptFile;
    std::string FScriptDir;
    std::string FProgramDir;
    std::function<TDLLBaseController*()> FControllerSource;

    TDLLBaseController* FController = nullptr;
    std::vector<rt::Variant> FParams;
    std::deque<int> FEvents;
    std::deque<std::string> FDialogs;
    rt::Variant FLastReturn;
    rt::Variant FLastOut;
    int32_t FResultCode = 0;
    rt::Variant FResultData;
    std::optional<PendingError> FPendingError;
    int FFailures = 0;
    bool FStopped = false;
    int FModalDepth = 0;
};

} // namespace kvx::host
