// The leave balances against a real (in-memory) database: the monthly
// accrual, the entitled balance from the "morkhasi" row in both modes, the
// correction for the months outside the employment, the special grants, the
// sick balance, the projection and the month's write into the leave tables.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "config/Rule.h"
#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "engine/PeriodState.h"
#include "monthly/Balances.h"
#include "run/Context.h"

using namespace attcalc;

namespace {

struct Now {
    explicit Now(const char* now) { setenv("ATTCALC_NOW", now, 1); }
    ~Now() { unsetenv("ATTCALC_NOW"); }
};

struct LeaveDb {
    std::unique_ptr<Database> owned = OpenSqlite(":memory:");
    TRunContext ctx;
    Now now{"1393/06/15 10:00"};

    LeaveDb() {
        ctx.db = owned.get();
        for (const char* t : {"persons", "morkhasi", "smorkhasi", "spmor"}) CreateTableIfMissing(ctx, t);
        ctx.rule.Rule_mohr = 480;
        ctx.rule.Rule_moey = 30;
        Person("100", "1390/01/01", "");
    }
    void Person(const std::string& code, const std::string& job, const std::string& end) {
        ctx.db->Execute("delete from persons where p_barcode=" + ctx.db->dialect().Quote(code));
        ctx.db->Insert("persons", {{"P_BarCode", DbValue::Text(code)}, {"P_Proxi", DbValue::Text(code)},
                                   {"P_JobDate", DbValue::Text(job)}, {"P_EndJobDate", DbValue::Text(end)}});
    }
    // A leave-table row of 1393: `months` holds (days, minutes) of months 1, 2, ...;
    // the rest are -1, -1.
    void Row(const std::string& table, const std::string& code, std::vector<std::pair<int, int>> months,
             int openingDays = -1, int openingMinutes = -1) {
        std::vector<SqlField> f{{"Mor_PCode", DbValue::Text(code)}, {"Mor_Year", DbValue::Int(1393)}};
        if (table == "morkhasi") {
            f.push_back({"Mor_DRemainOk", DbValue::Int(openingDays)});
            f.push_back({"Mor_HRemainOk", DbValue::Int(openingMinutes)});
        }
        for (int m = 1; m <= 12; ++m) {
            const bool set = m <= static_cast<int>(months.size());
            f.push_back({"Mor_D" + std::to_string(m), DbValue::Int(set ? months[m - 1].first : -1)});
            f.push_back({"Mor_H" + std::to_string(m), DbValue::Int(set ? months[m - 1].second : -1)});
        }
        ctx.db->Insert(table, f);
    }
    Rows Stored(const std::string& table) {
        return ctx.db->Query("select * from " + table + " order by mor_pcode, mor_year");
    }
    const TLeaveBalances& B() const { return ctx.balances; }
};

TBalance Bal(int d, int m) { return {d, m}; }

}  // namespace

namespace attcalc {
void PrintTo(const TBalance& b, std::ostream* os) { *os << "(" << b.Days << " days, " << b.Minutes << " min)"; }
}  // namespace attcalc

TEST(MonthAccrual, EvenSpreadCarriesTheFractionExactly) {
    struct Case {
        int moey, mohr;
        std::vector<TBalance> months;  // the first months of the year
    };
    const Case cases[] = {
        {30, 480, {{2, 240}, {2, 240}, {2, 240}}},  // 6 x 480 / 12 = 240
        {21, 440, {{1, 330}, {1, 330}}},            // 9 x 440 / 12 = 330
        {25, 440, {{2, 36}, {2, 37}, {2, 37}, {2, 36}, {2, 37}, {2, 37}}},  // 36 2/3 minutes a month
        {12, 480, {{1, 0}, {1, 0}}},
        {30, 0, {{2, 0}}},  // a rule without leave-day length accrues whole days only
    };
    for (const Case& c : cases) {
        rule_type R;
        R.Rule_moey = c.moey;
        R.Rule_mohr = c.mohr;
        std::int32_t s = 0;
        for (std::size_t m = 0; m < c.months.size(); ++m)
            EXPECT_EQ(MonthAccrual(R, static_cast<int>(m + 1), s), c.months[m]) << c.moey << " days, month " << m + 1;
    }
    // Over a year the fractions add up to the whole entitlement: 25 days.
    rule_type R;
    R.Rule_moey = 25;
    R.Rule_mohr = 440;
    std::int32_t s = 0, days = 0, minutes = 0;
    for (int m = 1; m <= 12; ++m) {
        TBalance a = MonthAccrual(R, m, s);
        BalanceAdd(days, minutes, a.Days, 440, a.Minutes);
    }
    EXPECT_EQ(Bal(days, minutes), Bal(25, 0));
}

