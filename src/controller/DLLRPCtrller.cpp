#include "DLLRPCtrller.h"

#include "DLLFunc.h"
#include "Foreground.h"
#include "os/DynLib.h"
#include "ui/Forms.h"

namespace kvx {

rt::TClass frmBaseGeneClass = nullptr;

namespace {

// The unit's initialization: the controllers of this library are TDLLRPCtrller.
[[maybe_unused]] const bool ControllerClassRegistered =
    (DLLControllerClass = &ControllerClassOf<TDLLRPCtrller>, true);

// The file name of the library this code was loaded from.
std::string OwnModuleFileName() {
    return rt::ModuleFileNameOf(reinterpret_cast<const void*>(&OwnModuleFileName));
}

TfrmBaseGene* NewOptionForm() {
    if (!frmBaseGeneClass)
        throw rt::Exception("KVX DLL Internal Error :\rNot Assign \"frmBaseGeneClass\" varible");
    if (!frmBaseGeneClass->InheritsFrom(TfrmBaseGene::ClassInfo()) || !frmBaseGeneClass->Factory())
        throw rt::Exception("KVX DLL Internal Error :\r\"" + frmBaseGeneClass->Name() +
                            "\" is no option form class");
    rt::TComponent* created = frmBaseGeneClass->Factory()(nullptr);
    auto* form = dynamic_cast<TfrmBaseGene*>(created);
    if (!form) {
        rt::Free(created);
        throw rt::Exception("KVX DLL Internal Error :\r\"" + frmBaseGeneClass->Name() +
                            "\" is no option form class");
    }
    return form;
}

} // namespace

TDLLRPCtrller::~TDLLRPCtrller() {
    if (FForm) FreeForm();
}

std::u16string TDLLRPCtrller::GetVersion() {
    if (!FForm) return std::u16string();
    return rt::Utf8ToUtf16(FForm->FModuleVersion);
}

int16_t TDLLRPCtrller::GetVisible() {
    return FForm && FForm->Visible() ? int16_t(-1) : int16_t(0);
}

void TDLLRPCtrller::SetVisible(int16_t Value) {
    if (!FForm) return;
    FForm->SetVisible(Value != 0);
    if (Value != 0) {
        if (FForm->WindowState() == rt::wsMinimized) FForm->SetWindowState(rt::wsNormal);
        BringWindowToForeground(FForm->Handle());
    }
}

rt::HWND TDLLRPCtrller::GetHandle() {
    return FForm ? FForm->Handle() : rt::HWND(0);
}

void TDLLRPCtrller::Hook(rt::TNotifyEvent& formEvent, rt::TNotifyEvent& saved, const rt::TNotifyEvent& ours) {
    if (formEvent == ours) return;
    saved = formEvent;
    formEvent = ours;
}

int32_t TDLLRPCtrller::CreateForm(rt::Variant Params) {
    int32_t result = -1;
    if (!FForm) {
        FForm = NewOptionForm();
        FForm->SetModulePath(OwnModuleFileName());
        FForm->FHostApp = HostApp;
        DoFormCreated();
    }
    // The form may be gone already if the host freed it from inside event 256.
    if (!FForm) return result;
    Hook(FForm->OnShow, FPrevOnShow, rt::Handler<&TDLLBaseController::DoFormShow>(this));
    Hook(FForm->OnHide, FPrevOnHide, rt::Handler<&TDLLBaseController::DoFormHide>(this));
    Hook(FForm->OnDestroy, FPrevOnDestroy, rt::Handler<&TDLLBaseController::DoFormDestroy>(this));
    if (FForm->SetParams(Params)) result = 0;
    return result;
}

int32_t TDLLRPCtrller::Execute(rt::Variant Command) {
    try {
        if (!FForm || Command.IsNull() || !Command.IsArray()) return -1;
        FForm->ExecuteHostCommand(rt::VarArrayOf({rt::Variant(true), rt::Variant(Command[1])}));
        return 0;
    } catch (...) {
        return -1;
    }
}

int32_t TDLLRPCtrller::Notify(int32_t Kind, int32_t /*Reserved*/, rt::Variant Data) {
    try {
        if (!FForm || (Kind != 5 && Kind != 9)) return -1;
        FForm->ExecuteHostCommand(rt::VarArrayOf({rt::Variant(false), Data}));
        return 0;
    } catch (...) {
        return -1;
    }
}

rt::Variant TDLLRPCtrller::ShowModal() {
    if (!FForm) return rt::Variant(static_cast<int>(rt::mrCancel));
    return rt::Variant(static_cast<int>(FForm->ShowModal()));
}

void TDLLRPCtrller::FreeForm() {
    if (FForm && !FForm->IsDestroying()) FForm->Free();
}

int32_t TDLLRPCtrller::GetInfo(rt::Variant& Info) {
    if (!FForm) return -1;
    Info = rt::VarArrayOf({rt::Variant(FForm->FUserID), rt::Variant(FForm->FCompanyID),
                           rt::Variant(FForm->FProgramID), rt::Variant(FForm->FProgramName)});
    return 0;
}

bool TDLLRPCtrller::IsFormFreed() {
    return !FForm;
}

void TDLLRPCtrller::DoFormShow(rt::TObject* Sender) {
    FPrevOnShow(Sender);
    TDLLBaseController::DoFormShow(Sender);
}

void TDLLRPCtrller::DoFormHide(rt::TObject* Sender) {
    FPrevOnHide(Sender);
    TDLLBaseController::DoFormHide(Sender);
}

void TDLLRPCtrller::DoFormDestroy(rt::TObject* Sender) {
    TfrmBaseGene* form = FForm.get();
    // The controller lets go of the form before the host hears of it, so that a host that frees the
    // controller (or calls FreeForm) from inside event 304 finds no form to free a second time.
    FForm = nullptr;
    if (!form) return;
    ResultCode = form->FResultCode;
    ResultData = form->FResultData;
    FPrevOnDestroy(Sender);
    TDLLBaseController::DoFormDestroy(Sender);
}

} // namespace kvx
