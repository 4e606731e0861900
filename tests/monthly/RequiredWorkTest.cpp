// Required work by every method, the work group's scheduled work, the
// productivity reduction, insurance days, the month's grant from "addfree",
// the final clamps and the month rounding.
#include "MonthRulesFixture.h"

namespace attcalc::test {
namespace {

using RequiredWorkTest = MonthRulesFixture;

TEST_F(RequiredWorkTest, MethodsOfRequiredWork) {
    // The salary month 1403/05/01 ... 1403/05/31: N = 31.
    RunCases(
        {
            {"method 0 leaves the month alone",
             nullptr,
             [](TDayRecord& U) {
                 U.Prc_NormWork = 9000;
                 U.Prc_TotalWork = 5000;
                 U.Prc_PureWork = 4000;
             },
             {UF(Prc_NormWork, 9000), UF(Prc_TotalWork, 5000), UF(Prc_PureWork, 4000)}},
            {"an unknown method leaves the month alone",
             [](TRunContext& c) { c.rule.Rule_karsaati = 9; },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 9000;
                 U.Prc_HourAbsence = 50;
             },
             {UF(Prc_NormWork, 9000), UF(Prc_HourAbsence, 50)}},
            {"method 1: no required work, no absence and no overtime",
             [](TRunContext& c) { c.rule.Rule_karsaati = 1; },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 9000;
                 U.Prc_TotalWork = 5000;
                 U.Prc_PureWork = 4000;
                 U.Prc_HourAbsence = 300;
                 U.Prc_DayAbsence = 2;
                 U.Prc_ValidAddWork = 700;
                 U.Prc_ValidAddWorkBefore = 100;
                 U.Prc_ValidAddWorkafter = 200;
                 U.Prc_ValidAddWorkbein = 50;
                 U.Prc_ValidAddWorkHolliday = 30;
                 U.Prc_ValidAddWorkNoworkday = 20;
                 U.Prc_ValidAddWorkfriday = 10;
                 U.Prc_InValidAddWorkfriday = 5;
                 U.Prc_ValidAddWorkHolNoFr = 7;
                 U.Prc_InValidAddWorkHolNoFr = 3;
                 U.Prc_InvalidAddWork = 40;
                 U.Prc_ValidAddWorkNight = 60;
             },
             {UF(Prc_NormWork, 0), UF(Prc_PureWork, 5000), UF(Prc_TotalWork, 5000), UF(Prc_HourAbsence, 0),
              UF(Prc_DayAbsence, 0), UF(Prc_ValidAddWork, 0), UF(Prc_ValidAddWorkBefore, 0),
              UF(Prc_ValidAddWorkafter, 0), UF(Prc_ValidAddWorkbein, 0), UF(Prc_ValidAddWorkHolliday, 0),
              UF(Prc_ValidAddWorkNoworkday, 0), UF(Prc_ValidAddWorkfriday, 0), UF(Prc_InValidAddWorkfriday, 0),
              UF(Prc_ValidAddWorkHolNoFr, 0), UF(Prc_InValidAddWorkHolNoFr, 0), UF(Prc_InvalidAddWork, 0),
              UF(Prc_ValidAddWorkNight, 60)}},
            {"method 2: gross work above the fixed hours is overtime",
             [](TRunContext& c) { c.rule.Rule_karsaati = 2; },
             [](TDayRecord& U) {
                 U.Prc_TotalWork = 7500;
                 U.Prc_PureWork = 7400;
                 U.Prc_HourAbsence = 90;
                 U.Prc_DayAbsence = 1;
                 U.Prc_InvalidAddWork = 20;
             },
             {UF(Prc_NormWork, 7200), UF(Prc_PureWork, 7200), UF(Prc_ValidAddWork, 300), UF(Prc_HourAbsence, 0),
              UF(Prc_DayAbsence, 0), UF(Prc_InvalidAddWork, 0), UF(Prc_TotalWork, 7500)}},
            {"method 2: gross work below the fixed hours is absence",
             [](TRunContext& c) { c.rule.Rule_karsaati = 2; },
             [](TDayRecord& U) {
                 U.Prc_TotalWork = 7000;
                 U.Prc_PureWork = 6500;
                 U.Prc_ValidAddWork = 500;
                 U.Prc_ValidAddWorkHolliday = 30;
                 U.Prc_ValidAddWorkfriday = 10;
             },
             {UF(Prc_NormWork, 7200), UF(Prc_PureWork, 7000), UF(Prc_HourAbsence, 200), UF(Prc_ValidAddWork, 0),
              UF(Prc_ValidAddWorkHolliday, 0), UF(Prc_ValidAddWorkfriday, 0)}},
            {"method 4: a shortfall is made up from overtime",
             [](TRunContext& c) { c.rule.Rule_karsaati = 4; },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 14000;
                 U.Prc_ValidAddWork = 1000;
                 U.Prc_PureWork = 13000;
             },
             {UF(Prc_NormWork, 14880), UF(Prc_ValidAddWork, 120), UF(Prc_PureWork, 13880), UF(Prc_HourAbsence, 0)}},
            {"method 4: a shortfall beyond the overtime is absence",
             [](TRunContext& c) { c.rule.Rule_karsaati = 4; },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 14000;
                 U.Prc_ValidAddWork = 100;
                 U.Prc_PureWork = 13000;
                 U.Prc_HourAbsence = 50;
             },
             {UF(Prc_NormWork, 14880), UF(Prc_ValidAddWork, 0), UF(Prc_PureWork, 13100), UF(Prc_HourAbsence, 830)}},
            {"method 4: schedule above the requirement is overtime, then the monthly cap",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 4;
                 c.rule.Rule_KarPerday = 400;
                 c.rule.Rule_emaxm = 10;
             },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 14000;
                 U.Prc_ValidAddWork = 100;
                 U.Prc_PureWork = 13000;
                 U.Prc_TotalWork = 14000;
             },
             {UF(Prc_NormWork, 12400), UF(Prc_PureWork, 12400), UF(Prc_ValidAddWork, 600),
              UF(Prc_InvalidAddWork, 1100), UF(Prc_TotalWork, 12900)}},
            {"method 5: net work above the requirement, in-shift absence forgiven",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 5;
                 c.rule.Rule_karlazem = 100;
             },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 6500;
                 U.Prc_PureWork = 6200;
                 U.Prc_HourAbsence = 300;
                 U.Prc_ValidAddWork = 100;
                 U.Prc_TotalWork = 1;
             },
             {UF(Prc_NormWork, 6000), UF(Prc_PureWork, 6000), UF(Prc_HourAbsence, 0), UF(Prc_ValidAddWork, 300),
              UF(Prc_TotalWork, 6300)}},
            {"method 5: overtime at most the presence",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 5;
                 c.rule.Rule_karlazem = 100;
             },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 6500;
                 U.Prc_PureWork = 5800;
                 U.Prc_HourAbsence = 700;
                 U.Prc_ValidAddWork = 900;
                 U.Prc_PresenceWork = 600;
             },
             {UF(Prc_NormWork, 6000), UF(Prc_PureWork, 5800), UF(Prc_HourAbsence, 200), UF(Prc_ValidAddWork, 600),
              UF(Prc_TotalWork, 6400)}},
            {"method 5: a shortfall keeps the gross work",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 5;
                 c.rule.Rule_karlazem = 100;
             },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 5000;
                 U.Prc_PureWork = 4800;
                 U.Prc_ValidAddWork = 300;
                 U.Prc_TotalWork = 5100;
             },
             {UF(Prc_NormWork, 6000), UF(Prc_PureWork, 5100), UF(Prc_HourAbsence, 700), UF(Prc_ValidAddWork, 0),
              UF(Prc_TotalWork, 5100)}},
            {"method 6: the month's hours from the table, by gross work",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 6;
                 c.rule.Rule_karpermah[4] = 150;
                 c.rule.Rule_karpermah[5] = 1;
             },
             [](TDayRecord& U) { U.Prc_TotalWork = 9500; },
             {UF(Prc_NormWork, 9000), UF(Prc_PureWork, 9000), UF(Prc_ValidAddWork, 500)}},
            {"method 7: the month's hours from the table, by net work and presence",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 7;
                 c.rule.Rule_karpermah[4] = 100;
             },
             [](TDayRecord& U) {
                 U.Prc_NormWork = 6500;
                 U.Prc_PureWork = 6200;
                 U.Prc_HourAbsence = 300;
                 U.Prc_ValidAddWork = 100;
             },
             {UF(Prc_NormWork, 6000), UF(Prc_PureWork, 6000), UF(Prc_HourAbsence, 0), UF(Prc_ValidAddWork, 300),
              UF(Prc_TotalWork, 6300)}},
        },
        [&](TDayRecord& U) { MonthlyRequiredWork(ctx, U, args); });
}