TEST(MonthAccrual, MonthTableOnlyWhenTheRuleUsesItForBalances) {
    rule_type R;
    R.Rule_moey = 30;
    R.Rule_mohr = 480;
    R.Rule_moeylist = true;
    R.Rule_moeyd[2] = 3;
    R.Rule_moeyh[2] = 15;
    std::int32_t s = 0;
    R.LeaveTableForBalances = true;  // Rule_mounfair off: the even spread
    EXPECT_EQ(MonthAccrual(R, 3, s), Bal(2, 240));
    R.LeaveTableForBalances = false;
    EXPECT_EQ(MonthAccrual(R, 3, s), Bal(3, 15));
}

// Opening balance (5 days, 100 minutes); month 1 charged 1 day 60 minutes,
// month 2 not calculated, month 3 charged 120 minutes; 30 days a year at 480
// minutes a day accrue 2 days 240 minutes a month.
TEST(LeaveBalance, FromTheYearRowInBothModes) {
    LeaveDb t;
    t.Row("morkhasi", "100", {{1, 60}, {-1, -1}, {0, 120}}, 5, 100);
    t.Row("morkhasi", "101", {{9, 0}});  // another person
    t.ctx.rule.Rule_moesyl = 600;
    t.ctx.rule.Rule_moeneg = 2;

    // After month 3 is written: every month up to 3 is subtracted.
    LeaveBalance(t.ctx, 1, 0, "100", 1393, 4, true);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(11, 160));  // (5,100) + 3 x (2,240) - (1,60) - (0,120)
    EXPECT_EQ(t.B().EntitledLeaveCap, 540);               // 600 less month 1 (the months before the current one)
    EXPECT_EQ(t.B().YearLeaveRemaining, Bal(28, 420));    // (30,0) - (1,60)

    // At the start of month 3's period the engine charges month 3 itself; the
    // allowed negative days are added.
    LeaveBalance(t.ctx, 0, 0, "100", 1393, 4, true);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(13, 280));
    // A period that began a month earlier leaves months 2 and 3 to the engine.
    LeaveBalance(t.ctx, 0, 1, "100", 1393, 4, true);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(13, 280));  // month 2 was not calculated anyway
    // Not restricted: the whole year's entitlement counts.
    LeaveBalance(t.ctx, 1, 0, "100", 1393, 4, false);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(33, 400));  // (11,160) + 9 x (2,240)

    // Without a yearly cap the engine may charge without limit.
    t.ctx.rule.Rule_moesyl = 0;
    LeaveBalance(t.ctx, 1, 0, "100", 1393, 4, true);
    EXPECT_EQ(t.B().EntitledLeaveCap, 99999);
}

TEST(LeaveBalance, WithoutARowOfTheYear) {
    LeaveDb t;
    t.Row("morkhasi", "100", {{1, 0}});
    // 1392 has no row: restricted, the accrual of the months so far.
    LeaveBalance(t.ctx, 1, 0, "100", 1392, 3, true);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(5, 0));  // 2 x (2,240)
    EXPECT_EQ(t.B().YearLeaveRemaining, Bal(30, 0));
    // Not restricted: the whole year at once.
    LeaveBalance(t.ctx, 1, 0, "100", 1392, 3, false);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(30, 0));
    // A missing table reads as a table without rows.
    t.ctx.db->Execute("drop table morkhasi");
    t.ctx.KnownTables.clear();
    LeaveBalance(t.ctx, 1, 0, "100", 1393, 3, true);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(5, 0));
}

