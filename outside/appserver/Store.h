#pragma once
// The application server's storage: condition schemes, jobs and request registrations, user rights, in
// one SQLite file (WAL journal, full synchronisation: a committed change survives the death of the
// process). The schema carries a version (PRAGMA user_version) and is migrated forward on opening; a
// file of a newer version is refused untouched. One TStore serialises its callers; several processes
// may share the file.
#include "core/Exceptions.h"
#include "core/Variant.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace appsrv {

using rt::Exception;
KVRT_EXCEPTION(EStoreError, Exception)

// The schema version this program writes.
constexpr int kSchemaVersion = 1;

struct SchemeKey {
    std::string Name, Creator, Programme;
};

struct SchemeRow {
    SchemeKey Key;
    std::string CreateDate; // YYYYMMDD
    std::string SCondition, VCondition;
};

enum class StoreResult { Ok, Exists, NotFound };

// The queryable facts of a job; the whole parameter array is stored beside them.
struct JobSummary {
    std::string ProgramId, CompanyId, UserId, DbName, ServerProgId, ReportKind;
    int EnvCount = 0;
    int ConditionCount = 0;
    double ComposedAt = 0;
    int GenMode = 0; // 0 work queue, 1 real time, 2 at a moment (every periodic job)
    double RunAt = 0;
    bool Notify = false;
    bool Periodic = false;
    std::optional<int> CycleKind; // 0 daily, 1 weekly, 2 monthly, 3 hourly
    std::string RunTime;          // "HH:MM"
    std::string StartDate, EndDate;
    std::optional<int> RangeKind; // 0 no end, 1 repetition count, 2 end date
    std::optional<int> RepeatCount;
};

struct JobRecord {
    std::string RequestNo;
    std::string Origin; // "Request" (a job) or "Request1" (a registered immediate request)
    std::string Status; // queued, scheduled, registered, done, failed
    JobSummary Summary;
    std::string Computer;
    double ReceivedAt = 0;
    double StatusAt = 0;
    std::string ErrorText;
    std::string ParamsText; // the encoded job parameter array, exactly as stored
};

struct RightsRecord {
    std::string Rights; // six comma-separated fields
    std::string Text2, Text3;
    std::string BaseLimitPrefix;
    std::vector<std::string> BaseLimitItems;
};

class TStore {
public:
    // Opens (creating it and its folder when missing) and migrates the file.
    explicit TStore(const std::string& path);
    ~TStore();
    TStore(const TStore&) = delete;
    TStore& operator=(const TStore&) = delete;

    // One store per file in this process, shared by every module object that uses the file.
    static std::shared_ptr<TStore> Shared(const std::string& path);

    const std::string& Path() const { return FPath; }
    int SchemaVersion();

    StoreResult InsertScheme(const SchemeRow& row, bool replace, double now);
    StoreResult DeleteScheme(const SchemeKey& key);
    // NotFound: no scheme under from; Exists: another scheme already has the key to.
    StoreResult RenameScheme(const SchemeKey& from, const SchemeKey& to, double now);
    std::vector<SchemeRow> ListSchemes(const std::string& creator, const std::string& programme);

    // Stores a job and gives it the next request number of the day: day ("YYYYMMDD") followed by a
    // six-digit sequence.
    std::string AddJob(JobRecord job, const std::string& day);
    // Changes the status of the request of that number and origin; false when there is none.
    bool UpdateJobStatus(const std::string& requestNo, const std::string& origin, const std::string& status,
                         const std::string& errorText, double at);
    std::optional<JobRecord> FindJob(const std::string& requestNo);
    std::vector<JobRecord> JobsWithStatus(const std::string& status);

    // The most specific rights row for (database, user, program); "*" in a stored column matches any.
    std::optional<RightsRecord> FindRights(const std::string& dbName, const std::string& userId,
                                           const std::string& programId);
    void PutRights(const std::string& dbName, const std::string& userId, const std::string& programId,
                   const RightsRecord& rights);

private:
    void Migrate();
    void Exec(const char* sql);

    std::string FPath;
    sqlite3* FDb = nullptr;
    std::mutex FMutex;
};

// The database file: KVX_APPSERVER_DB, else ReportCounterS.db in the user's data folder
// ($XDG_DATA_HOME/kvx, default ~/.local/share/kvx).
std::string DefaultDatabasePath();

} // namespace appsrv
