// The alert logs: file names, line formats, directories and their fall-backs, the error report.
#include "support/LibStrs.h"
#include "support/NVOLTGeneratorU.h"

#include "SupportTestEnv.h"
#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/FormatSettings.h"
#include "core/SysUtils.h"
#include "os/CodePage.h"
#include "os/DynLib.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kvx;
using kvx::testing::ReadFile;

namespace {

rt::FormatSettings DashedSettings() {
    rt::FormatSettings settings;
    settings.DateSeparator = '-';
    settings.TimeSeparator = '.';
    settings.ShortDateFormat = "yyyy/mm/dd";
    settings.LongTimeFormat = "hh:nn:ss";
    return settings;
}

// An installation in a scratch folder, a fixed clock (2024-01-31 10:20:30.456) and fixed separators.
class LogTest : public ::testing::Test {
protected:
    LogTest()
        : FClock(rt::EncodeDate(2024, 1, 31) + rt::EncodeTime(10, 20, 30, 456)), FSettings(DashedSettings()),
          FTmp("TMPDIR", FDir.Path() + "tmp/") {
        std::filesystem::create_directories(FDir.Path() + "tmp");
    }

    std::string Client() const { return FDir.Path() + "client/"; }
    std::string ClientKey() const { return "\"ClientPath\"=\"" + Client() + "\""; }

    kvx::testing::TempDir FDir;
    rt::ScopedClock FClock;
    rt::ScopedFormatSettings FSettings;
    kvx::testing::ScopedEnv FTmp;
};

TEST_F(LogTest, AlertLogFileNamesFollowThePeriod) {
    kvx::testing::ScopedMarshalKey key(FDir, ClientKey());
    const struct {
        const char* Name;
        const char* Period;
        const char* File;
    } cases[] = {
        {"libstrs", "D", "Alert_libstrs_20240131.log"}, {"libstrs", "M", "Alert_libstrs_202401.log"},
        {"libstrs", "Y", "Alert_libstrs_2024.log"},     {"libstrs", "", "Alert_libstrs_20240131.log"},
        {"libstrs", "m", "Alert_libstrs_20240131.log"}, {"x.txt", "D", "Alert_x.txt_20240131"},
        {"a/../b", "D", "Alert_a_.._b_20240131"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteAlertLog(c.Name, "line", c.Period)) << c.Name << c.Period;
        EXPECT_TRUE(rt::FileExists(Client() + "Log/" + c.File)) << c.File;
    }
}

TEST_F(LogTest, AlertLogAppendsStampedLinesInTheSystemCodePage) {
    kvx::testing::ScopedMarshalKey key(FDir, ClientKey());
    kvx::testing::ScopedACP gb(936);
    ASSERT_TRUE(WriteAlertLog("libstrs", "LINE[115] 报表", "D"));
    ASSERT_TRUE(WriteAlertLog("libstrs", "a\r\nb", "D"));
    EXPECT_EQ(ReadFile(Client() + "Log/Alert_libstrs_20240131.log"),
              "[2024-01-31 10.20.30.456] LINE[115] \xB1\xA8\xB1\xED\r\n"
              "[2024-01-31 10.20.30.456] a\r\nb\r\n");
}

TEST_F(LogTest, GeneratorLogUsesTheShortDateAndLongTime) {
    kvx::testing::ScopedMarshalKey key(FDir, "\"ServerPath\"=\"" + FDir.Path() + "server\"");
    EXPECT_EQ(GetLogDir(), FDir.Path() + "server");
    ASSERT_TRUE(WriteGeneratorLog("50% done"));
    EXPECT_EQ(ReadFile(FDir.Path() + "server/Log/Alert_NVOLTGenerator_20240131.log"),
              "[2024-01-31 10.20.30] 50% done\r\n");
}

TEST_F(LogTest, WithoutInstallationPathsTheWritersFallBackDifferently) {
    kvx::testing::ScopedMarshalKey key(FDir, "\"ProfileType\"=\"0\"");
    EXPECT_EQ(GetMarshalPath(), "");
    EXPECT_EQ(GetLogDir(), FDir.Path() + "tmp/");
    ASSERT_TRUE(WriteGeneratorLog("to temp"));
    EXPECT_TRUE(rt::FileExists(FDir.Path() + "tmp/Log/Alert_NVOLTGenerator_20240131.log"));

    // The alert log goes below the program's own directory; remove what the test wrote there.
    const std::string programLog = rt::ExtractFilePath(rt::GetModuleFileName(nullptr)) + "Log/";
    const bool hadLogDir = rt::DirectoryExists(programLog);
    const std::string file = programLog + "Alert_kvx-support-test_20240131.log";
    ASSERT_TRUE(WriteAlertLog("kvx-support-test", "to program dir", "D"));
    EXPECT_TRUE(rt::FileExists(file));
    std::filesystem::remove(file);
    if (!hadLogDir) std::filesystem::remove(programLog);
}

TEST_F(LogTest, WritersAnswerFalseWhenTheLogCannotBeWritten) {
    // The installation path is a file, so no Log folder can be made below it.
    const std::string blocker = FDir.Write("client", "not a folder");
    kvx::testing::ScopedMarshalKey key(FDir, ClientKey());
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
    EXPECT_FALSE(WriteGeneratorLog("x"));
    ReportError(nullptr, "nowhere", "nothing"); // no exception either

    // The file name taken by a folder.
    kvx::testing::ScopedMarshalKey other(FDir, "\"ClientPath\"=\"" + FDir.Path() + "c2\"");
    std::filesystem::create_directories(FDir.Path() + "c2/Log/Alert_libstrs_20240131.log");
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
}

TEST_F(LogTest, RegistryKeyMissingOrMalformed) {
    {
        kvx::testing::ScopedMarshalKey key(FDir, std::nullopt);
        EXPECT_EQ(GetMarshalPath(), "");
        EXPECT_EQ(GetLogDir(), FDir.Path() + "tmp/");
    }
    kvx::testing::ScopedEnv broken("KVX_REGISTRY",
                                   FDir.Write("broken.reg", "[HKEY_LOCAL_MACHINE\\Software\n\"x\n"));
    EXPECT_EQ(GetMarshalPath(), "");
    EXPECT_EQ(GetLogDir(), FDir.Path() + "tmp/");
}

class ReportErrorTest : public LogTest {
protected:
    ReportErrorTest() : FKey(FDir, ClientKey()), FGb(936) {}
    // The file holds GB bytes; compared as our text.
    std::string Log() const {
        return rt::CodePageToUtf8(ReadFile(Client() + "Log/Alert_NVOLTGenerator_20240131.log"), 936);
    }
    static std::string Line(const std::string& text) { return "[2024-01-31 10.20.30] " + text + "\r\n"; }

