// An attcalc folder for running the built program against the demo database,
// on SQLite (clock.db, the embedded default) or on a fresh database of the
// test run's PostgreSQL server (named by cs.txt).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "calendar/Holidays.h"
#include "db/Catalogue.h"
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

// The tables a calculation of 1393/02 reads, empty: the fixed ones, the result
// tables 1393/01 and 1393/02 and those named in `moreResultTables`, and the
// clock, request, permit and free-overtime tables of 1393/01 ... 1393/03.
inline void CreateMonthTables(TRunContext& ctx, std::initializer_list<const char*> moreResultTables = {}) {
    for (const char* t : {"init", "qvlog", "holiday", "persons", "rules", "rulesetc", "shifts", "grp_dtl",
                          "spshift", "sprule", "spgroup", "readers", "trouble", "morkhasi", "smorkhasi", "spmor",
                          "addfree", "p139301", "p139302"})
        CreateTableIfMissing(ctx, t);
    for (const char* t : moreResultTables) CreateTableIfMissing(ctx, t);
    for (const char* d : {"1393/01/01", "1393/02/01", "1393/03/01"}) {
        EnsureClockTables(ctx, d);
        for (const char* p : {"t", "e", "a"}) CreateTableIfMissing(ctx, MonthTableName(p, d));
    }
}

// Shift 1, one range from 08:00 to 16:00, and group 1 holding it on every day
// of 1393 but Fridays (one character per day: the shift code + 1).
inline void AddDayShiftGroup(Database& db) {
    db.Insert("shifts", {{"SH_Code", DbValue::Int(1)}, {"SH_Count", DbValue::Int(1)},
                         {"SH_Name", DbValue::Text("day")}, {"SH_From1", DbValue::Int(8 * 60)},
                         {"SH_To1", DbValue::Int(16 * 60)}, {"SH_From2", DbValue::Int(0)},
                         {"SH_To2", DbValue::Int(0)}, {"SH_From3", DbValue::Int(0)}, {"SH_To3", DbValue::Int(0)},
                         {"Sh_Kind", DbValue::Int(0)}, {"Sh_Nesab", DbValue::Int(0)}, {"Sh_Type", DbValue::Int(0)}});
    std::vector<SqlField> g{{"Grd_Code", DbValue::Int(1)}, {"Grd_Year", DbValue::Int(1393)}};
    for (int m = 1; m <= 12; ++m) {
        std::string text;
        for (int d = 1; d <= 31; ++d) text += static_cast<char>(Weekday(1393, m, d) == 6 ? 1 : 2);
        g.push_back({"Grd_M" + std::to_string(m), DbValue::Text(text)});
    }
    db.Insert("grp_dtl", g);
}

// Skips a Postgres case when the test run has no server.
#define SKIP_WITHOUT_BACKEND(b)                                                          \
    if ((b) == ::attcalc::test::Backend::Postgres && ::attcalc::test::PostgresConnectionString().empty()) \
    GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG is unset)"

}  // namespace attcalc::test
