// A small world for the engine tests: a run context over an in-memory SQLite
// database, a period of hand-built days and helpers to fill them.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "engine/Engine.h"
#include "support/TestSupport.h"

namespace attcalc::test {

struct TPunchPair {
    std::int32_t In, Out;
    std::uint8_t InCode = 0, OutCode = 0;
};

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ATTCALC_NOW", "1403/06/20 10:00", 1);
        db_ = OpenSqlite(":memory:");
        ctx.db = db_.get();
        ctx.home = dir_.path().string();
        ctx.PersonnelCode = "1001";
        // Rule code 0 counts as loaded, so the days keep the rule set up here.
        ctx.rule = rule_type{};
        ctx.RuleRequestedCode = 0;
    }

    // A period of n days starting at `first`; every day without shift.
    void Period(const std::string& first, int n) {
        PeriodState& ps = ctx.period;
        ps.DayCount = n;
        ps.Mode = 1;
        ps.Days.assign(n + 2, DayInput{});
        for (int d = 1; d <= n + 2; ++d) {
            ps.Days[d - 1].Date = AddDays(first, d - 1);
            ps.Days[d - 1].DayClass = 1;
        }
        start_ = first;
        end_ = AddDays(first, n - 1);
    }

    DayInput& Day(int d) { return ctx.period.Days[d - 1]; }

    void Shift(int d, std::vector<std::pair<std::int32_t, std::int32_t>> ranges, std::int32_t code = 1) {
        DayInput& day = Day(d);
        day.ShiftCode = code;
        day.IntervalCount = static_cast<std::uint8_t>(ranges.size());
        for (std::size_t i = 0; i < ranges.size(); ++i) day.Intervals[i] = {ranges[i].first, ranges[i].second};
        day.DayClass = ranges.empty() ? 1 : 0;
    }

    void Punches(int d, std::vector<TPunchPair> pairs) {
        DayInput& day = Day(d);
        day.PairCount = static_cast<std::uint8_t>(pairs.size());
        day.PunchCount = static_cast<std::uint8_t>(2 * pairs.size());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            TPair& p = day.Pairs[i];
            p.In = pairs[i].In;
            p.Out = pairs[i].Out;
            p.InCode = pairs[i].InCode;
            p.OutCode = pairs[i].OutCode;
        }
        ctx.period.PunchTotal += static_cast<std::int32_t>(2 * pairs.size());
    }

    void Request(int d, std::int32_t start, std::int32_t end, std::int32_t code) {
        DayInput& day = Day(d);
        day.Requests[day.RequestCount++] = {start, end, code};
    }

    // Marks day `dd` of month `m` of year `y` as an official and/or unofficial
    // holiday in the holiday table.
    void Holiday(int y, int m, int dd, bool official, bool unofficial) {
        CreateTableIfMissing(ctx, "holiday");
        std::string rasmi(31, '0'), nonrasmi(31, '0');
        if (official) rasmi[dd - 1] = '1';
        if (unofficial) nonrasmi[dd - 1] = '1';
        db_->Insert("holiday", {{"holiday_year", DbValue::Int(y)},
                                {"holiday_Month", DbValue::Int(m)},
                                {"holiday_Rasmi", DbValue::Text(rasmi)},
                                {"holiday_NonRasmi", DbValue::Text(nonrasmi)}});
    }

    // Runs the whole engine over the period.
    void Run() { EngineRun(ctx, ctx.PersonnelCode, start_, end_); }

    // Prepares and walks day d only (what the segment walk leaves).
    TEngineState Walk(int d = 1) {
        TEngineState es;
        DayWalk(ctx, es, ctx.PersonnelCode, d);
        return es;
    }

    const TDayRecord& Result(int k) { return DayAt(ctx.days, k); }

    TRunContext ctx;
    std::unique_ptr<Database> db_;

private:
    TempDir dir_;
    std::string start_, end_;
};

}  // namespace attcalc::test