// A work group's calendar in grp_dtl and a shift table of two shifts.
class GroupWorkTest : public MonthRulesFixture {
protected:
    void SetUp() override {
        MonthRulesFixture::SetUp();
        CreateTableIfMissing(ctx, "grp_dtl");
        ctx.shifts.Entries = {RestShift(), Shift(1, 2, {{{480, 720}, {780, 1020}, {0, 0}}}),
                              Shift(2, 1, {{{480, 600}, {700, 800}, {0, 0}}})};
        ctx.shifts.Count = 2;
    }

    static TShift Shift(std::int32_t code, std::uint8_t count, TShiftRanges ranges) {
        TShift s;
        s.sh_code = code;
        s.sh_count = count;
        s.sh_ranges = ranges;
        return s;
    }

    // The calendar text of a month: the shift code of day n at position n
    // (one character, code + 1).
    static std::string Calendar(const std::vector<int>& codes) {
        std::string text;
        for (int c : codes) text += static_cast<char>(c + 1);
        return text;
    }

    void GroupYear(int group, int year, int month, const std::string& calendar) {
        db_->Insert("grp_dtl", {{"Grd_Code", DbValue::Int(group)},
                                {"Grd_Year", DbValue::Int(year)},
                                {"Grd_M" + std::to_string(month), DbValue::Text(calendar)}});
    }
};

