#include "HostDatabase.h"

#include <sqlite3.h>

#include <climits>
#include <cstdio>
#include <filesystem>

namespace kvx::host {
namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw EHostError(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

// Admits reading only. Consulted while a statement is prepared, so a refused statement never runs.
int ReadOnlyAuthorizer(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

// Stops a statement after its step budget; counted in units of the progress-handler period.
struct StepBudget {
    long Remaining;
};

constexpr int kProgressPeriod = 1000;

int ProgressHandler(void* data) {
    auto* budget = static_cast<StepBudget*>(data);
    return --budget->Remaining < 0 ? 1 : 0;
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) : FDb(db) {
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &FStmt, &tail) != SQLITE_OK)
            Fail(db, "Statement refused");
        if (!FStmt) throw EHostError("Statement refused: the text holds no statement");
        // From here on the constructor finalizes what it prepared before it raises: a statement left
        // behind would keep the connection from closing.
        std::string refusal;
        if (tail && *tail) {
            // What follows may be blanks and comments, but no second statement.
            sqlite3_stmt* next = nullptr;
            if (sqlite3_prepare_v2(db, tail, -1, &next, nullptr) != SQLITE_OK || next)
                refusal = "only one statement may be given";
            sqlite3_finalize(next);
        }
        if (refusal.empty() && !sqlite3_stmt_readonly(FStmt)) refusal = "it would change the database";
        if (!refusal.empty()) {
            sqlite3_finalize(FStmt);
            throw EHostError("Statement refused: " + refusal);
        }
    }
    ~Statement() { sqlite3_finalize(FStmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* Get() const { return FStmt; }

    void Bind(const std::vector<rt::Variant>& params) {
        const int wanted = sqlite3_bind_parameter_count(FStmt);
        if (static_cast<size_t>(wanted) > params.size())
            throw EHostError("Statement takes " + std::to_string(wanted) + " parameter(s), " +
                             std::to_string(params.size()) + " given");
        for (int i = 0; i < wanted; ++i) BindOne(i + 1, params[static_cast<size_t>(i)]);
    }

private:
    void BindOne(int index, const rt::Variant& v) {
        int rc = SQLITE_OK;
        switch (v.VarType()) {
        case rt::varEmpty:
        case rt::varNull:
            rc = sqlite3_bind_null(FStmt, index);
            break;
        case rt::varBoolean:
            rc = sqlite3_bind_int(FStmt, index, v.AsBoolean() ? 1 : 0);
            break;
        case rt::varSmallint:
        case rt::varInteger:
        case rt::varShortInt:
        case rt::varByte:
        case rt::varWord:
        case rt::varLongWord:
        case rt::varInt64:
            rc = sqlite3_bind_int64(FStmt, index, v.AsInt64());
            break;
        case rt::varSingle:
        case rt::varDouble:
        case rt::varCurrency:
        case rt::varDate:
            rc = sqlite3_bind_double(FStmt, index, v.AsDouble());
            break;
        case rt::varString:
        case rt::varOleStr: {
            const std::string text = v.AsString();
            rc =
                sqlite3_bind_text(FStmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
        default:
            throw EHostError("Parameter " + std::to_string(index) +
                             " cannot be bound: " + rt::VarTypeName(v.VarType()));
        }
        if (rc != SQLITE_OK) Fail(FDb, "Parameter " + std::to_string(index) + " cannot be bound");
    }

    sqlite3* FDb;
    sqlite3_stmt* FStmt = nullptr;
};

rt::Variant ColumnValue(sqlite3_stmt* stmt, int col) {
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(stmt, col);
        if (v >= INT_MIN && v <= INT_MAX) return rt::Variant(static_cast<int>(v));
        return rt::Variant(static_cast<long long>(v));
    }
    case SQLITE_FLOAT:
        return rt::Variant(sqlite3_column_double(stmt, col));
    case SQLITE_NULL:
        return rt::Null();
    default: {
        const auto* text = static_cast<const char*>(sqlite3_column_blob(stmt, col));
        const int size = sqlite3_column_bytes(stmt, col);
        return rt::Variant(std::string(text ? text : "", static_cast<size_t>(size)));
    }
    }
}

void ExecScript(sqlite3* db, const std::string& sql, const std::string& what) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = what + ": " + (error ? error : "unknown error");
        sqlite3_free(error);
        throw EHostError(message);
    }
}

} // namespace

