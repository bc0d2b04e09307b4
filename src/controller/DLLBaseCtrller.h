#pragma once
// TDLLBaseController: the controller contract between the report module and the host shell that loads
// it. The host is built against this very declaration: it reads and writes the four public fields
// directly and calls the virtual operations by their slot. Fields, operations, their order and their
// types are fixed; add nothing in between.
//
// Header only, so that a host needs nothing of the module but this file and the runtime library.
#include "core/Exceptions.h"
#include "core/Variant.h"
#include "rtti/Method.h"
#include "rtti/Object.h"
#include "ui/Messages.h"

#include <cstdint>
#include <string>

namespace kvx {

// The host's event handler: Code is one of the event codes below, Sender the controller.
KVRT_EVENT(TDLLEvent, void(int32_t Code, rt::TObject* Sender))

// Event codes raised through OnEvent.
enum : int32_t {
    DLL_EVENT_FORM_CREATED = 256, // the option form exists; its parameters are not set yet
    DLL_EVENT_FORM_SHOW = 272,    // the form's show event fired
    DLL_EVENT_FORM_HIDE = 288,    // the form's hide event fired
    DLL_EVENT_FORM_DESTROY = 304, // the form is going; ResultCode and ResultData are valid
    DLL_EVENT_RESERVED = 320,     // never raised by this module
};

class TDLLBaseController : public rt::TObject {
public:
    // The host's automation object; copied into the form when the form is created.
    rt::Variant HostApp;
    // Filled from the form when the form is destroyed.
    int32_t ResultCode = 0;
    rt::Variant ResultData;
    // The host's callback; may be unassigned.
    TDLLEvent OnEvent;

    TDLLBaseController() = default;
    ~TDLLBaseController() override = default;

    // Slots 1-11: abstract here (the platform's abstract-call error), given by the concrete controller.
    virtual std::u16string GetVersion() { Abstract(); }
    // A 16-bit boolean: all bits set for true, 0 for false.
    virtual int16_t GetVisible() { Abstract(); }
    virtual void SetVisible(int16_t /*Value*/) { Abstract(); }
    virtual rt::HWND GetHandle() { Abstract(); }
    // 0 = success, -1 = failure.
    virtual int32_t CreateForm(rt::Variant /*Params*/) { Abstract(); }
    // 0 = handed to the form, -1 otherwise.
    virtual int32_t Execute(rt::Variant /*Command*/) { Abstract(); }
    // The second argument is not used. 0 = handed to the form, -1 otherwise.
    virtual int32_t Notify(int32_t /*Kind*/, int32_t /*Reserved*/, rt::Variant /*Data*/) { Abstract(); }
    virtual rt::Variant ShowModal() { Abstract(); }
    virtual void FreeForm() { Abstract(); }
    virtual int32_t GetInfo(rt::Variant& /*Info*/) { Abstract(); }
    virtual bool IsFormFreed() { Abstract(); }

    // Slots 12-18, with their base behaviour.
    virtual void DoFormCreated() { DoEvent(DLL_EVENT_FORM_CREATED); }
    virtual void DoFormShow(rt::TObject* /*Sender*/) { DoEvent(DLL_EVENT_FORM_SHOW); }
    virtual void DoFormHide(rt::TObject* /*Sender*/) { DoEvent(DLL_EVENT_FORM_HIDE); }
    virtual void DoFormDestroy(rt::TObject* /*Sender*/) { DoEvent(DLL_EVENT_FORM_DESTROY); }
    virtual void DoReservedEvent() { DoEvent(DLL_EVENT_RESERVED); }
    virtual void DoEvent(int32_t Code) {
        if (OnEvent) OnEvent(Code, this);
    }
    virtual void ReservedOperation() {}

private:
    [[noreturn]] static void Abstract() { throw rt::EAbstractError("Abstract Error"); }
};

// The exported entry point, as the host looks it up by name.
using TGetControllerProc = TDLLBaseController* (*)();
inline constexpr const char* GetControllerProcName = "GetController";

} // namespace kvx
