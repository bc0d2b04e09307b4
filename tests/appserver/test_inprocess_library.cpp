// ReportCounterS.so as a client process loads it: the export named in the registry creates the module.
#include "TestSupport.h"

#include "automation/ComObj.h"
#include "automation/Dispatch.h"
#include "core/Clock.h"
#include "data/SocketConnection.h"

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

TEST(InProcessLibrary, CreateOleObjectFindsTheModuleThroughTheRegistry) {
    appsrv_test::TempDir dir;
    ::setenv("KVX_APPSERVER_DB", dir.File("registry.db").c_str(), 1);
    ::setenv("KVX_REGISTRY", KVX_APPSERVER_REGISTRY, 1);
    const ScopedClock clock(TDateTime(46367.5)); // 2026-12-11: the module reads the process clock
    {
        // The local-address case of the option form: create by name, hand it to the connection.
        TSocketConnection conn;
        conn.SetAddress("127.0.0.1");
        conn.SetServerName("ReportCounterS.dmReportCounter");
        conn.SetAppServer(CreateOleObject(conn.ServerName()));
        const std::string number = VarToStr(
            OleCall(conn.AppServer(), "Request1", {appsrv_test::SampleJob(false), Variant(u"PC-01")}));
        EXPECT_EQ(number, "20261211000001");
    }
    ::unsetenv("KVX_REGISTRY");
    ::unsetenv("KVX_APPSERVER_DB");
}

} // namespace
