// Calculation mode from the command line: the configuration steps, the trace
// labels, the quiet stop for a month that has not begun, the month table and
// failures after the build identity.
#include <gtest/gtest.h>

#include "db/Dialect.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

std::vector<std::string> Tail(const std::vector<std::string>& v, std::size_t from) {
    return from < v.size() ? std::vector<std::string>(v.begin() + from, v.end()) : std::vector<std::string>{};
}

class CalculationMode : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(GetParam()); }
};

}  // namespace

TEST_P(CalculationMode, MonthNotBegunStopsQuietlyAfterTheShifts) {
    RunHome h(GetParam());
    RunResult r = h.Run({"1001", "1393", "3", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Tail(h.TraceLines(), 3),
              (std::vector<std::string>{"SaveIniFileDBqv", "loadrule", "loadinifiledb", "LoadShifts"}));
    EXPECT_FALSE(h.HasTable("p139303"));
    EXPECT_EQ(h.Db()->Query("select * from qvlog").Count(), 0u);
}

TEST_P(CalculationMode, MonthStartingTodayIsCalculatedAndLogged) {
    RunHome h(GetParam());
    RunResult r = h.Run({"1001", "1393", "3", "1"}, "1393/03/01 08:00");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(h.TraceLines().back(), "LoadShifts");
    ASSERT_TRUE(h.HasTable("p139303"));
    auto db = h.Db();
    EXPECT_GE(db->Query("select * from p139303 where prc_date=" + db->dialect().Quote("1393/03/01")).Count(), 1u);
    Rows log = db->Query("select * from qvlog");
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.Text(0, "qvl_Date"), "1393/03/01");
    EXPECT_EQ(log.Int(0, "qvl_month"), 3);
}

TEST_P(CalculationMode, CodeZeroZeroIsAPersonAndUnknownPersonsRunWithGroupZero) {
    for (const char* code : {"00", "nobody", "12345678"}) {  // 8 characters: the longest code
        RunHome h(GetParam());
        RunResult r = h.Run({code, "1393", "2", "1"});
        ASSERT_EQ(r.status, 0) << code << ": " << r.err;
        std::vector<std::string> lines = h.TraceLines();
        ASSERT_GE(lines.size(), 7u) << code;
        EXPECT_EQ(lines[3], "SaveIniFileDBqv");
        EXPECT_EQ(lines[6], "LoadShifts");
        EXPECT_TRUE(h.HasTable("p139302")) << code;
        auto db = h.Db();
        // 31 day rows and the month-total row.
        EXPECT_EQ(db->Query("select prc_pcode from p139302 where prc_pcode=" + db->dialect().Quote(code)).Count(), 32u)
            << code;
    }
}

TEST_P(CalculationMode, TracingNeedsExactlyOne) {
    for (const char* sw : {"2", "true", " 1", "1 "}) {
        RunHome h(GetParam());
        RunResult r = h.Run({"1001", "1393", "3", sw});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_FALSE(std::filesystem::exists(h.dir.file("trace.txt"))) << "switch '" << sw << "'";
    }
}

TEST_P(CalculationMode, BadYearIsAUsageErrorAndNothingIsDone) {
    RunHome h(GetParam());
    const auto before = h.Db()->Query("select * from init where init_code=999").Count();
    RunResult r = h.Run({"1001", "13x3", "2", "1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("\"13x3\""), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(h.dir.file("trace.txt")));
    EXPECT_EQ(h.Db()->Query("select * from init where init_code=999").Count(), before);
    EXPECT_FALSE(h.HasTable("p139302"));
}

TEST_P(CalculationMode, MalformedSettingFailsNamingTableColumnAndValue) {
    RunHome h(GetParam());
    h.Db()->Execute("insert into init (init_title, init_value, init_code) values ('CalcFuture', 'yes', 0)");
    RunResult r = h.Run({"1001", "1393", "2"});
    EXPECT_EQ(r.status, 1);
    for (const char* part : {"init", "yes"}) EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    EXPECT_NE(ToLower(r.err).find("init_value"), std::string::npos) << r.err;
    EXPECT_FALSE(h.HasTable("p139302")) << "the run's writes are rolled back";
}

INSTANTIATE_TEST_SUITE_P(Backends, CalculationMode, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

TEST_P(CalculationMode, AQuoteInThePersonnelCodeStaysText) {
    RunHome h(GetParam());
    const std::string code = "a'); --";
    RunResult r = h.Run({code, "1393", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto db = h.Db();
    Rows rows = db->Query("select prc_pcode from p139302 where prc_pcode=" + db->dialect().Quote(code));
    EXPECT_EQ(rows.Count(), 32u);  // a person not found still gets the month, without shifts, and its total
    EXPECT_EQ(db->Query("select * from qvlog where qvl_pcode=" + db->dialect().Quote(code)).Count(), 1u);
    EXPECT_GT(db->Query("select * from persons").Count(), 0u);
}
