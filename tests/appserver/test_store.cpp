// Storage: schema versions, durability across the death of the process, request numbers, rights.
#include "Store.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace appsrv;
using namespace appsrv_test;

namespace {

JobRecord Job(const std::string& params) {
    JobRecord j;
    j.Origin = "Request";
    j.Status = "queued";
    j.Summary.ProgramId = "KTVR08";
    j.Summary.UserId = "796";
    j.ParamsText = params;
    return j;
}

void SetUserVersion(const std::string& path, int version) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, ("PRAGMA user_version = " + std::to_string(version)).c_str(), nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}

TEST(Store, ANewFileGetsTheCurrentSchemaAndANewerOneIsRefusedUntouched) {
    TempDir dir;
    const std::string path = dir.File("sub/folder/server.db"); // folders are created too
    {
        TStore store(path);
        EXPECT_EQ(store.SchemaVersion(), kSchemaVersion);
        store.InsertScheme({{"甲", "796", "KTVR08"}, "20261211", "p", "v"}, false, 1.0);
    }
    {
        TStore again(path); // reopening migrates nothing and keeps the rows
        EXPECT_EQ(again.ListSchemes("796", "KTVR08").size(), 1u);
    }
    SetUserVersion(path, kSchemaVersion + 1);
    EXPECT_THROW(TStore{path}, EStoreError);
    SetUserVersion(path, kSchemaVersion);
    EXPECT_EQ(TStore(path).ListSchemes("796", "KTVR08").size(), 1u);
}

TEST(Store, CommittedRowsSurviveAKilledProcess) {
    TempDir dir;
    const std::string path = dir.File("server.db");
    TStore(path).SchemaVersion(); // create before forking
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // No clean shutdown: the store is never closed and the process is killed after its commits.
        auto* store = new TStore(path);
        store->InsertScheme({{"甲", "796", "KTVR08"}, "20261211", "p", "v"}, false, 1.0);
        store->AddJob(Job("[1]"), "20261211");
        ::kill(::getpid(), SIGKILL);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    TStore store(path);
    EXPECT_EQ(store.ListSchemes("796", "KTVR08").size(), 1u);
    const auto job = store.FindJob("20261211000001");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->ParamsText, "[1]");
}

TEST(Store, RequestNumbersCountPerDay) {
    TempDir dir;
    TStore store(dir.File("server.db"));
    EXPECT_EQ(store.AddJob(Job("a"), "20261211"), "20261211000001");
    EXPECT_EQ(store.AddJob(Job("b"), "20261211"), "20261211000002");
    EXPECT_EQ(store.AddJob(Job("c"), "20261212"), "20261212000001");
    EXPECT_EQ(store.FindJob("20261211000002")->ParamsText, "b");
    EXPECT_FALSE(store.FindJob("20261211000009"));
    EXPECT_EQ(store.JobsWithStatus("queued").size(), 3u);
    EXPECT_TRUE(store.UpdateJobStatus("20261212000001", "Request", "done", "", 2.0));
    EXPECT_FALSE(store.UpdateJobStatus("20261211000001", "Request1", "done", "", 2.0));
    EXPECT_FALSE(store.UpdateJobStatus("nope", "Request", "done", "", 2.0));
    EXPECT_EQ(store.JobsWithStatus("done").size(), 1u);
}

TEST(Store, RightsComeFromTheMostSpecificRow) {
    TempDir dir;
    TStore store(dir.File("server.db"));
    EXPECT_FALSE(store.FindRights("DB", "796", "KTVR08"));
    store.PutRights("*", "*", "*", {"all", "", "", "", {}});
    store.PutRights("*", "796", "*", {"user", "", "", "", {}});
    store.PutRights("DB", "796", "KTVR08", {"exact", "", "", "P", {"x", "y"}});
    EXPECT_EQ(store.FindRights("DB", "796", "KTVR08")->Rights, "exact");
    EXPECT_EQ(store.FindRights("DB", "796", "KTVR08")->BaseLimitItems, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(store.FindRights("DB2", "796", "KTVR08")->Rights, "user");
    EXPECT_EQ(store.FindRights("DB", "123", "KTVR08")->Rights, "all");
}

TEST(Store, TextsAreBoundNotSpliced) {
    TempDir dir;
    TStore store(dir.File("server.db"));
    const appsrv::SchemeKey key{"x'); DROP TABLE schemes; --", "7'96", "KTVR08"};
    EXPECT_EQ(store.InsertScheme({key, "20261211", "p", "v"}, false, 1.0), StoreResult::Ok);
    const auto rows = store.ListSchemes("7'96", "KTVR08");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Key.Name, key.Name);
}

} // namespace