TEST_F(GroupWorkTest, ShareOfTheGroupsScheduledWork) {
    // Days 1 - 10 shift 1 (480 minutes), day 11 an unknown shift (no work),
    // day 12 shift 2 (one range in use: 120 minutes), the rest without shift.
    std::vector<int> codes(31, 0);
    for (int d = 0; d < 10; ++d) codes[static_cast<std::size_t>(d)] = 1;
    codes[10] = 7;
    codes[11] = 2;
    GroupYear(5, 1403, 5, Calendar(codes));
    GroupYear(6, 1403, 5, Calendar(std::vector<int>(31, 1)));
    ctx.period.DayCount = 31;
    EXPECT_EQ(GroupRequiredWork(ctx, 5, args.S, args.E), 4920);
    EXPECT_EQ(GroupRequiredWork(ctx, 6, args.S, args.E), 31 * 480);
    EXPECT_EQ(GroupRequiredWork(ctx, 8, args.S, args.E), 0);
    ctx.period.DayCount = 3;  // only the days of the period computed last
    EXPECT_EQ(GroupRequiredWork(ctx, 5, args.S, args.E), 1440);
    ctx.period.DayCount = 31;

    RunCases(
        {
            {"more gross work than the share: overtime, then the monthly cap",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 3;
                 c.rule.Rule_karpgroup = 5;
                 c.rule.Rule_karpercent = 50;
                 c.rule.Rule_emaxm = 5;
             },
             [](TDayRecord& U) {
                 U.Prc_TotalWork = 3000;
                 U.Prc_HourAbsence = 20;
             },
             {UF(Prc_NormWork, 2460), UF(Prc_PureWork, 2460), UF(Prc_ValidAddWork, 300), UF(Prc_InvalidAddWork, 240),
              UF(Prc_TotalWork, 2760), UF(Prc_HourAbsence, 0)}},
            {"less gross work than the share: absence, net work kept",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 3;
                 c.rule.Rule_karpgroup = 5;
                 c.rule.Rule_karpercent = 50;
             },
             [](TDayRecord& U) {
                 U.Prc_TotalWork = 2000;
                 U.Prc_PureWork = 1900;
                 U.Prc_ValidAddWork = 100;
                 U.Prc_ValidAddWorkHolliday = 40;
             },
             {UF(Prc_NormWork, 2460), UF(Prc_PureWork, 1900), UF(Prc_HourAbsence, 460), UF(Prc_ValidAddWork, 0),
              UF(Prc_ValidAddWorkHolliday, 0)}},
            {"the share is rounded to the nearest minute",
             [](TRunContext& c) {
                 c.rule.Rule_karsaati = 3;
                 c.rule.Rule_karpgroup = 5;
                 c.rule.Rule_karpercent = 33;
             },
             [](TDayRecord& U) { U.Prc_TotalWork = 0; },
             {UF(Prc_NormWork, 1624), UF(Prc_HourAbsence, 1624)}},
        },
        [&](TDayRecord& U) { MonthlyRequiredWork(ctx, U, args); });
}

