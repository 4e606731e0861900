// Batch mode against single runs: the same company's month calculated by one
// process per person (in personnel-code order) and by one batch process with
// one and with several jobs must leave the same stored tables; a person
// whose calculation fails is reported and stores nothing, the others are
// stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "db/Dialect.h"
#include "run/Batch.h"
#include "run/RunFixture.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

const char* kNow = "1405/02/15 09:00";

// A company: the demo's persons, and one whose employment date is broken, so
// that the calculation of that person fails.
std::unique_ptr<RunHome> Company(Backend b) {
    auto h = std::make_unique<RunHome>(b, 1405, 1);
    auto db = h->Db();
    db->Insert("persons", {{"P_BarCode", DbValue::Text("0999")},
                           {"P_Proxi", DbValue::Text("0999")},
                           {"P_Param", DbValue::Int(0)},
                           {"P_ShiftGroup", DbValue::Int(1)},
                           {"P_RuleGroup", DbValue::Int(1)},
                           {"P_IsValid", DbValue::Int(1)},
                           {"P_Name", DbValue::Text("Broken")},
                           {"P_Family", DbValue::Text("Employment")},
                           {"P_JobDate", DbValue::Text("1405/xx/01")}});
    return h;
}

std::vector<std::string> PersonCodes(RunHome& h) {
    auto db = h.Db();
    Rows r = db->Query("select P_BarCode from " + db->dialect().Table("persons"));
    std::vector<std::string> codes;
    for (std::size_t i = 0; i < r.Count(); ++i) codes.push_back(r.Text(i, "P_BarCode"));
    std::sort(codes.begin(), codes.end());
    return codes;
}

// Every table's rows as sorted lines of text, the row order of the log
// aside (its rows are compared as a set of lines).
std::map<std::string, std::vector<std::string>> Dump(RunHome& h) {
    auto db = h.Db();
    std::map<std::string, std::vector<std::string>> out;
    for (std::string t : db->ListTables()) {
        t = ToLower(t);
        Rows r = db->Query("select * from " + db->dialect().Table(t));
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < r.Count(); ++i) {
            std::string line;
            for (const std::string& c : r.Columns()) line += r.Text(i, c) + "|";
            lines.push_back(line);
        }
        std::sort(lines.begin(), lines.end());
        out[t] = lines;
    }
    return out;
}

class Batch : public ::testing::TestWithParam<Backend> {};

TEST_P(Batch, StoresWhatSingleRunsStoreAndReportsTheFailingPerson) {
    SKIP_WITHOUT_BACKEND(GetParam());

    auto single = Company(GetParam());
    const std::vector<std::string> codes = PersonCodes(*single);
    ASSERT_GE(codes.size(), 4u);
    for (const std::string& c : codes) {
        RunResult r = single->Run({c, "1405", "1"}, kNow);
        EXPECT_EQ(r.status, c == "0999" ? 1 : 0) << c << ": " << r.err;
    }
    const auto expected = Dump(*single);
    ASSERT_FALSE(expected.at("p140501").empty());

    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(std::string("jobs ") + jobs);
        auto batch = Company(GetParam());
        RunResult r = batch->Run({"--all", "1405", "1", "--jobs", jobs}, kNow);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("attcalc: 0999: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(std::to_string(codes.size()) + " persons, " + std::to_string(codes.size() - 1) +
                             " stored, 1 failed"),
                  std::string::npos)
            << r.err;
        const auto got = Dump(*batch);
        ASSERT_EQ(got.size(), expected.size());
        for (const auto& [table, rows] : expected) {
            ASSERT_TRUE(got.count(table)) << table;
            EXPECT_EQ(got.at(table), rows) << "table " << table;
        }
    }
}

TEST_P(Batch, CodesFromAFileAndShardsTakeTheirShare) {
    SKIP_WITHOUT_BACKEND(GetParam());
    auto h = Company(GetParam());
    const std::vector<std::string> codes = PersonCodes(*h);

    // Two of the persons (not the broken one, which sorts first), one of them
    // twice and one with a line end of CR LF.
    ASSERT_EQ(codes[0], "0999");
    WriteFile(h->dir.file("codes.txt"), codes[2] + "\r\n" + codes[1] + "\n\n" + codes[2] + "\n");
    RunResult r = h->Run({"--codes", h->dir.file("codes.txt"), "1405", "1"}, kNow);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("2 persons, 2 stored, 0 failed"), std::string::npos) << r.err;
    auto db = h->Db();
    Rows p = db->Query("select distinct Prc_PCode from p140501");
    std::set<std::string> stored;
    for (std::size_t i = 0; i < p.Count(); ++i) stored.insert(p.Text(i, "Prc_PCode"));
    EXPECT_EQ(stored, (std::set<std::string>{codes[1], codes[2]}));

    // Shard 2 of 2 takes the second, fourth, ... person in code order.
    std::vector<std::string> want;
    for (std::size_t i = 1; i < codes.size(); i += 2) want.push_back(codes[i]);
    EXPECT_EQ(BatchPersons(codes, 2, 2), want);
}

INSTANTIATE_TEST_SUITE_P(Backends, Batch, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

TEST(BatchArgs, RefusesACommandLineOutsideTheContract) {
    const std::vector<std::vector<std::string>> bad = {
        {"--all", "1405"},
        {"--all", "1405", "13"},
        {"--all", "0", "1"},
        {"--all", "1405", "1", "--jobs", "0"},
        {"--all", "1405", "1", "--shard", "3/2"},
        {"--all", "1405", "1", "--shard", "1"},
        {"--all", "1405", "1", "--frobnicate"},
        {"--codes", "-", "1405", "1", "--shard", "1/2"},
        {"--codes"},
    };
    for (const auto& a : bad) EXPECT_THROW(ParseBatchArgs(a), std::invalid_argument) << a.back();

    TBatchOptions o = ParseBatchArgs({"--all", "1405", "7", "--jobs", "4", "--shard", "2/3"});
    EXPECT_TRUE(o.All);
    EXPECT_EQ(o.Jobs, 4);
    EXPECT_EQ(o.ShardK, 2);
    EXPECT_EQ(o.ShardN, 3);
    RunResult r = RunAttcalc({"--all", "1405", "13"}, {});
    EXPECT_EQ(r.status, 2);
}

}  // namespace
