// The monthly driver on a day array filled by hand: which days are summed,
// what the month total takes from the last day, the lateness penalty, and
// the stored month-total row. The rule's month limits are out of reach, so
// that the month rules leave the fields checked here as their sums.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "monthly/Monthly.h"
#include "results/DayRecord.h"
#include "run/Context.h"

using namespace attcalc;

namespace {

struct MonthCtx {
    std::unique_ptr<Database> owned = OpenSqlite(":memory:");
    TRunContext ctx;

    explicit MonthCtx(const char* now = "1393/03/05 10:00") {
        setenv("ATTCALC_NOW", now, 1);
        ctx.db = owned.get();
        ctx.ScriptsEnabled = true;
        for (const char* t : {"persons", "morkhasi", "smorkhasi", "spmor", "addfree", "trouble", "p139302"})
            CreateTableIfMissing(ctx, t);
        ctx.db->Insert("persons", {{"P_BarCode", DbValue::Text("7")}, {"P_Proxi", DbValue::Text("7")},
                                   {"P_JobDate", DbValue::Text("1390/01/01")}, {"P_RuleGroup", DbValue::Int(1)}});
        rule_type& R = ctx.rule;
        R.Rule_emaxm = 999;
        R.Rule_GMT1m = R.Rule_gmt2m = R.Rule_gmbm = 9999;
        R.Rule_gmaxm = 999;
        R.Rule_gzhd = 0;
        R.Rule_gttm = 2;
        R.Rule_gttmj = 30;
    }
    ~MonthCtx() { unsetenv("ATTCALC_NOW"); }

    // Days 1 ... n of 1393/02, each with 480 minutes of required work and
    // presence, 08:00-16:00.
    void Days(int n) {
        for (int d = 1; d <= n; ++d) AppendDay(ctx.days, Day(d));
    }
    static TDayRecord Day(int d) {
        TDayRecord r;
        r.Prc_date = std::string("1393/02/") + (d < 10 ? "0" : "") + std::to_string(d);
        r.Prc_PCode = "7";
        r.Prc_NormWork = 480;
        r.Prc_PresenceWork = 480;
        r.Prc_FirstIn = 480;
        r.Prc_FirstOut = 960;
        r.Prc_shiftcode = 1;
        r.Prc_station = 3;
        r.Prc_scrtimes[0] = 1;
        r.Prc_scrdays[9] = 2;
        return r;
    }
    Rows MonthRow() { return ctx.db->Query("select * from p139302 where prc_date='1393/02/00'"); }
};

}  // namespace

TEST(MonthlyCalculation, SumsTheDaysOfTheMonthAndKeepsTheLastDaysValues) {
    MonthCtx t;
    t.Days(30);
    TDayRecord last = MonthCtx::Day(31);
    last.Prc_FirstIn = 500;
    last.Prc_SecondIn = 1000;
    last.Prc_SecondOut = 1100;
    last.Prc_shiftcode = 4;
    last.Prc_28 = 29;  // an open pair continues into the next month
    AppendDay(t.ctx.days, last);
    // Beyond the month's 31 positions: not summed, although dated in the month.
    AppendDay(t.ctx.days, MonthCtx::Day(15));
    // Five late days; from the third on each adds 30 minutes of absence.
    for (int k : {2, 3, 9, 20, 21}) DayAt(t.ctx.days, k).Prc_TakhirLessWork = 10 * k;
    DayAt(t.ctx.days, 20).Prc_HourAbsence = 100;

    MonthlyCalculation(t.ctx, "7", "1393/02/01", "1393/02/31");
    Rows m = t.MonthRow();
    ASSERT_EQ(m.Count(), 1u);
    EXPECT_EQ(m.Int(0, "Prc_NormWork"), 31 * 480);
    EXPECT_EQ(m.Int(0, "Prc_PresenceWork"), 31 * 480);
    EXPECT_EQ(m.Int(0, "Prc_TakhirLessWork"), 20 + 30 + 90 + 200 + 210);
    EXPECT_EQ(m.Int(0, "Prc_HourAbsence"), 100 + 3 * 30);
    EXPECT_EQ(m.Int(0, "Prc_scrtimes1"), 31);
    EXPECT_EQ(m.Int(0, "Prc_scrdays10"), 62);
    EXPECT_EQ(m.Int(0, "Prc_FirstIn"), 500);
    EXPECT_EQ(m.Int(0, "Prc_SecondIn"), 1000);
    EXPECT_EQ(m.Int(0, "Prc_LastInOut"), -1000);
    EXPECT_EQ(m.Int(0, "Prc_shiftcode"), 4);
    EXPECT_EQ(m.Int(0, "Prc_Station"), 31);  // the salary month's last day, not the last day's station
    EXPECT_EQ(m.Int(0, "Prc_Kind"), 29);
    EXPECT_EQ(m.Int(0, "Prc_28"), 29);
    EXPECT_EQ(m.Int(0, "Prc_Type"), 0);
    EXPECT_EQ(m.Int(0, "Prc_Changed"), 0);
}

TEST(MonthlyCalculation, DaysOutsideTheMonthAndUnmarkedPositionsAreSkipped) {
    MonthCtx t("1393/02/10 18:00");
    TDayRecord before = MonthCtx::Day(1);
    before.Prc_date = "1393/01/31";
    AppendDay(t.ctx.days, before);
    t.Days(10);
    // E cut to 1393/02/10: N = 10 positions; the first is outside [S, E].
    MonthlyCalculation(t.ctx, "7", "1393/02/01", "1393/02/10");
    Rows m = t.MonthRow();
    ASSERT_EQ(m.Count(), 1u);
    EXPECT_EQ(m.Int(0, "Prc_NormWork"), 9 * 480);
    EXPECT_EQ(m.Int(0, "Prc_Type"), 1);  // the month in progress

    // The same range once the month is over is no salary month: no row.
    setenv("ATTCALC_NOW", "1393/03/05 10:00", 1);
    t.ctx.db->Execute("delete from p139302");
    MonthlyCalculation(t.ctx, "7", "1393/02/01", "1393/02/10");
    EXPECT_EQ(t.MonthRow().Count(), 0u);
}

TEST(MonthlyCalculation, WithoutDaysTheTotalIsEmpty) {
    MonthCtx t;
    t.ctx.period.PreviousDay.Mark = 28;
    MonthlyCalculation(t.ctx, "7", "1393/02/01", "1393/02/31");
    Rows m = t.MonthRow();
    ASSERT_EQ(m.Count(), 1u);
    EXPECT_EQ(m.Int(0, "Prc_NormWork"), 0);
    EXPECT_EQ(m.Int(0, "Prc_FirstIn"), -1000);
    EXPECT_EQ(m.Int(0, "Prc_LastInOut"), -1000);
    EXPECT_EQ(m.Int(0, "Prc_Kind"), 28);  // the mark carried from before the period
    EXPECT_EQ(m.Text(0, "Prc_PCode"), "7");
}
