// The day schedule: groups, group schedules, special shifts and rules.
#include "InputsFixture.h"

#include "db/Cp1256.h"

namespace attcalc::test {
namespace {

class Schedule : public InputsTest {
protected:
    void SetUp() override {
        InputsTest::SetUp();
        AddShift(1, 480, 960);
        AddShift(2, 420, 720, 780, 900, 0, 0, 2);
        AddShift(3, 1320, 1800);
        CreateTableIfMissing(ctx, "spgroup");
        CreateTableIfMissing(ctx, "spshift");
        CreateTableIfMissing(ctx, "sprule");
    }
    void SpecialGroup(const std::string& date, int group, int rule) {
        db->Insert("spgroup", {{"SP_CardNo", T(pcode)}, {"SP_Date", T(date)}, {"SP_GrCode", I(group)},
                               {"SP_RuleCode", I(rule)}});
    }
    void SpecialShift(const std::string& date, int code) {
        db->Insert("spshift", {{"SP_CardNo", T(pcode)}, {"SP_Date", T(date)}, {"SP_ShCode", I(code)}});
    }
    void SpecialRule(const std::string& date, int code) {
        db->Insert("sprule", {{"SP_CardNo", T(pcode)}, {"SP_Date", T(date)}, {"SP_RuleCode", I(code)}});
    }
    void Build(const std::string& from, const std::string& to) {
        ctx.period.Days.assign(static_cast<std::size_t>(PeriodDayCount(from, to) + 2), DayInput{});
        BuildSchedule(ctx, pcode, from, to);
    }
    // The shift codes of days first ... last as one text.
    std::string Codes(int first, int last) const {
        std::string s;
        for (int k = first; k <= last; ++k) s += (s.empty() ? "" : ",") + std::to_string(Day(k).ShiftCode);
        return s;
    }
};

TEST_F(Schedule, GroupScheduleTextIsReadByItsWindows1256Codes) {
    // One character per day: code + 1.
    EXPECT_EQ(GroupScheduleCode(std::string("\x02\x01\x04", 3), 1), 1);
    EXPECT_EQ(GroupScheduleCode(std::string("\x02\x01\x04", 3), 2), 0);
    EXPECT_EQ(GroupScheduleCode(std::string("\x02\x01\x04", 3), 3), 3);
    EXPECT_EQ(GroupScheduleCode(std::string("\x02\x01\x04", 3), 4), 0);  // beyond the text
    // A Persian letter stands for its single-byte code: alef is 0xC7 in Windows-1256.
    EXPECT_EQ(GroupScheduleCode("\u0627", 1), 0xC7 - 1);
    EXPECT_EQ(GroupScheduleCode("\u06CC", 1), 0xED - 1);  // Persian yeh takes Arabic yeh's code
    // 62 characters: low digit in the first 31, high digit in the last 31.
    std::string text(62, '\x01');
    text[4] = '\x03';
    text[4 + 31] = '\x02';
    EXPECT_EQ(GroupScheduleCode(text, 5), 2 + 254);
    EXPECT_EQ(GroupScheduleCode(text, 6), 0);
    std::string wide = Cp1256ToUtf8(std::string(31, '\xC8') + std::string(31, '\x01'));
    EXPECT_EQ(GroupScheduleCode(wide, 31), 0xC8 - 1);
}

TEST_F(Schedule, SpecialGroupsCoverTheDaysUpToTheirDate) {
    GroupMonth(1, 1393, 4, EveryDay(1));
    GroupMonth(5, 1393, 4, EveryDay(2));
    GroupMonth(7, 1393, 4, EveryDay(3));
    GroupMonth(1, 1393, 5, EveryDay(1));
    SpecialGroup("1393/04/10", 5, 0);
    SpecialGroup("1393/04/20", 7, 9);
    SpecialGroup("1393/03/20", 7, 9);  // before the period: not read
    Build("1393/04/01", "1393/04/31");
    EXPECT_EQ(Codes(1, 10), "2,2,2,2,2,2,2,2,2,2");
    EXPECT_EQ(Codes(11, 20), "3,3,3,3,3,3,3,3,3,3");
    EXPECT_EQ(Codes(21, 32), "1,1,1,1,1,1,1,1,1,1,1,1");
    EXPECT_EQ(ctx.period.DayGroups[9], 5);
    EXPECT_EQ(ctx.period.DayRuleCodes[9], 1);   // rule code 0 leaves the rule
    EXPECT_EQ(ctx.period.DayRuleCodes[10], 9);
    EXPECT_EQ(ctx.period.DayRuleCodes[20], 1);
    EXPECT_EQ(Day(1).Date, "1393/04/01");
    EXPECT_EQ(Day(32).Date, "1393/05/01");
}

TEST_F(Schedule, SpecialGroupAfterThePeriodCoversItAndTheNextDay) {
    GroupMonth(1, 1393, 4, EveryDay(1));
    GroupMonth(5, 1393, 4, EveryDay(2));
    GroupMonth(5, 1393, 5, EveryDay(2));
    SpecialGroup("1393/06/01", 5, 4);
    SpecialGroup("1393/06/05", 1, 6);  // no effect
    Build("1393/04/01", "1393/04/31");
    EXPECT_EQ(Codes(1, 3), "2,2,2");
    EXPECT_EQ(Day(31).ShiftCode, 2);
    EXPECT_EQ(Day(32).ShiftCode, 2);  // the day after the period is in the group too
    EXPECT_EQ(ctx.period.DayRuleCodes[30], 4);
}

TEST_F(Schedule, SpecialShiftsReplaceTheGroupSchedule) {
    GroupMonth(1, 1393, 4, EveryDay(1));
    GroupMonth(1, 1393, 5, EveryDay(1));
    SpecialShift("1393/04/03", 0);   // removes the shift
    SpecialShift("1393/04/04", 3);
    SpecialShift("1393/04/04", 2);   // the first of a date wins
    SpecialShift("1393/05/01", 3);   // the day after the period
    Build("1393/04/01", "1393/04/31");
    EXPECT_EQ(Codes(1, 5), "1,1,0,3,1");
    EXPECT_EQ(Day(3).IntervalCount, 0);
    EXPECT_EQ(Day(32).ShiftCode, 3);
}

TEST_F(Schedule, ShiftAttributesAndSpans) {
    ctx.rule.Rule_cbtatil = 0x103;
    GroupMonth(1, 1393, 4, std::string("\x02\x03\x01\x04\x2B", 5));  // 1, 2, 0, 3, 42
    Build("1393/04/01", "1393/04/05");
    const DayInput& d2 = Day(2);
    EXPECT_EQ(d2.IntervalCount, 2);
    EXPECT_EQ(d2.Intervals[1].Start, 780);
    EXPECT_EQ(d2.Intervals[1].End, 900);
    EXPECT_EQ(d2.SpanStart, 420);
    EXPECT_EQ(d2.SpanEnd, 900);
    EXPECT_EQ(d2.ShiftNumber, 2);
    EXPECT_EQ(d2.ShiftMinWork, 20);
    // No shift: the rule's shift-work class stands in.
    EXPECT_EQ(Day(3).ShiftNumber, 3);
    EXPECT_EQ(Day(3).SpanStart, 1439);
    EXPECT_EQ(Day(3).SpanEnd, 0);
    EXPECT_EQ(Day(4).SpanEnd, 1800);
    // A code the shift table does not know: the rest shift's attributes.
    EXPECT_EQ(Day(5).ShiftCode, 42);
    EXPECT_EQ(Day(5).IntervalCount, 0);
    EXPECT_EQ(Day(5).ShiftNumber, 0);
    // The day after the period has no text character: no shift.
    EXPECT_EQ(Day(6).ShiftCode, 0);
}

TEST_F(Schedule, AGroupWithoutScheduleStopsTheRestOfThePeriod) {
    GroupMonth(1, 1393, 4, EveryDay(1));
    GroupMonth(7, 1393, 4, EveryDay(2));
    SpecialGroup("1393/04/02", 1, 0);
    SpecialGroup("1393/04/04", 6, 0);  // group 6 has no schedule
    SpecialGroup("1393/04/06", 7, 0);
    SpecialShift("1393/04/08", 3);
    Build("1393/04/01", "1393/04/10");
    EXPECT_EQ(Codes(1, 10), "1,1,0,0,0,0,0,0,0,0");
    // The days never filled have the empty span of a day without ranges and
    // leave the default window to the filled days (480 ... 960).
    for (int k : {3, 8, 11}) {
        EXPECT_EQ(Day(k).SpanStart, 1439) << k;
        EXPECT_EQ(Day(k).SpanEnd, 0) << k;
    }
    EXPECT_EQ(ctx.period.DefaultWindow.MinSpanStart, 480);
    EXPECT_EQ(ctx.period.DefaultWindow.MaxSpanEnd, 960);
    EXPECT_EQ(ctx.period.DefaultWindow.Start, 720);
}

TEST_F(Schedule, TheDayAfterTheYearReadsTheNextYearsSchedule) {
    GroupMonth(1, 1393, 12, EveryDay(1, 29));
    Build("1393/12/20", "1393/12/29");
    EXPECT_EQ(Day(10).ShiftCode, 1);
    EXPECT_EQ(Day(11).Date, "1394/01/01");
    EXPECT_EQ(Day(11).ShiftCode, 0);  // no 1394 schedule
    GroupMonth(1, 1394, 1, EveryDay(3));
    Build("1393/12/20", "1393/12/29");
    EXPECT_EQ(Day(11).ShiftCode, 3);
}

TEST_F(Schedule, DayRulePrecedence) {
    ctx.rule.Rule_spRuleFDate = "1393/04/05";
    ctx.rule.Rule_spRuleEDate = "1393/04/08";
    ctx.rule.Rule_spRule = 30;
    SpecialGroup("1393/04/10", 1, 20);
    SpecialRule("1393/04/06", 40);
    SpecialRule("1393/04/12", 0);  // whatever its value
    SpecialRule("1393/05/01", 50); // after the period
    Build("1393/04/01", "1393/04/31");
    ApplyDayRules(ctx, pcode, "1393/04/01", "1393/04/31");
    std::string s;
    for (int k = 1; k <= 13; ++k) s += (s.empty() ? "" : ",") + std::to_string(ctx.period.DayRuleCodes[k - 1]);
    EXPECT_EQ(s, "20,20,20,20,30,40,30,30,20,20,1,0,1");
    EXPECT_EQ(ctx.period.DayRuleCodes[30], 1);

    // Without a substitute code nothing changes.
    ctx.rule.Rule_spRule = 0;
    Build("1393/04/01", "1393/04/31");
    ApplyDayRules(ctx, pcode, "1393/04/01", "1393/04/31");
    EXPECT_EQ(ctx.period.DayRuleCodes[4], 20);
}

TEST_F(Schedule, TheDefaultRuleIsTheOneCurrentNow) {
    ctx.RuleRequestedCode = 17;  // e.g. the last day's rule of an earlier period
    Build("1393/04/01", "1393/04/03");
    EXPECT_EQ(ctx.period.DayRuleCodes[0], 17);
    EXPECT_EQ(ctx.period.DayRuleCodes[2], 17);
}

TEST_F(Schedule, DefaultWindow) {
    struct Case {
        std::vector<std::pair<int, int>> shifts;  // per day: ranges of a one-range shift, (0, 0) = none
        int q, r, c;
    };
    const std::vector<Case> cases = {
        {{{480, 960}, {0, 0}, {420, 900}}, 420, 960, 690},
        {{{0, 0}, {0, 0}}, 1439, 0, 719},
        {{{-120, 360}, {480, 1800}}, 0, 1440, 720},    // wider than a day, start below 0, end after 1440
        {{{-120, 360}, {480, 1400}}, -40, 1400, 680},  // wider than a day, end within the day
        {{{300, 1800}, {100, 400}}, 100, 1540, 820},   // wider than a day, start at or after 0
    };
    for (const Case& c : cases) {
        ctx.shifts.Entries.resize(1);
        std::string text;
        for (std::size_t i = 0; i < c.shifts.size(); ++i) {
            const auto [f, t] = c.shifts[i];
            if (f == 0 && t == 0) {
                text += '\x01';
                continue;
            }
            AddShift(static_cast<int>(10 + i), f, t);
            text += static_cast<char>(10 + i + 1);
        }
        CreateTableIfMissing(ctx, "grp_dtl");
        db->Execute("delete from grp_dtl");
        GroupMonth(1, 1393, 4, text);
        const std::string to = "1393/04/0" + std::to_string(c.shifts.size());
        Build("1393/04/01", to);
        const TDefaultWindow& w = ctx.period.DefaultWindow;
        EXPECT_EQ(w.MinSpanStart, c.q);
        EXPECT_EQ(w.MaxSpanEnd, c.r);
        EXPECT_EQ(w.Start, c.c);
        EXPECT_EQ(w.End, c.c);
    }
}

TEST_F(Schedule, MissingScheduleTablesMeanNoShifts) {
    db->Execute("drop table spgroup");
    db->Execute("drop table spshift");
    db->Execute("drop table sprule");
    ctx.KnownTables.clear();
    Build("1393/04/01", "1393/04/03");
    ApplyDayRules(ctx, pcode, "1393/04/01", "1393/04/03");
    EXPECT_EQ(Codes(1, 4), "0,0,0,0");
    EXPECT_EQ(ctx.period.DayGroups[0], 1);
}

}  // namespace
}  // namespace attcalc::test
