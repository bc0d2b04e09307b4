#include "os/SysInfo.h"

#include "runtime/os/OsTestSupport.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

namespace rt {
namespace {

using testing::ScopedACP;
using testing::ScopedEnv;

TEST(SysInfo, SystemCodePageComesFromOverrideThenEnvironmentThenLocale) {
    struct Case {
        std::optional<std::string> LcAll, LcCtype, Lang, KvxAcp;
        int Expected;
    } cases[] = {
        {std::nullopt, std::nullopt, "zh_CN.UTF-8", std::nullopt, 936},
        {std::nullopt, std::nullopt, "zh_TW.Big5", std::nullopt, 950},
        {std::nullopt, std::nullopt, "zh_HK.UTF-8", std::nullopt, 950},
        {std::nullopt, std::nullopt, "en_US.UTF-8", std::nullopt, 1252},
        {std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1252},
        {"zh_TW.UTF-8", std::nullopt, "zh_CN.UTF-8", std::nullopt, 950}, // LC_ALL wins
        {std::nullopt, "zh_CN.GBK", "en_US.UTF-8", std::nullopt, 936},   // then LC_CTYPE
        {std::nullopt, std::nullopt, "zh_CN.UTF-8", "950", 950},         // KVX_ACP before the locale
        {std::nullopt, std::nullopt, "zh_CN.UTF-8", "junk", 936},        // a bad KVX_ACP is ignored
    };
    for (const Case& c : cases) {
        ScopedEnv lcAll("LC_ALL", c.LcAll), lcCtype("LC_CTYPE", c.LcCtype), lang("LANG", c.Lang),
            acp("KVX_ACP", c.KvxAcp);
        EXPECT_EQ(GetACP(), c.Expected) << c.Lang.value_or("-") << " " << c.KvxAcp.value_or("-");
    }
    ScopedEnv acp("KVX_ACP", "950");
    ScopedACP override(936);
    EXPECT_EQ(GetACP(), 936);
}

TEST(SysInfo, OemCodePageFollowsTheSystemCodePage) {
    for (auto [acp, oem] : {std::pair{936, 936}, {950, 950}, {1252, 437}}) {
        ScopedACP scoped(acp);
        EXPECT_EQ(GetOEMCP(), oem);
    }
}

TEST(SysInfo, TempPathEndsWithSlash) {
    for (auto [tmpdir, expected] : {std::pair<std::optional<std::string>, std::string>{"/var/x", "/var/x/"},
                                    {"/var/x/", "/var/x/"},
                                    {"", "/tmp/"},
                                    {std::nullopt, "/tmp/"}}) {
        ScopedEnv env("TMPDIR", tmpdir);
        EXPECT_EQ(GetTempPath(), expected);
    }
}

TEST(SysInfo, SeparatorsComeFromTheLocaleUnlessOverridden) {
    ScopedEnv lcAll("LC_ALL", "C");
    EXPECT_EQ(GetLocaleDateSeparator(), '/');
    EXPECT_EQ(GetLocaleTimeSeparator(), ':');
    SetLocaleDateSeparator('-');
    SetLocaleTimeSeparator('.');
    EXPECT_EQ(GetLocaleDateSeparator(), '-');
    EXPECT_EQ(GetLocaleTimeSeparator(), '.');
    SetLocaleDateSeparator('\0');
    SetLocaleTimeSeparator('\0');
    EXPECT_EQ(GetLocaleDateSeparator(), '/');
}

TEST(SysInfo, VersionTextIsTheKernelsNeverTheOldSystemsBuild) {
    utsname names{};
    ASSERT_EQ(uname(&names), 0);
    std::string text = GetOSVersionText();
    EXPECT_NE(text, "4.90.73010104");
    EXPECT_EQ(text.rfind(std::string(names.sysname) + " ", 0), 0u) << text;
    EXPECT_NE(text.find(names.machine), std::string::npos) << text;
}

TEST(SysInfo, MachineAndUserAreNamed) {
    EXPECT_FALSE(GetComputerName().empty());
    EXPECT_FALSE(GetUserName().empty());
}

TEST(SysInfo, ForegroundWindowIsOnlyRecorded) {
    EXPECT_TRUE(SetForegroundWindow(4711));
    EXPECT_EQ(GetForegroundWindow(), 4711);
    EXPECT_FALSE(SetForegroundWindow(0));
}

} // namespace
} // namespace rt