    kvx::testing::ScopedMarshalKey FKey;
    kvx::testing::ScopedACP FGb;
};

const std::string Dashes(34, '-');

TEST_F(ReportErrorTest, WithoutAnErrorOnlyTheHeaderIsWritten) {
    ReportError(nullptr, "  ", " ");
    EXPECT_EQ(Log(), Line(Dashes + Dashes));
}

TEST_F(ReportErrorTest, AnOrdinaryErrorKeepsItsMessageVerbatim) {
    const rt::EConvertError error("50% of '%s' done");
    ReportError(&error, "Loc", "check it ");
    EXPECT_EQ(Log(), Line(Dashes + " on Loc " + Dashes) + Line("讯息信息:") +
                         Line("Exception is EConvertError\r\nMessage 01: 50% of '%s' done") +
                         Line("ErrorMessage Count: 1") + Line("Programer Message: check it "));
}

TEST_F(ReportErrorTest, ErrorsWithCodesAreItemised) {
    const EDBEngineError db("engine", {{1, "first"}, {0xFFFF, "second"}, {3, "third %d"}});
    ReportError(&db, "", "");
    EXPECT_EQ(Log(), Line(Dashes + Dashes) + Line("讯息信息:") +
                         Line("EDBEngineError Error 01: Code: 1, Message: first") +
                         Line("EDBEngineError Error 02: Code: 65535, Message: second") +
                         Line("EDBEngineError Error 03: Code: 3, Message: third %d") +
                         Line("ErrorMessage Count: 3"));
}

TEST_F(ReportErrorTest, SystemAndIoErrorsCarryTheirCode) {
    const EWin32Error os("Access denied", 5);
    const EInOutError io("File not found", 2);
    const std::runtime_error plain("plain");
    ReportError(&os, "", "");
    ReportError(&io, "", "");
    ReportError(&plain, "", "");
    const std::string log = Log();
    EXPECT_NE(log.find(Line("EWin32Error Error 01: Code: 5, Message: Access denied")), std::string::npos);
    EXPECT_NE(log.find(Line("EInOutError Error 01: Code: 2, Message: File not found")), std::string::npos);
    EXPECT_NE(log.find(Line("Exception is std::runtime_error\r\nMessage 01: plain")), std::string::npos);
}

} // namespace