TEST_F(GroupWorkTest, EachDayReadsTheCalendarOfItsOwnYear) {
    // 1403/12/25 ... 1404/01/05: six days of 1403 (month 12 has 30 days) and
    // five of 1404.
    GroupYear(5, 1403, 12, Calendar(std::vector<int>(31, 2)));
    GroupYear(5, 1404, 1, Calendar(std::vector<int>(31, 1)));
    GroupYear(7, 1404, 1, Calendar(std::vector<int>(31, 1)));
    ctx.period.DayCount = 11;
    EXPECT_EQ(GroupRequiredWork(ctx, 5, "1403/12/25", "1404/01/05"), 6 * 120 + 5 * 480);
    // A year without a calendar row adds nothing for its days.
    EXPECT_EQ(GroupRequiredWork(ctx, 7, "1403/12/25", "1404/01/05"), 5 * 480);
}

class ProductivityTest : public MonthRulesFixture {
protected:
    void SetUp() override {
        MonthRulesFixture::SetUp();
        CreateTableIfMissing(ctx, "trouble");
        db_->Insert("trouble", {{"tp_part", DbValue::Text("01")}, {"tp_trouble", DbValue::Int(40)}});
        db_->Insert("trouble", {{"tp_part", DbValue::Text("0102")}, {"tp_trouble", DbValue::Int(80)}});
    }
};

TEST_F(ProductivityTest, ServiceHardshipAndShiftWork) {
    struct TCase {
        const char* name;
        bool bahreh, member;
        const char* jobdate;
        std::int32_t years;
        const char* parts;
        std::string S, E;
        std::function<void(TDayRecord&)> before;
        std::int32_t expected;
    };
    const std::string S = "1403/05/01", E = "1403/05/31";
    const std::vector<TCase> cases = {
        {"rule off", false, true, "", 10, "0103", S, E, nullptr, 0},
        {"not a member", true, false, "", 10, "0103", S, E, nullptr, 0},
        // 10 years: base 180, hardship 40 of the parent level: +60; 240 / 7 x 30.
        {"31-day month counts 30 days", true, true, "", 10, "0103", S, E, nullptr, 1029},
        {"30-day month", true, true, "", 10, "0103", "1403/07/01", "1403/07/30", nullptr, 1029},
        {"29-day month", true, true, "", 10, "0103", "1403/12/01", "1403/12/29", nullptr, 994},
        {"own department level first", true, true, "", 10, "0102", S, E, nullptr, 1286},
        {"department without hardship", true, true, "", 10, "09", S, E, nullptr, 771},
        // 1402/05/01 to 1403/05/31 is 395 days: 2 years, base 60.
        {"service from the employment date", true, true, "1402/05/01", 0, "09", S, E, nullptr, 257},
        {"under 30 days of service", true, true, "1403/05/02", 0, "09", S, E, nullptr, 0},
        {"prior service and employment add up", true, true, "1402/05/01", 4, "09", S, E, nullptr, 514},
        {"month value of the day scripts 5 or more", true, true, "", 10, "09", S, E,
         [](TDayRecord& U) { U.Prc_HourDaySleaveNoSalary = 5; }, 1029},
        {"two counters, more than 14 days spread out", true, true, "", 10, "09", S, E,
         [](TDayRecord& U) {
             U.Prc_Shift1Count = 10;
             U.Prc_Shift2Count = 6;
         },
         1029},
        {"two counters, mostly one", true, true, "", 10, "09", S, E,
         [](TDayRecord& U) {
             U.Prc_Shift1Count = 12;
             U.Prc_Shift2Count = 3;
         },
         771},
        {"counters 4 and 5 above 4 days", true, true, "", 10, "09", S, E,
         [](TDayRecord& U) {
             U.Prc_Shift4Count = 3;
             U.Prc_Shift5Count = 2;
         },
         1029},
        {"one counter only", true, true, "", 10, "09", S, E, [](TDayRecord& U) { U.Prc_Shift1Count = 30; }, 771},
    };
    for (const TCase& c : cases) {
        ctx.rule = NeutralRule();
        ctx.rule.Rule_bahreh = c.bahreh;
        ctx.person = TPersonAttributes{};
        ctx.person.ProductivityMember = c.member;
        ctx.person.p_jobdate = c.jobdate;
        ctx.person.PriorServiceYears = c.years;
        ctx.person.p_parts = c.parts;
        Month(c.S, c.E);
        TDayRecord U;
        U.Prc_HourDaySleaveNoSalary = 3;
        if (c.before) c.before(U);
        ProductivityReduction(ctx, U, args);
        EXPECT_EQ(U.Prc_HourDaySleaveNoSalary, c.expected) << c.name;
    }
}

