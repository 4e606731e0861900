// The program as a user runs it: info mode, the trace file, cs.txt and the
// exit statuses, against SQLite files in a temporary attcalc folder.
#include <gtest/gtest.h>

#include "db/Cp1256.h"
#include "db/Database.h"
#include "support/TestSupport.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

struct Home {
    TempDir dir;
    std::string db = dir.file("clock.db");

    Home() {
        auto d = OpenSqlite(db);
        d->Execute("create table init (Init_Title nvarchar(30), Init_Value nvarchar(50), Init_Code smallint)");
        d->Execute("insert into init values ('compiledate', 'old', 999)");
        d->Execute("insert into init values ('junk', 'x', 999)");
        d->Execute("insert into init values ('CalcFuture', '0', 0)");
    }
    RunResult Run(const std::vector<std::string>& args) {
        return RunAttcalc(args, {"ATTCALC_HOME=" + dir.path().string(), "ATTCALC_NOW=1393/02/10 08:30"});
    }
    std::string TraceBytes() { return ReadFile(dir.file("trace.txt")); }
    Rows Init999() { return OpenSqlite(db)->Query("select * from init where init_code=999 order by init_title"); }
};

std::string Cp(const std::string& utf8) { return Utf8ToCp1256(utf8); }

}  // namespace

TEST(InfoMode, NoArgumentAndZeroStoreTheBuildIdentityAndTraceThreeLines) {
    for (std::vector<std::string> args : {std::vector<std::string>{}, std::vector<std::string>{"0"}}) {
        Home h;
        RunResult r = h.Run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        Rows rows = h.Init999();
        ASSERT_EQ(rows.Count(), 2u);
        EXPECT_EQ(rows.Text(0, "init_title"), "Revision");
        EXPECT_EQ(rows.Text(0, "init_value"), "10.0");
        EXPECT_EQ(rows.Text(1, "init_title"), "compiledate");
        EXPECT_EQ(rows.Text(1, "init_value"), "1393/04/04");
        EXPECT_EQ(OpenSqlite(h.db)->Query("select * from init where init_code=0").Count(), 1u);
        EXPECT_EQ(h.TraceBytes(), "Provider=SQLite;Data Source=clock.db\r\n" + Cp("تاریخ کمپایل ") +
                                      "1393/04/04\r\n" + Cp("ویرایش ") + "10.0\r\n");
    }
}

TEST(InfoMode, TraceLabelsUseWindows1256WithBestFitYeh) {
    Home h;
    ASSERT_EQ(h.Run({}).status, 0);
    std::string t = h.TraceBytes();
    // "تاریخ" with the Persian yeh written as 0xED, then "کمپایل".
    EXPECT_NE(t.find("\xCA\xC7\xD1\xED\xCE \x98\xE3\x81\xC7\xED\xE1 1393/04/04\r\n"), std::string::npos);
    EXPECT_NE(t.find("\xE6\xED\xD1\xC7\xED\xD4 10.0\r\n"), std::string::npos);
}

TEST(ConnectionFile, LinesAreJoinedControlsDroppedAndCtrlZEndsIt) {
    Home h;
    WriteFile(h.dir.file("other.db"), "");
    {
        auto d = OpenSqlite(h.dir.file("other.db"));
        d->Execute("create table init (Init_Title nvarchar(30), Init_Value nvarchar(50), Init_Code smallint)");
    }
    WriteFile(h.dir.file("cs.txt"), "Provider=SQLite;\r\nData Source=\tother.db;\r\nPassword=secret;PWD=x\x1ajunk=1");
    RunResult r = h.Run({});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string first = h.TraceBytes().substr(0, h.TraceBytes().find("\r\n"));
    EXPECT_EQ(first, "Provider=SQLite;Data Source=other.db;Password=***;PWD=***");
    EXPECT_EQ(OpenSqlite(h.dir.file("other.db"))->Query("select * from init where init_code=999").Count(), 2u);
    EXPECT_EQ(h.Init999().Count(), 2u);  // clock.db untouched: still its own two old rows
    EXPECT_EQ(h.Init999().Text(0, "init_value"), "old");
}

TEST(ExitStatus, UsageErrorsAreRejectedBeforeAnyWork) {
    struct Case { std::vector<std::string> args; int status; };
    for (const Case& c : {Case{{"12", "1393", "13"}, 2}, Case{{"12", "1393", "0"}, 2},
                          Case{{"123456789", "1393", "1"}, 2}, Case{{"--report", "12"}, 2}}) {
        Home h;
        RunResult r = h.Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_NE(r.err.find("usage"), std::string::npos);
        EXPECT_EQ(h.Init999().Text(0, "init_value"), "old") << "nothing may be done";
    }
}

TEST(ExitStatus, FailuresExitOneWithOneLineNamingWhatFailed) {
    {
        Home h;
        WriteFile(h.dir.file("cs.txt"), "Provider=Jet.4;Data Source=x");
        RunResult r = h.Run({});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("Jet.4"), std::string::npos) << r.err;
    }
    {
        TempDir empty;  // a database without an init table
        OpenSqlite(empty.file("clock.db"));
        RunResult r = RunAttcalc({}, {"ATTCALC_HOME=" + empty.path().string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("init"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
}

TEST(CommandLine, HelpAndVersion) {
    RunResult h = RunAttcalc({"--help"}, {});
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("usage: attcalc <personnel-code> <year> <month>"), std::string::npos);
    RunResult v = RunAttcalc({"--version"}, {});
    EXPECT_EQ(v.status, 0);
    EXPECT_NE(v.out.find("1393/04/04"), std::string::npos);
    EXPECT_NE(v.out.find("10.0"), std::string::npos);
}

TEST(InfoMode, WorksOnPostgresThroughCsTxt) {
    if (PostgresConnectionString().empty()) GTEST_SKIP() << "no PostgreSQL server";
    std::string cs;
    auto db = FreshPostgres(&cs);
    db->Execute("create table init (Init_Title varchar(30), Init_Value varchar(50), Init_Code smallint)");
    db->Execute("insert into init values ('compiledate', 'old', 999)");
    TempDir home;
    WriteFile(home.file("cs.txt"), cs + "\r\n");
    RunResult r = RunAttcalc({"0"}, {"ATTCALC_HOME=" + home.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    Rows rows = db->Query("select * from init where init_code=999 order by init_title");
    ASSERT_EQ(rows.Count(), 2u);
    EXPECT_EQ(rows.Text(1, "INIT_VALUE"), "1393/04/04");
    std::string trace = ReadFile(home.file("trace.txt"));
    EXPECT_EQ(trace.substr(0, trace.find("\r\n")), MaskPasswords(cs));
}