TEST(LeaveBalance, OpeningOfMinusOneIsNone) {
    LeaveDb t;
    t.Row("morkhasi", "100", {{0, 0}}, -1, -1);
    LeaveBalance(t.ctx, 1, 0, "100", 1393, 2, true);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(2, 240));
}

TEST(LeaveBalance, SpecialGrantsOfTheMonthsSoFar) {
    LeaveDb t;
    auto Grant = [&](const std::string& code, const std::string& date, int days, int minutes) {
        t.ctx.db->Insert("spmor", {{"Spm_PCode", DbValue::Text(code)}, {"Spm_Date", DbValue::Text(date)},
                                   {"Spm_Days", DbValue::Int(days)}, {"Spm_time", DbValue::Int(minutes)}});
    };
    Grant("100", "1393/01/05", 2, 100);
    Grant("100", "1393/02/31", 1, 400);
    Grant("100", "1393/03/01", 5, 0);  // after the months counted
    Grant("100", "1392/12/29", 5, 0);  // another year
    Grant("10", "1393/01/05", 5, 0);   // another person
    EXPECT_EQ(SpecialLeaveGrants(t.ctx, "100", 1393, 2), Bal(3, 500));
    // The balance adds them with the day's length: (5,0) + (3,500).
    LeaveBalance(t.ctx, 1, 0, "100", 1393, 3, true);
    EXPECT_EQ(t.B().EntitledLeaveBalance, Bal(9, 20));
}

TEST(EmploymentCorrection, MonthsOfThirtyDays) {
    LeaveDb t;
    struct Case {
        const char* job;
        const char* end;
        int n;
        TBalance want;
    } const cases[] = {
        {"1390/01/01", "", 6, {0, 0}},            // employed before the year
        {"1393/04/16", "", 6, {8, 360}},          // (16 + 120 - 31) x 30 / 360 = 8.75 days
        {"1393/04/31", "", 6, {9, 440}},          // day 31 counts as 30: (30 + 120 - 31) / 12 = 9.9167 days
        {"1393/08/10", "", 6, {12, 240}},         // hired after month n: (1 + 180 - 31) / 12 = 12.5 days
        {"", "1393/05/10", 6, {4, 80}},           // 30 x (180 - 150 - 10 + 30) / 360 = 4.1667 days
        {"", "1393/08/10", 6, {0, 0}},            // ends after month n: nothing
        {"1393/02/01", "1393/05/10", 6, {6, 320}},  // both: 2.5 days + 4.1667 days
    };
    for (const Case& c : cases) {
        t.Person("100", c.job, c.end);
        EXPECT_EQ(EmploymentCorrection(t.ctx, "100", 1393, c.n), c.want) << c.job << " - " << c.end;
    }
}

TEST(EmploymentCorrection, SalaryMonths) {
    LeaveDb t;
    t.ctx.settings.CalendarMonths = false;
    t.ctx.settings.CalendarMonthsForLeave = false;
    t.ctx.settings.MonthEndDay.fill(25);
    // Salary month 1393/01 runs 1392/12/26 - 1393/01/25, 1393/02
    // 1393/01/26 - 1393/02/25 (31 days). A month's entitlement is
    // Round(30 x 480 / 12) = 1200 minutes = 2 days 240 minutes.
    t.Person("100", "1393/02/05", "");
    // Month 1 wholly before the hire date; month 2: 10 of 31 days.
    // 10 x 1200 / 31 = 387.1 minutes.
    EXPECT_EQ(EmploymentCorrection(t.ctx, "100", 1393, 2), Bal(3, 147));  // (2,240) + (0,387)
    t.Person("100", "1390/01/01", "1393/02/20");
    // 5 days from the end of employment to 1393/02/25: 5 x 1200 / 31 = 193.5.
    EXPECT_EQ(EmploymentCorrection(t.ctx, "100", 1393, 2), Bal(0, 194));
}

