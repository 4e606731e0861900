// The program under strain, run as a user runs it: many runs at once on one
// database, runs killed at random moments, a database held by another
// writer, and the refusal of every malformed input or configuration.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <thread>

#include "db/Dialect.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

// A run of the built program that goes on while the test does other things.
class Child {
public:
    Child(const std::vector<std::string>& args, const std::vector<std::string>& env) {
        errPath_ = dir_.file("err");
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            FILE* o = std::freopen("/dev/null", "w", stdout);
            FILE* e = std::freopen(errPath_.c_str(), "w", stderr);
            (void)o;
            (void)e;
            for (const auto& kv : env) putenv(const_cast<char*>(kv.c_str()));
            std::string bin = ATTCALC_BINARY;
            std::vector<std::string> copy = args;
            std::vector<char*> argv{bin.data()};
            for (auto& a : copy) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(bin.c_str(), argv.data());
            _exit(127);
        }
    }
    ~Child() {
        if (pid_ > 0 && !done_) {
            kill(pid_, SIGKILL);
            Wait();
        }
    }
    // The exit status, or 128 + the signal that ended it.
    int Wait() {
        if (!done_) {
            int st = 0;
            waitpid(pid_, &st, 0);
            status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            done_ = true;
        }
        return status_;
    }
    void Kill() { kill(pid_, SIGKILL); }
    bool Running() {
        if (done_) return false;
        int st = 0;
        if (waitpid(pid_, &st, WNOHANG) == 0) return true;
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        done_ = true;
        return false;
    }
    std::string Err() const { return ReadFile(errPath_); }

private:
    TempDir dir_;
    std::string errPath_;
    pid_t pid_ = -1;
    bool done_ = false;
    int status_ = -1;
};

const std::vector<std::string> kDemoCodes = {"1001", "1002", "1003", "1004"};

std::vector<std::string> Env(RunHome& h, const std::string& now = "1393/03/10 08:30") {
    return {"ATTCALC_HOME=" + h.dir.path().string(), "ATTCALC_NOW=" + now};
}

std::int64_t Count(Database& db, const std::string& sql) {
    Rows r = db.Query(sql);
    return r.Int(0, r.Columns()[0]);
}

// Every stored row of a person's month, each as one text of all its columns.
std::vector<std::string> MonthRows(Database& db, const std::string& code) {
    Rows r = db.Query("select * from p139302 where prc_pcode=" + db.dialect().Quote(code) + " order by prc_date");
    std::vector<std::string> out;
    for (std::size_t i = 0; i < r.Count(); ++i) {
        std::string row;
        for (const std::string& c : r.Columns()) row += r.Text(i, c) + "|";
        out.push_back(row);
    }
    return out;
}

class Reliability : public ::testing::TestWithParam<Backend> {};

// Eight runs started together, two for each demo person, all on a month whose
// result table does not exist yet: every run waits its turn and completes.
TEST_P(Reliability, EightConcurrentRunsAllComplete) {
    SKIP_WITHOUT_BACKEND(GetParam());
    RunHome h(GetParam());
    std::vector<std::unique_ptr<Child>> runs;
    for (int i = 0; i < 8; ++i)
        runs.push_back(std::make_unique<Child>(std::vector<std::string>{kDemoCodes[i % 4], "1393", "2"}, Env(h)));
    for (auto& r : runs) {
        EXPECT_EQ(r->Wait(), 0) << r->Err();
        EXPECT_EQ(r->Err(), "");
    }
    auto db = h.Db();
    EXPECT_EQ(Count(*db, "select count(*) from qvlog"), 8);
    EXPECT_EQ(Count(*db, "select count(*) from init where init_code=999"), 2);
    EXPECT_EQ(Count(*db, "select count(*) from (select prc_pcode, prc_date from p139302"
                         " group by prc_pcode, prc_date having count(*) > 1) d"),
              0);
    for (const std::string& code : kDemoCodes)
        EXPECT_GE(Count(*db, "select count(*) from p139302 where prc_pcode='" + code + "'"), 17) << code;
}

