// A SQLite database in memory and a run context prepared the way the period
// driver prepares it, with helpers that write punches, schedules and requests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "inputs/DayInput.h"
#include "inputs/DayWindows.h"
#include "inputs/Punches.h"
#include "inputs/Requests.h"
#include "inputs/Schedule.h"
#include "run/Context.h"

namespace attcalc::test {

class InputsTest : public ::testing::Test {
protected:
    std::unique_ptr<Database> db = OpenSqlite(":memory:");
    TRunContext ctx;
    const std::string pcode = "100";

    void SetUp() override {
        ctx.db = db.get();
        // Rule 1 is current and already loaded: its fields are set by the tests.
        ctx.rule.rule_code = 1;
        ctx.RuleRequestedCode = 1;
        ctx.shifts.Entries = {RestShift()};
        ctx.person.p_shiftgroup = 1;
    }

    static DbValue T(const std::string& s) { return DbValue::Text(s); }
    static DbValue I(long long v) { return DbValue::Int(v); }

    void Punch(const std::string& date, int time, int state = 0, int chg = 0, int reader = 0,
               const std::string& who = "100") {
        EnsureClockTables(ctx, date);
        db->Insert(MonthTableName("c", date), {{"Clock_BarCode", T(who)},
                                               {"Clock_Date", T(date)},
                                               {"Clock_Time", I(time)},
                                               {"Clock_RecState", I(state)},
                                               {"Clock_RdrCode", I(reader)},
                                               {"Clock_Chg", I(chg)},
                                               {"Clock_User", T("op")}});
    }

    void Request(const std::string& date, int start, int end, int code) {
        const std::string t = MonthTableName("t", date);
        CreateTableIfMissing(ctx, t);
        db->Insert(t, {{"clock_barcode", T(pcode)},
                       {"clock_date", T(date)},
                       {"clock_time", I(start)},
                       {"clock_etime", I(end)},
                       {"clock_RecState", I(code)}});
    }

    void AddShift(int code, int f1, int t1, int f2 = 0, int t2 = 0, int f3 = 0, int t3 = 0, int kind = 0) {
        TShift s;
        s.sh_code = code;
        s.sh_count = static_cast<std::uint8_t>((f1 < t1) + (f2 < t2) + (f3 < t3));
        s.sh_ranges = {{{f1, t1}, {f2, t2}, {f3, t3}}};
        s.sh_kind = static_cast<std::uint8_t>(kind);
        s.sh_Nesab = 10 * code;
        s.sh_type = 0;
        ctx.shifts.Entries.push_back(s);
        ctx.shifts.Count = static_cast<int>(ctx.shifts.Entries.size()) - 1;
    }

    // A one-character-per-day month text giving `code` on every day.
    static std::string EveryDay(int code, int days = 31) { return std::string(static_cast<std::size_t>(days), static_cast<char>(code + 1)); }

    void GroupMonth(int group, int year, int month, const std::string& text) {
        CreateTableIfMissing(ctx, "grp_dtl");
        const std::string col = "Grd_M" + std::to_string(month);
        Rows r = db->Query("select * from grp_dtl where grd_code=" + std::to_string(group) +
                           " and grd_year=" + std::to_string(year));
        if (r.Empty())
            db->Insert("grp_dtl", {{"Grd_Code", I(group)}, {"Grd_Year", I(year)}, {col, T(text)}});
        else
            db->Execute("update grp_dtl set " + col + "=" + db->dialect().Quote(text) + " where grd_code=" +
                        std::to_string(group) + " and grd_year=" + std::to_string(year));
    }

    // Runs the input stage for a period as the period driver calls it.
    void RunPeriod(const std::string& from, const std::string& to) {
        ctx.period.Days.assign(static_cast<std::size_t>(PeriodDayCount(from, to) + 2), DayInput{});
        BuildSchedule(ctx, pcode, from, to);
        ReadPunches(ctx, AddDays(from, -1), AddDays(to, 1), pcode);
        ReadTimedRequests(ctx, pcode, from, to);
        BuildDays(ctx, pcode, from, to);
    }

    const DayInput& Day(int k) const { return ctx.period.Days.at(static_cast<std::size_t>(k - 1)); }

    // The pairs of a day as "in-out" texts with codes where not 0: "480-960", "480-480/97".
    static std::string PairsText(const DayInput& d) {
        std::string s;
        for (int i = 0; i < d.PairCount; ++i) {
            const TPair& p = d.Pairs[i];
            if (!s.empty()) s += " ";
            s += std::to_string(p.In);
            if (p.InCode) s += ":" + std::to_string(p.InCode);
            s += "-";
            const bool closed = 2 * (i + 1) <= d.PunchCount;
            s += std::to_string(p.Out);
            if (p.OutCode) s += ":" + std::to_string(p.OutCode);
            if (!closed) s += "(open)";
        }
        return s;
    }
};

}  // namespace attcalc::test
