#pragma once
// The host shell's "ERP" database (SQLite). The services open it read-only: the connection itself is
// read-only, and an authorizer admits nothing but reading, so a statement that would write, attach or
// change settings is refused by the database engine whatever its text looks like.
#include "core/Variant.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace kvx::host {

// A failure of the database or of a statement; also what the automation services raise.
class EHostError : public rt::EOleException {
public:
    using EOleException::EOleException;
    const char* ClassName() const noexcept override { return "EHostError"; }
};

struct QueryResult {
    std::vector<std::string> Columns;
    std::vector<std::vector<rt::Variant>> Rows;
};

class HostDatabase {
public:
    // Bounds on what one statement may cost: rows returned and virtual-machine steps (a runaway
    // recursive query is stopped deterministically, not by a timer).
    struct Limits {
        size_t MaxRows = 10000;
        long MaxSteps = 50'000'000;
    };

    // Opens an existing database read-only. Raises EHostError when it is missing or not a database.
    static std::shared_ptr<HostDatabase> OpenReadOnly(const std::string& path);
    // Creates (replacing) a database file with the schema and then runs the seed script on it.
    static void Create(const std::string& path, const std::string& seedSql);
    // The schema the services expect (tables and look-up definitions).
    static const std::string& SchemaSql();

    ~HostDatabase();
    HostDatabase(const HostDatabase&) = delete;
    HostDatabase& operator=(const HostDatabase&) = delete;

    // Runs one read-only statement. Parameters bind to ?1, ?2, ... in order; a statement that takes
    // more parameters than given is refused, extra parameters are ignored. Texts come back as byte
    // texts, integers as integers (64-bit when needed), NULL as Null.
    QueryResult Query(const std::string& sql, const std::vector<rt::Variant>& params = {}) const;

    // The first column of the first row as text, or fallback when there is no row.
    std::string QueryText(const std::string& sql, const std::vector<rt::Variant>& params,
                          const std::string& fallback) const;

    const std::string& Path() const { return FPath; }
    void SetLimits(const Limits& limits) { FLimits = limits; }

private:
    HostDatabase(sqlite3* db, std::string path) : FDb(db), FPath(std::move(path)) {}

    sqlite3* FDb;
    std::string FPath;
    Limits FLimits;
};

// Parameters of a call as a list: an array gives its elements (from its low bound), Empty gives none,
// any other value is one parameter.
std::vector<rt::Variant> ParamList(const rt::Variant& params);

// Rows as a Variant array 0..n-1 of arrays 0..m-1, or Empty when there are no rows.
rt::Variant RowsToVariant(const std::vector<std::vector<rt::Variant>>& rows);

} // namespace kvx::host
