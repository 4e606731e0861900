// Shared helpers of the test programs: temporary folders, SQLite fixtures and
// running the built program.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "db/Database.h"

namespace attcalc::test {

// A fresh temporary folder, removed when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

struct RunResult {
    int status = -1;          // exit status of the program
    std::string out, err;     // standard output and error
};

// Runs the built attcalc with the given arguments. `env` holds "NAME=value"
// entries added to the environment (ATTCALC_HOME, ATTCALC_NOW, ...).
RunResult RunAttcalc(const std::vector<std::string>& args, const std::vector<std::string>& env);

// The PostgreSQL server of the test run, when tools/test started one:
// an ODBC connection string from ATTCALC_TEST_PG, or empty.
std::string PostgresConnectionString();

// A new, empty database of its own on the test run's PostgreSQL server, open
// through ODBC. `attcalcCs`, when given, receives the attcalc-style
// connection string of the same database (for a cs.txt). Call through
// FRESH_POSTGRES_OR_SKIP in a test, which skips when no server runs.
std::unique_ptr<Database> FreshPostgres(std::string* attcalcCs = nullptr);

// The connection string with the value of `key` replaced (or appended).
std::string WithConnectionValue(const std::string& cs, const std::string& key, const std::string& value);

#define FRESH_POSTGRES_OR_SKIP(db, csOut)                                      \
    if (::attcalc::test::PostgresConnectionString().empty())                   \
        GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG is unset)";     \
    auto db = ::attcalc::test::FreshPostgres(csOut)

}  // namespace attcalc::test
