// Reading the punch buffer: month tables, filters and de-duplication.
#include "InputsFixture.h"

namespace attcalc::test {
namespace {

using Punches = InputsTest;

std::string Times(const TPunchBuffer& b) {
    std::string s;
    for (const TPunch& p : b) s += (s.empty() ? "" : " ") + p.Date.substr(5) + "@" + std::to_string(p.Time);
    return s;
}

TEST_F(Punches, DuplicateRules) {
    struct Case {
        int near;
        std::vector<std::tuple<std::string, int, int>> punches;  // date, time, change kind
        std::string kept;
    };
    const std::vector<Case> cases = {
        {2, {{"1393/04/05", 480, 0}, {"1393/04/05", 481, 0}}, "04/05@480"},
        {1, {{"1393/04/05", 480, 0}, {"1393/04/05", 481, 0}}, "04/05@480 04/05@481"},
        {0, {{"1393/04/05", 480, 0}, {"1393/04/05", 481, 0}}, "04/05@480 04/05@481"},
        // A hand-entered punch is no near repeat, but the same minute twice is dropped.
        {5, {{"1393/04/05", 480, 0}, {"1393/04/05", 481, 1}}, "04/05@480 04/05@481"},
        {5, {{"1393/04/05", 480, 0}, {"1393/04/05", 480, 1}}, "04/05@480"},
        {0, {{"1393/04/05", 480, 1}, {"1393/04/05", 480, 1}}, "04/05@480"},
        // Always compared with the last punch kept.
        {3, {{"1393/04/05", 480, 0}, {"1393/04/05", 481, 0}, {"1393/04/05", 482, 0}, {"1393/04/05", 483, 0}},
         "04/05@480 04/05@483"},
        // Different dates are never repeats.
        {5, {{"1393/04/05", 1439, 0}, {"1393/04/06", 0, 0}}, "04/05@1439 04/06@0"},
    };
    for (const Case& c : cases) {
        db->Execute("drop table if exists C139304");
        db->Execute("drop table if exists I139304");
        ctx.KnownTables.clear();
        ctx.rule.Rule_trdnear = c.near;
        for (const auto& [date, time, chg] : c.punches) Punch(date, time, 0, chg);
        ReadPunches(ctx, "1393/04/01", "1393/04/31", pcode);
        EXPECT_EQ(Times(ctx.period.Punches), c.kept) << "Rule_trdnear " << c.near;
        EXPECT_EQ(ctx.period.PunchTotal, static_cast<int>(ctx.period.Punches.size()));
    }
}

TEST_F(Punches, ReadsEveryMonthOfTheRangeInOrderAndOnlyThePerson) {
    Punch("1393/03/30", 600);  // before the range
    Punch("1393/03/31", 1300);
    Punch("1393/04/15", 480, 0x105, 0x102, 7);  // low bytes of state and change kind
    Punch("1393/04/15", 960, 0, 0, 0, "200");    // someone else
    Punch("1393/05/01", 60);
    Punch("1393/05/02", 60);  // after the range
    ReadPunches(ctx, "1393/03/31", "1393/05/01", pcode);
    EXPECT_EQ(Times(ctx.period.Punches), "03/31@1300 04/15@480 05/01@60");
    const TPunch& p = ctx.period.Punches[1];
    EXPECT_EQ(p.State, 5);
    EXPECT_EQ(p.Change, 2);
    EXPECT_EQ(p.Reader, 7);
    EXPECT_EQ(p.User, "op");
    EXPECT_EQ(ctx.period.PunchTotal, 3);
}

TEST_F(Punches, MissingMonthTablesAreCreatedAndReadEmpty) {
    EXPECT_EQ(ReadPunches(ctx, "1393/06/31", "1393/08/01", pcode), 0);
    for (const char* t : {"c139306", "c139307", "c139308", "i139307"}) EXPECT_TRUE(db->TableExists(t)) << t;
}

TEST_F(Punches, ReaderFilterKeepsTheStationsReadersAndPunchesWithoutReader) {
    CreateTableIfMissing(ctx, "persons");
    CreateTableIfMissing(ctx, "readers");
    db->Insert("persons", {{"P_BarCode", T(pcode)}, {"P_Proxi", T("1")}, {"P_Station", I(2)}});
    db->Insert("readers", {{"R_Code", I(3)}, {"R_Station", I(2)}});
    db->Insert("readers", {{"R_Code", I(5)}, {"R_Station", I(9)}});
    db->Insert("readers", {{"R_Code", I(7)}, {"R_Station", I(2)}});
    Punch("1393/04/02", 400, 0, 0, 0);
    Punch("1393/04/02", 410, 0, 0, 3);
    Punch("1393/04/02", 420, 0, 0, 5);
    Punch("1393/04/02", 430, 0, 0, 7);

    ctx.rule.Rule_fixstation = false;
    EXPECT_EQ(PunchReaderFilter(ctx, pcode), "");
    ReadPunches(ctx, "1393/04/01", "1393/04/03", pcode);
    EXPECT_EQ(ctx.period.PunchTotal, 4);

    ctx.rule.Rule_fixstation = true;
    EXPECT_EQ(PunchReaderFilter(ctx, pcode), "and clock_rdrcode in (0,3,7)");
    ReadPunches(ctx, "1393/04/01", "1393/04/03", pcode);
    EXPECT_EQ(Times(ctx.period.Punches), "04/02@400 04/02@410 04/02@430");

    // A station without readers, or a person without a station: no filter.
    db->Execute("update persons set P_Station=4");
    EXPECT_EQ(PunchReaderFilter(ctx, pcode), "");
    EXPECT_EQ(PunchReaderFilter(ctx, "999"), "");
}

TEST_F(Punches, IgnoringOrdinaryPunchesLeavesOnlyCodedOnes) {
    Punch("1393/04/02", 480, 0);
    Punch("1393/04/02", 600, 21);
    ctx.rule.Rule_addyignore = true;
    ReadPunches(ctx, "1393/04/01", "1393/04/03", pcode);
    EXPECT_EQ(Times(ctx.period.Punches), "04/02@600");
}

TEST_F(Punches, BufferGrowsBeyondItsUsualCapacity) {
    // One day read: the usual room is 10 * 2 + 150 = 170 punches.
    db->Execute("begin");
    for (int t = 0; t < 600; ++t) Punch("1393/04/02", t);
    db->Execute("commit");
    EXPECT_EQ(ReadPunches(ctx, "1393/04/02", "1393/04/02", pcode), 600);
    EXPECT_EQ(ctx.period.Punches.back().Time, 599);
}

TEST_F(Punches, TextsInTheCommandLineCodeCannotChangeTheStatement) {
    Punch("1393/04/02", 480);
    EXPECT_EQ(ReadPunches(ctx, "1393/04/01", "1393/04/03", "100' or '1'='1"), 0);
}

}  // namespace
}  // namespace attcalc::test