class GrantTest : public MonthRulesFixture {
protected:
    void Grant(const std::string& pcode, int year, int month, std::int32_t timeOK, std::int32_t night,
               std::int32_t max, const std::string& remark) {
        CreateTableIfMissing(ctx, "addfree");
        db_->Insert("addfree", {{"Add_PCode", DbValue::Text(pcode)},
                                {"Add_Year", DbValue::Int(year)},
                                {"Add_Month", DbValue::Int(month)},
                                {"Add_TimeOK", DbValue::Int(timeOK)},
                                {"Add_Night", DbValue::Int(night)},
                                {"Add_Cycle10", DbValue::Int(1)},
                                {"Add_Cycle15", DbValue::Int(2)},
                                {"Add_Cycle25", DbValue::Int(3)},
                                {"Add_Cycle35", DbValue::Int(4)},
                                {"Add_Cycle20", DbValue::Int(5)},
                                {"Add_nowork", DbValue::Int(6)},
                                {"Add_Max", DbValue::Int(max)},
                                {"Add_Remark", DbValue::Text(remark)}});
    }

    void Steps(TDayRecord& U) {
        InsuranceDaysAndGrant(ctx, U, args);
        GrantsAndClamps(ctx, U, args);
    }
};

TEST_F(GrantTest, NoTableNoGrant) {
    TDayRecord U;
    U.Prc_ValidAddWork = 100;
    U.Prc_TotalWork = 1000;
    Steps(U);
    EXPECT_EQ(U.Prc_ValidAddWork, 100);
    EXPECT_EQ(U.Prc_TotalWork, 1000);
    EXPECT_EQ(U.Prc_addFreeRemark, "");
}

TEST_F(GrantTest, GrantOfAWholeMonthOnly) {
    Grant("1001", 1403, 5, 100, 2, 0, "first");
    Grant("1001", 1403, 5, 50, 1, 1300, "");
    Grant("1001", 1403, 5, 0, 0, 900, "دوم");
    Grant("1001", 1403, 5, 0, 0, 0, "");
    Grant("1001", 1403, 6, 999, 9, 0, "next month");
    Grant("1001", 1402, 5, 999, 9, 0, "last year");
    Grant("1002", 1403, 5, 777, 7, 0, "another person");

    const TMonthGrant g = ReadMonthGrant(ctx, "1001", 1403, 5);
    EXPECT_EQ(g.timeOK, 150);
    EXPECT_EQ(g.night, 3);
    EXPECT_EQ(g.cycle10, 4);
    EXPECT_EQ(g.cycle15, 8);
    EXPECT_EQ(g.cycle25, 12);
    EXPECT_EQ(g.cycle35, 16);
    EXPECT_EQ(g.cycle20, 20);
    EXPECT_EQ(g.nowork, 24);
    EXPECT_EQ(g.maxa, 1300);
    EXPECT_EQ(g.remark, "دوم");

    // The whole salary month 1403/05 gets the grant.
    TDayRecord U;
    U.Prc_ValidAddWork = 1000;
    U.Prc_TotalWork = 9000;
    U.Prc_ValidAddWorkFree = 10;
    U.Prc_PureWorkNights = 1;
    U.Prc_Shift3Count = 2;
    U.Prc_bimehwork = 17;
    Steps(U);
    Check(U,
          {UF(Prc_ValidAddWork, 1150), UF(Prc_ValidAddWorkFree, 160), UF(Prc_TotalWork, 9150),
           UF(Prc_PureWorkNights, 4), UF(Prc_Shift1Count, 4), UF(Prc_Shift2Count, 8), UF(Prc_Shift3Count, 14),
           UF(Prc_Shift4Count, 16), UF(Prc_Shift5Count, 20), UF(Prc_addnoworkday, 24), UF(Prc_InvalidAddWork, 0),
           UF(Prc_bimehwork, 17)},
          "whole month");
    EXPECT_EQ(U.Prc_addFreeRemark, "دوم");

    // A month in progress gets none.
    Month("1403/05/01", "1403/05/20");
    TDayRecord P;
    P.Prc_ValidAddWork = 1000;
    P.Prc_TotalWork = 9000;
    P.Prc_bimehwork = 17;
    Steps(P);
    Check(P, {UF(Prc_ValidAddWork, 1000), UF(Prc_TotalWork, 9000), UF(Prc_ValidAddWorkFree, 0),
              UF(Prc_addnoworkday, 0), UF(Prc_bimehwork, 17)},
          "month in progress");
    EXPECT_EQ(P.Prc_addFreeRemark, "");
}

