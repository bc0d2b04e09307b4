#pragma once
// The user at the module's forms, as a host session acts: controls addressed by path
// ("frmKtvr08/sp01/BeginEdit"), moved through the runtime's simulated input, message dialogs and modal
// forms answered from queues. Failures (no such control, a control that cannot take the input) raise.
#include "HostScript.h"
#include "core/Variant.h"

#include <functional>
#include <string>

namespace kvx::host {

class FormDriver {
public:
    // What the session hears of while it runs: a message dialog shown and answered, a modal form of
    // the module closed.
    struct Observer {
        std::function<void(const std::string& type, const std::string& text, int answer)> DialogShown;
        std::function<void(const std::string& formClass, int modalResult)> ModalClosed;
    };

    virtual ~FormDriver() = default;

    virtual void SetObserver(Observer observer) = 0;

    virtual void Focus(const std::string& path) = 0;
    virtual void SetText(const std::string& path, const std::string& text) = 0;
    virtual void Type(const std::string& path, const std::string& text) = 0;
    virtual void Key(const std::string& path, const KeyStroke& keys) = 0;
    virtual void Click(const std::string& path) = 0;
    virtual void Check(const std::string& path, bool checked) = 0;
    virtual void ChooseIndex(const std::string& path, int index) = 0;
    virtual void ChooseText(const std::string& path, const std::string& item) = 0;
    virtual void Close(const std::string& path) = 0;
    virtual void ProcessMessages() = 0;
    virtual std::string Text(const std::string& path) = 0;

    // The answer (a modal result) of the next message dialog.
    virtual void QueueDialogAnswer(int modalResult) = 0;
    // Runs body inside the modal loop of the next modal showing of a form of that class.
    virtual void QueueModalScript(const std::string& formClass, std::function<void()> body) = 0;
    // Runs showModal (the host's ShowModal call on the controller) with body as the script of the form
    // whose window handle is given; answers what showModal answered and whether body ran.
    virtual rt::Variant RunModal(uintptr_t formHandle, const std::function<rt::Variant()>& showModal,
                                 std::function<void()> body, bool& bodyRan) = 0;
};

} // namespace kvx::host
