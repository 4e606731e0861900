// Shared setup of the result-table tests: a run context on a fresh database
// and records whose every stored column holds a value of its own.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "results/DayRecord.h"
#include "results/ResultsCursor.h"
#include "run/Context.h"

namespace attcalc::test {

struct ResultsDb {
    std::unique_ptr<Database> owned;
    TRunContext ctx;

    explicit ResultsDb(std::unique_ptr<Database> db) : owned(std::move(db)) {
        ctx.db = owned.get();
        ctx.ScriptsEnabled = true;
    }
    ResultsDb() : ResultsDb(OpenSqlite(":memory:")) {}

    // The stored row (code, date) of the date's month table, read as a record;
    // false when there is none.
    bool Read(const std::string& code, const std::string& date, TDayRecord& r, Rows* raw = nullptr) {
        const Dialect& d = ctx.db->dialect();
        Rows rows = ctx.db->Query("select * from " + d.Table(RecordTableName(date)) + " where prc_pcode=" +
                                  d.Quote(code) + " and prc_date=" + d.Quote(date));
        if (rows.Count() != 1) return false;
        ReadDayRecord(rows, 0, r);
        if (raw) *raw = rows;
        return true;
    }

    std::int64_t Count(const std::string& table) {
        Rows rows = ctx.db->Query("select count(*) as n from " + ctx.db->dialect().Table(table));
        return rows.Int(0, "n");
    }
};

// A record in which every stored numeric column holds a value derived from
// `seed` and its position (bytes and 16-bit columns within their range).
inline TDayRecord DistinctRecord(const std::string& code, const std::string& date, int seed) {
    TDayRecord r;
    r.Prc_PCode = code;
    r.Prc_date = date;
    int i = 0;
    for (const TDayColumn& c : DayColumns()) {
        ++i;
        switch (c.type) {
            case TDayFieldType::Text: break;
            case TDayFieldType::Byte: SetDayColumnInt(r, c, (seed + i) % 250 + 1); break;
            case TDayFieldType::SmallInt: SetDayColumnInt(r, c, -(seed * 10 + i)); break;
            case TDayFieldType::Int: SetDayColumnInt(r, c, seed * 1000 + i * 7 - 500); break;
        }
    }
    r.Prc_changed = 0;
    return r;
}

// Sets ATTCALC_NOW for the life of the object.
struct FixedNow {
    explicit FixedNow(const std::string& now) { setenv("ATTCALC_NOW", now.c_str(), 1); }
    ~FixedNow() { unsetenv("ATTCALC_NOW"); }
};

}  // namespace attcalc::test
