// The scheduled work of a shift is the ranges it has in use (its range count):
// a range filled beyond the count is no scheduled work, while the shift's
// span, and so the day's window, still reaches over it.
#include <gtest/gtest.h>

#include "db/Dialect.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

class ShiftRanges : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(GetParam()); }
};

void AddShift(Database& db, int code, int count, int f1, int t1, int f2, int t2) {
    db.Insert("shifts", {{"SH_Code", DbValue::Int(code)}, {"SH_Count", DbValue::Int(count)},
                         {"SH_Name", DbValue::Text("s" + std::to_string(code))}, {"SH_From1", DbValue::Int(f1)},
                         {"SH_To1", DbValue::Int(t1)}, {"SH_From2", DbValue::Int(f2)}, {"SH_To2", DbValue::Int(t2)},
                         {"SH_From3", DbValue::Int(0)}, {"SH_To3", DbValue::Int(0)}, {"Sh_Kind", DbValue::Int(0)},
                         {"Sh_Nesab", DbValue::Int(0)}, {"Sh_Type", DbValue::Int(0)}});
}

}  // namespace

TEST_P(ShiftRanges, OnlyTheRangesInUseAreScheduledWork) {
    // Person 1001 of the demo punches 07:25 and 16:05 on 1393/02/10 and
    // 1393/02/11 (a Wednesday and a Thursday). Both days get a shift with the
    // ranges 08:00-12:00 and 13:00-17:00: shift 9 has one range in use, shift
    // 10 both.
    RunHome h(GetParam());
    {
        auto db = h.Db();
        AddShift(*db, 9, 1, 480, 720, 780, 1020);
        AddShift(*db, 10, 2, 480, 720, 780, 1020);
        int id = 100;
        for (auto [date, code] : {std::pair{"1393/02/10", 9}, std::pair{"1393/02/11", 10}})
            db->Insert("spshift", {{"SP_CardNo", DbValue::Text("1001")}, {"SP_Date", DbValue::Text(date)},
                                   {"SP_ShCode", DbValue::Int(code)}, {"SP_kind", DbValue::Int(0)},
                                   {"SP_ID", DbValue::Int(id++)}});
    }
    RunResult r = h.Run({"1001", "1393", "2"}, "1393/03/10 08:00");
    ASSERT_EQ(r.status, 0) << r.err;

    auto db = h.Db();
    struct Case { const char* date; int shift, norm, pure, early; };
    for (const Case& c : {Case{"1393/02/10", 9, 240, 240, 0}, Case{"1393/02/11", 10, 480, 425, 55}}) {
        Rows row = db->Query("select * from " + db->dialect().Table("p139302") + " where prc_pcode=" +
                             db->dialect().Quote("1001") + " and prc_date=" + db->dialect().Quote(c.date));
        ASSERT_EQ(row.Count(), 1u) << c.date;
        EXPECT_EQ(row.Int(0, "Prc_shiftcode"), c.shift) << c.date;
        EXPECT_EQ(row.Int(0, "Prc_NormWork"), c.norm) << c.date;
        EXPECT_EQ(row.Int(0, "Prc_PureWork"), c.pure) << c.date;
        EXPECT_EQ(row.Int(0, "Prc_TajilLessWork"), c.early) << c.date;
        // Both punches are the day's: the window covers both ranges.
        EXPECT_EQ(row.Int(0, "Prc_FirstIn"), 445) << c.date;
        EXPECT_EQ(row.Int(0, "Prc_FirstOut"), 965) << c.date;
        EXPECT_EQ(row.Int(0, "Prc_PresenceWork"), 520) << c.date;
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, ShiftRanges, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);
