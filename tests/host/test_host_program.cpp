// The host program kvx-host on the real module KTVR08C.so: sessions run as separate processes, checked
// from their output and exit status.
#include "HostDbFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using kvx::host::test::MakeTempDir;
using kvx::host::test::ReadFile;
using kvx::host::test::SourceRoot;

struct ProgramRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string BinDir() {
    const char* env = std::getenv("KVX_BIN_DIR");
    return env && *env ? env : KVX_BIN_DIR;
}

// Runs kvx-host with the arguments; stdout and stderr go to files in dir.
ProgramRun RunHost(const std::filesystem::path& dir, const std::vector<std::string>& args) {
    const std::string program = BinDir() + "/kvx-host";
    const auto outPath = dir / "out.txt";
    const auto errPath = dir / "err.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ProgramRun run;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.Out = ReadFile(outPath);
    run.Err = ReadFile(errPath);
    return run;
}

class HostProgramTest : public ::testing::Test {
protected:
    HostProgramTest() : Dir(MakeTempDir("hostprog")), Db((Dir / "host.db").string()) {
        const ProgramRun seeded =
            RunHost(Dir, {"--db", Db, "--seed", (SourceRoot() / "outside/host/sql/demo.sql").string()});
        EXPECT_EQ(seeded.Status, 0) << seeded.Err;
    }
    ~HostProgramTest() override { std::filesystem::remove_all(Dir); }

    ProgramRun Session(const std::string& text) {
        const auto script = Dir / "session.kvs";
        std::ofstream(script) << text;
        return RunHost(Dir, {"--db", Db, "--script", script.string()});
    }

    std::filesystem::path Dir;
    std::string Db;
};

TEST_F(HostProgramTest, TheDemoSessionShowsTheFourEventsInOrderAndTheResult) {
    const ProgramRun r =
        RunHost(Dir, {"--db", Db, "--script", (SourceRoot() / "examples/demo.kvs").string()});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_EQ(r.Err, "");
    const size_t e256 = r.Out.find("event 256\n");
    const size_t e272 = r.Out.find("event 272\n");
    const size_t e288 = r.Out.find("event 288\n");
    const size_t e304 = r.Out.find("event 304\nresult code 0 data empty\n");
    ASSERT_NE(e256, std::string::npos) << r.Out;
    ASSERT_NE(e304, std::string::npos) << r.Out;
    EXPECT_LT(e256, e272);
    EXPECT_LT(e272, e288);
    EXPECT_LT(e288, e304);
    EXPECT_EQ(r.Out.substr(r.Out.size() - 5), "free\n");
}

TEST_F(HostProgramTest, ControllerOperationsGiveTheirNeutralAnswersWithoutAForm) {
    const ProgramRun r = Session(R"(load "KTVR08C.so"
call ShowModal
expect return 2
call GetInfo
expect return -1
expect out empty
call GetVisible
expect return 0
call GetHandle
expect return 0
call GetVersion
expect return ""
call Execute [1, 2]
expect return -1
call Notify 5 [1]
expect return -1
call IsFormFreed
expect return true
expect event none
)");
    EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
}

TEST_F(HostProgramTest, TheFormRefusesTooFewParametersAndClosesItself) {
    const ProgramRun r = Session(R"(load "KTVR08C.so"
params "DS" "KVX001" "KVX001"
call CreateForm
expect event 256
expect dialog "主程序传入的参数不足"
call GetInfo
expect out ["DS", "KVX001", "", ""]
process
expect event 304
call IsFormFreed
expect return true
)");
    EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("dialog error \"主程序传入的参数不足，无法执行！\" -> ok\n"), std::string::npos)
        << r.Out;
}

TEST_F(HostProgramTest, NotifyAndExecuteReachTheFormOnlyAsTheContractSays) {
    const ProgramRun r = Session(R"(load "KTVR08C.so"
params "DS" "KVX001" "KVX001" 0 ""
call CreateForm
call Notify 4 [0, [true, [[["", "edPrintDate"]], ["20240131"]]]]
expect return -1
call Notify 9 [0, [true, [[["", "edPrintDate"]], ["20240131"]]]]
expect return 0
call Execute ["ignored", [0, [true, [[["", "noSuchControl"]], ["x"]]]]]
expect return 0
expect dialog "条件栏位不存在"
call Execute "not an array"
expect return -1
call SetVisible true
close frmKtvr08
process
expect event 256
expect event 272
expect event 288
expect event 304
free
call GetVersion
expect error "no controller"
)");
    EXPECT_EQ(r.Status, 1) << r.Out << r.Err; // the call after free is a script error, by design
    EXPECT_NE(r.Err.find("session.kvs:21: call GetVersion: no controller"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("expected"), std::string::npos) << r.Err;
}

TEST_F(HostProgramTest, TheUserActsOnTheFormThroughSimulatedInput) {
    const ProgramRun r = Session(R"(load "KTVR08C.so"
params "DS" "KVX001" "KVX001" 0 ""
call CreateForm
call SetVisible true
choose frmKtvr08/pgOption 1
type frmKtvr08/edPrintDate "20240131"
expect text frmKtvr08/edPrintDate "20240131"
key frmKtvr08/edPrintDate Backspace
expect text frmKtvr08/edPrintDate "2024013"
click frmKtvr08/noSuchButton
expect error "noSuchButton"
call SetVisible false
on-modal TfrmKtvr08
  expect text frmKtvr08/edPrintDate "2024013"
  close frmKtvr08
end
call ShowModal
expect return 2
process
expect event 256
expect event 272
expect event 288
expect event 272
expect event 288
expect event 304
expect event none
)");
    EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("modal TfrmKtvr08 -> 2\n"), std::string::npos) << r.Out;
}

TEST_F(HostProgramTest, BadModulesScriptsAndExpectationsGiveClearErrorsAndNonZeroStatus) {
    ProgramRun r = Session("load \"no-such-module.so\"\n");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("session.kvs:1: cannot load module no-such-module.so"), std::string::npos) << r.Err;

    r = Session("load \"" + BinDir() + "/libkvrt.so\"\n");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("session.kvs:1: module " + BinDir() + "/libkvrt.so does not export GetController"),
              std::string::npos)
        << r.Err;

    r = Session("load \"KTVR08C.so\"\ncall CreateForm 12\n");
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.find("kvx-host: "), 0u);
    EXPECT_NE(r.Err.find("session.kvs:2: call: unexpected \"12\""), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");

    r = Session("load \"KTVR08C.so\"\ncall IsFormFreed\nexpect return false\n");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("session.kvs:3: expected return false, got true"), std::string::npos) << r.Err;

    r = RunHost(Dir, {"--db", (Dir / "missing.db").string(), "--script", "x.kvs"});
    EXPECT_EQ(r.Status, 2);
    r = RunHost(Dir, {"--bogus"});
    EXPECT_EQ(r.Status, 2);
}

} // namespace