TEST(SickBalance, YearlyAllowanceLessTheMonthsTaken) {
    LeaveDb t;
    t.ctx.rule.Rule_mosy = 12;
    t.ctx.rule.Rule_mosm = 3;
    SickBalance(t.ctx, 1, "100", 1393, 3);
    EXPECT_EQ(t.B().SickLeaveBalance, Bal(3, 0));  // nothing taken: capped at the month's 3 days

    t.ctx.rule.Rule_mosm = 0;
    t.Row("smorkhasi", "100", {{1, 0}, {0, 100}, {-1, -1}});
    SickBalance(t.ctx, 0, "100", 1393, 3);  // the current month 2 is the engine's
    EXPECT_EQ(t.B().SickLeaveBalance, Bal(11, 0));
    SickBalance(t.ctx, 1, "100", 1393, 3);
    EXPECT_EQ(t.B().SickLeaveBalance, Bal(10, 380));
    SickBalance(t.ctx, 1, "100", 1393, 5);  // month 3 not calculated, month 4 -1 as well
    EXPECT_EQ(t.B().SickLeaveBalance, Bal(10, 380));
}

TEST(LeaveProjection, NextMonthsAccrual) {
    LeaveDb t;
    t.ctx.balances.EntitledLeaveBalance = {4, 300};
    LeaveProjection(t.ctx, 3);
    EXPECT_EQ(t.B().EntitledLeaveProjection, Bal(7, 60));  // + (2,240)
    t.ctx.rule.Rule_moTalab = false;
    LeaveProjection(t.ctx, 3);
    EXPECT_EQ(t.B().EntitledLeaveProjection, Bal(4, 300));
    LeaveProjection(t.ctx, 13);  // month 12's projection: the new year brings the whole entitlement
    EXPECT_EQ(t.B().EntitledLeaveProjection, Bal(34, 300));
}

TEST(WriteMonthLeave, FirstWriteOfTheYearInsertsThenUpdates) {
    LeaveDb t;
    WriteMonthLeave(t.ctx, "morkhasi", "100", "1393/02/01", "1393/02/31", 2, 90);
    WriteMonthLeave(t.ctx, "smorkhasi", "100", "1393/02/01", "1393/02/31", 1, 0);
    Rows m = t.Stored("morkhasi");
    ASSERT_EQ(m.Count(), 1u);
    EXPECT_EQ(m.Text(0, "mor_pcode"), "100");
    EXPECT_EQ(m.Int(0, "mor_year"), 1393);
    EXPECT_EQ(m.Int(0, "mor_spdays"), 0);
    EXPECT_EQ(m.Int(0, "mor_sptime"), 0);
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(m.Int(0, "mor_d" + std::to_string(i)), i == 2 ? 2 : -1) << i;
        EXPECT_EQ(m.Int(0, "mor_h" + std::to_string(i)), i == 2 ? 90 : -1) << i;
    }
    Rows s = t.Stored("smorkhasi");
    ASSERT_EQ(s.Count(), 1u);
    EXPECT_EQ(s.Int(0, "mor_d2"), 1);
    EXPECT_EQ(s.Int(0, "mor_h2"), 0);
    EXPECT_EQ(s.Int(0, "mor_d1"), -1);

    // The next month updates its own pair only; the month in progress too.
    WriteMonthLeave(t.ctx, "morkhasi", "100", "1393/03/01", "1393/03/31", 0, 30);
    WriteMonthLeave(t.ctx, "morkhasi", "100", "1393/06/01", "1393/06/15", 1, 0);
    // A range that is no whole month and not the month in progress writes nothing.
    WriteMonthLeave(t.ctx, "morkhasi", "100", "1393/04/01", "1393/04/20", 9, 9);
    WriteMonthLeave(t.ctx, "morkhasi", "100", "1393/05/02", "1393/05/31", 9, 9);
    m = t.Stored("morkhasi");
    ASSERT_EQ(m.Count(), 1u);
    EXPECT_EQ(m.Int(0, "mor_d2"), 2);
    EXPECT_EQ(m.Int(0, "mor_h2"), 90);
    EXPECT_EQ(m.Int(0, "mor_d3"), 0);
    EXPECT_EQ(m.Int(0, "mor_h3"), 30);
    EXPECT_EQ(m.Int(0, "mor_d4"), -1);
    EXPECT_EQ(m.Int(0, "mor_d5"), -1);
    EXPECT_EQ(m.Int(0, "mor_d6"), 1);
    EXPECT_EQ(m.Int(0, "mor_h6"), 0);
}

