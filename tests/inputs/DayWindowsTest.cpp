// Day windows and punch pairing.
#include "InputsFixture.h"

namespace attcalc::test {
namespace {

class Pairing : public InputsTest {
protected:
    void SetUp() override {
        InputsTest::SetUp();
        AddShift(1, 480, 960);     // 08:00-16:00
        AddShift(2, 420, 900);     // 07:00-15:00
        AddShift(3, 1320, 1800);   // 22:00-06:00
        AddShift(4, 960, 1440);    // 16:00-24:00
        AddShift(5, 0, 480);       // 00:00-08:00
        AddShift(6, 840, 1350);    // 14:00-22:30
        AddShift(7, 60, 540);      // 01:00-09:00
    }
    // The schedule of 1393/04 (and of 1393/03, 1393/05 for neighbouring days), by day.
    void Month(const std::vector<int>& codes, int month = 4) {
        std::string text;
        for (int dd = 1; dd <= 31; ++dd)
            text += static_cast<char>((dd <= static_cast<int>(codes.size()) ? codes[dd - 1] : codes.back()) + 1);
        GroupMonth(1, 1393, month, text);
    }
    void EveryMonth(int code) {
        for (int m = 3; m <= 5; ++m) Month({code}, m);
    }
    void StoredPreviousDay(int mark, int lastInOut) {
        CreateTableIfMissing(ctx, "p139303");
        db->Insert("p139303", {{"Prc_PCode", T(pcode)}, {"Prc_Date", T("1393/03/31")}, {"Prc_28", I(mark)},
                               {"Prc_LastInOut", I(lastInOut)}});
    }
    std::string P(int k) const { return PairsText(Day(k)); }
};

TEST(InWindowTest, OpeningPunchesMustComeMarginBeforeTheEnd) {
    const TDayWindow w{0, 1000};
    EXPECT_TRUE(InWindow(-10, w, true, 10));
    EXPECT_FALSE(InWindow(-11, w, true, 10));
    EXPECT_TRUE(InWindow(990, w, true, 10));
    EXPECT_FALSE(InWindow(991, w, true, 10));
    EXPECT_TRUE(InWindow(1010, w, false, 10));
    EXPECT_FALSE(InWindow(1011, w, false, 10));
    EXPECT_FALSE(InWindow(-11, w, false, 10));
}

TEST_F(Pairing, NormalDay) {
    EveryMonth(1);
    Punch("1393/04/02", 478);
    Punch("1393/04/02", 720);
    Punch("1393/04/02", 780);
    Punch("1393/04/02", 965);
    RunPeriod("1393/04/01", "1393/04/03");
    EXPECT_EQ(P(1), "");
    EXPECT_EQ(P(2), "478-720 780-965");
    EXPECT_EQ(Day(2).PunchCount, 4);
    EXPECT_EQ(Day(2).PairCount, 2);
    EXPECT_EQ(Day(2).ChangedFlag, 0);
    EXPECT_EQ(Day(2).Mark28, 0);
    EXPECT_EQ(P(3), "");
}

TEST_F(Pairing, NightShiftOverMidnight) {
    EveryMonth(3);
    Punch("1393/04/02", 1318);
    Punch("1393/04/03", 365);
    Punch("1393/04/03", 1325);
    Punch("1393/04/04", 362);
    RunPeriod("1393/04/01", "1393/04/03");
    EXPECT_EQ(P(2), "1318-1805");
    EXPECT_EQ(P(3), "1325-1802");
}

TEST_F(Pairing, PunchesOfTheNeighbouringDaysOnTheTimeLine) {
    EveryMonth(0);
    Punch("1393/03/31", 1410);  // 23:30 the day before: -30 on day 1's line
    Punch("1393/04/01", 300);
    Punch("1393/04/02", 1370);  // an entry must come a margin before the window end (1439)
    Punch("1393/04/03", 60);    // 01:00 the next day: 1500 on day 2's line
    RunPeriod("1393/04/01", "1393/04/02");
    // No shifts: the default window is (719, 719), each day from 719 - 1440 - margin on.
    EXPECT_EQ(P(1), "-30-300");
    EXPECT_EQ(P(2), "1370-1500");
}

TEST_F(Pairing, DayBeforeAndAfterThePeriod) {
    EveryMonth(1);
    Punch("1393/03/31", 480);
    Punch("1393/03/31", 960);
    Punch("1393/04/01", 485);
    Punch("1393/04/01", 950);
    Punch("1393/04/02", 481);
    Punch("1393/04/02", 962);
    Punch("1393/04/03", 470);  // after the period: belongs to no day of it
    Punch("1393/04/03", 970);
    StoredPreviousDay(0, 960);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(P(1), "485-950");
    EXPECT_EQ(P(2), "481-962");
    EXPECT_EQ(Day(1).FirstPunch, 2);
}

TEST_F(Pairing, WithoutStoredPreviousDayLateLastPunchesOfItBelongToDayOne) {
    EveryMonth(1);
    Punch("1393/03/31", 900);   // far before day 1's window: skipped
    Punch("1393/03/31", 1380);  // 23:00: -60, within 60 minutes of the window start
    Punch("1393/04/01", 485);
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(P(1), "-60-485");
}

TEST_F(Pairing, ThePreviousDaysPunchAfterMidnightIsNotTakenTwice) {
    EveryMonth(0);
    Punch("1393/04/01", 60);  // the previous day's exit at 25:00 on its own line
    Punch("1393/04/01", 480);
    Punch("1393/04/01", 960);
    StoredPreviousDay(0, 1500);
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(P(1), "480-960");
}

TEST_F(Pairing, StoredContinuationMarkOpensTheFirstPair) {
    EveryMonth(0);
    Punch("1393/04/01", 480);
    StoredPreviousDay(29, 1380);
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(P(1), "-59-480");
    EXPECT_EQ(Day(1).Pairs[0].InChange, 0);
}

TEST_F(Pairing, StoredContinuationMarkWithoutAStoredPunchOpensAtTheWindowStart) {
    // The day before carries the mark but stored no punch time (-1000): the
    // pair opens at day 1's window start (the window before day 1 is
    // (-62, 1378), so day 1 starts at -62), not at -1000 - 1439.
    struct Case { int mark; std::string day1; };
    for (const Case& c : {Case{29, "-62-480"}, Case{28, "-62:3-480"}}) {
        db->Execute("drop table if exists p139303");
        db->Execute("drop table if exists C139304");
        ctx.KnownTables.clear();
        ctx.period.Margin = 62;
        EveryMonth(0);
        Punch("1393/04/01", 480);
        StoredPreviousDay(c.mark, -1000);
        RunPeriod("1393/04/01", "1393/04/01");
        EXPECT_EQ(P(1), c.day1) << c.mark;
    }
}

TEST_F(Pairing, EntryCardOpensAnOvertimeChainIntoTheNextDay) {
    EveryMonth(1);
    ctx.rule.Rule_In1_Out2 = true;
    ctx.rule.Rule_In1_Out2_28 = true;
    Punch("1393/04/01", 1320);
    Punch("1393/04/02", 480);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(P(1), "1320-1439");
    EXPECT_EQ(Day(1).Mark28, 28);
    EXPECT_EQ(P(2), "-1:3-480");
    EXPECT_EQ(Day(2).Mark28, 0);
}

TEST_F(Pairing, AnAutomaticExitEndsTheEntryCardsChain) {
    EveryMonth(1);
    ctx.rule.Rule_In1_Out2 = true;
    ctx.rule.Rule_outcard = true;
    Punch("1393/04/01", 480);  // no exit: the shift end closes the pair
    Punch("1393/04/02", 480);
    Punch("1393/04/02", 960);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(P(1), "480-960");
    EXPECT_EQ(Day(1).Mark28, 0);
    EXPECT_EQ(P(2), "480-960");  // no pair from the night before
}

TEST_F(Pairing, ContinuousOvertimeCards) {
    EveryMonth(1);
    Punch("1393/04/01", 1300, 28);  // opens with the overtime code and carries on
    Punch("1393/04/02", 500);
    Punch("1393/04/02", 960);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(P(1), "1300:3-1439");
    EXPECT_EQ(Day(1).Mark28, 28);
    EXPECT_EQ(P(2), "-1:3-500 960-960:97(open)");
}

TEST_F(Pairing, BackToBackShiftsContinueIntoTheNextDay) {
    Month({4, 5, 0});
    Punch("1393/04/01", 955);
    Punch("1393/04/02", 485);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(P(1), "955-1440");
    EXPECT_EQ(Day(1).Mark28, 29);
    EXPECT_EQ(P(2), "0-485");
}

TEST_F(Pairing, AnOpenPairAtTheEndOfTheDay) {
    struct Case {
        std::vector<int> shifts;
        bool addyignore;
        std::vector<std::tuple<std::string, int, int>> punches;  // date, time, state
        std::string day1, day2;
        int mark1;
    };
    const std::vector<Case> cases = {
        // With ordinary punches ignored, an exit card waiting after the day
        // carries the open pair over midnight.
        {{1}, true, {{"1393/04/01", 1320, 12}, {"1393/04/02", 360, 5}}, "1320:12-1439", "-1-360", 29},
        {{1}, false, {{"1393/04/01", 1320, 12}, {"1393/04/02", 360, 5}}, "1320:12-1320:97(open)",
         "360:97-360:97(open)", 0},
        // Back-to-back shifts continue only when the next punch is at most a
        // day after the last one.
        {{4, 5, 0}, false, {{"1393/04/01", 955, 0}, {"1393/04/02", 485, 0}}, "955-1440", "0-485", 29},
        {{4, 5, 0}, false, {{"1393/04/01", 955, 0}, {"1393/04/03", 485, 0}}, "955-955:97(open)", "", 0},
        // Shifts exactly 60 minutes apart (16:00-24:00, then 01:00-09:00)
        // still count as back to back.
        {{4, 7, 0}, false, {{"1393/04/01", 960, 0}, {"1393/04/02", 545, 0}}, "960-1440", "30-545", 29},
    };
    for (const Case& c : cases) {
        db->Execute("drop table if exists C139304");
        ctx.KnownTables.clear();
        Month(c.shifts);
        ctx.rule.Rule_addyignore = c.addyignore;
        for (const auto& [date, time, state] : c.punches) Punch(date, time, state);
        RunPeriod("1393/04/01", "1393/04/02");
        EXPECT_EQ(P(1), c.day1) << c.day1;
        EXPECT_EQ(P(2), c.day2) << c.day1;
        EXPECT_EQ(Day(1).Mark28, c.mark1) << c.day1;
    }
}

TEST_F(Pairing, MarginIsHalfTheGapBetweenCloseShifts) {
    Month({6, 5});
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(ctx.period.Margin, 45);
    Month({1, 1});
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(ctx.period.Margin, 62);
}

TEST_F(Pairing, SplitPointBetweenTwoDays) {
    struct Case {
        int shift, shrmarz, emax;
        bool shrfix;
        std::string date;
        int time;
        int day;  // the day whose first pair opens with the punch
    };
    const std::vector<Case> cases = {
        // 08:00-16:00 on both days, widened by 120: the day ends at 1439, and
        // an entry must come a margin (62) before it.
        {1, 0, 120, false, "1393/04/01", 1377, 1},
        {1, 0, 120, false, "1393/04/01", 1378, 2},
        // No shifts and the calculation day starting at 06:00: it ends at 1799.
        {0, 360, 0, false, "1393/04/02", 290, 1},
        {0, 360, 0, false, "1393/04/02", 300, 2},
        // A fixed calculation day from 06:00.
        {1, 360, 0, true, "1393/04/02", 290, 1},
        {1, 360, 0, true, "1393/04/02", 300, 2},
    };
    for (const Case& c : cases) {
        db->Execute("drop table if exists C139304");
        ctx.KnownTables.clear();
        ctx.period.Margin = 62;
        EveryMonth(c.shift);
        ctx.rule.Rule_shrmarz = c.shrmarz;
        ctx.rule.Rule_emaxg = ctx.rule.Rule_emaxb = c.emax;
        ctx.rule.Rule_shrfix = c.shrfix;
        Punch(c.date, c.time);
        RunPeriod("1393/04/01", "1393/04/02");
        const std::string where = c.date + " " + std::to_string(c.time);
        EXPECT_EQ(Day(c.day).PunchCount, 1) << where;
        EXPECT_EQ(Day(3 - c.day).PunchCount, 0) << where;
    }
}

TEST_F(Pairing, AnEntryBetweenTwoDaysWindowsBlocksNoDay) {
    // Day 1 08:00-16:00 (margin 62), day 2 14:00-22:30 (margin 45), then
    // 00:00-08:00. Day 1's window ends at 1439: an entry at 23:05 (1385) is
    // later than day 1 takes entries (1377) and earlier than day 2's window
    // (-1 - 45 = -46, the punch lies at -55).
    Month({1, 6, 5});
    Punch("1393/04/01", 478);
    Punch("1393/04/01", 962);
    Punch("1393/04/01", 1385);
    Punch("1393/04/02", 835);
    Punch("1393/04/02", 1355);
    Punch("1393/04/03", 5);
    Punch("1393/04/03", 485);
    Punch("1393/04/04", 2);
    Punch("1393/04/04", 481);
    RunPeriod("1393/04/01", "1393/04/04");
    EXPECT_EQ(P(1), "478-962");
    EXPECT_EQ(P(2), "835-1355");
    EXPECT_EQ(P(3), "5-485");
    EXPECT_EQ(P(4), "2-481");
}

TEST_F(Pairing, WholeDayCodeSetsTheDayCodeOnly) {
    EveryMonth(1);
    ctx.rule.Rule_outcard = true;
    Punch("1393/04/01", 0, 41, 2);
    Punch("1393/04/01", 600);
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(Day(1).DayCode, 41);
    EXPECT_EQ(Day(1).ChangedFlag, 2);
    // A daily leave day gets no automatic exit: the pair stays incomplete.
    EXPECT_EQ(P(1), "600-600:97(open)");
}

TEST_F(Pairing, AWholeDayCodeLeftBehindGoesToItsDayAndStopsNothing) {
    EveryMonth(1);
    Punch("1393/04/01", 1380);        // an entry that belongs to day 2
    Punch("1393/04/01", 1400, 41, 2); // day 1's whole-day code, ordered after it
    Punch("1393/04/02", 480);
    Punch("1393/04/03", 480);
    Punch("1393/04/03", 960);
    RunPeriod("1393/04/01", "1393/04/03");
    EXPECT_EQ(P(1), "");
    EXPECT_EQ(Day(1).DayCode, 41);
    EXPECT_EQ(P(2), "-60-480");
    EXPECT_EQ(Day(2).DayCode, 0);
    EXPECT_EQ(P(3), "480-960");
}

TEST_F(Pairing, PunchStatesThatForceEntryOrExit) {
    EveryMonth(1);
    Punch("1393/04/01", 480);
    Punch("1393/04/01", 720, 4);  // must be an entry: the open pair is incomplete
    Punch("1393/04/01", 960);
    Punch("1393/04/02", 600, 5);  // must be an exit where an entry is expected
    Punch("1393/04/03", 480);
    Punch("1393/04/03", 900, 5);  // an exit as expected: stored as an ordinary punch
    RunPeriod("1393/04/01", "1393/04/03");
    EXPECT_EQ(P(1), "480-480:97 720-960");
    EXPECT_EQ(P(2), "600:97-600:97(open)");
    EXPECT_EQ(P(3), "480-900");
    EXPECT_EQ(ctx.period.Punches.back().State, 0);
}

TEST_F(Pairing, ChangeKindsThreeAndFour) {
    EveryMonth(0);
    Punch("1393/04/01", 600, 45, 3);  // a point that opens and closes a pair
    Punch("1393/04/01", 700, 0, 0);
    Punch("1393/04/01", 800, 51, 3);  // closes the open pair with its code
    Punch("1393/04/01", 900, 12, 4);  // opens a pair with its code
    Punch("1393/04/01", 950, 13, 4);  // nothing while a pair is open
    Punch("1393/04/01", 1000, 0, 7);  // change kinds above 4 place nothing
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(P(1), "600-600:45 700-800:51 900:12-900:97(open)");
    EXPECT_EQ(Day(1).Pairs[1].InChange, 3);
    EXPECT_EQ(Day(1).ChangedFlag, 7);
}

TEST_F(Pairing, ChangeKindThreeWithStateZeroKeepsTheOutCode) {
    // An exit card where an entry was expected opens an incomplete pair (both
    // codes 97); an edited state-0 punch closes it and leaves the 97, so the
    // exit-to-entry rule does not join it to the next pair.
    EveryMonth(1);
    ctx.rule.Rule_outinwork = true;
    ctx.rule.Rule_outinworkmax = 0;
    Punch("1393/04/01", 475, 5);
    Punch("1393/04/01", 858, 0, 3);
    Punch("1393/04/01", 859);
    Punch("1393/04/01", 960);
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(P(1), "475:97-858:97 859-960");
    EXPECT_EQ(Day(1).Pairs[0].InChange, 3);
    EXPECT_EQ(Day(1).Pairs[0].OutChange, 3);
}

TEST_F(Pairing, ExitToEntryGapsJoinPairs) {
    struct Case {
        int max, gap;
        std::string pairs;
    };
    for (const Case& c : {Case{30, 20, "480-960"}, Case{30, 40, "480-720 760-960"}, Case{0, 200, "480-960"},
                          Case{20, 20, "480-960"}, Case{20, 21, "480-720 741-960"}}) {
        db->Execute("drop table if exists C139304");
        ctx.KnownTables.clear();
        EveryMonth(1);
        ctx.rule.Rule_outinwork = true;
        ctx.rule.Rule_outinworkmax = c.max;
        Punch("1393/04/01", 480);
        Punch("1393/04/01", 720);
        Punch("1393/04/01", 720 + c.gap);
        Punch("1393/04/01", 960);
        RunPeriod("1393/04/01", "1393/04/01");
        EXPECT_EQ(P(1), c.pairs) << c.max << " " << c.gap;
    }
}

TEST_F(Pairing, AutomaticEntryWhenTheFirstPunchIsAfterTheMiddleOfTheShift) {
    EveryMonth(2);
    ctx.rule.Rule_incard = true;
    Punch("1393/03/31", 900);   // the day before the period does not hide day 1's first punch
    Punch("1393/04/01", 750);   // 12:30, after the middle (11:00)
    Punch("1393/04/02", 430);   // 07:10: no automatic entry
    Punch("1393/04/02", 900);
    StoredPreviousDay(0, 900);
    RunPeriod("1393/04/01", "1393/04/03");
    EXPECT_EQ(P(1), "420-750");
    EXPECT_EQ(Day(1).ChangedFlag, 1);
    EXPECT_EQ(P(2), "430-900");
    EXPECT_EQ(P(3), "420-420:97(open)");  // no punch at all: the entry alone
    EXPECT_EQ(ctx.period.Punches.size(), 6u);
    EXPECT_EQ(ctx.period.PunchTotal, 4);
}

TEST_F(Pairing, AutomaticEntryAndExitOnADayWithoutPunches) {
    EveryMonth(2);
    ctx.rule.Rule_incard = true;
    ctx.rule.Rule_outcard = true;
    Punch("1393/04/02", 600);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(P(1), "420-900");
    EXPECT_EQ(P(2), "600-900");
}

TEST_F(Pairing, PreCardAtTheShiftStartBecomesAOneMinutePair) {
    EveryMonth(1);
    Punch("1393/04/01", 470, 21);
    Punch("1393/04/01", 600);
    Punch("1393/04/01", 960);
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(P(1), "469-470:21 600-960");
    EXPECT_EQ(Day(1).Pairs[0].InChange, 1);
}

TEST_F(Pairing, PunchesBeyondTheEighteenthAreConsumed) {
    EveryMonth(1);
    for (int i = 0; i < 19; ++i) Punch("1393/04/01", 480 + 10 * i);
    Punch("1393/04/02", 480);
    Punch("1393/04/02", 960);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(Day(1).PunchCount, 18);
    EXPECT_EQ(Day(1).PairCount, 9);
    EXPECT_EQ(Day(1).Pairs[8].Out, 480 + 170);
    EXPECT_EQ(P(2), "480-960");
}

TEST_F(Pairing, AnEntryForcedOnTheLastPlaceDoesNotOverflowTheDay) {
    EveryMonth(1);
    for (int i = 0; i < 17; ++i) Punch("1393/04/01", 480 + 10 * i);
    Punch("1393/04/01", 700, 4);
    ctx.rule.Rule_outinwork = false;
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(Day(1).PunchCount, 18);
    EXPECT_EQ(Day(1).Pairs[8].OutCode, 97);
}

TEST_F(Pairing, PresenceRequestsBecomePairs) {
    EveryMonth(1);
    Punch("1393/04/01", 480);
    Punch("1393/04/01", 720);
    Request("1393/04/01", 780, 900, 87);  // after the last pair: appended
    Request("1393/04/01", 300, 400, 87);  // before it: inserted before the first pair after it
    Request("1393/04/01", 600, 700, 87);  // collides and precedes no pair: dropped
    Request("1393/04/01", 100, 200, 21);  // not a presence request
    RunPeriod("1393/04/01", "1393/04/01");
    EXPECT_EQ(P(1), "300:87-400:87 480-720 780:87-900:87");
    EXPECT_EQ(Day(1).PunchCount, 6);
}

TEST_F(Pairing, LongRequestStretchesTheWindow) {
    EveryMonth(1);
    Request("1393/04/01", 900, 1700, 3);
    Punch("1393/04/01", 480);
    Punch("1393/04/02", 250);   // 1690 on day 1's line, inside the stretched window
    Punch("1393/04/02", 480);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(P(1), "480-1690");
    EXPECT_EQ(P(2), "480-480:97(open)");
}

TEST_F(Pairing, LongRequestStartsTheNextDaysWindowAtItsEndLess1439) {
    // The request ends at 1700: the next day's window starts at 1700 - 1439
    // (261, that is 1701 on day 1's line), day 1's window ends at 1700 and an
    // exit may come a margin (62) after it: 05:22 of day 2 (1762) just does.
    struct Case { int exit; std::string day1, day2; };
    for (const Case& c : {Case{322, "480-1762", ""}, Case{323, "480-480:97(open)", "323-323:97(open)"}}) {
        db->Execute("drop table if exists C139304");
        db->Execute("drop table if exists T139304");
        ctx.KnownTables.clear();
        EveryMonth(1);
        Request("1393/04/01", 900, 1700, 3);
        Punch("1393/04/01", 480);
        Punch("1393/04/02", c.exit);
        RunPeriod("1393/04/01", "1393/04/02");
        EXPECT_EQ(P(1), c.day1) << c.exit;
        EXPECT_EQ(P(2), c.day2) << c.exit;
    }
}

TEST_F(Pairing, StationOfTheReader) {
    EveryMonth(1);
    CreateTableIfMissing(ctx, "readers");
    db->Insert("readers", {{"R_Code", I(3)}, {"R_Station", I(9)}});
    Punch("1393/04/01", 480, 0, 0, 5);
    Punch("1393/04/01", 960, 0, 0, 3);
    Punch("1393/04/02", 480, 0, 0, 3);
    Punch("1393/04/02", 960, 0, 0, 5);
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(Day(1).Station, 9);
    EXPECT_EQ(Day(2).Station, 0);
}

TEST_F(Pairing, StationOfTheLastPlacedPunch) {
    // A continuous-overtime card while a pair is open places nothing: the
    // station stays that of the entry.
    EveryMonth(1);
    CreateTableIfMissing(ctx, "readers");
    db->Insert("readers", {{"R_Code", I(1)}, {"R_Station", I(3)}});
    db->Insert("readers", {{"R_Code", I(2)}, {"R_Station", I(5)}});
    Punch("1393/04/01", 480, 0, 0, 1);
    Punch("1393/04/01", 1200, 28, 0, 2);
    Punch("1393/04/02", 480, 0, 0, 1);
    Punch("1393/04/02", 1200, 29, 0, 2);  // a 29 card on an even count opens a pair: placed
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(Day(1).Station, 3);
    EXPECT_EQ(Day(1).Mark28, 28);
    EXPECT_EQ(P(1), "480-1439");
    EXPECT_EQ(Day(2).Station, 5);
}

TEST_F(Pairing, EachDayUsesItsOwnRule) {
    EveryMonth(2);
    CreateTableIfMissing(ctx, "rules");
    CreateTableIfMissing(ctx, "rulesetc");
    CreateTableIfMissing(ctx, "sprule");
    db->Insert("rules", {{"Rule_Code", I(7)}});
    db->Insert("rulesetc", {{"Rule_Code", I(7)}, {"Rule_InCard", I(1)}});
    db->Insert("sprule", {{"SP_CardNo", T(pcode)}, {"SP_Date", T("1393/04/02")}, {"SP_RuleCode", I(7)}});
    RunPeriod("1393/04/01", "1393/04/02");
    EXPECT_EQ(P(1), "");
    EXPECT_EQ(P(2), "420-420:97(open)");
    EXPECT_EQ(ctx.rule.rule_code, 7);  // the last day's rule stays current
}

}  // namespace
}  // namespace attcalc::test