TEST_F(GrantTest, GrantsCapAndRemark) {
    Grant("1001", 1403, 5, 600, 0, 1200, "یک توضیح بسیار بلند برای اضافه کار این ماه");
    TDayRecord U;
    U.Prc_ValidAddWork = 800;
    U.Prc_TotalWork = 9000;
    Steps(U);
    // 800 + 600 = 1400 above the cap of 1200.
    Check(U, {UF(Prc_ValidAddWork, 1200), UF(Prc_InvalidAddWork, 200), UF(Prc_TotalWork, 9400)}, "cap");
    EXPECT_EQ(U.Prc_addFreeRemark, "یک توضیح بسیار بلند برای اضافه");
}

TEST_F(RequiredWorkTest, GrantApplicationAndFinalClamps) {
    RunCases(
        {
            {"a negative grant larger than the overtime stops at 0",
             [&](TRunContext&) { args.Grant.timeOK = -300; },
             [](TDayRecord& U) {
                 U.Prc_ValidAddWork = 100;
                 U.Prc_TotalWork = 5000;
             },
             {UF(Prc_ValidAddWork, 0), UF(Prc_ValidAddWorkFree, -100), UF(Prc_TotalWork, 4900)}},
            {"a negative grant on negative overtime is taken in full",
             [&](TRunContext&) { args.Grant.timeOK = -30; },
             [](TDayRecord& U) {
                 U.Prc_ValidAddWork = -50;
                 U.Prc_TotalWork = 5000;
             },
             {UF(Prc_ValidAddWork, -80), UF(Prc_ValidAddWorkFree, -30), UF(Prc_TotalWork, 4970)}},
            {"ordinary overtime above the limit counts as holiday overtime",
             [&](TRunContext& c) {
                 args.Grant = TMonthGrant{};
                 c.rule.Rule_egtlimit = 200;
             },
             [](TDayRecord& U) {
                 U.Prc_ValidAddWork = 500;
                 U.Prc_ValidAddWorkHolliday = 100;
             },
             {UF(Prc_ValidAddWork, 500), UF(Prc_ValidAddWorkHolliday, 300)}},
            {"hourly absence left over comes off the overtime",
             [&](TRunContext& c) {
                 args.Grant = TMonthGrant{};
                 c.rule.Rule_mghez = true;
             },
             [](TDayRecord& U) {
                 U.Prc_HourAbsence = 70;
                 U.Prc_ValidAddWork = 100;
                 U.Prc_PureWork = 1000;
             },
             {UF(Prc_HourAbsence, 0), UF(Prc_ValidAddWork, 30), UF(Prc_PureWork, 1070)}},
            {"negative granted counters stop at 0",
             [&](TRunContext&) {
                 args.Grant = TMonthGrant{};
                 args.Grant.night = -5;
                 args.Grant.cycle15 = -1;
             },
             [](TDayRecord& U) {
                 U.Prc_PureWorkNights = 3;
                 U.Prc_Shift2Count = 4;
             },
             {UF(Prc_PureWorkNights, 0), UF(Prc_Shift2Count, 3)}},
            {"overtime zeroed by the rule",
             [&](TRunContext& c) {
                 args.Grant = TMonthGrant{};
                 c.rule.Rule_emzero = true;
             },
             [](TDayRecord& U) {
                 U.Prc_ValidAddWork = 300;
                 U.Prc_TotalWork = 5000;
             },
             {UF(Prc_ValidAddWork, 0), UF(Prc_TotalWork, 5000)}},
            {"absence and net work days at most the required days",
             [&](TRunContext&) { args.Grant = TMonthGrant{}; },
             [](TDayRecord& U) {
                 U.Prc_NormWorkDay = 20;
                 U.Prc_DayAbsence = 5;
                 U.Prc_PureDayWork = 18;
             },
             {UF(Prc_PureDayWork, 15), UF(Prc_DayAbsence, 5)}},
            {"net work days not below 0",
             [&](TRunContext&) { args.Grant = TMonthGrant{}; },
             [](TDayRecord& U) {
                 U.Prc_NormWorkDay = 3;
                 U.Prc_DayAbsence = 5;
                 U.Prc_PureDayWork = 2;
             },
             {UF(Prc_PureDayWork, 0)}},
        },
        [&](TDayRecord& U) { GrantsAndClamps(ctx, U, args); });
}

