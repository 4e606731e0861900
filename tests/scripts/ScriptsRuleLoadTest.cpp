// Script texts stored in the rules table, read by the rule loader on SQLite
// and on PostgreSQL, and run as month scripts on a month total.
#include <gtest/gtest.h>

#include "config/ConfigTestDb.h"
#include "config/RuleLoad.h"
#include "scripts/ReportItems.h"
#include "scripts/Scripts.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

class ScriptsRuleLoad : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "postgres") {
            c = ConfigDb::Postgres("scripts");
            if (!c) GTEST_SKIP() << "no PostgreSQL server (ATTCALC_TEST_PG is unset)";
        } else {
            c = ConfigDb::Sqlite();
        }
        c->Create("rules");
        c->Create("rulesetc");
        c->ctx.PrepareRuleScripts = &PrepareRuleScripts;
    }
    void Rule(int code, std::vector<SqlField> scripts) {
        scripts.insert(scripts.begin(), SqlField{"Rule_Code", DbValue::Int(code)});
        c->db->Insert("rules", scripts);
        c->db->Insert("rulesetc", {{"Rule_Code", DbValue::Int(code)}});
    }
    std::unique_ptr<ConfigDb> c;
};

}  // namespace

// Day and month scripts of a stored rule; the month scripts change the month
// total (sums of the day variables), whatever their filters.
TEST_P(ScriptsRuleLoad, StoredScriptsRunOnTheMonthTotal) {
    Rule(1, {{"Rule_Script2", DbValue::Text("1;1;0;0;2;3010;0;0;0;60;0;0;0;0;0;9310;0;0;1;0;")},
             {"Rule_Script4", DbValue::Text("1;2;2;0;2;9310;1;0;0;10;0;0;0;0;0;9320;9310;3;0,5;0;")},
             {"Rule_Script5", DbValue::Text("1;2;0;0;7;0;0;0;0;0;0;0;0;0;0;9010;5130;0;0;0;2010;0;0;60;2;")}});
    Rule(2, {{"Rule_Script1", DbValue::Text("")}});
    TRunContext& ctx = c->ctx;
    RuleLoad(ctx, 1);
    ASSERT_EQ(ctx.scripts.Count, 3);
    EXPECT_EQ(ctx.scripts.Entries[0].Column, 2);
    EXPECT_EQ(ctx.scripts.Entries[1].Scope, 2);
    EXPECT_EQ(ctx.scripts.Entries[2].Column, 5);

    ctx.balances.EntitledLeaveBalance = {3, 200};
    TDayRecord U;
    U.Prc_date = "1393/02/00";
    U.Prc_scrdays[0] = 12;
    U.Prc_NormWork = 10000;
    RunScripts(ctx, U, 2);
    EXPECT_EQ(U.Prc_scrdays[1], 6) << "12 days x 0.5";
    EXPECT_EQ(U.Prc_scrtimes[0], 200) << "the entitled leave balance's minutes";
    EXPECT_EQ(U.Prc_NormWork, 9940);
    EXPECT_EQ(U.Prc_scrdays[0], 12) << "the day script does not run on the month";

    // Loading the same code again keeps the table; another code replaces it.
    RuleLoad(ctx, 1);
    EXPECT_EQ(ctx.scripts.Count, 3);
    RuleLoad(ctx, 2);
    EXPECT_EQ(ctx.scripts.Count, 0);
    RuleLoad(ctx, 1);
    EXPECT_EQ(ctx.scripts.Count, 3);
    RuleLoad(ctx, 77);  // no row: the defaults carry no scripts
    EXPECT_EQ(ctx.scripts.Count, 0);
}

// A stored text that cannot be read fails the load with the rule code, the
// script number and the field; the rule and the scripts loaded before stay.
TEST_P(ScriptsRuleLoad, MalformedStoredTextFailsTheLoad) {
    Rule(1, {{"Rule_Script1", DbValue::Text("1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;0;0;5;0;")}});
    Rule(3, {{"Rule_Script1", DbValue::Text("1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;")},
             {"Rule_Script7", DbValue::Text("1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;0;0;5;0")}});
    TRunContext& ctx = c->ctx;
    RuleLoad(ctx, 1);
    try {
        RuleLoad(ctx, 3);
        FAIL() << "rule 3 was loaded";
    } catch (const ScriptConversionError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "rule 3, script 7 (Rule_Script7): cannot be read: field 20 (action 1 kind): \"0\" is not followed "
                  "by \";\"");
    }
    EXPECT_EQ(ctx.rule.rule_code, 1);
    EXPECT_EQ(*ctx.RuleRequestedCode, 1);
    ASSERT_EQ(ctx.scripts.Count, 1);
    EXPECT_EQ(ctx.scripts.Entries[0].Actions[0].Operand.Constant, 5.0);
    // Asked again, it fails again rather than passing for loaded.
    EXPECT_THROW(RuleLoad(ctx, 3), ScriptConversionError);
}

INSTANTIATE_TEST_SUITE_P(Backends, ScriptsRuleLoad, ::testing::Values("sqlite", "postgres"),
                         [](const auto& i) { return i.param; });
