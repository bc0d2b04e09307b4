#include "HostSession.h"

#include "ValueText.h"
#include "os/DynLib.h"

#include <filesystem>

namespace kvx::host {
namespace {

std::string ExceptionText(const std::exception& e) {
    return e.what();
}

} // namespace

HostSession::HostSession(std::shared_ptr<const HostDatabase> db, FormDriver& driver, std::ostream& out,
                         std::ostream& err)
    : FDb(std::move(db)), FDriver(driver), FOut(out), FErr(err),
      FApp(std::make_shared<HostApp>(FDb, [this](const std::string& line) { FOut << line << '\n'; })) {
    FormDriver::Observer observer;
    observer.DialogShown = [this](const std::string& type, const std::string& text, int answer) {
        FOut << "dialog " << type << ' ' << QuoteText(text) << " -> "
             << DialogButtonName(static_cast<DialogButton>(answer)) << '\n';
        FDialogs.push_back(text);
    };
    observer.ModalClosed = [this](const std::string& formClass, int modalResult) {
        FOut << "modal " << formClass << " -> " << modalResult << '\n';
    };
    FDriver.SetObserver(std::move(observer));
}

HostSession::~HostSession() {
    FDriver.SetObserver({});
}

int HostSession::Run(const Script& script) {
    FScriptFile = script.File;
    FScriptDir = std::filesystem::path(script.File).parent_path().string();
    RunBlock(script.Commands);
    CheckPendingError();
    if (FController) FreeController();
    FOut.flush();
    return FFailures == 0 ? 0 : 1;
}

void HostSession::RunBlock(const std::vector<ScriptCommand>& commands) {
    for (const ScriptCommand& cmd : commands) {
        if (FStopped) return;
        if (!(cmd.Kind == Verb::Expect && cmd.Expect == ExpectKind::Error)) CheckPendingError();
        RunCommand(cmd);
    }
}

void HostSession::RunCommand(const ScriptCommand& cmd) {
    switch (cmd.Kind) {
    case Verb::Load:
        Load(cmd);
        break;
    case Verb::Free:
        if (FModalDepth > 0)
            Fatal(cmd.Line, "free: not inside a modal block (the controller's ShowModal is still running)");
        else if (HaveController(cmd, "free"))
            FreeController();
        break;
    case Verb::HostApp:
        if (HaveController(cmd, "hostapp"))
            FController->HostApp = cmd.Flag ? rt::Variant(rt::DispatchPtr(FApp)) : rt::Variant();
        break;
    case Verb::Events:
        if (HaveController(cmd, "events"))
            FController->OnEvent = cmd.Flag ? TDLLEvent(&EventThunk, this) : TDLLEvent();
        break;
    case Verb::Params:
        FParams = cmd.Values;
        break;
    case Verb::Call:
        Call(cmd);
        break;
    case Verb::Modal:
        Modal(cmd);
        break;
    case Verb::OnModal: {
        const std::vector<ScriptCommand>* body = &cmd.Body;
        FDriver.QueueModalScript(cmd.Path, [this, body] {
            RunBlock(*body);
            CheckPendingError();
        });
        break;
    }
    case Verb::Answer:
        FDriver.QueueDialogAnswer(cmd.Number);
        break;
    case Verb::Lookup:
        FApp->F2Window()->QueueAnswer(cmd.Value);
        break;
    case Verb::Expect:
        Expect(cmd);
        break;
    case Verb::Echo:
        FOut << "echo " << cmd.Path << '\n';
        break;
    default:
        FormAction(cmd);
        break;
    }
}

std::string HostSession::ResolveModulePath(const std::string& path) const {
    namespace fs = std::filesystem;
    const fs::path p(path);
    if (p.is_absolute()) return path;
    for (const std::string& dir : {FScriptDir, FProgramDir}) {
        if (dir.empty()) continue;
        const fs::path candidate = fs::path(dir) / p;
        std::error_code ec;
        if (fs::exists(candidate, ec)) return candidate.string();
    }
    return path;
}

void HostSession::RunModalBody(const std::vector<ScriptCommand>& commands) {
    ++FModalDepth;
    RunBlock(commands);
    CheckPendingError();
    --FModalDepth;
}

void HostSession::Load(const ScriptCommand& cmd) {
    if (FModalDepth > 0) {
        Fatal(cmd.Line, "load: not inside a modal block");
        return;
    }
    if (FController) {
        Fatal(cmd.Line, "load: a controller is held already; free it first");
        return;
    }
    TGetControllerProc getController = nullptr;
    if (!FControllerSource) {
        const std::string file = ResolveModulePath(cmd.Path);
        rt::HMODULE module = rt::LoadLibrary(file);
        if (!module) {
            Fatal(cmd.Line, "cannot load module " + file + ": " + rt::LastLibraryError());
            return;
        }
        getController = rt::GetProcAddressAs<TGetControllerProc>(module, GetControllerProcName);
        if (!getController) {
            Fatal(cmd.Line, "module " + file + " does not export GetController");
            return;
        }
    }
    FOut << "module " << QuoteText(cmd.Path) << '\n';
    try {
        FController = FControllerSource ? FControllerSource() : getController();
    } catch (const std::exception& e) {
        Raised(cmd.Line, "call GetController", ExceptionText(e));
        return;
    }
    if (!FController) {
        Fatal(cmd.Line, "GetController answered no controller");
        return;
    }
    FController->HostApp = rt::Variant(rt::DispatchPtr(FApp));
    FController->OnEvent = TDLLEvent(&EventThunk, this);
}

void HostSession::FreeController() {
    TDLLBaseController* controller = FController;
    try {
        controller->Free();
    } catch (const std::exception& e) {
        FController = nullptr;
        Raised(0, "free", ExceptionText(e));
        return;
    }
    FController = nullptr;
    FOut << "free\n";
}

bool HostSession::HaveController(const ScriptCommand& cmd, const std::string& what) {
    if (FController) return true;
    Fatal(cmd.Line, what + ": no controller: load a module first");
    return false;
}

void HostSession::Call(const ScriptCommand& cmd) {
    const std::string what = std::string("call ") + ControllerOpName(cmd.Op);
    if (!HaveController(cmd, what)) return;
    TDLLBaseController& c = *FController;
    FLastReturn = rt::Variant();
    FLastOut = rt::Variant();
    bool hasResult = true;
    bool hasOut = false;
    try {
        switch (cmd.Op) {
        case ControllerOp::GetVersion:
            FLastReturn = rt::Variant(c.GetVersion());
            break;
        case ControllerOp::GetVisible:
            FLastReturn = rt::Variant(static_cast<int>(c.GetVisible()));
            break;
        case ControllerOp::SetVisible:
            c.SetVisible(cmd.Flag ? int16_t(-1) : int16_t(0));
            hasResult = false;
            break;
        case ControllerOp::GetHandle:
            FLastReturn = rt::Variant(static_cast<long long>(c.GetHandle()));
            break;
        case ControllerOp::CreateForm:
            FLastReturn = rt::Variant(c.CreateForm(rt::VarArrayOf(FParams)));
            break;
        case ControllerOp::Execute:
            FLastReturn = rt::Variant(c.Execute(cmd.Value));
            break;
        case ControllerOp::Notify:
            FLastReturn = rt::Variant(c.Notify(cmd.Number, 0, cmd.Value));
            break;
        case ControllerOp::ShowModal:
            FLastReturn = c.ShowModal();
            break;
        case ControllerOp::FreeForm:
            c.FreeForm();
            hasResult = false;
            break;
        case ControllerOp::GetInfo:
            FLastReturn = rt::Variant(c.GetInfo(FLastOut));
            hasOut = true;
            break;
        case ControllerOp::IsFormFreed:
            FLastReturn = rt::Variant(c.IsFormFreed());
            break;
        }
    } catch (const std::exception& e) {
        Raised(cmd.Line, what, ExceptionText(e));
        return;
    }
    FOut << what;
    if (hasResult) FOut << " -> " << FormatValue(FLastReturn);
    if (hasOut) FOut << " out " << FormatValue(FLastOut);
    FOut << '\n';
}

void HostSession::Modal(const ScriptCommand& cmd) {
    if (!HaveController(cmd, "modal")) return;
    TDLLBaseController& c = *FController;
    bool bodyRan = false;
    FLastOut = rt::Variant();
    try {
        const uintptr_t handle = c.GetHandle();
        FLastReturn = FDriver.RunModal(
            handle, [&c] { return c.ShowModal(); }, [this, &cmd] { RunModalBody(cmd.Body); }, bodyRan);
    } catch (const std::exception& e) {
        Raised(cmd.Line, "call ShowModal", ExceptionText(e));
        return;
    }
    FOut << "call ShowModal -> " << FormatValue(FLastReturn) << '\n';
    if (!bodyRan && !cmd.Body.empty())
        Fail(cmd.Line, "the modal block did not run: no form was shown modally");
}

void HostSession::FormAction(const ScriptCommand& cmd) {
    std::string what;
    try {
        switch (cmd.Kind) {
        case Verb::Focus:
            what = "focus";
            FDriver.Focus(cmd.Path);
            break;
        case Verb::Set:
            what = "set";
            FDriver.SetText(cmd.Path, rt::VarToStr(cmd.Value));
            break;
        case Verb::Type:
            what = "type";
            FDriver.Type(cmd.Path, cmd.Text);
            break;
        case Verb::Key:
            what = "key";
            FDriver.Key(cmd.Path, cmd.Keys);
            break;
        case Verb::Click:
            what = "click";
            FDriver.Click(cmd.Path);
            break;
        case Verb::Check:
            what = "check";
            FDriver.Check(cmd.Path, cmd.Flag);
            break;
        case Verb::Choose:
            what = "choose";
            if (cmd.Flag)
                FDriver.ChooseIndex(cmd.Path, cmd.Number);
            else
                FDriver.ChooseText(cmd.Path, cmd.Text);
            break;
        case Verb::Close:
            what = "close";
            FDriver.Close(cmd.Path);
            break;
        case Verb::Process:
            what = "process";
            FDriver.ProcessMessages();
            break;
        default:
            Fatal(cmd.Line, "internal error: command not handled");
            return;
        }
    } catch (const std::exception& e) {
        Raised(cmd.Line, what + (cmd.Path.empty() ? "" : " " + cmd.Path), ExceptionText(e));
    }
}

void HostSession::Expect(const ScriptCommand& cmd) {
    switch (cmd.Expect) {
    case ExpectKind::Event:
        if (cmd.Flag) {
            if (!FEvents.empty()) {
                std::string list;
                for (int e : FEvents) list += (list.empty() ? "" : ", ") + std::to_string(e);
                Fail(cmd.Line, "expected no further event, got " + list);
                FEvents.clear();
            }
        } else if (FEvents.empty()) {
            Fail(cmd.Line, "expected event " + std::to_string(cmd.Number) + ", no event came");
        } else {
            const int got = FEvents.front();
            FEvents.pop_front();
            if (got != cmd.Number)
                Fail(cmd.Line,
                     "expected event " + std::to_string(cmd.Number) + ", got " + std::to_string(got));
        }
        break;
    case ExpectKind::Return:
    case ExpectKind::Out:
    case ExpectKind::Data: {
        rt::Variant actual;
        const char* name = "return";
        if (cmd.Expect == ExpectKind::Return) {
            actual = FLastReturn;
        } else if (cmd.Expect == ExpectKind::Out) {
            actual = FLastOut;
            name = "out";
        } else {
            actual = FController ? FController->ResultData : FResultData;
            name = "data";
        }
        if (FormatValue(actual) != FormatValue(cmd.Value))
            Fail(cmd.Line, std::string("expected ") + name + " " + FormatValue(cmd.Value) + ", got " +
                               FormatValue(actual));
        break;
    }
    case ExpectKind::Code: {
        const int32_t actual = FController ? FController->ResultCode : FResultCode;
        if (actual != cmd.Number)
            Fail(cmd.Line, "expected code " + std::to_string(cmd.Number) + ", got " + std::to_string(actual));
        break;
    }
    case ExpectKind::Dialog:
        if (cmd.Flag) {
            if (!FDialogs.empty()) {
                Fail(cmd.Line, "expected no further dialog, got " + QuoteText(FDialogs.front()));
                FDialogs.clear();
            }
        } else if (FDialogs.empty()) {
            Fail(cmd.Line, "expected a dialog with " + QuoteText(cmd.Text) + ", no dialog was shown");
        } else {
            const std::string got = FDialogs.front();
            FDialogs.pop_front();
            if (got.find(cmd.Text) == std::string::npos)
                Fail(cmd.Line, "expected a dialog with " + QuoteText(cmd.Text) + ", got " + QuoteText(got));
        }
        break;
    case ExpectKind::Text:
        try {
            const std::string actual = FDriver.Text(cmd.Path);
            if (actual != cmd.Text)
                Fail(cmd.Line, "expected text " + QuoteText(cmd.Text) + " in " + cmd.Path + ", got " +
                                   QuoteText(actual));
        } catch (const std::exception& e) {
            Fail(cmd.Line, "expect text " + cmd.Path + ": " + ExceptionText(e));
        }
        break;
    case ExpectKind::Error:
        if (!FPendingError) {
            Fail(cmd.Line,
                 "expected an error with " + QuoteText(cmd.Text) + ", the previous command raised none");
        } else {
            if (FPendingError->Message.find(cmd.Text) == std::string::npos)
                Fail(cmd.Line, "expected an error with " + QuoteText(cmd.Text) + ", got " +
                                   QuoteText(FPendingError->Message));
            FPendingError.reset();
        }
        break;
    }
}

void HostSession::EventThunk(void* self, int32_t code, rt::TObject*) {
    static_cast<HostSession*>(self)->OnEvent(code);
}

void HostSession::OnEvent(int32_t code) {
    FOut << "event " << code << '\n';
    FEvents.push_back(code);
    if (code == DLL_EVENT_FORM_DESTROY && FController) {
        FResultCode = FController->ResultCode;
        FResultData = FController->ResultData;
        FOut << "result code " << FResultCode << " data " << FormatValue(FResultData) << '\n';
    }
}

void HostSession::CheckPendingError() {
    if (!FPendingError) return;
    const PendingError e = *FPendingError;
    FPendingError.reset();
    Fail(e.Line, e.What + " raised " + QuoteText(e.Message) + " and no expect error follows");
}

void HostSession::Raised(int line, const std::string& what, const std::string& message) {
    FOut << what << " raised " << QuoteText(message) << '\n';
    CheckPendingError();
    FPendingError = PendingError{line, what, message};
}

void HostSession::Fail(int line, const std::string& message) {
    ++FFailures;
    FOut.flush();
    FErr << "kvx-host: " << FScriptFile << ":" << line << ": " << message << '\n';
}

void HostSession::Fatal(int line, const std::string& message) {
    Fail(line, message);
    FStopped = true;
}

} // namespace kvx::host