TEST_F(RequiredWorkTest, InsuranceDaysFollowTheCalendarMonthOfTheEnd) {
    // Salary months that do not follow calendar months: month 1 of 1403 runs
    // 1403/01/01 ... 1403/01/30 (30 days in a 31-day month), month 7 runs
    // 1403/06/31 ... 1403/07/30 (31 days in a 30-day month).
    ctx.settings.CalendarMonths = false;
    ctx.settings.MonthEndDay[12] = 29;
    ctx.settings.MonthEndDay[1] = 30;
    ctx.settings.MonthEndDay[6] = 30;
    ctx.settings.MonthEndDay[7] = 30;
    struct TCase {
        std::string S, E;
        std::int32_t pdw, bimeh, expected;
    };
    const std::vector<TCase> cases = {
        {"1403/01/01", "1403/01/30", 25, 24, 26},  // L 31 > N 30
        {"1403/01/01", "1403/01/30", 0, 24, 0},    // no net work day: none
        {"1403/06/31", "1403/07/30", 20, 24, 19},  // L 30 < N 31
        {"1403/06/31", "1403/07/30", 0, 24, 0},    // not below 0
        {"1403/01/01", "1403/01/20", 25, 24, 24},  // not a whole salary month: the day sum
    };
    for (const TCase& c : cases) {
        Month(c.S, c.E);
        TDayRecord U;
        U.Prc_PureDayWork = c.pdw;
        U.Prc_bimehwork = c.bimeh;
        InsuranceDaysAndGrant(ctx, U, args);
        EXPECT_EQ(U.Prc_bimehwork, c.expected) << c.S << " - " << c.E << " PDW " << c.pdw;
    }
    // Calendar months: L = N keeps the day sum.
    ctx.settings.CalendarMonths = true;
    Month("1403/05/01", "1403/05/31");
    TDayRecord U;
    U.Prc_PureDayWork = 25;
    U.Prc_bimehwork = 24;
    InsuranceDaysAndGrant(ctx, U, args);
    EXPECT_EQ(U.Prc_bimehwork, 24);
}

TEST_F(RequiredWorkTest, MonthRounding) {
    struct TCase {
        int type, step;
        std::int32_t in, out;
    };
    const std::vector<TCase> cases = {
        {3, 15, 127, 120}, {3, 15, 128, 135}, {3, 10, 125, 130},   // nearest, half up
        {4, 0, 139, 120},  {4, 0, 140, 150},  {4, 0, 161, 180},    // half hours
        {4, 0, -5, -5},                                            // negative: unchanged
        {1, 15, 121, 135}, {1, 15, 120, 120}, {1, 15, -7, 0},      // up, never past zero
        {2, 15, 134, 120}, {2, 25, 100, 85},                       // down, minutes within the hour
        {1, 0, 121, 121},  {1, 256, 121, 121},                     // step 0 (low byte) is 1
        {5, 15, 127, 127},                                         // unknown type
    };
    for (const TCase& c : cases) {
        ctx.rule.Rule_isroundmonth = true;
        ctx.rule.Rule_roundtypemonth = c.type;
        ctx.rule.Rule_roundtimemonth = c.step;
        std::int32_t v = c.in;
        MonthRound(ctx, v);
        EXPECT_EQ(v, c.out) << "type " << c.type << " step " << c.step << " value " << c.in;
    }
    ctx.rule.Rule_isroundmonth = false;
    std::int32_t v = 127;
    MonthRound(ctx, v);
    EXPECT_EQ(v, 127);

    // The month rounding rounds gross work, overtime and night overtime only.
    ctx.rule.Rule_isroundmonth = true;
    ctx.rule.Rule_roundtypemonth = 2;
    ctx.rule.Rule_roundtimemonth = 30;
    TDayRecord U;
    U.Prc_TotalWork = 9017;
    U.Prc_ValidAddWork = 645;
    U.Prc_ValidAddWorkNight = 59;
    U.Prc_PureWork = 8017;
    MonthRounding(ctx, U, args);
    Check(U, {UF(Prc_TotalWork, 9000), UF(Prc_ValidAddWork, 630), UF(Prc_ValidAddWorkNight, 30),
              UF(Prc_PureWork, 8017)},
          "month rounding");
}

