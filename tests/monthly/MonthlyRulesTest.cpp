// The month rules on a month total: caps, allowances, waivers, penalties,
// conversions into entitled leave and into days, and the previous month's carry.
#include "MonthRulesFixture.h"

namespace attcalc::test {
namespace {

// Checks the entitled-leave balance and the hourly entitled leave charged.
std::function<void(const TRunContext&)> BalanceIs(std::int32_t days, std::int32_t minutes, std::int32_t charged,
                                                  const char* name) {
    return [=](const TRunContext& c) {
        EXPECT_EQ(c.balances.EntitledLeaveBalance.Days, days) << name;
        EXPECT_EQ(c.balances.EntitledLeaveBalance.Minutes, minutes) << name;
        EXPECT_EQ(c.period.HourlyEntitledLeaveToDate, charged) << name;
    };
}

using MonthlyRulesTest = MonthRulesFixture;

TEST_F(MonthlyRulesTest, OvertimeCapsAndMonthlyAllowances) {
    RunCases(
        {
            {"tolerated absence up to the limit becomes negative overtime",
             [](TRunContext& c) { c.rule.Rule_ggmezmanfi = 30; },
             [](TDayRecord& U) {
                 U.Prc_ValidLessWork = 50;
                 U.Prc_ValidAddWork = 100;
                 U.Prc_TotalWork = 1000;
             },
             {UF(Prc_ValidAddWork, 70), UF(Prc_TotalWork, 970), UF(Prc_ValidLessWork, 20)}},
            {"holiday overtime above the cap is invalid",
             [](TRunContext& c) { c.rule.Rule_emaxtm = 2; },
             [](TDayRecord& U) {
                 U.Prc_ValidAddWorkHolliday = 200;
                 U.Prc_ValidAddWork = 300;
                 U.Prc_TotalWork = 1000;
             },
             {UF(Prc_ValidAddWorkHolliday, 120), UF(Prc_ValidAddWork, 220), UF(Prc_TotalWork, 920),
              UF(Prc_InvalidAddWork, 80)}},
            {"a monthly cap of 0 makes all overtime invalid",
             [](TRunContext& c) { c.rule.Rule_emaxm = 0; },
             [](TDayRecord& U) {
                 U.Prc_ValidAddWork = 300;
                 U.Prc_TotalWork = 1000;
                 U.Prc_InvalidAddWork = 5;
             },
             {UF(Prc_ValidAddWork, 0), UF(Prc_InvalidAddWork, 305), UF(Prc_TotalWork, 700)}},
            {"monthly cap of 20 hours",
             [](TRunContext& c) { c.rule.Rule_emaxm = 20; },
             [](TDayRecord& U) {
                 U.Prc_ValidAddWork = 1300;
                 U.Prc_TotalWork = 9000;
             },
             {UF(Prc_ValidAddWork, 1200), UF(Prc_InvalidAddWork, 100), UF(Prc_TotalWork, 8900)}},
            {"lateness above the monthly allowance is absence",
             [](TRunContext& c) { c.rule.Rule_GMT1m = 60; },
             [](TDayRecord& U) {
                 U.Prc_validTakhir = 100;
                 U.Prc_ValidLessWork = 100;
                 U.Prc_PureWork = 1000;
                 U.Prc_TotalWork = 1000;
             },
             {UF(Prc_validTakhir, 60), UF(Prc_ValidLessWork, 60), UF(Prc_PureWork, 960), UF(Prc_TotalWork, 960),
              UF(Prc_HourAbsence, 40)}},
            {"early leave above the monthly allowance is absence",
             [](TRunContext& c) { c.rule.Rule_gmt2m = 30; },
             [](TDayRecord& U) {
                 U.Prc_validTajil = 50;
                 U.Prc_ValidLessWork = 50;
                 U.Prc_PureWork = 500;
                 U.Prc_TotalWork = 500;
             },
             {UF(Prc_validTajil, 30), UF(Prc_ValidLessWork, 30), UF(Prc_PureWork, 480), UF(Prc_TotalWork, 480),
              UF(Prc_HourAbsence, 20)}},
            {"in-shift absence above the monthly allowance is absence",
             [](TRunContext& c) { c.rule.Rule_gmbm = 10; },
             [](TDayRecord& U) {
                 U.AllowedBetweenAbsence = 25;
                 U.Prc_ValidLessWork = 25;
                 U.Prc_PureWork = 500;
                 U.Prc_TotalWork = 500;
             },
             {UF(AllowedBetweenAbsence, 10), UF(Prc_ValidLessWork, 10), UF(Prc_PureWork, 485),
              UF(Prc_TotalWork, 485), UF(Prc_HourAbsence, 15)}},
            {"without allowances all tolerated lateness is absence",
             nullptr,
             [](TDayRecord& U) {
                 U.Prc_validTakhir = 45;
                 U.Prc_ValidLessWork = 45;
                 U.Prc_PureWork = 500;
                 U.Prc_TotalWork = 500;
             },
             {UF(Prc_validTakhir, 0), UF(Prc_ValidLessWork, 0), UF(Prc_PureWork, 455), UF(Prc_HourAbsence, 45)}},
            {"tolerated absence above the cap (hours): the excess is absence, gross work kept",
             [](TRunContext& c) {
                 c.rule.Rule_gmaxm = 10;
                 c.rule.Rule_gkbm = false;
             },
             [](TDayRecord& U) {
                 U.Prc_ValidLessWork = 700;
                 U.Prc_PureWork = 5000;
                 U.Prc_TotalWork = 5000;
             },
             {UF(Prc_HourAbsence, 100), UF(Prc_PureWork, 4900), UF(Prc_ValidLessWork, 600),
              UF(Prc_TotalWork, 5000)}},
            {"tolerated absence above the cap: all of it is absence",
             [](TRunContext& c) { c.rule.Rule_gmaxm = 10; },
             [](TDayRecord& U) {
                 U.Prc_ValidLessWork = 700;
                 U.Prc_PureWork = 5000;
                 U.Prc_TotalWork = 5000;
             },
             {UF(Prc_HourAbsence, 700), UF(Prc_PureWork, 4300), UF(Prc_ValidLessWork, 0),
              UF(Prc_TotalWork, 5000)}},
        },
        [&](TDayRecord& U) { MonthlyRules(ctx, U, args); });
}

TEST_F(MonthlyRulesTest, AbsenceWaiverPenaltyAndDays) {
    RunCases(
        {
            {"doubled whole-day absence, conversion method",
             [](TRunContext& c) {
                 c.rule.Rule_gddouble = true;
                 c.rule.Rule_gd = false;
                 c.rule.Rule_grzhd = 480;
             },
             [](TDayRecord& U) { U.Prc_HourDayAbsence = 300; },
             {UF(Prc_DayAbsence, 1), UF(Prc_HourDayAbsence, 0), UF(Prc_HourAbsence, 120)}},
            {"threshold method keeps whole-day absence as hours",
             [](TRunContext& c) { c.rule.Rule_grzhd = 480; },
             [](TDayRecord& U) { U.Prc_HourDayAbsence = 600; },
             {UF(Prc_DayAbsence, 0), UF(Prc_HourDayAbsence, 0), UF(Prc_HourAbsence, 600)}},
            {"monthly waiver",
             [](TRunContext& c) { c.rule.Rule_gafvm = 60; },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 100;
                 U.Prc_HourAbsencePure = 100;
                 U.Prc_PureWork = 900;
                 U.Prc_TotalWork = 900;
             },
             {UF(Prc_HourAbsence, 40), UF(Prc_HourAbsencePure, 40), UF(Prc_PureWork, 960), UF(Prc_TotalWork, 960)}},
            {"limited waiver, absence above it: nothing waived",
             [](TRunContext& c) {
                 c.rule.Rule_gafvm = 60;
                 c.rule.Rule_gafvlimit = true;
             },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 100;
                 U.Prc_PureWork = 900;
             },
             {UF(Prc_HourAbsence, 100), UF(Prc_PureWork, 900)}},
            {"limited waiver, absence within it: all waived, net absence kept",
             [](TRunContext& c) {
                 c.rule.Rule_gafvm = 60;
                 c.rule.Rule_gafvlimit = true;
             },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 50;
                 U.Prc_HourAbsencePure = 50;
                 U.Prc_PureWork = 900;
                 U.Prc_TotalWork = 900;
             },
             {UF(Prc_HourAbsence, 0), UF(Prc_HourAbsencePure, 50), UF(Prc_PureWork, 950), UF(Prc_TotalWork, 950)}},
            {"penalty beyond the second tier is on the whole absence",
             [](TRunContext& c) {
                 c.rule.Rule_gsmt1 = 120;
                 c.rule.Rule_gsmp1 = 10;
                 c.rule.Rule_gsmt2 = 240;
                 c.rule.Rule_gsmp2 = 25;
                 c.rule.Rule_gsmp3 = 50;
             },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 500;
                 U.Prc_PureWork = 1000;
                 U.Prc_TotalWork = 1000;
             },
             {UF(Prc_HourAbsence, 750), UF(Prc_PureWork, 750), UF(Prc_TotalWork, 750)}},
            {"penalty in the second tier adds both tiers",
             [](TRunContext& c) {
                 c.rule.Rule_gsmt1 = 120;
                 c.rule.Rule_gsmp1 = 10;
                 c.rule.Rule_gsmt2 = 240;
                 c.rule.Rule_gsmp2 = 25;
             },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 200;
                 U.Prc_PureWork = 1000;
             },
             {UF(Prc_HourAbsence, 232), UF(Prc_PureWork, 968)}},
            {"a penalty of 2.5 rounds to 2",
             [](TRunContext& c) {
                 c.rule.Rule_gsmt1 = 100;
                 c.rule.Rule_gsmp1 = 10;
             },
             [](TDayRecord& U) { U.Prc_HourAbsence = 25; },
             {UF(Prc_HourAbsence, 27), UF(Prc_PureWork, -2)}},
            {"a penalty of 3.5 rounds to 4",
             [](TRunContext& c) {
                 c.rule.Rule_gsmt1 = 100;
                 c.rule.Rule_gsmp1 = 10;
             },
             [](TDayRecord& U) { U.Prc_HourAbsence = 35; },
             {UF(Prc_HourAbsence, 39)}},
            {"unpaid leave days add absence",
             [](TRunContext& c) { c.rule.Rule_gmorbigh = 30; },
             [](TDayRecord& U) {
                 U.Prc_DayleaveNoSalary = 2;
                 U.Prc_PureWork = 1000;
                 U.Prc_TotalWork = 1000;
             },
             {UF(Prc_HourAbsence, 60), UF(Prc_PureWork, 940), UF(Prc_TotalWork, 940), UF(Prc_DayleaveNoSalary, 2)}},
            {"absence days made up by overtime, whole days only",
             [](TRunContext& c) {
                 c.rule.Rule_gdez = true;
                 c.rule.Rule_gzhd = 480;
             },
             [](TDayRecord& U) {
                 U.Prc_ValidAddWork = 1000;
                 U.Prc_DayAbsence = 3;
                 U.Prc_PureDayWork = 10;
             },
             {UF(Prc_DayAbsence, 1), UF(Prc_PureDayWork, 12), UF(Prc_PureWork, 960), UF(Prc_ValidAddWork, 40)}},
            {"under-work made up by overtime",
             [](TRunContext& c) { c.rule.Rule_t1e2m = 50; },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 80;
                 U.Prc_ValidAddWork = 30;
             },
             {UF(Prc_HourAbsence, 50), UF(Prc_ValidAddWork, 0), UF(Prc_PureWork, 30)}},
            {"hourly absence to days, net work days not below 0",
             [](TRunContext& c) { c.rule.Rule_gzhd = 480; },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 1000;
                 U.Prc_PureDayWork = 1;
             },
             {UF(Prc_DayAbsence, 2), UF(Prc_HourAbsence, 40), UF(Prc_PureDayWork, 0)}},
            {"doubled absence adds the net absence days",
             [](TRunContext& c) { c.rule.Rule_gddouble = true; },
             [](TDayRecord& U) {
                 U.Prc_DayAbsencePure = 2;
                 U.Prc_DayAbsence = 2;
                 U.Prc_PureDayWork = 10;
             },
             {UF(Prc_DayAbsence, 4), UF(Prc_PureDayWork, 8)}},
        },
        [&](TDayRecord& U) { MonthlyRules(ctx, U, args); });
}

