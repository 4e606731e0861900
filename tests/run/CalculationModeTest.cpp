// Calculation mode from the command line: the configuration steps, the trace
// labels, the quiet stop for a month that has not begun, the month table and
// failures after the build identity.
#include <gtest/gtest.h>

#include "db/Catalogue.h"
#include "db/Cp1256.h"
#include "demodb/DemoData.h"
#include "support/TestSupport.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

struct DemoHome {
    TempDir dir;
    std::string dbPath = dir.file("clock.db");

    DemoHome() {
        auto db = OpenSqlite(dbPath);
        TRunContext ctx;
        ctx.db = db.get();
        db->Begin();
        demo::SeedDemo(ctx, 1393, 2);
        db->Commit();
    }
    RunResult Run(const std::vector<std::string>& args, const std::string& now = "1393/02/10 08:30") {
        return RunAttcalc(args, {"ATTCALC_HOME=" + dir.path().string(), "ATTCALC_NOW=" + now});
    }
    std::unique_ptr<Database> Db() { return OpenSqlite(dbPath); }
    bool HasTable(const std::string& t) { return Db()->TableExists(t); }
    std::vector<std::string> TraceLines() {
        std::string t = ReadFile(dir.file("trace.txt"));
        std::vector<std::string> lines;
        for (std::size_t p = 0; p < t.size();) {
            std::size_t e = t.find("\r\n", p);
            if (e == std::string::npos) e = t.size();
            lines.push_back(Cp1256ToUtf8(t.substr(p, e - p)));
            p = e + 2;
        }
        return lines;
    }
};

std::vector<std::string> Tail(const std::vector<std::string>& v, std::size_t from) {
    return from < v.size() ? std::vector<std::string>(v.begin() + from, v.end()) : std::vector<std::string>{};
}

}  // namespace

TEST(CalculationMode, MonthNotBegunStopsQuietlyAfterTheShifts) {
    DemoHome h;
    RunResult r = h.Run({"1001", "1393", "3", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Tail(h.TraceLines(), 3),
              (std::vector<std::string>{"SaveIniFileDBqv", "loadrule", "loadinifiledb", "LoadShifts"}));
    EXPECT_FALSE(h.HasTable("p139303"));
    EXPECT_EQ(h.Db()->Query("select * from qvlog").Count(), 0u);
}

TEST(CalculationMode, CodeZeroZeroIsAPersonAndUnknownPersonsRunWithGroupZero) {
    for (const char* code : {"00", "nobody"}) {
        DemoHome h;
        RunResult r = h.Run({code, "1393", "2", "1"});
        ASSERT_EQ(r.status, 0) << code << ": " << r.err;
        std::vector<std::string> lines = h.TraceLines();
        ASSERT_GE(lines.size(), 7u) << code;
        EXPECT_EQ(lines[3], "SaveIniFileDBqv");
        EXPECT_EQ(lines[6], "LoadShifts");
        EXPECT_TRUE(h.HasTable("p139302")) << code;
    }
}

TEST(CalculationMode, TracingNeedsExactlyOne) {
    for (const char* sw : {"2", "true", " 1", "1 "}) {
        DemoHome h;
        RunResult r = h.Run({"1001", "1393", "3", sw});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_FALSE(std::filesystem::exists(h.dir.file("trace.txt"))) << "switch '" << sw << "'";
    }
}

TEST(CalculationMode, BadYearFailsAfterTheConfigurationWithTheBuildIdentityStored) {
    DemoHome h;
    RunResult r = h.Run({"1001", "13x3", "2", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("13x3"), std::string::npos) << r.err;
    EXPECT_EQ(h.TraceLines().back(), "LoadShifts");
    EXPECT_EQ(h.Db()->Query("select * from init where init_code=999").Count(), 2u);
    EXPECT_FALSE(h.HasTable("p139302"));
}

TEST(CalculationMode, MalformedSettingFailsNamingTableColumnAndValue) {
    DemoHome h;
    h.Db()->Execute("insert into init (init_title, init_value, init_code) values ('CalcFuture', 'yes', 0)");
    RunResult r = h.Run({"1001", "1393", "2"});
    EXPECT_EQ(r.status, 1);
    for (const char* part : {"init", "yes"}) EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    EXPECT_NE(ToLower(r.err).find("init_value"), std::string::npos) << r.err;
    EXPECT_FALSE(h.HasTable("p139302")) << "the run's writes are rolled back";
}