// A run killed at random moments: the person's month holds the rows of the
// run before or those of the run that was killed, never a mix, and the log
// has a row for the killed run exactly when its rows are there.
TEST_P(Reliability, KilledRunLeavesTheOldRowsOrTheNew) {
    SKIP_WITHOUT_BACKEND(GetParam());
    RunHome h(GetParam());
    auto db = h.Db();
    // The two results the month can have: with the person's punches, and
    // with them hidden under another code.
    auto punches = [&](bool shown) {
        db->Execute(shown ? "update c139302 set clock_barcode='1001' where clock_barcode='X1001'"
                          : "update c139302 set clock_barcode='X1001' where clock_barcode='1001'");
    };
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunAttcalc({"1001", "1393", "2"}, Env(h)).status, 0);
    const auto runTime = std::chrono::steady_clock::now() - start;
    const std::vector<std::string> withPunches = MonthRows(*db, "1001");
    punches(false);
    ASSERT_EQ(RunAttcalc({"1001", "1393", "2"}, Env(h)).status, 0);
    const std::vector<std::string> without = MonthRows(*db, "1001");
    ASSERT_NE(withPunches, without);
    ASSERT_GE(withPunches.size(), 31u);

    const unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(runTime).count();
    std::uniform_int_distribution<long> delay(0, std::max<long>(1000, static_cast<long>(span * 5 / 4)));
    int killedMidway = 0;
    for (int i = 0; i < 16; ++i) {
        const std::vector<std::string> before = MonthRows(*db, "1001");
        const bool hadPunches = before == withPunches;
        ASSERT_TRUE(hadPunches || before == without) << "seed " << seed << ", run " << i;
        punches(!hadPunches);
        const std::int64_t logsBefore = Count(*db, "select count(*) from qvlog");

        Child run({"1001", "1393", "2"}, Env(h));
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        run.Kill();
        const int status = run.Wait();

        const std::vector<std::string> after = MonthRows(*db, "1001");
        const std::int64_t logs = Count(*db, "select count(*) from qvlog") - logsBefore;
        if (after == before) {
            EXPECT_EQ(logs, 0) << "seed " << seed << ", run " << i;
            ++killedMidway;
            punches(hadPunches);  // the month goes on as it was
        } else {
            EXPECT_EQ(after, hadPunches ? without : withPunches) << "seed " << seed << ", run " << i;
            EXPECT_EQ(logs, 1) << "seed " << seed << ", run " << i;
        }
        EXPECT_TRUE(status == 0 || status == 128 + SIGKILL) << status;
    }
    // The moments are spread over the run: some kills come before its end.
    EXPECT_GT(killedMidway, 0) << "seed " << seed;
}