TEST_F(MonthlyRulesTest, EntitledLeaveFromAbsenceLatenessAndWaiver) {
    RunCases(
        {
            {"hourly absence beyond the balance: the balance is used up",
             [](TRunContext& c) {
                 c.rule.Rule_ghmhm = true;
                 c.balances.EntitledLeaveBalance = {0, 300};
             },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 500;
                 U.Prc_PureWork = 1000;
                 U.Prc_TotalWork = 1000;
             },
             {UF(Prc_HourEleaveSalary, 300), UF(Prc_HourAbsence, 200), UF(Prc_PureWork, 1300),
              UF(Prc_TotalWork, 1300)},
             BalanceIs(0, 0, 300, "beyond the balance")},
            {"hourly absence within the balance, then hours to days",
             [](TRunContext& c) {
                 c.rule.Rule_ghmhm = true;
                 c.balances.EntitledLeaveBalance = {1, 100};
             },
             [](TDayRecord& U) { U.Prc_HourAbsence = 500; },
             {UF(Prc_HourAbsence, 0), UF(Prc_DayEleaveSalary, 1), UF(Prc_HourEleaveSalary, 20),
              UF(Prc_DayEleaveSalaryPure, 0), UF(Prc_PureWork, 500)},
             BalanceIs(0, 80, 500, "within the balance")},
            {"no balance: hourly absence stays",
             [](TRunContext& c) { c.rule.Rule_ghmhm = true; },
             [](TDayRecord& U) { U.Prc_HourAbsence = 500; },
             {UF(Prc_HourAbsence, 500), UF(Prc_HourEleaveSalary, 0)},
             BalanceIs(0, 0, 0, "no balance")},
            {"lateness as entitled leave",
             [](TRunContext& c) {
                 c.rule.Rule_takhirmo = 30;
                 c.balances.EntitledLeaveBalance = {1, 0};
             },
             [](TDayRecord& U) {
                 U.Prc_TakhirLessWork = 50;
                 U.Prc_HourAbsence = 100;
                 U.Prc_PureWork = 1000;
                 U.Prc_TotalWork = 1000;
             },
             {UF(Prc_HourEleaveSalary, 30), UF(Prc_HourEleaveSalarysum, 30), UF(Prc_HourAbsence, 70),
              UF(Prc_TakhirLessWork, 20), UF(Prc_PureWork, 1030), UF(Prc_TotalWork, 1030)},
             BalanceIs(0, 450, 30, "lateness")},
            {"early leave as entitled leave may make the balance negative",
             [](TRunContext& c) {
                 c.rule.Rule_tajilmo = 30;
                 c.balances.EntitledLeaveBalance = {0, 10};
             },
             [](TDayRecord& U) {
                 U.Prc_TajilLessWork = 40;
                 U.Prc_HourAbsence = 10;
             },
             {UF(Prc_HourEleaveSalary, 30), UF(Prc_HourAbsence, 0), UF(Prc_TajilLessWork, 10)},
             BalanceIs(0, -20, 30, "early leave")},
            {"absence as entitled leave up to the balance",
             [](TRunContext& c) {
                 c.rule.Rule_ghmoh = 100;
                 c.balances.EntitledLeaveBalance = {0, 60};
             },
             [](TDayRecord& U) { U.Prc_HourAbsence = 150; },
             {UF(Prc_HourEleaveSalary, 60), UF(Prc_HourEleaveSalarysum, 60), UF(Prc_HourAbsence, 90),
              UF(Prc_PureWork, 60), UF(Prc_TotalWork, 60)},
             BalanceIs(0, 0, 60, "absence up to the balance")},
            {"absence as entitled leave up to the limit",
             [](TRunContext& c) {
                 c.rule.Rule_ghmoh = 100;
                 c.balances.EntitledLeaveBalance = {2, 0};
             },
             [](TDayRecord& U) { U.Prc_HourAbsence = 150; },
             {UF(Prc_HourEleaveSalary, 100), UF(Prc_HourAbsence, 50)},
             BalanceIs(1, 380, 100, "absence up to the limit")},
            {"absence days charged to entitled leave",
             [](TRunContext& c) {
                 c.rule.Rule_moghes = 60;
                 c.balances.EntitledLeaveBalance = {1, 0};
             },
             [](TDayRecord& U) { U.Prc_DayAbsence = 2; },
             {UF(Prc_HourEleaveSalary, 120), UF(Prc_DayAbsence, 2)},
             BalanceIs(0, 360, 120, "absence days")},
            {"monthly waiver of entitled leave goes back to the balance",
             [](TRunContext& c) {
                 c.rule.Rule_moafv = 60;
                 c.period.HourlyEntitledLeaveToDate = 100;
             },
             [](TDayRecord& U) {
                 U.Prc_HourEleaveSalary = 100;
                 U.Prc_HourEleaveSalarysum = 100;
             },
             {UF(Prc_HourEleaveSalary, 40), UF(Prc_HourEleaveSalarysum, 40)},
             BalanceIs(0, 60, 40, "waiver")},
            {"waiver of entitled leave is all or nothing under the limit",
             [](TRunContext& c) {
                 c.rule.Rule_moafv = 60;
                 c.rule.Rule_moafvlimit = true;
                 c.period.HourlyEntitledLeaveToDate = 100;
             },
             [](TDayRecord& U) { U.Prc_HourEleaveSalary = 100; },
             {UF(Prc_HourEleaveSalary, 100)},
             BalanceIs(0, 0, 100, "waiver limit")},
            {"waiver larger than the charged leave leaves no negative counters",
             [](TRunContext& c) {
                 c.rule.Rule_moafv = 200;
                 c.period.HourlyEntitledLeaveToDate = 30;
             },
             [](TDayRecord& U) {
                 U.Prc_HourEleaveSalary = 100;
                 U.Prc_HourEleaveSalarysum = 50;
             },
             {UF(Prc_HourEleaveSalary, 0), UF(Prc_HourEleaveSalarysum, 0)},
             BalanceIs(0, 100, 0, "waiver above")},
        },
        [&](TDayRecord& U) { MonthlyRules(ctx, U, args); });
}