std::shared_ptr<HostDatabase> HostDatabase::OpenReadOnly(const std::string& path) {
    if (!std::filesystem::is_regular_file(path)) throw EHostError("Host database not found: " + path);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw EHostError("Cannot open host database " + path + ": " + message);
    }
    std::shared_ptr<HostDatabase> result(new HostDatabase(db, path));
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 1, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 100000);
    // A file that is not a database fails on first use: check it now with one read.
    result->Query("SELECT count(*) FROM sqlite_schema");
    sqlite3_set_authorizer(db, ReadOnlyAuthorizer, nullptr);
    return result;
}

void HostDatabase::Create(const std::string& path, const std::string& seedSql) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw EHostError("Cannot create host database " + path + ": " + message);
    }
    try {
        ExecScript(db, "BEGIN", "Cannot start the transaction");
        ExecScript(db, SchemaSql(), "Schema failed");
        ExecScript(db, seedSql, "Seed script failed");
        ExecScript(db, "COMMIT", "Cannot commit");
    } catch (...) {
        sqlite3_close(db);
        std::filesystem::remove(path, ec);
        throw;
    }
    sqlite3_close(db);
}

HostDatabase::~HostDatabase() {
    sqlite3_close(FDb);
}

QueryResult HostDatabase::Query(const std::string& sql, const std::vector<rt::Variant>& params) const {
    Statement stmt(FDb, sql);
    stmt.Bind(params);
    QueryResult result;
    const int columns = sqlite3_column_count(stmt.Get());
    for (int c = 0; c < columns; ++c) {
        const char* name = sqlite3_column_name(stmt.Get(), c);
        result.Columns.emplace_back(name ? name : "");
    }
    StepBudget budget{FLimits.MaxSteps / kProgressPeriod};
    sqlite3_progress_handler(FDb, kProgressPeriod, ProgressHandler, &budget);
    struct ResetHandler {
        sqlite3* Db;
        ~ResetHandler() { sqlite3_progress_handler(Db, 0, nullptr, nullptr); }
    } reset{FDb};
    for (;;) {
        const int rc = sqlite3_step(stmt.Get());
        if (rc == SQLITE_DONE) break;
        if (rc == SQLITE_INTERRUPT) throw EHostError("Statement stopped: it exceeded its step budget");
        if (rc != SQLITE_ROW) Fail(FDb, "Statement failed");
        if (result.Rows.size() >= FLimits.MaxRows)
            throw EHostError("Statement stopped: more than " + std::to_string(FLimits.MaxRows) + " rows");
        std::vector<rt::Variant> row;
        row.reserve(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c) row.push_back(ColumnValue(stmt.Get(), c));
        result.Rows.push_back(std::move(row));
    }
    return result;
}

std::string HostDatabase::QueryText(const std::string& sql, const std::vector<rt::Variant>& params,
                                    const std::string& fallback) const {
    QueryResult r = Query(sql, params);
    if (r.Rows.empty() || r.Rows.front().empty()) return fallback;
    return rt::VarToStr(r.Rows.front().front());
}

std::vector<rt::Variant> ParamList(const rt::Variant& params) {
    std::vector<rt::Variant> list;
    if (params.IsEmpty()) return list;
    if (!params.IsArray()) {
        list.push_back(params);
        return list;
    }
    if (params.DimCount() != 1) throw EHostError("Parameters must be a one-dimensional array");
    for (int i = params.LowBound(); i <= params.HighBound(); ++i) list.push_back(params[i]);
    return list;
}

rt::Variant RowsToVariant(const std::vector<std::vector<rt::Variant>>& rows) {
    if (rows.empty()) return rt::Variant();
    rt::Variant result = rt::VarArrayCreate({0, static_cast<int>(rows.size()) - 1});
    for (size_t r = 0; r < rows.size(); ++r) result[static_cast<int>(r)] = rt::VarArrayOf(rows[r]);
    return result;
}

} // namespace kvx::host
