#include "Store.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace appsrv {
namespace {

// ---- a thin statement wrapper: bound parameters only ----

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : FDb(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &FStmt, nullptr) != SQLITE_OK)
            throw EStoreError(std::string("Cannot prepare a statement: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(FStmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int i, const std::string& s) {
        Check(sqlite3_bind_text(FStmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement& Bind(int i, double d) {
        Check(sqlite3_bind_double(FStmt, i, d));
        return *this;
    }
    Statement& Bind(int i, int64_t n) {
        Check(sqlite3_bind_int64(FStmt, i, n));
        return *this;
    }
    Statement& Bind(int i, int n) { return Bind(i, int64_t{n}); }
    Statement& Bind(int i, bool b) { return Bind(i, int64_t{b ? 1 : 0}); }
    Statement& Bind(int i, const std::optional<int>& n) {
        if (n) return Bind(i, *n);
        Check(sqlite3_bind_null(FStmt, i));
        return *this;
    }

    // True while there is a row.
    bool Step() {
        const int rc = sqlite3_step(FStmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw EStoreError(std::string("Database error: ") + sqlite3_errmsg(FDb));
    }
    void Run() {
        while (Step()) {
        }
    }

    std::string Text(int col) const {
        const auto* p = sqlite3_column_text(FStmt, col);
        return p ? std::string(reinterpret_cast<const char*>(p),
                               static_cast<size_t>(sqlite3_column_bytes(FStmt, col)))
                 : std::string();
    }
    double Double(int col) const { return sqlite3_column_double(FStmt, col); }
    int64_t Int(int col) const { return sqlite3_column_int64(FStmt, col); }
    std::optional<int> OptInt(int col) const {
        if (sqlite3_column_type(FStmt, col) == SQLITE_NULL) return std::nullopt;
        return static_cast<int>(sqlite3_column_int64(FStmt, col));
    }

private:
    void Check(int rc) {
        if (rc != SQLITE_OK)
            throw EStoreError(std::string("Cannot bind a parameter: ") + sqlite3_errmsg(FDb));
    }
    sqlite3* FDb;
    sqlite3_stmt* FStmt = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT, rolled back when left by an exception.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : FDb(db) { Exec("BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!FDone) sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void Commit() {
        Exec("COMMIT");
        FDone = true;
    }

private:
    void Exec(const char* sql) {
        if (sqlite3_exec(FDb, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw EStoreError(std::string("Database error: ") + sqlite3_errmsg(FDb));
    }
    sqlite3* FDb;
    bool FDone = false;
};

// The migrations, in order: migration i brings the schema from version i to version i + 1.
const char* const kMigrations[] = {
    R"sql(
    CREATE TABLE schemes (
        creator     TEXT NOT NULL,
        programme   TEXT NOT NULL,
        name        TEXT NOT NULL,
        create_date TEXT NOT NULL,
        scondition  TEXT NOT NULL,
        vcondition  TEXT NOT NULL,
        updated_at  REAL NOT NULL,
        PRIMARY KEY (creator, programme, name)
    ) WITHOUT ROWID;

    CREATE TABLE request_counters (
        day  TEXT PRIMARY KEY,
        last INTEGER NOT NULL
    ) WITHOUT ROWID;

    CREATE TABLE jobs (
        request_no     TEXT PRIMARY KEY,
        origin         TEXT NOT NULL,
        status         TEXT NOT NULL,
        program_id     TEXT NOT NULL,
        company_id     TEXT NOT NULL,
        user_id        TEXT NOT NULL,
        db_name        TEXT NOT NULL,
        server_prog_id TEXT NOT NULL,
        report_kind    TEXT NOT NULL,
        env_count      INTEGER NOT NULL,
        cond_count     INTEGER NOT NULL,
        composed_at    REAL NOT NULL,
        gen_mode       INTEGER NOT NULL,
        run_at         REAL NOT NULL,
        notify         INTEGER NOT NULL,
        periodic       INTEGER NOT NULL,
        cycle_kind     INTEGER,
        run_time       TEXT NOT NULL DEFAULT '',
        start_date     TEXT NOT NULL DEFAULT '',
        end_date       TEXT NOT NULL DEFAULT '',
        range_kind     INTEGER,
        repeat_count   INTEGER,
        computer       TEXT NOT NULL DEFAULT '',
        received_at    REAL NOT NULL,
        status_at      REAL NOT NULL,
        error_text     TEXT NOT NULL DEFAULT '',
        params         TEXT NOT NULL
    );
    CREATE INDEX jobs_by_status ON jobs (status, run_at);
    CREATE INDEX jobs_by_user ON jobs (user_id, program_id);

    CREATE TABLE rights (
        db_name           TEXT NOT NULL,
        user_id           TEXT NOT NULL,
        program_id        TEXT NOT NULL,
        rights            TEXT NOT NULL,
        text2             TEXT NOT NULL DEFAULT '',
        text3             TEXT NOT NULL DEFAULT '',
        base_limit_prefix TEXT NOT NULL DEFAULT '',
        base_limit_items  TEXT NOT NULL DEFAULT '',
        PRIMARY KEY (db_name, user_id, program_id)
    ) WITHOUT ROWID;
    )sql",
};
static_assert(std::size(kMigrations) == kSchemaVersion);

constexpr const char* kJobColumns =
    "request_no, origin, status, program_id, company_id, user_id, db_name, server_prog_id, report_kind, "
    "env_count, cond_count, composed_at, gen_mode, run_at, notify, periodic, cycle_kind, run_time, "
    "start_date, "
    "end_date, range_kind, repeat_count, computer, received_at, status_at, error_text, params";

JobRecord ReadJob(const Statement& s) {
    JobRecord j;
    j.RequestNo = s.Text(0);
    j.Origin = s.Text(1);
    j.Status = s.Text(2);
    JobSummary& m = j.Summary;
    m.ProgramId = s.Text(3);
    m.CompanyId = s.Text(4);
    m.UserId = s.Text(5);
    m.DbName = s.Text(6);
    m.ServerProgId = s.Text(7);
    m.ReportKind = s.Text(8);
    m.EnvCount = static_cast<int>(s.Int(9));
    m.ConditionCount = static_cast<int>(s.Int(10));
    m.ComposedAt = s.Double(11);
    m.GenMode = static_cast<int>(s.Int(12));
    m.RunAt = s.Double(13);
    m.Notify = s.Int(14) != 0;
    m.Periodic = s.Int(15) != 0;
    m.CycleKind = s.OptInt(16);
    m.RunTime = s.Text(17);
    m.StartDate = s.Text(18);
    m.EndDate = s.Text(19);
    m.RangeKind = s.OptInt(20);
    m.RepeatCount = s.OptInt(21);
    j.Computer = s.Text(22);
    j.ReceivedAt = s.Double(23);
    j.StatusAt = s.Double(24);
    j.ErrorText = s.Text(25);
    j.ParamsText = s.Text(26);
    return j;
}

bool SchemeExists(sqlite3* db, const SchemeKey& key) {
    Statement s(db, "SELECT 1 FROM schemes WHERE creator = ?1 AND programme = ?2 AND name = ?3");
    s.Bind(1, key.Creator).Bind(2, key.Programme).Bind(3, key.Name);
    return s.Step();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return out;
        start = end + 1;
    }
}

} // namespace

TStore::TStore(const std::string& path) : FPath(path) {
    std::error_code ec;
    const auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (sqlite3_open_v2(path.c_str(), &FDb,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string message = FDb ? sqlite3_errmsg(FDb) : "out of memory";
        sqlite3_close(FDb);
        throw EStoreError("Cannot open the database \"" + path + "\": " + message);
    }
    try {
        sqlite3_busy_timeout(FDb, 10000);
        Exec("PRAGMA journal_mode = WAL");
        Exec("PRAGMA synchronous = FULL");
        Exec("PRAGMA foreign_keys = ON");
        Migrate();
    } catch (...) {
        sqlite3_close(FDb);
        throw;
    }
}

TStore::~TStore() {
    sqlite3_close(FDb);
}

std::shared_ptr<TStore> TStore::Shared(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, std::weak_ptr<TStore>> open;
    std::error_code ec;
    std::string key = std::filesystem::weakly_canonical(std::filesystem::absolute(path), ec).string();
    if (ec) key = path;
    std::lock_guard lock(mutex);
    if (auto existing = open[key].lock()) return existing;
    auto store = std::make_shared<TStore>(path);
    open[key] = store;
    return store;
}

void TStore::Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(FDb, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(FDb);
        sqlite3_free(error);
        throw EStoreError("Database error: " + message);
    }
}

int TStore::SchemaVersion() {
    std::lock_guard lock(FMutex);
    Statement s(FDb, "PRAGMA user_version");
    return s.Step() ? static_cast<int>(s.Int(0)) : 0;
}

void TStore::Migrate() {
    for (;;) {
        Transaction tx(FDb);
        Statement s(FDb, "PRAGMA user_version");
        const int version = s.Step() ? static_cast<int>(s.Int(0)) : 0;
        if (version > kSchemaVersion)
            throw EStoreError("The database \"" + FPath + "\" has schema version " + std::to_string(version) +
                              "; this server knows versions up to " + std::to_string(kSchemaVersion));
        if (version == kSchemaVersion) return; // the transaction only read
        Exec(kMigrations[version]);
        Exec(("PRAGMA user_version = " + std::to_string(version + 1)).c_str());
        tx.Commit();
    }
}

StoreResult TStore::InsertScheme(const SchemeRow& row, bool replace, double now) {
    std::lock_guard lock(FMutex);
    Transaction tx(FDb);
    if (!replace && SchemeExists(FDb, row.Key)) return StoreResult::Exists;
    Statement put(FDb, "INSERT OR REPLACE INTO schemes (creator, programme, name, create_date, scondition, "
                       "vcondition, updated_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    put.Bind(1, row.Key.Creator)
        .Bind(2, row.Key.Programme)
        .Bind(3, row.Key.Name)
        .Bind(4, row.CreateDate)
        .Bind(5, row.SCondition)
        .Bind(6, row.VCondition)
        .Bind(7, now)
        .Run();
    tx.Commit();
    return StoreResult::Ok;
}

StoreResult TStore::DeleteScheme(const SchemeKey& key) {
    std::lock_guard lock(FMutex);
    Transaction tx(FDb);
    Statement del(FDb, "DELETE FROM schemes WHERE creator = ?1 AND programme = ?2 AND name = ?3");
    del.Bind(1, key.Creator).Bind(2, key.Programme).Bind(3, key.Name).Run();
    const bool deleted = sqlite3_changes(FDb) > 0;
    tx.Commit();
    return deleted ? StoreResult::Ok : StoreResult::NotFound;
}

StoreResult TStore::RenameScheme(const SchemeKey& from, const SchemeKey& to, double now) {
    std::lock_guard lock(FMutex);
    Transaction tx(FDb);
    if (!SchemeExists(FDb, from)) return StoreResult::NotFound;
    const bool same = from.Name == to.Name && from.Creator == to.Creator && from.Programme == to.Programme;
    if (same) return StoreResult::Ok;
    if (SchemeExists(FDb, to)) return StoreResult::Exists;
    Statement up(FDb, "UPDATE schemes SET creator = ?4, programme = ?5, name = ?6, updated_at = ?7 "
                      "WHERE creator = ?1 AND programme = ?2 AND name = ?3");
    up.Bind(1, from.Creator)
        .Bind(2, from.Programme)
        .Bind(3, from.Name)
        .Bind(4, to.Creator)
        .Bind(5, to.Programme)
        .Bind(6, to.Name)
        .Bind(7, now)
        .Run();
    tx.Commit();
    return StoreResult::Ok;
}

std::vector<SchemeRow> TStore::ListSchemes(const std::string& creator, const std::string& programme) {
    std::lock_guard lock(FMutex);
    Statement s(FDb, "SELECT name, create_date, scondition, vcondition FROM schemes "
                     "WHERE creator = ?1 AND programme = ?2 ORDER BY name");
    s.Bind(1, creator).Bind(2, programme);
    std::vector<SchemeRow> rows;
    while (s.Step())
        rows.push_back(SchemeRow{{s.Text(0), creator, programme}, s.Text(1), s.Text(2), s.Text(3)});
    return rows;
}

std::string TStore::AddJob(JobRecord job, const std::string& day) {
    std::lock_guard lock(FMutex);
    Transaction tx(FDb);
    Statement next(FDb, "INSERT INTO request_counters (day, last) VALUES (?1, 1) "
                        "ON CONFLICT (day) DO UPDATE SET last = last + 1 RETURNING last");
    next.Bind(1, day);
    if (!next.Step()) throw EStoreError("Cannot number the request");
    const int64_t number = next.Int(0);
    next.Run();
    char seq[24];
    std::snprintf(seq, sizeof seq, "%06lld", static_cast<long long>(number));
    job.RequestNo = day + seq;

    const JobSummary& m = job.Summary;
    const std::string sql =
        std::string("INSERT INTO jobs (") + kJobColumns +
        ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, "
        "?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25, ?26, ?27)";
    Statement put(FDb, sql.c_str());
    put.Bind(1, job.RequestNo)
        .Bind(2, job.Origin)
        .Bind(3, job.Status)
        .Bind(4, m.ProgramId)
        .Bind(5, m.CompanyId)
        .Bind(6, m.UserId)
        .Bind(7, m.DbName)
        .Bind(8, m.ServerProgId)
        .Bind(9, m.ReportKind)
        .Bind(10, m.EnvCount)
        .Bind(11, m.ConditionCount)
        .Bind(12, m.ComposedAt)
        .Bind(13, m.GenMode)
        .Bind(14, m.RunAt)
        .Bind(15, m.Notify)
        .Bind(16, m.Periodic)
        .Bind(17, m.CycleKind)
        .Bind(18, m.RunTime)
        .Bind(19, m.StartDate)
        .Bind(20, m.EndDate)
        .Bind(21, m.RangeKind)
        .Bind(22, m.RepeatCount)
        .Bind(23, job.Computer)
        .Bind(24, job.ReceivedAt)
        .Bind(25, job.StatusAt)
        .Bind(26, job.ErrorText)
        .Bind(27, job.ParamsText)
        .Run();
    tx.Commit();
    return job.RequestNo;
}

bool TStore::UpdateJobStatus(const std::string& requestNo, const std::string& origin,
                             const std::string& status, const std::string& errorText, double at) {
    std::lock_guard lock(FMutex);
    Transaction tx(FDb);
    Statement up(FDb, "UPDATE jobs SET status = ?3, error_text = ?4, status_at = ?5 "
                      "WHERE request_no = ?1 AND origin = ?2");
    up.Bind(1, requestNo).Bind(2, origin).Bind(3, status).Bind(4, errorText).Bind(5, at).Run();
    const bool updated = sqlite3_changes(FDb) > 0;
    tx.Commit();
    return updated;
}

std::optional<JobRecord> TStore::FindJob(const std::string& requestNo) {
    std::lock_guard lock(FMutex);
    const std::string sql = std::string("SELECT ") + kJobColumns + " FROM jobs WHERE request_no = ?1";
    Statement s(FDb, sql.c_str());
    s.Bind(1, requestNo);
    if (!s.Step()) return std::nullopt;
    return ReadJob(s);
}

std::vector<JobRecord> TStore::JobsWithStatus(const std::string& status) {
    std::lock_guard lock(FMutex);
    const std::string sql =
        std::string("SELECT ") + kJobColumns + " FROM jobs WHERE status = ?1 ORDER BY run_at, request_no";
    Statement s(FDb, sql.c_str());
    s.Bind(1, status);
    std::vector<JobRecord> jobs;
    while (s.Step()) jobs.push_back(ReadJob(s));
    return jobs;
}

std::optional<RightsRecord> TStore::FindRights(const std::string& dbName, const std::string& userId,
                                               const std::string& programId) {
    std::lock_guard lock(FMutex);
    Statement s(FDb, "SELECT rights, text2, text3, base_limit_prefix, base_limit_items FROM rights "
                     "WHERE db_name IN (?1, '*') AND user_id IN (?2, '*') AND program_id IN (?3, '*') "
                     "ORDER BY (db_name = '*') + (user_id = '*') + (program_id = '*'), "
                     "user_id = '*', program_id = '*' LIMIT 1");
    s.Bind(1, dbName).Bind(2, userId).Bind(3, programId);
    if (!s.Step()) return std::nullopt;
    return RightsRecord{s.Text(0), s.Text(1), s.Text(2), s.Text(3), SplitLines(s.Text(4))};
}

void TStore::PutRights(const std::string& dbName, const std::string& userId, const std::string& programId,
                       const RightsRecord& r) {
    std::lock_guard lock(FMutex);
    std::string items;
    for (size_t i = 0; i < r.BaseLimitItems.size(); ++i) items += (i ? "\n" : "") + r.BaseLimitItems[i];
    Transaction tx(FDb);
    Statement put(FDb, "INSERT OR REPLACE INTO rights (db_name, user_id, program_id, rights, text2, text3, "
                       "base_limit_prefix, base_limit_items) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    put.Bind(1, dbName)
        .Bind(2, userId)
        .Bind(3, programId)
        .Bind(4, r.Rights)
        .Bind(5, r.Text2)
        .Bind(6, r.Text3)
        .Bind(7, r.BaseLimitPrefix)
        .Bind(8, items)
        .Run();
    tx.Commit();
}

std::string DefaultDatabasePath() {
    if (const char* p = std::getenv("KVX_APPSERVER_DB"); p && *p) return p;
    std::filesystem::path dir;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
        dir = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        dir = std::filesystem::path(h) / ".local" / "share";
    else
        dir = std::filesystem::temp_directory_path();
    return (dir / "kvx" / "ReportCounterS.db").string();
}

} // namespace appsrv
