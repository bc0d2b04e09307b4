#include "os/IniFiles.h"

#include "runtime/os/OsTestSupport.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

using testing::Bytes;
using testing::ScopedACP;
using testing::TempDir;

const char* const kMarshal = "ignored=before any section\n"
                             "[Server Information]\n"
                             "  ComputerName  =  hostA;hostB;  \n"
                             "ServerPort=300\n"
                             "computername=second wins nothing\n"
                             "; ServerPort=1\n"
                             "no equals sign here\n"
                             "Quoted=\"C:\\KVX\\\"\n"
                             "Url=http://a/b?c=d\n"
                             "Empty=\n"
                             "[ WorkDLLPath ]\n"
                             "Pkg=\\Lib\n"
                             "Other=D:\\Lib\n"
                             "[server information]\n"
                             "SupportCallBack=1\n";

class IniFilesTest : public ::testing::Test {
protected:
    TempDir FDir;
};

TEST_F(IniFilesTest, FirstOccurrenceWinsIgnoringCaseAndBlanks) {
    TMemIniFile ini(FDir.Write("MarshalC.ini", kMarshal));
    EXPECT_EQ(ini.ReadString("server information", "COMPUTERNAME", "x"), "hostA;hostB;");
    EXPECT_EQ(ini.ReadString("Server Information", "Quoted", ""), "\"C:\\KVX\\\"");
    EXPECT_EQ(ini.ReadString("Server Information", "Url", ""), "http://a/b?c=d");
    EXPECT_EQ(ini.ReadString("Server Information", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("Server Information", "SupportCallBack", "absent"),
              "absent"); // repeated section
    EXPECT_EQ(ini.ReadString("Server Information", "ignored", "absent"), "absent");
    EXPECT_EQ(ini.ReadString("WorkDLLPath", "Pkg", ""), "\\Lib");
    EXPECT_EQ(ini.ReadString("Nowhere", "Pkg", "d"), "d");

    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Server Information", "WorkDLLPath"}));
    EXPECT_EQ(ini.ReadSection("SERVER INFORMATION"),
              (std::vector<std::string>{"ComputerName", "ServerPort", "Quoted", "Url", "Empty"}));
    EXPECT_EQ(ini.ReadSectionValues("workdllpath"), (std::vector<std::string>{"Pkg=\\Lib", "Other=D:\\Lib"}));
    EXPECT_TRUE(ini.ReadSection("Nowhere").empty());
    EXPECT_TRUE(ini.SectionExists("workdllpath"));
    EXPECT_FALSE(ini.SectionExists("Nowhere"));
    EXPECT_TRUE(ini.ValueExists("Server Information", "empty"));
    EXPECT_FALSE(ini.ValueExists("Server Information", "ServerPort ; x"));
}

TEST_F(IniFilesTest, NumbersAndBooleansFallBackToTheDefault) {
    struct Case {
        const char* Value;
        int32_t Integer; // read with default -7
        bool Bool;       // read with default true
    } cases[] = {
        {"211", 211, true},       {"-5", -5, true},
        {"+5", 5, true},          {"0", 0, false},
        {"$1F", 31, true},        {"0x1f", 31, true},
        {"0XFFFFFFFF", -1, true}, {"2147483647", 2147483647, true},
        {"2147483648", -7, true}, {"-2147483648", INT32_MIN, true},
        {"abc", -7, true},        {"1.5", -7, true},
        {"", -7, true},           {"yes", -7, true},
        {"$", -7, true},          {"12 3", -7, true},
    };
    std::string text = "[S]\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        text += "K" + std::to_string(i) + "=" + cases[i].Value + "\n";
    TMemIniFile ini(FDir.Write("n.ini", text));
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string key = "K" + std::to_string(i);
        EXPECT_EQ(ini.ReadInteger("S", key, -7), cases[i].Integer) << cases[i].Value;
        EXPECT_EQ(ini.ReadBool("S", key, true), cases[i].Bool) << cases[i].Value;
    }
    EXPECT_FALSE(ini.ReadBool("S", "K14", false)); // "$": not a number, so the default
    EXPECT_EQ(ini.ReadInteger("S", "Absent", 42), 42);
}

TEST_F(IniFilesTest, FloatsAcceptDecimalsAndExponentsOnly) {
    TMemIniFile ini(FDir.Write("f.ini", "[S]\nA=1.5\nB=-2e3\nC=.25\nD=1,5\nE=inf\nF=0x10\nG=1e\n"));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "A", 9), 1.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "B", 9), -2000);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "C", 9), 0.25);
    for (const char* bad : {"D", "E", "F", "G", "Absent"})
        EXPECT_DOUBLE_EQ(ini.ReadFloat("S", bad, 9), 9) << bad;
}

TEST_F(IniFilesTest, LegacyChineseFilesAreDecoded) {
    // "[代码页]\r\n名称=配置" in GB2312 and "[程式]\r\n名稱=設定" in BIG5.
    const std::string gb =
        "[" + Bytes("b4fac2ebd2b3") + "]\r\n" + Bytes("c3fbb3c6") + "=" + Bytes("c5e4d6c3") + "\r\n";
    const std::string big5 =
        "[" + Bytes("b57ba6a1") + "]\r\n" + Bytes("a657bad9") + "=" + Bytes("b35da977") + "\r\n";
    const std::string gbFile = FDir.Write("gb.ini", gb);
    const std::string big5File = FDir.Write("big5.ini", big5);
    for (int acp : {936, 1252}) { // a GB file reads right on a GB system and on a non-Chinese one
        ScopedACP scoped(acp);
        TMemIniFile ini(gbFile);
        EXPECT_EQ(ini.ReadString("代码页", "名称", ""), "配置") << acp;
    }
    {
        ScopedACP scoped(950);
        TIniFile ini(big5File);
        EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"程式"});
        EXPECT_EQ(ini.ReadString("程式", "名稱", ""), "設定");
    }
    TMemIniFile named(big5File, 950); // the caller knows the encoding
    EXPECT_EQ(named.ReadString("程式", "名稱", ""), "設定");
}

TEST_F(IniFilesTest, MissingFileReadsAsEmpty) {
    TMemIniFile mem(FDir.File("absent.ini"));
    TIniFile plain(FDir.File("absent.ini"));
    EXPECT_TRUE(mem.ReadSections().empty());
    EXPECT_EQ(plain.ReadString("S", "K", "d"), "d");
    TIniFile folder(FDir.Path());
    EXPECT_TRUE(folder.ReadSections().empty());
}

TEST_F(IniFilesTest, TextCanBeSetFromMemory) {
    TMemIniFile ini(FDir.File("absent.ini"));
    ini.SetText("[A]\nk=v\n");
    EXPECT_EQ(ini.ReadString("a", "K", ""), "v");
}

} // namespace
} // namespace rt
