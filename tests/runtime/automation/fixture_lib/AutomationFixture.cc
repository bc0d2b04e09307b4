// Automation objects created through the registry by the tests of CreateOleObject.
#include "automation/Dispatch.h"

#include <atomic>

namespace {

std::atomic<int> gLiveObjects{0};

class TFixtureObject : public rt::TAutoObject {
public:
    TFixtureObject(std::string progId, std::string kind)
        : FProgId(std::move(progId)), FKind(std::move(kind)) {
        ++gLiveObjects;
        AddMethod("Echo", [](std::vector<rt::Variant>& args) {
            CheckArgCount("Echo", args, 1, 1);
            return args[0];
        });
        AddProperty("ProgId", [this](std::vector<rt::Variant>&) { return rt::Variant(FProgId); });
        AddProperty("Kind", [this](std::vector<rt::Variant>&) { return rt::Variant(FKind); });
    }
    ~TFixtureObject() override { --gLiveObjects; }
    std::string DispatchClassName() const override { return "TFixtureObject"; }

private:
    std::string FProgId;
    std::string FKind;
};

} // namespace

extern "C" {

__attribute__((visibility("default"))) rt::IDispatch* CreateAutomationObject(const char* progId) {
    return new TFixtureObject(progId ? progId : "", "default");
}

__attribute__((visibility("default"))) rt::IDispatch* CreateOtherObject(const char* progId) {
    return new TFixtureObject(progId ? progId : "", "other");
}

__attribute__((visibility("default"))) rt::IDispatch* CreateNothing(const char*) {
    return nullptr;
}

__attribute__((visibility("default"))) int FixtureLiveObjects() {
    return gLiveObjects.load();
}
}