TEST(WriteMonthLeave, MissingTableIsCreatedAndCodesAreText) {
    LeaveDb t;
    t.ctx.db->Execute("drop table smorkhasi");
    t.ctx.KnownTables.clear();
    WriteMonthLeave(t.ctx, "smorkhasi", "o'k", "1393/02/01", "1393/02/31", 1, 5);
    Rows s = t.Stored("smorkhasi");
    ASSERT_EQ(s.Count(), 1u);
    EXPECT_EQ(s.Text(0, "mor_pcode"), "o'k");
    EXPECT_EQ(s.Int(0, "mor_h2"), 5);
}

// Salary months ending on the 25th: on 1393/01/27 the salary month 1393/02
// (1393/01/26 - 1393/02/25) is in progress. Its leave belongs to month 2,
// although the day the calculation was cut to lies in calendar month 1,
// whose stored leave stays as it was.
TEST(WriteMonthLeave, SalaryMonthCutToItsFirstDays) {
    LeaveDb t;
    Now now("1393/01/27 09:00");
    t.ctx.settings.CalendarMonths = false;
    t.ctx.settings.CalendarMonthsForLeave = false;
    t.ctx.settings.MonthEndDay.fill(25);
    t.Row("morkhasi", "100", {{3, 0}});
    WriteMonthLeave(t.ctx, "morkhasi", "100", "1393/01/26", "1393/01/27", 0, 45);
    Rows m = t.Stored("morkhasi");
    EXPECT_EQ(m.Int(0, "mor_d1"), 3);
    EXPECT_EQ(m.Int(0, "mor_h1"), 0);
    EXPECT_EQ(m.Int(0, "mor_d2"), 0);
    EXPECT_EQ(m.Int(0, "mor_h2"), 45);
    int y = 0, mo = 0;
    LeaveMonthOf(t.ctx, "1393/12/27", y, mo);  // salary month 1394/01 begins on 1393/12/26
    EXPECT_EQ(y, 1394);
    EXPECT_EQ(mo, 1);
}

// The month's write takes the entitled leave of the month total when the
// month rules changed it, the period's charges otherwise.
TEST(MonthlyLeaveWrite, EntitledLeaveFollowsTheMonthTotal) {
    LeaveDb t;
    TDayRecord U;
    U.Prc_DayEleaveSalary = 1;
    U.Prc_HourEleaveSalary = 60;
    U.Prc_DaySleaveSalary = 2;
    U.Prc_HourSleaveSalary = 30;
    t.ctx.period.DailyEntitledLeaveDays = 0;
    t.ctx.period.HourlyEntitledLeaveToDate = 540;  // the same 540 minutes, counted in minutes
    MonthlyLeaveWrite(t.ctx, U, "100", "1393/02/01", "1393/02/31");
    Rows m = t.Stored("morkhasi");
    EXPECT_EQ(m.Int(0, "mor_d2"), 0);
    EXPECT_EQ(m.Int(0, "mor_h2"), 540);
    Rows s = t.Stored("smorkhasi");
    EXPECT_EQ(s.Int(0, "mor_d2"), 2);
    EXPECT_EQ(s.Int(0, "mor_h2"), 30);

    U.Prc_HourEleaveSalary = 90;  // the month rules added 30 minutes
    MonthlyLeaveWrite(t.ctx, U, "100", "1393/02/01", "1393/02/31");
    m = t.Stored("morkhasi");
    EXPECT_EQ(m.Int(0, "mor_d2"), 1);
    EXPECT_EQ(m.Int(0, "mor_h2"), 90);
    EXPECT_EQ(t.ctx.period.DailyEntitledLeaveDays, 1);
    EXPECT_EQ(t.ctx.period.HourlyEntitledLeaveToDate, 90);
}
