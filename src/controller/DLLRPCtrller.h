#pragma once
// TDLLRPCtrller: the controller of the report module. It creates the option form of the class
// registered in frmBaseGeneClass, hands it the module path, the host object and the host parameters,
// hooks the form's show, hide and destroy events to raise the host's events, and forwards the host's
// commands to it.
#include "DLLBaseCtrller.h"
#include "framework/BaseGene.h"
#include "ui/Component.h"

namespace kvx {

// The option-form class reference: TfrmBaseGene or a descendant. Set by the library's main block.
extern rt::TClass frmBaseGeneClass;

class TDLLRPCtrller : public TDLLBaseController {
public:
    TDLLRPCtrller() = default;
    ~TDLLRPCtrller() override;

    std::u16string GetVersion() override;
    int16_t GetVisible() override;
    void SetVisible(int16_t Value) override;
    rt::HWND GetHandle() override;
    int32_t CreateForm(rt::Variant Params) override;
    int32_t Execute(rt::Variant Command) override;
    int32_t Notify(int32_t Kind, int32_t Reserved, rt::Variant Data) override;
    rt::Variant ShowModal() override;
    void FreeForm() override;
    int32_t GetInfo(rt::Variant& Info) override;
    bool IsFormFreed() override;

    void DoFormShow(rt::TObject* Sender) override;
    void DoFormHide(rt::TObject* Sender) override;
    void DoFormDestroy(rt::TObject* Sender) override;

    // The form this controller drives, or null.
    TfrmBaseGene* Form() const { return FForm.get(); }

private:
    // Saves the form's current handler in saved and installs ours, unless ours is already installed
    // (a second CreateForm must not chain our handler to itself).
    static void Hook(rt::TNotifyEvent& formEvent, rt::TNotifyEvent& saved, const rt::TNotifyEvent& ours);

    // Cleared by the runtime should the form ever go without our destroy handler.
    rt::TComponentPtr<TfrmBaseGene> FForm;
    rt::TNotifyEvent FPrevOnShow;
    rt::TNotifyEvent FPrevOnHide;
    rt::TNotifyEvent FPrevOnDestroy;
};

} // namespace kvx
