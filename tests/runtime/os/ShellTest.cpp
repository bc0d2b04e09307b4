#include "os/Shell.h"

#include "runtime/os/OsTestSupport.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

TEST(Shell, RecorderTakesTheCallsAndRestoresThePreviousHook) {
    TShellExecuteRecorder outer;
    {
        TShellExecuteRecorder inner(SE_ERR_NOASSOC);
        EXPECT_EQ(ShellExecute("open", "http://report/view", "", "", SW_SHOWNORMAL), SE_ERR_NOASSOC);
        ASSERT_EQ(inner.Calls().size(), 1u);
        EXPECT_EQ(inner.Calls()[0].Verb, "open");
        EXPECT_EQ(inner.Calls()[0].File, "http://report/view");
    }
    EXPECT_EQ(ShellExecute("properties", "/x/KTVR08C.so", "-v", "/x"), SE_SUCCESS);
    ASSERT_EQ(outer.Calls().size(), 1u);
    EXPECT_EQ(outer.Calls()[0].Parameters, "-v");
    EXPECT_EQ(outer.Calls()[0].Directory, "/x");
}

TEST(Shell, PropertiesPrintTheFileFacts) {
    TempDir dir;
    std::string file = dir.Write("KTVR08C.so", "12345");
    std::string facts = FileFactsText(file);
    EXPECT_NE(facts.find("Name: KTVR08C.so\n"), std::string::npos) << facts;
    EXPECT_NE(facts.find("Folder: " + std::filesystem::path(file).parent_path().string() + "\n"),
              std::string::npos)
        << facts;
    EXPECT_NE(facts.find("Size: 5 bytes\n"), std::string::npos) << facts;

    ::testing::internal::CaptureStdout();
    int rc = ShellExecute("Properties", "KTVR08C.so", "", dir.Path());
    std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, SE_SUCCESS);
    EXPECT_EQ(printed, facts);

    EXPECT_EQ(ShellExecute("properties", dir.File("absent")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FileFactsText(dir.File("absent")), "");
}

TEST(Shell, OpenWithoutAnOpenerOrFileFails) {
    TempDir dir;
    std::string file = dir.Write("report.html", "<html/>");
    ScopedEnv path("PATH", dir.Path()); // no xdg-open here
    EXPECT_EQ(ShellExecute("open", file), SE_ERR_NOASSOC);
    EXPECT_EQ(ShellExecute("", "http://report/view"), SE_ERR_NOASSOC);
    EXPECT_EQ(ShellExecute("open", dir.File("absent.html")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ShellExecute("print", file), SE_ERR_NOASSOC);
    EXPECT_EQ(ShellExecute("open", ""), ERROR_FILE_NOT_FOUND);
}

} // namespace
} // namespace rt
