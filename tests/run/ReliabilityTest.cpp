// The program under strain, run as a user runs it: many runs at once on one
// database, runs killed at random moments, a database held by another
// writer, and the refusal of every malformed input or configuration.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::int64_t Count(Database& db, const std::string& sql) { return db.Query(sql).Int(0, db.Query(sql).Columns()[0]); }

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

INSTANTIATE_TEST_SUITE_P(Backends, Reliability, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

}  // namespace