TEST_F(MonthlyRulesTest, MissionsAndLeavesToDays) {
    RunCases(
        {
            {"whole-day and hourly missions to days",
             nullptr,
             [](TDayRecord& U) {
                 U.Prc_HourDayMission = 1000;
                 U.Prc_HourMission = 500;
             },
             {UF(Prc_DayMission, 3), UF(Prc_HourMission, 60), UF(Prc_HourDayMission, 0)}},
            {"without the conversion method whole-day mission time is hourly mission",
             [](TRunContext& c) {
                 c.rule.Rule_mad = 0;
                 c.rule.Rule_mahr = 0;
             },
             [](TDayRecord& U) { U.Prc_HourDayMission = 1000; },
             {UF(Prc_DayMission, 0), UF(Prc_HourMission, 1000), UF(Prc_HourDayMission, 0)}},
            {"whole-day leave time by the conversion length, the rest as hours",
             [](TRunContext& c) {
                 c.rule.Rule_moh = false;
                 c.rule.Rule_morhr = 400;
             },
             [](TDayRecord& U) {
                 U.Prc_HourDayleaveSalary = 900;
                 U.Prc_HourDayEleaveSalary = 850;
                 U.Prc_HourDaySleaveSalary = 100;
                 U.Prc_HourDayleaveNoSalary = 800;
             },
             {UF(Prc_DayleaveSalary, 2), UF(Prc_HourleaveSalary, 100), UF(Prc_DayEleaveSalary, 2),
              UF(Prc_DayEleaveSalaryPure, 2), UF(Prc_HourEleaveSalary, 50), UF(Prc_DaySleaveSalary, 0),
              UF(Prc_HourSleaveSalary, 100), UF(Prc_DayleaveNoSalary, 2), UF(Prc_HourleaveNoSalary, 0),
              UF(Prc_HourDayleaveSalary, 0), UF(Prc_HourDayEleaveSalary, 0), UF(Prc_HourDaySleaveSalary, 0),
              UF(Prc_HourDayleaveNoSalary, 0)}},
            {"whole-day leave time by the threshold length",
             nullptr,
             [](TDayRecord& U) { U.Prc_HourDayleaveSalary = 1000; },
             {UF(Prc_DayleaveSalary, 2), UF(Prc_HourleaveSalary, 40)}},
            {"unpaid hourly leave takes whole days off the net work days",
             nullptr,
             [](TDayRecord& U) {
                 U.Prc_HourleaveNoSalary = 500;
                 U.Prc_HourSleaveNoSalary = 500;
                 U.Prc_PureDayWork = 5;
             },
             {UF(Prc_PureDayWork, 3), UF(Prc_HourleaveNoSalary, 20), UF(Prc_DayleaveNoSalary, 1),
              UF(Prc_HourSleaveNoSalary, 20), UF(Prc_DaySleaveNoSalary, 1)}},
            {"hourly leave of each code to days",
             nullptr,
             [](TDayRecord& U) {
                 U.Prc_HourleaveSalary25 = 1000;
                 U.Prc_HourleaveSalary27 = 480;
                 U.Prc_HourSleaveSalary = 479;
                 U.Prc_DayEleaveSalary = 3;
                 U.Prc_HourEleaveSalary = 960;
             },
             {UF(Prc_DayleaveSalary45, 2), UF(Prc_HourleaveSalary25, 40), UF(Prc_DayleaveSalary47, 1),
              UF(Prc_HourleaveSalary27, 0), UF(Prc_HourSleaveSalary, 479), UF(Prc_DaySleaveSalary, 0),
              UF(Prc_DayEleaveSalaryPure, 3), UF(Prc_DayEleaveSalary, 5), UF(Prc_HourEleaveSalary, 0)}},
        },
        [&](TDayRecord& U) { MonthlyRules(ctx, U, args); });
}

