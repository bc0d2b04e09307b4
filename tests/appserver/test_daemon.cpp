// kvx-appserver as a user runs it: a separate process on a free port, stopped by a signal or killed.
#include "ReportCounter.h"
#include "TestSupport.h"

#include "data/SocketConnection.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace rt;

namespace {

class TDaemon {
public:
    explicit TDaemon(const std::string& db) {
        int out[2];
        if (::pipe(out) != 0) return;
        FPid = ::fork();
        if (FPid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            const std::string exe = std::string(KVX_BIN_DIR) + "/kvx-appserver";
            ::execl(exe.c_str(), exe.c_str(), "--port", "0", "--db", db.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        FOut = out[0];
        // The first line names the port: "... serving <name> on 127.0.0.1:<port>, database ...".
        const std::string line = ReadLine();
        const auto colon = line.find("127.0.0.1:");
        if (colon != std::string::npos) FPort = std::stoi(line.substr(colon + 10));
    }
    ~TDaemon() {
        if (FPid > 0) {
            ::kill(FPid, SIGKILL);
            Wait();
        }
        if (FOut >= 0) ::close(FOut);
    }
    int Port() const { return FPort; }
    // Opens a client connection to the module the daemon serves.
    void Connect(TSocketConnection& conn) const {
        conn.SetAddress("127.0.0.1");
        conn.SetPort(FPort);
        conn.SetServerName(appsrv::kProgId);
        conn.Open();
    }
    void Signal(int sig) { ::kill(FPid, sig); }
    int Wait() {
        int status = 0;
        ::waitpid(FPid, &status, 0);
        FPid = -1;
        return status;
    }
    // One line of the daemon's output, waiting at most ten seconds for it.
    std::string ReadLine() {
        std::string line;
        char c;
        while (line.size() < 1000) {
            pollfd p{FOut, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0 || ::read(FOut, &c, 1) != 1 || c == '\n') break;
            line += c;
        }
        return line;
    }

private:
    pid_t FPid = -1;
    int FOut = -1;
    int FPort = -1;
};

TEST(Daemon, ServesClientsAndStopsCleanlyOnSigterm) {
    appsrv_test::TempDir dir;
    TDaemon daemon(dir.File("daemon.db"));
    ASSERT_GT(daemon.Port(), 0);
    TSocketConnection conn;
    daemon.Connect(conn);
    EXPECT_EQ(
        VarToStr(OleCall(conn.AppServer(), "InsertConTable", {appsrv_test::SchemeArray("甲", "796", false)})),
        "");

    daemon.Signal(SIGTERM); // with the session still open
    EXPECT_NE(daemon.ReadLine().find("stopping"), std::string::npos);
    const int status = daemon.Wait();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(appsrv::TStore(dir.File("daemon.db")).ListSchemes("796", "KTVR08").size(), 1u);
}

TEST(Daemon, AKilledServerGivesTheClientAConnectionError) {
    appsrv_test::TempDir dir;
    TDaemon daemon(dir.File("daemon.db"));
    ASSERT_GT(daemon.Port(), 0);
    TSocketConnection conn;
    daemon.Connect(conn);
    ASSERT_EQ(OleCall(conn.AppServer(), "SQLType").AsInteger(), 0);
    daemon.Signal(SIGKILL);
    daemon.Wait();
    EXPECT_THROW(OleCall(conn.AppServer(), "SQLType"), ESocketConnectionError);
    EXPECT_FALSE(conn.Connected());
    EXPECT_THROW(conn.Open(), ESocketConnectionError); // nobody listens any more
}

} // namespace
