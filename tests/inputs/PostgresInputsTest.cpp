// The input stage against PostgreSQL: month tables, text dates, the
// Windows-1256 schedule text stored as Unicode, and pairing.
#include "InputsFixture.h"

#include "support/TestSupport.h"

namespace attcalc::test {
namespace {

class PostgresInputs : public InputsTest {
protected:
    void SetUp() override {
        if (PostgresConnectionString().empty()) GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG is unset)";
        db = FreshPostgres();
        InputsTest::SetUp();
    }
};

TEST_F(PostgresInputs, PeriodInputs) {
    AddShift(1, 480, 960);
    AddShift(0xC7 - 1, 1320, 1800);  // the code alef stands for in Windows-1256
    // Day 1 has shift 1, day 2 the night shift written as a Persian letter, the rest none.
    GroupMonth(1, 1393, 4, std::string("\x02") + "\u0627" + std::string(29, '\x01'));
    CreateTableIfMissing(ctx, "spshift");
    db->Insert("spshift", {{"SP_CardNo", T(pcode)}, {"SP_Date", T("1393/04/03")}, {"SP_ShCode", I(1)}});
    ctx.rule.Rule_trdnear = 3;
    Punch("1393/03/31", 1000);
    Punch("1393/04/01", 478);
    Punch("1393/04/01", 480);  // near repeat
    Punch("1393/04/01", 962);
    Punch("1393/04/02", 1318);
    Punch("1393/04/03", 362);
    Punch("1393/04/03", 600, 0, 0, 0, "200");
    Request("1393/04/03", 700, 800, 87);
    RunPeriod("1393/04/01", "1393/04/03");
    EXPECT_EQ(ctx.period.PunchTotal, 5);
    EXPECT_EQ(Day(2).ShiftCode, 0xC7 - 1);
    EXPECT_EQ(Day(3).ShiftCode, 1);
    EXPECT_EQ(PairsText(Day(1)), "478-962");
    EXPECT_EQ(PairsText(Day(2)), "1318-1802");
    EXPECT_EQ(PairsText(Day(3)), "700:87-800:87");
    EXPECT_TRUE(db->TableExists("c139303"));
}

}  // namespace
}  // namespace attcalc::test
