#include "os/Registry.h"

#include "core/Exceptions.h"
#include "runtime/os/OsTestSupport.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

const char* const kSample = R"(Windows Registry Editor Version 5.00

; the client installation
[HKEY_LOCAL_MACHINE\Software\KVX\Marshal]
"ClientPath"="C:\\KVX\\Client\\"
"Quote"="say \"hi\""
"ProfileType"="0"
@="default text"
"Retries"=dword:0000001f
"Minus"=dword:ffffffff
"Search"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,2f,00,\
  78,00,00,00
"Blob"=hex:01,02,\
  ff
"名称"="中文"

[HKEY_LOCAL_MACHINE\Software\KVX\Marshal\Sub]
"Inner"="1"

[HKEY_LOCAL_MACHINE\Software\KVX\Tollmead\Deep\Leaf]

[HKEY_CLASSES_ROOT\Kvx.Thing]
@="thing.so"
)";

class RegistryTest : public ::testing::Test {
protected:
    // Points the process at a new registry file.
    std::string UseRegistry(const std::string& bytes) {
        std::string file = FDir.Write("registry.reg", bytes);
        FEnv.emplace("KVX_REGISTRY", file);
        ReloadRegistry();
        return file;
    }
    void TearDown() override {
        FEnv.reset();
        ReloadRegistry();
    }

    TempDir FDir;
    std::optional<ScopedEnv> FEnv;
};

TEST_F(RegistryTest, ReadsTextsNumbersAndHexValuesIgnoringCase) {
    UseRegistry(kSample);
    TRegistry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("software\\kvx\\MARSHAL")) << reg.LastError();
    EXPECT_EQ(reg.CurrentPath(), "Software\\KVX\\Marshal");
    EXPECT_EQ(reg.ReadString("clientpath"), "C:\\KVX\\Client\\");
    EXPECT_EQ(reg.ReadString("Quote"), "say \"hi\"");
    EXPECT_EQ(reg.ReadString(""), "default text");
    EXPECT_EQ(reg.ReadInteger("RETRIES"), 31);
    EXPECT_EQ(reg.ReadInteger("Minus"), -1);
    EXPECT_EQ(reg.GetDataType("Search"), TRegDataType::rdExpandString);
    EXPECT_EQ(reg.ReadString("Search"), "%PATH%/x");
    EXPECT_EQ(reg.ReadBinaryData("Blob"), (std::vector<uint8_t>{0x01, 0x02, 0xff}));
    EXPECT_EQ(reg.ReadString("名称"), "中文");
    EXPECT_TRUE(reg.ValueExists("profiletype"));
    EXPECT_FALSE(reg.ValueExists("Absent"));
    EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"ClientPath", "Quote", "ProfileType", "",
                                                             "Retries", "Minus", "Search", "Blob", "名称"}));
    EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"Sub"});
}

TEST_F(RegistryTest, KeysOpenRelativeToTheOpenKeyOrTheRoot) {
    UseRegistry(kSample);
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\KVX\\Marshal"));
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\KVX"));
    EXPECT_EQ(reg.GetKeyNames(), (std::vector<std::string>{"Marshal", "Tollmead"}));
    ASSERT_TRUE(reg.OpenKeyReadOnly("Marshal\\Sub")); // relative to the open key
    EXPECT_EQ(reg.ReadString("Inner"), "1");
    EXPECT_FALSE(reg.OpenKeyReadOnly("Nowhere"));
    EXPECT_NE(reg.LastError().find("Nowhere"), std::string::npos);
    EXPECT_EQ(reg.CurrentPath(), "Software\\KVX\\Marshal\\Sub");         // a failed open keeps the key
    EXPECT_TRUE(reg.OpenKeyReadOnly("\\Software\\KVX\\Tollmead\\Deep")); // an unwritten parent exists
    EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\kvx\\marshal\\sub"));
    EXPECT_FALSE(reg.KeyExists("\\Software\\Other"));
    reg.CloseKey();
    EXPECT_EQ(reg.ReadString("Inner"), "");
    EXPECT_TRUE(reg.GetValueNames().empty());
}

