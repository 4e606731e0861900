// Timed requests, grid permits, previous-day values and year-to-date totals.
#include "InputsFixture.h"

namespace attcalc::test {
namespace {

class Requests : public InputsTest {
protected:
    void SetUp() override {
        InputsTest::SetUp();
        AddShift(1, 480, 960);
    }
    void Build(const std::string& from, const std::string& to) {
        ctx.period.Days.assign(static_cast<std::size_t>(PeriodDayCount(from, to) + 2), DayInput{});
        BuildSchedule(ctx, pcode, from, to);
    }
    void Grid(const std::string& table, const std::vector<std::pair<int, DbValue>>& entries) {
        CreateTableIfMissing(ctx, table);
        std::vector<SqlField> f = {{"E_PCode", T(pcode)}};
        for (const auto& [dd, v] : entries)
            f.push_back({std::string("E_D") + (dd < 10 ? "0" : "") + std::to_string(dd), v});
        db->Insert(table, f);
    }
    void MonthRow(const std::string& table, const std::string& date, std::vector<SqlField> f) {
        CreateTableIfMissing(ctx, table);
        f.push_back({"Prc_PCode", T(pcode)});
        f.push_back({"Prc_Date", T(date)});
        db->Insert(table, f);
    }
};

TEST_F(Requests, TimedRequestsGoToTheirDaysAtMostTenADay) {
    GroupMonth(1, 1393, 4, EveryDay(1) );
    Request("1393/03/31", 100, 200, 21);  // before the period
    Request("1393/04/31", 600, 700, 3);
    Request("1393/05/01", 100, 200, 21);  // after it
    for (int i = 0; i < 12; ++i) Request("1393/04/02", 10 * i, 10 * i + 5, 11 + i);
    Request("1393/04/03", 0, -5, 87);     // open ends are kept as they are
    Build("1393/04/01", "1393/04/31");
    ReadTimedRequests(ctx, pcode, "1393/04/01", "1393/04/31");
    EXPECT_EQ(Day(1).RequestCount, 0);
    EXPECT_EQ(Day(2).RequestCount, 10);
    EXPECT_EQ(Day(2).Requests[0].Code, 11);
    EXPECT_EQ(Day(2).Requests[9].Start, 90);
    EXPECT_EQ(Day(3).Requests[0].End, -5);
    EXPECT_EQ(Day(31).RequestCount, 1);
    EXPECT_EQ(Day(31).Requests[0].Code, 3);
    EXPECT_EQ(Day(31).DayClass, 0);
    EXPECT_TRUE(db->TableExists("t139304"));

    // A day without intervals starts as a no-work day.
    db->Execute("delete from grp_dtl");
    Build("1393/04/01", "1393/04/31");
    ReadTimedRequests(ctx, pcode, "1393/04/01", "1393/04/31");
    EXPECT_EQ(Day(5).DayClass, 1);
}

TEST_F(Requests, PreviousDayValues) {
    // No table: the defaults.
    EXPECT_EQ(ReadPreviousDay(ctx, "1393/04/01", pcode), 0);
    EXPECT_FALSE(ctx.period.PreviousDay.Found);
    EXPECT_EQ(ctx.period.PreviousDay.LastInOut, kNoTime);

    MonthRow("p139303", "1393/03/31", {{"Prc_28", I(29)}, {"Prc_LastInOut", I(1500)}, {"Prc_DayAbsence", I(1)},
                                       {"Prc_HourDayleaveSalary", I(45)}});
    EXPECT_EQ(ReadPreviousDay(ctx, "1393/04/01", pcode), 29);
    const TPreviousDay& p = ctx.period.PreviousDay;
    EXPECT_TRUE(p.Found);
    EXPECT_EQ(p.LastInOut, 1500);
    EXPECT_EQ(p.PrevDayAbsence, 1);
    EXPECT_EQ(p.PrevHourDayleaveSalary, 45);
    EXPECT_EQ(ReadPreviousDay(ctx, "1393/04/01", "200"), 0);  // another person: no row
    EXPECT_FALSE(ctx.period.PreviousDay.Found);

    // A day computed earlier in the same run wins over the stored row.
    TDayRecord r;
    r.Prc_date = "1393/03/31";
    r.Prc_PCode = pcode;
    r.Prc_28 = 28;
    r.Prc_LastInOut = 1400;
    AppendDay(ctx.days, r);
    EXPECT_EQ(ReadPreviousDay(ctx, "1393/04/01", pcode), 28);
    EXPECT_EQ(ctx.period.PreviousDay.LastInOut, 1400);
    EXPECT_EQ(ctx.period.PreviousDay.PrevDayAbsence, 0);
}

TEST_F(Requests, WeightedPermitRoundsHalvesToEven) {
    EXPECT_EQ(WeightedPermit(90, 60, 40, 50), 90 + 39);
    EXPECT_EQ(WeightedPermit(5, 60, 50, 0), 7);     // 2.5 -> 2
    EXPECT_EQ(WeightedPermit(7, 60, 50, 0), 11);    // 3.5 -> 4
    EXPECT_EQ(WeightedPermit(60, 60, 10, 90), 66);  // at the threshold only the first tier
    EXPECT_EQ(WeightedPermit(0, 60, 50, 50), 0);
}

TEST_F(Requests, DailyOvertimePermitsAreWeightedByTheDaysClass) {
    GroupMonth(1, 1393, 4, std::string(2, '\x02') + std::string(29, '\x01'));  // days 1, 2 scheduled
    ctx.rule.Rule_ezatime = 60;
    ctx.rule.Rule_eza = 40;
    ctx.rule.Rule_eza1 = 50;
    ctx.rule.Rule_ezgtime = 0;
    ctx.rule.Rule_ezg = 0;
    ctx.rule.Rule_ezg1 = 100;
    Grid("e139303", {{31, I(50)}});                        // before the period
    Grid("e139304", {{1, I(90)}, {2, I(12345)}, {3, I(30)}, {4, DbValue::Null()}, {31, I(10)}});
    Grid("e139305", {{1, I(77)}, {2, I(5)}});              // 05/02 after the period
    Build("1393/04/02", "1393/05/01");
    ReadTimedRequests(ctx, pcode, "1393/04/02", "1393/05/01");
    ReadDailyOvertimePermits(ctx, "1393/04/02", "1393/05/01", pcode);
    const auto& a = ctx.period.DailyOvertimePermit;
    EXPECT_EQ(a[0], 1234 + 24 + (1234 - 60) / 2);  // first four characters, scheduled day
    EXPECT_EQ(a[1], 60);                           // no-work day: doubled
    EXPECT_EQ(a[2], 0);
    EXPECT_EQ(a[29], 20);
    EXPECT_EQ(a[30], 154);
    EXPECT_EQ(ctx.period.DailyOvertimePermitTotal, a[0] + 60 + 20 + 154);
    EXPECT_EQ(DailyOvertimePermitOf(ctx, "1393/04/03"), 60);
    EXPECT_EQ(DailyOvertimePermitOf(ctx, "1393/04/01"), 0);
    EXPECT_EQ(DailyOvertimePermitOf(ctx, "1393/05/02"), 0);
    EXPECT_EQ(ctx.period.PermitFrom, "1393/04/02");
}

TEST_F(Requests, PermitsReadAgainAfterThePeriodUseTheComputedDaysClasses) {
    ctx.rule.Rule_eza = 10;   // scheduled
    ctx.rule.Rule_ezg = 20;   // no-work day
    ctx.rule.Rule_ezt = 30;   // unofficial holiday
    ctx.rule.Rule_ezr = 40;   // official holiday
    ctx.rule.Rule_ezatime = ctx.rule.Rule_ezgtime = ctx.rule.Rule_ezttime = ctx.rule.Rule_ezrtime = 1000;
    Grid("e139304", {{1, I(100)}, {2, I(100)}, {3, I(100)}, {4, I(100)}, {5, I(100)}});
    const int types[] = {0, 1, 3, 5, 4};  // Prc_Type of days 1 ... 5
    for (int k = 1; k <= 5; ++k) {
        TDayRecord r;
        r.Prc_date = "1393/04/0" + std::to_string(k);
        r.Prc_PCode = pcode;
        r.Prc_Type = static_cast<std::uint8_t>(types[k - 1]);
        AppendDay(ctx.days, r);
    }
    ctx.period.Days.clear();  // the period's inputs are released
    ReadDailyOvertimePermits(ctx, "1393/04/01", "1393/04/31", pcode);
    const auto& a = ctx.period.DailyOvertimePermit;
    EXPECT_EQ(a[0], 110);
    EXPECT_EQ(a[1], 120);
    EXPECT_EQ(a[2], 130);
    EXPECT_EQ(a[3], 140);
    EXPECT_EQ(a[4], 110);  // a scheduled official holiday is a scheduled day
}

TEST_F(Requests, FreeOvertimeIsStoredUnweighted) {
    ctx.rule.Rule_eza = 100;
    Grid("a139304", {{1, I(-30)}, {2, I(45)}, {5, I(0)}});
    Build("1393/04/01", "1393/04/31");
    ReadFreeOvertime(ctx, "1393/04/01", "1393/04/31", pcode);
    EXPECT_EQ(ctx.period.FreeOvertime[0], -30);
    EXPECT_EQ(ctx.period.FreeOvertime[1], 45);
    EXPECT_EQ(ctx.period.FreeOvertimeTotal, 15);
    EXPECT_EQ(FreeOvertimeOf(ctx, "1393/04/02"), 45);
    EXPECT_EQ(FreeOvertimeOf(ctx, "1393/05/02"), 0);
}

TEST_F(Requests, GridColumnsPastTheMonthsLastDayNameNoDay) {
    // A salary month from the 15th to the 14th: Mehr has 30 days, so E_D31 of
    // e139307 is no date and must not land on 1393/08/01 (day 17).
    Grid("e139307", {{30, I(10)}, {31, I(99)}});
    Grid("e139308", {{1, I(20)}});
    Grid("a139307", {{31, I(-40)}});
    Grid("a139308", {{1, I(5)}});
    Build("1393/07/15", "1393/08/14");
    ReadTimedRequests(ctx, pcode, "1393/07/15", "1393/08/14");
    ReadDailyOvertimePermits(ctx, "1393/07/15", "1393/08/14", pcode);
    ReadFreeOvertime(ctx, "1393/07/15", "1393/08/14", pcode);
    EXPECT_EQ(DailyOvertimePermitOf(ctx, "1393/07/30"), 10);
    EXPECT_EQ(DailyOvertimePermitOf(ctx, "1393/08/01"), 20);
    EXPECT_EQ(ctx.period.DailyOvertimePermitTotal, 30);
    EXPECT_EQ(FreeOvertimeOf(ctx, "1393/08/01"), 5);
    EXPECT_EQ(ctx.period.FreeOvertimeTotal, 5);
}

TEST_F(Requests, MalformedGridEntryFailsNamingTableColumnAndValue) {
    Grid("a139304", {{3, T("1x")}});
    Build("1393/04/01", "1393/04/31");
    try {
        ReadFreeOvertime(ctx, "1393/04/01", "1393/04/31", pcode);
        FAIL() << "no error";
    } catch (const std::exception& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("a139304"), std::string::npos) << m;
        EXPECT_NE(m.find("E_D03"), std::string::npos) << m;
        EXPECT_NE(m.find("1x"), std::string::npos) << m;
    }
}

TEST_F(Requests, YearToDateFromTheMonthTotalsOfEarlierMonths) {
    MonthRow("p139301", "1393/01/00", {{"Prc_DayMission", I(2)}, {"Prc_FullMission", I(1)},
                                       {"Prc_HourEleaveSalarysum", I(90)}});
    MonthRow("p139301", "1393/01/05", {{"Prc_DayMission", I(50)}});  // a day row is not a total
    MonthRow("p139303", "1393/03/00", {{"Prc_DayMission", I(1)}, {"Prc_HourEleaveSalarysum", I(30)}});
    MonthRow("p139304", "1393/04/00", {{"Prc_DayMission", I(7)}});   // the month itself
    ReadYearToDate(ctx, "1393/04/31", pcode);
    EXPECT_EQ(ctx.period.MissionDaysUsed, 4);
    EXPECT_EQ(ctx.period.HourlyEntitledLeaveYear, 120);
    ReadYearToDate(ctx, "1393/01/31", pcode);
    EXPECT_EQ(ctx.period.MissionDaysUsed, 0);
    EXPECT_EQ(ctx.period.HourlyEntitledLeaveYear, 0);
}

}  // namespace
}  // namespace attcalc::test