// The three readers of the month steps on each backend: the previous month's
// total, the month's grant and the work group's calendar.
enum class TBackend { Sqlite, Postgres };

class MonthReadersTest : public MonthRulesFixture, public ::testing::WithParamInterface<TBackend> {};

TEST_P(MonthReadersTest, ReadTheirRowsWithQuotedCodes) {
    if (GetParam() == TBackend::Postgres) {
        FRESH_POSTGRES_OR_SKIP(pg, nullptr);
        ctx.KnownTables.clear();
        db_ = std::move(pg);
        ctx.db = db_.get();
    }
    const std::string code = "x' or '1";  // a quote inside the personnel code
    CreateTableIfMissing(ctx, "p140304");
    for (const auto& [pcode, absence] : std::vector<std::pair<std::string, int>>{{"1001", 90}, {code, 33}})
        db_->Insert("p140304", {{"Prc_PCode", DbValue::Text(pcode)},
                                {"Prc_Date", DbValue::Text("1403/04/00")},
                                {"Prc_HourAbsence", DbValue::Int(absence)},
                                {"Prc_HourleaveNoSalary", DbValue::Int(absence + 1)}});
    const TPrevMonthValues prev = PrevMonthValues(ctx, code, "1403/05/31");
    EXPECT_EQ(prev.Prc_HourAbsence, 33);
    EXPECT_EQ(prev.Prc_HourleaveNoSalary, 34);
    EXPECT_EQ(PrevMonthValues(ctx, "1001", "1403/06/31").Prc_HourAbsence, 0);  // no table p140305

    EXPECT_EQ(ReadMonthGrant(ctx, code, 1403, 5).timeOK, 0);  // no table addfree
    CreateTableIfMissing(ctx, "addfree");
    for (const auto& [pcode, time] : std::vector<std::pair<std::string, int>>{{"1001", 500}, {code, 40}, {code, 2}})
        db_->Insert("addfree", {{"Add_PCode", DbValue::Text(pcode)},
                                {"Add_Year", DbValue::Int(1403)},
                                {"Add_Month", DbValue::Int(5)},
                                {"Add_TimeOK", DbValue::Int(time)},
                                {"Add_Max", DbValue::Int(time * 10)},
                                {"Add_Remark", DbValue::Text("تشویقی")}});
    const TMonthGrant g = ReadMonthGrant(ctx, code, 1403, 5);
    EXPECT_EQ(g.timeOK, 42);
    EXPECT_EQ(g.maxa, 400);
    EXPECT_EQ(g.remark, "تشویقی");

    CreateTableIfMissing(ctx, "grp_dtl");
    std::string calendar(31, static_cast<char>(1));
    calendar[0] = calendar[1] = static_cast<char>(2);
    db_->Insert("grp_dtl", {{"Grd_Code", DbValue::Int(5)}, {"Grd_Year", DbValue::Int(1403)},
                            {"Grd_M5", DbValue::Text(calendar)}});
    TShift s;
    s.sh_code = 1;
    s.sh_count = 1;
    s.sh_ranges[0] = {420, 900};
    ctx.shifts.Entries = {RestShift(), s};
    ctx.shifts.Count = 1;
    ctx.period.DayCount = 31;
    EXPECT_EQ(GroupRequiredWork(ctx, 5, "1403/05/01", "1403/05/31"), 2 * 480);
}

INSTANTIATE_TEST_SUITE_P(Backends, MonthReadersTest, ::testing::Values(TBackend::Sqlite, TBackend::Postgres),
                         [](const ::testing::TestParamInfo<TBackend>& i) {
                             return i.param == TBackend::Sqlite ? "Sqlite" : "Postgres";
                         });

}  // namespace
}  // namespace attcalc::test