TEST_F(RegistryTest, MissingValuesAndWrongKindsFollowThePlatform) {
    UseRegistry(kSample);
    TRegistry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\KVX\\Marshal"));
    EXPECT_EQ(reg.ReadString("Absent"), "");
    EXPECT_THROW(reg.ReadInteger("Absent"), ERegistryException);
    EXPECT_THROW(reg.ReadString("Retries"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("ClientPath"), ERegistryException);
    EXPECT_THROW(reg.ReadBinaryData("ClientPath"), ERegistryException);
}

TEST_F(RegistryTest, ReadsRegedit4AndUtf16Exports) {
    UseRegistry("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"V\"=\"four\"\r\n");
    TRegistry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\A")) << reg.LastError();
    EXPECT_EQ(reg.ReadString("V"), "four");

    UseRegistry("\xFF\xFE" +
                testing::Utf16LEBytes(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                      u"[HKEY_CURRENT_USER\\Software\\B]\r\n\"路径\"=\"五\"\r\n"));
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\B")) << reg.LastError();
    EXPECT_EQ(reg.ReadString("路径"), "五");
}

TEST_F(RegistryTest, LaterLinesOverrideAndDeletionLinesRemove) {
    UseRegistry(R"(Windows Registry Editor Version 5.00
[HKEY_CURRENT_USER\A]
"X"="1"
"Y"="1"
[HKEY_CURRENT_USER\A\Gone]
"Z"="1"
[hkey_current_user\a]
"x"="2"
"Y"=-
[-HKEY_CURRENT_USER\A\Gone]
"Ignored"="1"
)");
    TRegistry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKeyReadOnly("A")) << reg.LastError();
    EXPECT_EQ(reg.ReadString("X"), "2");
    EXPECT_FALSE(reg.ValueExists("Y"));
    EXPECT_FALSE(reg.KeyExists("\\A\\Gone"));
}

TEST_F(RegistryTest, MalformedFilesNameFileAndLine) {
    const std::string header = "Windows Registry Editor Version 5.00\n";
    struct Case {
        std::string Text;
        int Line;
        const char* What;
    } cases[] = {
        {"[HKEY_CURRENT_USER\\A]\n\"V\"=\"1\"\n", 1, "missing header"},
        {"", 1, "missing header"},
        {header + "\n[HKEY_CURRENT_USER\\A\n\"V\"=\"1\"\n", 3, "unterminated key"},
        {header + "[HKEY_CURRENT_USER\\A]\n\"V\"=\"1\"\n\"N\"=dword:12345678Z\n", 4, "bad dword"},
        {header + "[HKEY_CURRENT_USER\\A]\n\"N\"=dword:\n", 3, "bad dword"},
        {header + "[HKEY_CURRENT_USER\\A]\n\"N\"=dword:123456789\n", 3, "bad dword"},
        {header + "\"V\"=\"1\"\n", 2, "outside a key"},
        {header + "[HKEY_NOWHERE\\A]\n", 2, "unknown root"},
        {header + "[HKEY_CURRENT_USER\\A]\n\"B\"=hex:01,zz\n", 3, "bad byte"},
        {header + "[HKEY_CURRENT_USER\\A]\n\"B\"=hex:01,\\\n", 3, "continuation"},
        {header + "[HKEY_CURRENT_USER\\A]\n\"V\"=\"open\n", 3, "unterminated quoted"},
        {header + "[HKEY_CURRENT_USER\\A]\n\"V\"=text\n", 3, "unrecognised value"},
        {header + "[HKEY_CURRENT_USER\\A]\njunk\n", 3, "unrecognised line"},
    };
    for (const Case& c : cases) {
        std::string file = UseRegistry(c.Text);
        std::string where = "\"" + file + "\", line " + std::to_string(c.Line) + ": ";
        try {
            TRegistryFile::LoadFromFile(file);
            ADD_FAILURE() << "no error for: " << c.Text;
        } catch (const ERegistryException& e) {
            EXPECT_NE(e.Message().find(where), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(c.What), std::string::npos) << e.Message();
        }
        // The reader the module uses answers false and keeps the reason.
        TRegistry reg(HKEY_CURRENT_USER);
        EXPECT_FALSE(reg.OpenKeyReadOnly("A"));
        EXPECT_NE(reg.LastError().find(where), std::string::npos) << reg.LastError();
        EXPECT_FALSE(reg.KeyExists("A"));
    }
}

TEST_F(RegistryTest, MissingFileIsAnErrorTheCallerSees) {
    ScopedEnv env("KVX_REGISTRY", FDir.File("absent.reg"));
    TRegistry reg(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKeyReadOnly("Software"));
    EXPECT_NE(reg.LastError().find("absent.reg"), std::string::npos) << reg.LastError();
    EXPECT_THROW(LoadRegistry(), ERegistryException);
}

TEST_F(RegistryTest, ChangedFileIsReadAgain) {
    UseRegistry("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"V\"=\"old\"\n");
    TRegistry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKeyReadOnly("A"));
    EXPECT_EQ(reg.ReadString("V"), "old");
    auto before = LoadRegistry();
    EXPECT_EQ(LoadRegistry(), before); // unchanged: the same snapshot

    FDir.Write("registry.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"V\"=\"newer\"\n");
    EXPECT_EQ(reg.ReadString("V"), "old"); // an open key keeps its snapshot
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\A"));
    EXPECT_EQ(reg.ReadString("V"), "newer");
}

} // namespace
} // namespace rt
