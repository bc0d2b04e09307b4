// ReportCounterS.so as a client process loads it: the export named in the registry creates the module.
#include "TestSupport.h"

#include "automation/Dispatch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <sstream>

using namespace rt;

namespace {

using Factory = IDispatch* (*)(const char*);

TEST(InProcessLibrary, TheExportCreatesAWorkingModuleOnTheConfiguredDatabase) {
    appsrv_test::TempDir dir;
    const std::string db = dir.File("inproc.db");
    ::setenv("KVX_APPSERVER_DB", db.c_str(), 1);
    void* lib = ::dlopen(KVX_REPORTCOUNTERS_SO, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << ::dlerror();
    auto create = reinterpret_cast<Factory>(::dlsym(lib, "CreateAutomationObject"));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create("Other.Class"), nullptr);
    {
        const Variant app(DispatchPtr(create("ReportCounterS.dmReportCounter")));
        ASSERT_EQ(app.VarType(), varDispatch);
        EXPECT_EQ(VarToStr(OleCall(app, "InsertConTable", {appsrv_test::SchemeArray("甲", "796", false)})),
                  "");
        EXPECT_NE(VarToStr(OleCall(app, "InsertConTable", {appsrv_test::SchemeArray("甲", "796", false)})),
                  "");
        EXPECT_THROW(OleCall(app, "NoSuchMethod"), EOleError);
    }
    ::unsetenv("KVX_APPSERVER_DB");
    EXPECT_TRUE(std::ifstream(db).good()); // created on first use
}

TEST(InProcessLibrary, TheRegistryFixtureNamesTheLibraryAndItsFactory) {
    std::ifstream in(KVX_APPSERVER_REGISTRY);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("[HKEY_CLASSES_ROOT\\ReportCounterS.dmReportCounter]"), std::string::npos);
    EXPECT_NE(text.str().find(std::string("@=\"") + KVX_REPORTCOUNTERS_SO + "\""), std::string::npos);
    EXPECT_NE(text.str().find("\"Factory\"=\"CreateAutomationObject\""), std::string::npos);
}

} // namespace
