// An attcalc folder for running the built program against the demo database,
// on SQLite (clock.db, the embedded default) or on a fresh database of the
// test run's PostgreSQL server (named by cs.txt).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "db/Cp1256.h"
#include "demodb/DemoData.h"
#include "support/TestSupport.h"

namespace attcalc::test {

enum class Backend { Sqlite, Postgres };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& i) {
    return i.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

struct RunHome {
    TempDir dir;
    Backend backend;
    std::string cs;  // connection string for opening our own connection

    // Seeds the demo data of (year, month) unless `seed` is false.
    explicit RunHome(Backend b, int year = 1393, int month = 2, bool seed = true) : backend(b) {
        std::unique_ptr<Database> db;
        if (b == Backend::Postgres) {
            db = FreshPostgres(&cs);
            WriteFile(dir.file("cs.txt"), cs + "\r\n");
        } else {
            cs = "Provider=SQLite;Data Source=clock.db";
            db = OpenSqlite(dir.file("clock.db"));
        }
        if (seed) {
            TRunContext ctx;
            ctx.db = db.get();
            ctx.home = dir.path().string();
            db->Begin();
            demo::SeedDemo(ctx, year, month);
            db->Commit();
        }
    }
    RunResult Run(const std::vector<std::string>& args, const std::string& now = "1393/02/10 08:30") {
        return RunAttcalc(args, {"ATTCALC_HOME=" + dir.path().string(), "ATTCALC_NOW=" + now});
    }
    std::unique_ptr<Database> Db() { return OpenDatabase(cs, dir.path().string()); }
    bool HasTable(const std::string& t) { return Db()->TableExists(t); }
    std::vector<std::string> TraceLines() {
        std::string t = ReadFile(dir.file("trace.txt"));
        std::vector<std::string> lines;
        for (std::size_t p = 0; p < t.size();) {
            std::size_t e = t.find("\r\n", p);
            if (e == std::string::npos) e = t.size();
            lines.push_back(Cp1256ToUtf8(t.substr(p, e - p)));
            p = e + 2;
        }
        return lines;
    }
};

// Skips a Postgres case when the test run has no server.
#define SKIP_WITHOUT_BACKEND(b)                                                          \
    if ((b) == ::attcalc::test::Backend::Postgres && ::attcalc::test::PostgresConnectionString().empty()) \
    GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG is unset)"

}  // namespace attcalc::test
