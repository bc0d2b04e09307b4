#include "automation/ComObj.h"

#include "os/DynLib.h"
#include "os/Registry.h"
#include "runtime/os/OsTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace rt {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

const std::string kFixture = std::string(KVX_BIN_DIR) + "/kvx_automation_fixture.so";

// A registry file in a scratch folder, with the fixture library registered under several identifiers.
class CreateOleObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_symlink(kFixture, FDir.Path() + "/linked.so");
        std::string reg =
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CLASSES_ROOT\\Kvx.Absolute]\n@=\"" +
            kFixture +
            "\"\n\n"
            "[HKEY_CLASSES_ROOT\\Kvx.NextToRegistry]\n\"Library\"=\"linked.so\"\n\n"
            "[HKEY_CLASSES_ROOT\\Kvx.NextToRuntime]\n@=\"Fixture\"\n"
            "\"Library\"=\"kvx_automation_fixture.dll\"\n\n"
            "[HKEY_CLASSES_ROOT\\Kvx.OtherFactory]\n@=\"linked.so\"\n\"Factory\"=\"CreateOtherObject\"\n\n"
            "[HKEY_CLASSES_ROOT\\Kvx.NoExport]\n@=\"linked.so\"\n\"Factory\"=\"MissingFactory\"\n\n"
            "[HKEY_CLASSES_ROOT\\Kvx.NoObject]\n@=\"linked.so\"\n\"Factory\"=\"CreateNothing\"\n\n"
            "[HKEY_CLASSES_ROOT\\Kvx.NoLibrary]\n@=\"nowhere.so\"\n\n"
            "[HKEY_CLASSES_ROOT\\Kvx.Unnamed]\n\"Factory\"=\"CreateOtherObject\"\n";
        FEnv.emplace("KVX_REGISTRY", FDir.Write("registry.reg", reg));
        ReloadRegistry();
    }
    void TearDown() override {
        FEnv.reset();
        ReloadRegistry();
    }

    static std::string ErrorOf(const std::string& progId) {
        try {
            CreateOleObject(progId);
        } catch (const EOleSysError& e) {
            return e.Message();
        }
        return "no EOleSysError";
    }

    TempDir FDir;
    std::optional<ScopedEnv> FEnv;
};

TEST_F(CreateOleObjectTest, CreatesObjectsFromTheRegisteredLibrary) {
    struct Case {
        const char* ProgId;
        const char* Kind;
    } cases[] = {{"Kvx.Absolute", "default"},
                 {"kvx.nexttoregistry", "default"},
                 {"Kvx.NextToRuntime", "default"},
                 {"Kvx.OtherFactory", "other"}};
    for (const Case& c : cases) {
        Variant obj = CreateOleObject(c.ProgId);
        ASSERT_EQ(obj.VarType(), varDispatch) << c.ProgId;
        EXPECT_EQ(OleGet(obj, "Kind").AsString(), c.Kind) << c.ProgId;
        EXPECT_EQ(OleGet(obj, "ProgId").AsString(), c.ProgId);
        EXPECT_EQ(OleCall(obj, "Echo", {42}).AsInteger(), 42);
    }
}

TEST_F(CreateOleObjectTest, ObjectIsFreedAndLibraryKeptWhileItLives) {
    HMODULE fixture = LoadLibrary(kFixture);
    ASSERT_NE(fixture, nullptr) << LastLibraryError();
    auto live = GetProcAddressAs<int (*)()>(fixture, "FixtureLiveObjects");
    ASSERT_NE(live, nullptr);
    {
        Variant obj = CreateOleObject("Kvx.Absolute");
        Variant copy = obj;
        EXPECT_EQ(live(), 1);
        obj = Variant();
        EXPECT_EQ(live(), 1);
    }
    EXPECT_EQ(live(), 0);
    FreeLibrary(fixture);
}

TEST_F(CreateOleObjectTest, FailuresRaiseOleSysErrorsThatSayWhy) {
    struct Case {
        const char* ProgId;
        const char* Expected;
    } cases[] = {
        {"InternetExplorer.Application", "Invalid class string, ProgID: \"InternetExplorer.Application\""},
        {"", "Invalid class string"},
        {"Kvx.Absolute\\Sub", "Invalid class string"},
        {"Kvx.NoExport", "MissingFactory"},
        {"Kvx.NoObject", "returned no object"},
        {"Kvx.NoLibrary", "nowhere.so"},
        {"Kvx.Unnamed", "names no library"},
    };
    for (const Case& c : cases) {
        std::string message = ErrorOf(c.ProgId);
        EXPECT_NE(message.find(c.Expected), std::string::npos) << c.ProgId << ": " << message;
    }
    EXPECT_THROW(GetActiveOleObject("Kvx.Absolute"), EOleSysError);
}

TEST_F(CreateOleObjectTest, BrokenRegistryFileMakesEveryIdentifierInvalidAndSaysWhy) {
    FDir.Write("registry.reg", "not a registry file at all\n");
    std::string message = ErrorOf("Kvx.Absolute");
    EXPECT_NE(message.find("Invalid class string"), std::string::npos) << message;
    EXPECT_NE(message.find("line 1"), std::string::npos) << message;
}

} // namespace
} // namespace rt
