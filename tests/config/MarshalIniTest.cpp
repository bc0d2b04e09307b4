// The client and server configuration readers and the stored password form.
#include "config/MarshalINI.h"

#include "core/SysUtils.h"
#include "kvx/Edition.h"
#include "os/CodePage.h"
#include "os/SysInfo.h"
#include "support/SupportTestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kvx;
using kvx::testing::ScopedACP;
using kvx::testing::ScopedMarshalKey;
using kvx::testing::TempDir;

namespace {

class MarshalIniTest : public ::testing::Test {
protected:
    MarshalIniTest() : FTmp("TMPDIR", FDir.Path()) {}

    std::string Install() const { return FDir.Path() + "kvx/"; }
    void WriteClientIni(const std::string& text, const std::string& sub = "") const {
        FDir.Write("kvx/" + sub + "MarshalC.ini", text);
    }
    std::vector<std::string> Lines(const rt::TStrings& list) const {
        std::vector<std::string> lines;
        for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
        return lines;
    }

    TempDir FDir;
    kvx::testing::ScopedEnv FTmp;
};

TEST_F(MarshalIniTest, MissingRegistryKeyGivesError15AndSystemDefaults) {
    ScopedMarshalKey key(FDir, std::nullopt);
    ScopedACP acp(950);
    TMarshalIniC client;
    EXPECT_EQ(client.ErrorId, "E;000015");
    EXPECT_FALSE(client.LoadConfig());
    EXPECT_EQ(client.ClientPath, "");
    EXPECT_EQ(client.ProfileType, "0");
    EXPECT_EQ(client.ProfileUser, "Default");
    EXPECT_EQ(client.SysCodePage, "950");
    EXPECT_EQ(client.UICodePage, "950");
    EXPECT_EQ(client.DBCodePage, "936");
    EXPECT_EQ(client.UIConvertMode, 2);
    EXPECT_EQ(client.DBConvertMode, 2);
    EXPECT_TRUE(client.Servers.IsEmpty());
    EXPECT_EQ(client.WorkDLLPaths.Count(), 0);

    TMarshalIniS server;
    EXPECT_EQ(server.ErrorId, "E;000015");
    EXPECT_TRUE(server.DBSettings.IsEmpty());
}

TEST_F(MarshalIniTest, EmptyInstallationPathStopsWithoutAnError) {
    ScopedMarshalKey key(FDir, "\"ClientPath\"=\"\"\r\n\"ServerPath\"=\"\"");
    TMarshalIniC client;
    EXPECT_FALSE(client.LoadConfig());
    EXPECT_EQ(client.ErrorId, "");
    EXPECT_TRUE(client.Servers.IsEmpty());
    TMarshalIniS server;
    EXPECT_FALSE(server.LoadConfig());
    EXPECT_EQ(server.ErrorId, "");
}

TEST_F(MarshalIniTest, MissingFileTakesEveryDefault) {
    ScopedMarshalKey key(FDir, "\"ClientPath\"=\"" + FDir.Path() + "kvx\"");
    ScopedACP acp(1252);
    TMarshalIniC client;
    EXPECT_TRUE(client.LoadConfig());
    EXPECT_EQ(client.ErrorId, "");
    EXPECT_EQ(client.ClientPath, Install());
    EXPECT_EQ(client.ProfileDir, Install());
    EXPECT_EQ(client.IniFileName, Install() + "MarshalC.ini");
    EXPECT_EQ(client.SysCodePage, "437");
    EXPECT_EQ(client.UICodePage, "437");
    EXPECT_EQ(client.DBCodePage, "936");
    EXPECT_EQ(client.UIConvertMode, 0);
    EXPECT_EQ(client.DBConvertMode, 0);
    EXPECT_EQ(client.LangType, "ENG");
    EXPECT_EQ(client.Version, "");
    // The earlier edition does not read these keys at all.
    constexpr bool ext = kvx::edition::ExtendedConfiguration;
    EXPECT_EQ(client.CreateGifBeforeSendEF, ext ? "Y" : "");
    EXPECT_EQ(client.AutoCheckNewMsg, ext ? "1" : "");
    EXPECT_EQ(client.CheckInterval, ext ? "1" : "");
    EXPECT_EQ(client.PopupMsg, ext ? "1" : "");
    EXPECT_EQ(client.LoginCheck, ext ? "0" : "");
    EXPECT_FALSE(client.SupportCallBack);
    ASSERT_EQ(client.Servers.DimCount(), 2);
    EXPECT_EQ(client.Servers.HighBound(2), 0);
    EXPECT_EQ(client.Servers(0, 0).AsString(), "127.0.0.1");
    EXPECT_EQ(client.Servers(1, 0).AsInteger(), 211);
    EXPECT_EQ(Lines(client.WorkDLLPaths), std::vector<std::string>{Install() + "C_PKG/"});
}

TEST_F(MarshalIniTest, CodePagesAndConversionModes) {
    const struct {
        int Acp;
        const char* Section;
        const char *Sys, *Ui, *Db;
        int UiMode, DbMode;
    } cases[] = {
        {1252, "", "437", "437", "936", 0, 0},
        {950, "UICodePage=936\r\nDBCodePage=950\r\n", "950", "936", "950", 4, 1},
        {936, "UICodePage=950\r\n", "936", "950", "936", 2, 2},
        {936, "UICodePage=950\r\nDBCodePage=950\r\n", "936", "950", "950", 2, 0},
        {936, "", "936", "936", "936", 0, 0},
        {936, "DBCodePage=950\r\n", "936", "936", "950", 0, 1},
        {950, "UICodePage=437\r\n", "950", "437", "936", 0, 0},
    };
    ScopedMarshalKey key(FDir,
                         "\"ClientPath\"=\"" + Install() + "\"\r\n\"ServerPath\"=\"" + Install() + "\"");
    for (const auto& c : cases) {
        ScopedACP acp(c.Acp);
        WriteClientIni(std::string("[CodePage]\r\n") + c.Section);
        FDir.Write("kvx/MarshalS.ini", std::string("[CodePage]\r\n") + c.Section);
        TMarshalIniC client;
        TMarshalIniS server;
        for (auto [sys, ui, db, uiMode, dbMode] :
             {std::tuple(client.SysCodePage, client.UICodePage, client.DBCodePage, client.UIConvertMode,
                         client.DBConvertMode),
              std::tuple(server.SysCodePage, server.UICodePage, server.DBCodePage, server.UIConvertMode,
                         server.DBConvertMode)}) {
            EXPECT_EQ(sys, c.Sys) << c.Acp << " " << c.Section;
            EXPECT_EQ(ui, c.Ui) << c.Acp << " " << c.Section;
            EXPECT_EQ(db, c.Db) << c.Acp << " " << c.Section;
            EXPECT_EQ(uiMode, c.UiMode) << c.Acp << " " << c.Section;
            EXPECT_EQ(dbMode, c.DbMode) << c.Acp << " " << c.Section;
        }
    }
}

TEST_F(MarshalIniTest, ServerHostsShareOnePort) {
    ScopedMarshalKey key(FDir, "\"ClientPath\"=\"" + Install() + "\"");
    const struct {
        const char* Hosts;
        std::vector<std::string> Expected;
    } cases[] = {
        {"hostA;hostB;", {"hostA", "hostB"}},
        {" hostA ", {"hostA"}},
        {"a;;b", {"a", "", "b"}},
        {";", {""}},
        {"a; b", {"a", " b"}},
    };
    for (const auto& c : cases) {
        WriteClientIni(std::string("[Server Information]\r\nComputerName=") + c.Hosts +
                       "\r\nServerPort=300\r\n");
        TMarshalIniC client;
        EXPECT_EQ(client.ErrorId, "");
        ASSERT_EQ(client.Servers.DimCount(), 2) << c.Hosts;
        ASSERT_EQ(client.Servers.HighBound(2) + 1, static_cast<int>(c.Expected.size())) << c.Hosts;
        for (int i = 0; i < static_cast<int>(c.Expected.size()); ++i) {
            EXPECT_EQ(client.Servers(0, i).AsString(), c.Expected[static_cast<size_t>(i)]) << c.Hosts;
            EXPECT_EQ(client.Servers(1, i).AsInteger(), 300);
        }
    }
}

TEST_F(MarshalIniTest, EmptyComputerNameGivesError16AndUnresolvedWorkPaths) {
    ScopedMarshalKey key(FDir, "\"ClientPath\"=\"" + Install() + "\"");
    WriteClientIni("[Server Information]\r\nComputerName=  \r\n[WorkDLLPath]\r\nPkg=\\Lib\r\n");
    TMarshalIniC client;
    EXPECT_EQ(client.ErrorId, "E;000016");
    EXPECT_TRUE(client.Servers.IsEmpty());
    EXPECT_EQ(Lines(client.WorkDLLPaths), std::vector<std::string>{"Pkg=\\Lib"});
}

TEST_F(MarshalIniTest, WorkLibraryPathsAreResolvedAgainstTheInstallation) {
    ScopedMarshalKey key(FDir, "\"ClientPath\"=\"" + Install() + "\"");
    WriteClientIni("[WorkDLLPath]\r\nPkg=\\Lib\r\nDrive=D:\\Lib\r\nRel=sub\\dir\\\r\nAbs=/opt/kvx/lib\r\n"
                   "Share=\\\\srv\\pkg\r\nEmpty=\r\n");
    TMarshalIniC client;
    EXPECT_EQ(Lines(client.WorkDLLPaths),
              (std::vector<std::string>{Install() + "Lib/", "D:/Lib/", Install() + "sub/dir/",
                                        "/opt/kvx/lib/", "//srv/pkg/", Install()}));
}

TEST_F(MarshalIniTest, MakeAbsolutePath) {
    const struct {
        const char* Path;
        const char* Expected;
    } cases[] = {
        {"\\Lib\\", "/base/Lib/"}, {"Lib\\", "/base/Lib/"},
        {"C:\\Lib\\", "C:/Lib/"},  {"\\\\srv\\x", "//srv/x"},
        {"/abs/x/", "/abs/x/"},    {"", "/base/"},
        {"\\", "/base/"},          {"d:", "d:"},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeAbsolutePath(c.Path, "/base/"), c.Expected) << c.Path;
}

TEST_F(MarshalIniTest, PerUserProfileFallsBackToTheInstallationFile) {
    ScopedMarshalKey key(FDir, "\"ClientPath\"=\"" + Install() + "\"\r\n\"ProfileType\"=\"1\"");
    const std::string user = rt::GetUserName();
    WriteClientIni("[Client Components]\r\nLangType=CHS\r\n");
    {
        TMarshalIniC client;
        EXPECT_EQ(client.ProfileType, "1");
        EXPECT_EQ(client.ProfileUser, user);
        EXPECT_EQ(client.ProfileDir, Install());
        EXPECT_EQ(client.IniFileName, Install() + "MarshalC.ini");
        EXPECT_EQ(client.LangType, "CHS");
    }
    WriteClientIni("[Client Components]\r\nLangType=CHT\r\n", "Profile/" + user + "/");
    TMarshalIniC client;
    EXPECT_EQ(client.ProfileDir, Install() + "Profile/" + user + "/");
    EXPECT_EQ(client.IniFileName, client.ProfileDir + "MarshalC.ini");
    EXPECT_EQ(client.LangType, "CHT");
}

TEST_F(MarshalIniTest, ClientKeysAndSupportCallBack) {
    ScopedMarshalKey key(FDir, "\"ClientPath\"=\"" + Install() + "\"");
    for (const auto& [text, expected] : std::initializer_list<std::pair<const char*, bool>>{{"yes", true},
                                                                                            {"Yes", true},
                                                                                            {"1", true},
                                                                                            {"y", true},
                                                                                            {"TRUE", true},
                                                                                            {"2", false},
                                                                                            {"no", false},
                                                                                            {"", false}}) {
        WriteClientIni(std::string("[Server Information]\r\nSupportCallBack=") + text +
                       "\r\n[ProductVersion]\r\nVersion=8.1\r\n[UserDefine]\r\nCreateGifBeforeSendEF=N\r\n"
                       "[TaskMessageCenter Setting]\r\nAutoCheckNewMsg=0\r\nCheckInterval=5\r\nPopupMsg=0\r\n"
                       "LoginCheck=1\r\n");
        TMarshalIniC client;
        EXPECT_EQ(client.SupportCallBack, expected) << text;
        EXPECT_EQ(client.Version, "8.1");
        constexpr bool ext = kvx::edition::ExtendedConfiguration;
        EXPECT_EQ(client.CreateGifBeforeSendEF, ext ? "N" : "");
        EXPECT_EQ(client.AutoCheckNewMsg, ext ? "0" : "");
        EXPECT_EQ(client.CheckInterval, ext ? "5" : "");
        EXPECT_EQ(client.PopupMsg, ext ? "0" : "");
        EXPECT_EQ(client.LoginCheck, ext ? "1" : "");
    }
}

TEST_F(MarshalIniTest, ServerSettingsAndDefaults) {
    ScopedMarshalKey key(FDir, "\"ServerPath\"=\"" + FDir.Path() + "srv\\\\\"");
    {
        TMarshalIniS server;
        EXPECT_TRUE(server.LoadConfig());
        EXPECT_EQ(server.ServerPath, FDir.Path() + "srv/");
        const rt::Variant& s = server.DBSettings;
        ASSERT_EQ(s.DimCount(), 2);
        EXPECT_EQ(s.HighBound(1), 3);
        EXPECT_EQ(s.HighBound(2), 7);
        EXPECT_EQ(s(0, 0).AsString(), "Vantor");
        EXPECT_EQ(s(0, 1).AsString(), "sa");
        EXPECT_EQ(s(0, 2).AsString(), "");
        EXPECT_EQ(s(0, 3).AsString(), "MSSQL");
        EXPECT_EQ(s(0, 6).AsInteger(), 300);
        EXPECT_EQ(s(0, 7).AsInteger(), 3000);
        EXPECT_EQ(s(1, 0).AsString(), "VantorTemp");
        EXPECT_EQ(s(1, 3).AsString(), "PARADOX");
        EXPECT_EQ(s(1, 5).AsString(), "PostgreSQL");
        EXPECT_EQ(s(2, 1).AsInteger(), 211);
        EXPECT_EQ(s(2, 2).AsInteger(), 1024);
        EXPECT_EQ(s(2, 3).AsString(), "Chinese_Taiwan_Stroke_BIN");
        EXPECT_EQ(s(3, 0).AsString(), "EDIDATA");
        EXPECT_TRUE(s(2, 4).IsEmpty());
        EXPECT_TRUE(s(3, 7).IsEmpty());
        EXPECT_EQ(server.DBKind, 0);
        EXPECT_FALSE(server.SupportCallBack);
        rt::TStringList paths;
        paths.Add("stale");
        server.GetWorkDLLPaths(paths);
        EXPECT_EQ(Lines(paths), std::vector<std::string>{FDir.Path() + "srv/S_PKG/"});
    }
    FDir.Write("srv/MarshalS.ini",
               "[DBE Setting]\r\nMainDBType=oracle\r\nMainServerName=dbhost\r\n"
               "XXXXXX=" +
                   EncodeSQLSa("secret") +
                   "\r\nTempPassword=\r\n"
                   "EctPassword=" +
                   EncodeSQLSa("x") +
                   "\r\nMainCommandTimeOut=abc\r\n"
                   "OtherSystemControlAddress=ctl2\r\n"
                   "[DBPasswordCtrl]\r\nComputerName=  pc1  \r\nSupportCallBack=true\r\n"
                   "[Server Information]\r\nSupportCallBack=0\r\n[WorkDLLPath]\r\nA=lib\r\n");
    TMarshalIniS server;
    const rt::Variant& s = server.DBSettings;
    EXPECT_EQ(server.DBKind, 1);
    EXPECT_EQ(s(0, 2).AsString(), "secret");
    EXPECT_EQ(s(1, 2).AsString(), "");
    EXPECT_EQ(s(3, 2).AsString(), EncodeSQLSa("x"));
    EXPECT_EQ(s(0, 7).AsInteger(), 3000);
    EXPECT_EQ(s(2, 0).AsString(), "pc1");
    constexpr bool ext = kvx::edition::ExtendedConfiguration;
    EXPECT_EQ(server.SystemControlAddress, ext ? "dbhost" : "");
    EXPECT_EQ(server.OtherSystemControlAddress, ext ? "ctl2" : "");
    EXPECT_TRUE(server.SupportCallBack);
    EXPECT_EQ(Lines(server.WorkDLLPaths), std::vector<std::string>{FDir.Path() + "srv/lib/"});
}

TEST_F(MarshalIniTest, DBKindFromTheMainDatabaseType) {
    ScopedMarshalKey key(FDir, "\"ServerPath\"=\"" + Install() + "\"");
    for (const auto& [type, kind] : std::initializer_list<std::pair<const char*, int>>{
             {"ORACLE", 1}, {"Oracle", 1}, {"db2", 2}, {"MSSQL", 0}, {"DB2 ", 2}, {"", 0}}) {
        FDir.Write("kvx/MarshalS.ini", std::string("[DBE Setting]\r\nMainDBType=") + type + "\r\n");
        TMarshalIniS server;
        EXPECT_EQ(server.DBKind, kind) << type;
    }
}

TEST(SQLSa, EncodeRotatesEachCharacterByItsPosition) {
    ScopedACP gb(936); // the bytes of a Chinese password are those of the system code page
    // 's' (0x73) at position 1 rotated right by 1 = 0xB9; 'a' (0x61) at position 2 by 2 = 0x58.
    EXPECT_EQ(EncodeSQLSa("sa"), "b958");
    // Position 8 is not rotated, position 9 by one again.
    EXPECT_EQ(EncodeSQLSa("aaaaaaaaa").substr(14), "61b0");
    for (const char* password : {"sa", "P@ssw0rd!", "0123456789abcdefXYZ", " ", "\xE5\xAF\x86"})
        EXPECT_EQ(DecodeSQLSa(EncodeSQLSa(password)), password) << password;
}

TEST(SQLSa, EmptyPasswordIsStoredAsTheMarker) {
    const std::string stored = EncodeSQLSa("");
    EXPECT_FALSE(stored.empty());
    EXPECT_EQ(stored, EncodeSQLSa(EmptyPasswordMarker));
    EXPECT_EQ(DecodeSQLSa(stored), "");
    EXPECT_EQ(DecodeSQLSa(""), "");
}

TEST(SQLSa, OddLengthAndUpperCaseDigits) {
    EXPECT_EQ(DecodeSQLSa("b9587"), "sa");
    EXPECT_EQ(DecodeSQLSa("B958"), "sa");
    EXPECT_EQ(DecodeSQLSa("b"), "");
}

TEST(SQLSa, MalformedStoredTextGivesTheErrorMarkerAndAReport) {
    TempDir dir;
    ScopedMarshalKey key(dir, "\"ClientPath\"=\"" + dir.Path() + "\"");
    ScopedACP gb(936);
    EXPECT_EQ(DecodeSQLSa("b9zz"), BadPasswordMarker);
    EXPECT_EQ(DecodeSQLSa("-1"), BadPasswordMarker);
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path() + "Log"))
        log += rt::CodePageToUtf8(kvx::testing::ReadFile(entry.path().string()), 936);
    EXPECT_NE(log.find(" on " + EncodeSQLSa("DecodeSQLSa") + " "), std::string::npos);
    EXPECT_NE(log.find("Programer Message: 解析 Sa 时发生错误!"), std::string::npos);
    EXPECT_NE(log.find("'zz'"), std::string::npos);
}

} // namespace
