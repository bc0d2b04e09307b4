#pragma once
// The FormDriver of a real session: the runtime's simulated input and control paths, and a dialog
// driver that answers like the headless one and tells the session what it showed.
#include "FormDriver.h"

#include <deque>
#include <map>
#include <memory>

namespace rt {
class TDialogDriver;
}

namespace kvx::host {

class SessionDialogDriver;

class RuntimeFormDriver : public FormDriver {
public:
    // Installs the session's dialog driver for the lifetime of this object.
    RuntimeFormDriver();
    ~RuntimeFormDriver() override;
    RuntimeFormDriver(const RuntimeFormDriver&) = delete;
    RuntimeFormDriver& operator=(const RuntimeFormDriver&) = delete;

    void SetObserver(Observer observer) override;
    void Focus(const std::string& path) override;
    void SetText(const std::string& path, const std::string& text) override;
    void Type(const std::string& path, const std::string& text) override;
    void Key(const std::string& path, const KeyStroke& keys) override;
    void Click(const std::string& path) override;
    void Check(const std::string& path, bool checked) override;
    void ChooseIndex(const std::string& path, int index) override;
    void ChooseText(const std::string& path, const std::string& item) override;
    void Close(const std::string& path) override;
    void ProcessMessages() override;
    std::string Text(const std::string& path) override;
    void QueueDialogAnswer(int modalResult) override;
    void QueueModalScript(const std::string& formClass, std::function<void()> body) override;
    rt::Variant RunModal(uintptr_t formHandle, const std::function<rt::Variant()>& showModal,
                         std::function<void()> body, bool& bodyRan) override;

private:
    struct ModalScript {
        int Id;
        std::function<void()> Body;
    };
    void InstallHandler(const std::string& formClass);
    void RunNextScript(const std::string& key);

    SessionDialogDriver* FDialogs; // owned by the runtime while installed
    std::unique_ptr<rt::TDialogDriver> FPrevious;
    Observer FObserver;
    std::map<std::string, std::deque<ModalScript>> FScripts; // by upper-case class name
    int FNextId = 0;
};

} // namespace kvx::host
