#include "RuntimeFormDriver.h"

#include "core/SysUtils.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"
#include "ui/Input.h"

namespace kvx::host {
namespace {

const char* DialogTypeName(rt::TMsgDlgType type) {
    switch (type) {
    case rt::mtWarning:
        return "warning";
    case rt::mtError:
        return "error";
    case rt::mtInformation:
        return "information";
    case rt::mtConfirmation:
        return "confirmation";
    default:
        return "custom";
    }
}

rt::TShiftState ShiftOf(const KeyStroke& keys) {
    rt::TShiftState shift;
    if (keys.Shift) shift.Include(rt::ssShift);
    if (keys.Ctrl) shift.Include(rt::ssCtrl);
    if (keys.Alt) shift.Include(rt::ssAlt);
    return shift;
}

} // namespace

// Answers like the headless driver and reports every message dialog and every modal form it ended.
class SessionDialogDriver : public rt::THeadlessDialogDriver {
public:
    explicit SessionDialogDriver(const FormDriver::Observer& observer) : FObserver(observer) {}

    int MessageBox(rt::TDialogRecord& record) override {
        const int answer = rt::THeadlessDialogDriver::MessageBox(record);
        Report(record);
        return answer;
    }

    void RunModal(rt::TCustomForm& form) override {
        const size_t before = Dialogs().size();
        const bool messageForm = dynamic_cast<rt::TMessageForm*>(&form) != nullptr;
        rt::THeadlessDialogDriver::RunModal(form);
        if (messageForm) {
            if (Dialogs().size() > before) Report(Dialogs().back());
        } else if (FObserver.ModalClosed) {
            FObserver.ModalClosed(form.ClassName(), form.ModalResult());
        }
    }

private:
    void Report(const rt::TDialogRecord& record) const {
        if (FObserver.DialogShown)
            FObserver.DialogShown(DialogTypeName(record.Type), record.Text, record.Answer);
    }

    const FormDriver::Observer& FObserver;
};

RuntimeFormDriver::RuntimeFormDriver() {
    auto driver = std::make_unique<SessionDialogDriver>(FObserver);
    FDialogs = driver.get();
    FPrevious = rt::SetDialogDriver(std::move(driver));
}

RuntimeFormDriver::~RuntimeFormDriver() {
    rt::SetDialogDriver(std::move(FPrevious));
}

void RuntimeFormDriver::SetObserver(Observer observer) {
    FObserver = std::move(observer);
}

void RuntimeFormDriver::Focus(const std::string& path) {
    rt::input::Focus(path);
}

void RuntimeFormDriver::SetText(const std::string& path, const std::string& text) {
    rt::input::Control(path)->SetText(text);
}

void RuntimeFormDriver::Type(const std::string& path, const std::string& text) {
    rt::input::TypeInto(path, text);
}

void RuntimeFormDriver::Key(const std::string& path, const KeyStroke& keys) {
    rt::input::Focus(path);
    rt::input::PressKey(keys.Key, ShiftOf(keys));
}

void RuntimeFormDriver::Click(const std::string& path) {
    rt::input::Click(path);
}

void RuntimeFormDriver::Check(const std::string& path, bool checked) {
    rt::input::Check(path, checked);
}

void RuntimeFormDriver::ChooseIndex(const std::string& path, int index) {
    rt::input::ChooseItem(path, index);
}

void RuntimeFormDriver::ChooseText(const std::string& path, const std::string& item) {
    rt::input::ChooseItem(path, item);
}

void RuntimeFormDriver::Close(const std::string& path) {
    rt::input::CloseForm(path);
}

void RuntimeFormDriver::ProcessMessages() {
    rt::Application->ProcessMessages();
}

std::string RuntimeFormDriver::Text(const std::string& path) {
    return rt::input::Control(path)->GetText();
}

void RuntimeFormDriver::QueueDialogAnswer(int modalResult) {
    FDialogs->PushAnswer(modalResult);
}

void RuntimeFormDriver::InstallHandler(const std::string& formClass) {
    const std::string key = rt::UpperCase(formClass);
    FDialogs->SetModalHandler(formClass, [this, key](rt::TCustomForm&) { RunNextScript(key); });
}

void RuntimeFormDriver::RunNextScript(const std::string& key) {
    auto it = FScripts.find(key);
    if (it == FScripts.end() || it->second.empty()) return; // nobody acts: the driver ends it with cancel
    ModalScript script = std::move(it->second.front());
    it->second.pop_front();
    script.Body();
}

void RuntimeFormDriver::QueueModalScript(const std::string& formClass, std::function<void()> body) {
    FScripts[rt::UpperCase(formClass)].push_back({FNextId++, std::move(body)});
    InstallHandler(formClass);
}

rt::Variant RuntimeFormDriver::RunModal(uintptr_t formHandle, const std::function<rt::Variant()>& showModal,
                                        std::function<void()> body, bool& bodyRan) {
    bodyRan = false;
    auto* form = dynamic_cast<rt::TCustomForm*>(rt::FindControl(formHandle));
    if (!form) return showModal();
    const std::string key = rt::UpperCase(form->ClassName());
    const int id = FNextId++;
    FScripts[key].push_front({id, [&bodyRan, body = std::move(body)] {
                                  bodyRan = true;
                                  body();
                              }});
    InstallHandler(form->ClassName());
    rt::Variant result;
    try {
        result = showModal();
    } catch (...) {
        auto& queue = FScripts[key];
        if (!queue.empty() && queue.front().Id == id) queue.pop_front();
        throw;
    }
    auto& queue = FScripts[key];
    if (!queue.empty() && queue.front().Id == id) queue.pop_front();
    return result;
}

} // namespace kvx::host