// The previous month's month-total row of this person, read from its table.
class PreviousMonthCarryTest : public MonthRulesFixture {
protected:
    void StoreTotal(const std::string& table, const std::string& date, const std::string& pcode,
                    std::int32_t hourAbsence, std::int32_t unpaid) {
        CreateTableIfMissing(ctx, table);
        db_->Insert(table, {{"Prc_PCode", DbValue::Text(pcode)},
                            {"Prc_Date", DbValue::Text(date)},
                            {"Prc_HourAbsence", DbValue::Int(hourAbsence)},
                            {"Prc_HourleaveNoSalary", DbValue::Int(unpaid)}});
    }

    TDayRecord Run() {
        TDayRecord U;
        U.Prc_HourAbsence = 10;
        U.Prc_HourleaveNoSalary = 5;
        MonthlyRules(ctx, U, args);
        return U;
    }
};

TEST_F(PreviousMonthCarryTest, CarriesTheOwnRowOfTheMonthBefore) {
    StoreTotal("p140304", "1403/04/00", "1001", 90, 45);
    StoreTotal("p140304", "1403/04/00", "1002", 7000, 7000);
    StoreTotal("p140304", "1403/04/12", "1001", 3000, 3000);  // a day row is no month total
    StoreTotal("p140303", "1403/03/00", "1001", 5000, 5000);
    ctx.rule.Rule_gslastm = true;
    ctx.rule.Rule_mobislastm = true;
    TDayRecord U = Run();
    EXPECT_EQ(U.Prc_HourAbsence, 100);
    EXPECT_EQ(U.Prc_HourleaveNoSalary, 50);

    ctx.rule.Rule_gslastm = false;
    U = Run();
    EXPECT_EQ(U.Prc_HourAbsence, 10);
    EXPECT_EQ(U.Prc_HourleaveNoSalary, 50);

    ctx.rule.Rule_gslastm = true;
    ctx.rule.Rule_mobislastm = false;
    U = Run();
    EXPECT_EQ(U.Prc_HourAbsence, 100);
    EXPECT_EQ(U.Prc_HourleaveNoSalary, 5);
}