// Another connection holds the database for two seconds: the run waits for
// it and then completes.
TEST_P(Reliability, RunWaitsForAnotherWriter) {
    SKIP_WITHOUT_BACKEND(GetParam());
    RunHome h(GetParam());
    auto other = h.Db();
    other->Begin();
    if (GetParam() == Backend::Sqlite) other->Execute("delete from qvlog");  // holds the write lock from here
    else other->Execute("lock table init in access exclusive mode");
    const auto start = std::chrono::steady_clock::now();
    Child run({"1001", "1393", "2"}, Env(h));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_TRUE(run.Running()) << run.Err();
    other->Commit();
    EXPECT_EQ(run.Wait(), 0) << run.Err();
    EXPECT_EQ(run.Err(), "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(Count(*h.Db(), "select count(*) from qvlog"), 1);
    EXPECT_GE(MonthRows(*h.Db(), "1001").size(), 31u);
}

INSTANTIATE_TEST_SUITE_P(Backends, Reliability, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

// An attcalc folder with a small clock.db: an init table holding an old build
// identity, so that any work a refused run did would show.
struct SmallHome {
    TempDir dir;
    SmallHome() {
        auto d = OpenSqlite(dir.file("clock.db"));
        d->Execute("create table init (Init_Title nvarchar(30), Init_Value nvarchar(50), Init_Code smallint)");
        d->Execute("insert into init values ('compiledate', 'old', 999)");
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Init999() { return OpenSqlite(dir.file("clock.db"))->Query("select * from init").Text(0, "init_value"); }
};

std::size_t Lines(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

// Arguments outside the contract: exit 2, one line that quotes what was
// wrong, and nothing done.
TEST(Refusal, CommandLineOutsideTheContract) {
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::string longYear(5000, '7');
    const std::vector<Case> cases = {
        {{"1001", "0", "2"}, "the year \"0\" must be a number from 1 to 9999"},
        {{"1001", "-1", "2"}, "the year \"-1\" must be a number from 1 to 9999"},
        {{"1001", "10000", "2"}, "the year \"10000\" must be a number from 1 to 9999"},
        {{"1001", "next", "2"}, "the year \"next\" must be a number from 1 to 9999"},
        {{"1001", "", "2"}, "the year \"\" must be a number from 1 to 9999"},
        {{"1001", longYear, "2"}, "the year \"" + std::string(40, '7') + "\u2026\" must be"},
        {{"1001", "1393", "x"}, "the month \"x\" must be a number from 1 to 12"},
        {{"1001", "1393", "13"}, "the month \"13\" must be a number from 1 to 12"},
        {{"--all", "1393", "13"}, "the month \"13\" must be a number from 1 to 12"},
        {{"--all", "0", "2"}, "the year \"0\" must be a number from 1 to 9999"},
        {{"--all", "1393", "2", "--jobs", "0"}, "the number of jobs \"0\" is not a positive number"},
        {{"--all", "1393", "2", "--bogus"}, "unknown option \"--bogus\""},
        {{"--codes=1,2", "1393", "2"}, "the option \"--codes=1,2\" belongs to a batch"},
        {{"--jobs", "4"}, "the option \"--jobs\" belongs to a batch"},
        {{"--shard", "1/2"}, "the option \"--shard\" belongs to a batch"},
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"-x", "1393", "2"}, "unknown option \"-x\""},
        {{"1001", "1393", "2", "--trace"}, "unknown option \"--trace\""},
        {{"0", "--all"}, "the option \"--all\" belongs to a batch"},
        {{"--report", "--all", "1393", "2"}, "the option \"--all\" belongs to a batch"},
        {{"--report", "1001", "0", "2"}, "the year \"0\" must be"},
        {{"\u0627\u062D\u0645\u062F\u06CC\u0627\u062D\u0645\u062F", "1393", "2"},
         "the personnel code has more than 8 characters"},
        {{"ab\xff", "1393", "2"}, "the personnel code \"ab?\" is not UTF-8 text"},
    };
    for (const Case& c : cases) {
        SmallHome h;
        RunResult r = RunAttcalc(c.args, {"ATTCALC_HOME=" + h.dir.path().string(), "ATTCALC_NOW=1393/02/10 08:30"});
        SCOPED_TRACE(c.says);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("attcalc: " + c.says, 0), 0u) << r.err;
        EXPECT_NE(r.err.find("usage: attcalc"), std::string::npos) << r.err;
        EXPECT_EQ(Lines(r.err), 1u) << r.err;
        EXPECT_LT(r.err.size(), 200u);
        EXPECT_EQ(h.Files(), std::vector<std::string>{"clock.db"});
        EXPECT_EQ(h.Init999(), "old");
    }
}

// Configuration that cannot be right: exit 1, one line naming it, nothing
// created or changed.
TEST(Refusal, BrokenConfiguration) {
    struct Case {
        std::string name;
        std::string csTxt;             // written when not empty
        std::vector<std::string> env;  // replaces the usual ATTCALC_HOME / ATTCALC_NOW
        std::vector<std::string> says;
        bool removeDb = false;
    };
    const std::string secret = "tulip" + std::string(20, 'z');
    const std::vector<Case> cases = {
        {"missing data source", "Provider=SQLite;Data Source=other.db", {},
         {"the SQLite database file \"", "/other.db\" does not exist"}},
        {"missing default database", "", {}, {"no database: ", "/clock.db does not exist", "tools/demo", "cs.txt"}, true},
        {"empty home", "", {"ATTCALC_HOME="}, {"ATTCALC_HOME is set but empty"}},
        {"missing home", "", {"ATTCALC_HOME=/nonexistent/attcalc"},
         {"ATTCALC_HOME \"/nonexistent/attcalc\" is not an existing folder"}},
        {"clock with trailing text", "", {"ATTCALC_NOW=1393/02/10 08:30 tomorrow"},
         {"ATTCALC_NOW \"1393/02/10 08:30 tomorrow\" is not a Jalali date and time"}},
        {"clock without a real date", "", {"ATTCALC_NOW=1393/13/40 08:30"}, {"ATTCALC_NOW \"1393/13/40 08:30\""}},
        {"clock without a time", "", {"ATTCALC_NOW=1393/02/10"}, {"ATTCALC_NOW \"1393/02/10\""}},
        {"long connection string", "Provider=MSDASQL;Pwd=" + secret + ";Driver=" + std::string(9000, 'd'), {},
         {"the ODBC connection string is longer than 1000 characters: \"Pwd=***;Driver={ddd", "\u2026"}},
        {"huge cs.txt", "Provider=SQLite;Data Source=clock.db;" + std::string(70 * 1024, 'x'), {},
         {"cs.txt is larger than 64 KiB"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SmallHome h;
        if (!c.csTxt.empty()) WriteFile(h.dir.file("cs.txt"), c.csTxt);
        if (c.removeDb) std::filesystem::remove(h.dir.file("clock.db"));
        const std::vector<std::string> files = h.Files();
        std::vector<std::string> env = {"ATTCALC_HOME=" + h.dir.path().string(), "ATTCALC_NOW=1393/02/10 08:30"};
        for (const std::string& e : c.env) env[e.rfind("ATTCALC_HOME", 0) == 0 ? 0 : 1] = e;
        for (const std::vector<std::string>& args : {std::vector<std::string>{"1001", "1393", "2", "1"},
                                                     std::vector<std::string>{}}) {
            RunResult r = RunAttcalc(args, env);
            EXPECT_EQ(r.status, 1) << r.err;
            EXPECT_EQ(r.err.rfind("attcalc: ", 0), 0u) << r.err;
            for (const std::string& part : c.says) EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
            EXPECT_EQ(Lines(r.err), 1u) << r.err;
            EXPECT_LT(r.err.size(), 700u) << r.err;
            EXPECT_EQ(r.err.find("tulip"), std::string::npos) << r.err;
            EXPECT_EQ(h.Files(), files);
            if (!c.removeDb) EXPECT_EQ(h.Init999(), "old");
        }
    }
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/attcalc"));
}

// A personnel code of five Persian letters is five characters, not ten bytes.
TEST(Refusal, PersonnelCodeCountsCharacters) {
    RunHome h(Backend::Sqlite);
    const std::string code = "\u0627\u062D\u0645\u062F\u06CC";
    RunResult r = h.Run({code, "1393", "2"}, "1393/03/10 08:30");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GE(MonthRows(*h.Db(), code).size(), 31u);
    EXPECT_EQ(Count(*h.Db(), "select count(*) from p139302 where prc_pcode <> '" + code + "'"), 0);
    EXPECT_EQ(Count(*h.Db(), "select count(*) from qvlog where qvl_pcode = '" + code + "'"), 1);
}

// An employment date that is no day: refused naming table, column and value;
// nothing of the run is stored.
TEST_P(Reliability, EmploymentDateThatIsNoDayIsRefused) {
    SKIP_WITHOUT_BACKEND(GetParam());
    struct Case { const char* column; const char* value; };
    for (const Case& c : {Case{"p_jobdate", "9999/99/99"}, Case{"p_jobdate", "1393/00/10"},
                          Case{"p_endjobdate", "1393/12/30"}, Case{"p_endjobdate", "1393/07/31"},
                          Case{"p_jobdate", "0000/01/01"}}) {
        SCOPED_TRACE(std::string(c.column) + " " + c.value);
        RunHome h(GetParam());
        h.Db()->Execute(std::string("update persons set ") + c.column + "='" + c.value + "' where p_barcode='1001'");
        RunResult r = h.Run({"1001", "1393", "2"}, "1393/03/10 08:30");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, std::string("attcalc: persons: ") + c.column + " '" + c.value +
                             "' of the person '1001' is not a date\n");
        EXPECT_FALSE(h.HasTable("p139302"));
        EXPECT_EQ(Count(*h.Db(), "select count(*) from qvlog"), 0);
    }
}

}  // namespace