TEST_F(PreviousMonthCarryTest, NothingAcrossTheYearOrWithoutTableOrRow) {
    ctx.rule.Rule_gslastm = true;
    ctx.rule.Rule_mobislastm = true;
    StoreTotal("p140212", "1402/12/00", "1001", 90, 45);
    Month("1403/01/01", "1403/01/31");
    TDayRecord U = Run();
    EXPECT_EQ(U.Prc_HourAbsence, 10);
    EXPECT_EQ(U.Prc_HourleaveNoSalary, 5);

    Month("1403/08/01", "1403/08/30");  // no table p140307
    U = Run();
    EXPECT_EQ(U.Prc_HourAbsence, 10);

    StoreTotal("p140304", "1403/04/00", "1002", 90, 45);  // another person's row only
    Month("1403/05/01", "1403/05/31");
    U = Run();
    EXPECT_EQ(U.Prc_HourAbsence, 10);
}

TEST_F(PreviousMonthCarryTest, PersonnelCodeIsQuotedAsText) {
    StoreTotal("p140304", "1403/04/00", "1001", 90, 45);
    StoreTotal("p140304", "1403/04/00", "x' or '1'='1", 33, 0);
    ctx.rule.Rule_gslastm = true;
    ctx.PersonnelCode = "x' or '1'='1";
    Month("1403/05/01", "1403/05/31");
    TDayRecord U = Run();
    EXPECT_EQ(U.Prc_HourAbsence, 43);
}

}  // namespace
}  // namespace attcalc::test
