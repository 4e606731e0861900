#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "config/Rule.h"
#include "config/RuleLoad.h"
#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "run/Context.h"
#include "support/TestSupport.h"

using namespace attcalc;

namespace {

// The value a field holds, as a number (flags 0/1) or text, so that tests can
// walk the column lists without naming every field.
struct FieldValue {
    bool isText = false;
    std::int64_t n = 0;
    std::string s;
};

FieldValue Get(const rule_type& r, const TRuleColumn& c, int month = 0) {
    FieldValue v;
    std::visit(
        [&](auto f) {
            using F = decltype(f);
            if constexpr (std::is_same_v<F, std::int32_t rule_type::*>) v.n = r.*f;
            else if constexpr (std::is_same_v<F, bool rule_type::*>) v.n = (r.*f) ? 1 : 0;
            else if constexpr (std::is_same_v<F, std::string rule_type::*>) { v.isText = true; v.s = r.*f; }
            else if constexpr (std::is_same_v<F, TRuleDate10>) { v.isText = true; v.s = r.*(f.Field); }
            else v.n = (r.*f).at(month - 1);
        },
        c.Field);
    return v;
}

bool IsMonthTable(const TRuleColumn& c) {
    return std::holds_alternative<std::array<std::int32_t, 12> rule_type::*>(c.Field);
}
bool IsBool(const TRuleColumn& c) { return std::holds_alternative<bool rule_type::*>(c.Field); }
bool IsText(const TRuleColumn& c) {
    return std::holds_alternative<std::string rule_type::*>(c.Field) || std::holds_alternative<TRuleDate10>(c.Field);
}

// Every (column name, month) of a column list; month 0 for plain columns.
std::vector<std::pair<std::string, int>> ColumnNames(std::span<const TRuleColumn> cols) {
    std::vector<std::pair<std::string, int>> out;
    for (const auto& c : cols) {
        if (IsMonthTable(c))
            for (int m = 1; m <= 12; ++m) out.emplace_back(std::string(c.Column) + std::to_string(m), m);
        else
            out.emplace_back(c.Column, 0);
    }
    return out;
}

// The built-in defaults of a rule code without a rules row; every field not
// listed here defaults to 0, false or empty.
const std::map<std::string, std::int64_t>& NonZeroDefaults() {
    static const std::map<std::string, std::int64_t> m = {
        {"Rule_egto", 1439},        {"Rule_gslimit", 480},      {"Rule_gtajillimit", 480}, {"Rule_gzhd", 480},
        {"Rule_gkd", 480},          {"Rule_grzhd", 480},        {"Rule_mahr", 480},        {"Rule_mak1", 480},
        {"Rule_marhr", 480},        {"Rule_madfixh", 480},      {"Rule_mohr", 480},        {"Rule_mohd", 480},
        {"Rule_mok1", 480},         {"Rule_morhr", 480},        {"Rule_kard", 480},        {"Rule_KarPerday", 480},
        {"Rule_night", 480},        {"Rule_gbd", 240},          {"Rule_mab1", 240},        {"Rule_mob1", 240},
        {"Rule_mamax", 999},        {"Rule_moey", 30},          {"Rule_moeal", 9},         {"Rule_mosy", 3},
        {"Rule_mosm", 3},           {"Rule_mad", 1},            {"Rule_karpercent", 100},  {"Rule_karsaat", 120},
        {"Rule_roundtype", 3},      {"Rule_roundtypeCalc", 3},  {"Rule_roundtypemonth", 3}, {"Rule_startday", 360},
        {"Rule_startnight", 1080},  {"Rule_spRule", -1},        {"Rule_ema", 1},           {"Rule_emo", 1},
        {"Rule_gkbh", 1},           {"Rule_gkbm", 1},           {"Rule_gd", 1},            {"Rule_mage", 1},
        {"Rule_mams1", 1},          {"Rule_masg", 1},           {"Rule_masn", 1},          {"Rule_manowbat", 1},
        {"Rule_manokez", 1},        {"Rule_moTalab", 1},        {"Rule_mokar", 1},         {"Rule_mokarna", 1},
        {"Rule_moms1", 1},          {"Rule_moh", 1},            {"Rule_karb1", 1},         {"Rule_kark1", 1},
        {"Rule_In1_Out2_28", 1},    {"Rule_fridaybashift", 1},  {"Rule_fridaybishift", 1},
    };
    return m;
}

// Counts the calls of the script hook.
int g_scriptHookCalls = 0;
std::string g_scriptSeen;
void CountingScriptHook(TRunContext& ctx) {
    ++g_scriptHookCalls;
    g_scriptSeen = ctx.rule.Rule_Script[2];
}

// A database with the rules and rulesetc tables of the catalogue: SQLite in
// memory, or a schema of its own on the PostgreSQL server of the test run.
class RuleFixture : public ::testing::Test {
protected:
    void OpenBackend(const std::string& backend) {
        g_scriptHookCalls = 0;
        g_scriptSeen.clear();
        if (backend == "postgres") {
            std::string cs = attcalc::test::PostgresConnectionString();
            if (cs.empty()) GTEST_SKIP() << "no PostgreSQL server for this test run";
            db = OpenOdbc(cs, false);
            schema = "rule_load_test_" + std::to_string(getpid());
            db->Execute("drop schema if exists " + schema + " cascade");
            db->Execute("create schema " + schema);
            db->Execute("set search_path to " + schema);
        } else {
            db = OpenSqlite(":memory:");
        }
        ctx.db = db.get();
        ASSERT_TRUE(CreateCatalogTable(ctx, "rules"));
        ASSERT_TRUE(CreateCatalogTable(ctx, "rulesetc"));
    }

    void TearDown() override {
        if (db && !schema.empty()) {
            std::string err;
            db->TryExecute("drop schema if exists " + schema + " cascade", &err);
        }
    }

    void AddRule(std::int32_t code, std::vector<SqlField> rules, std::vector<SqlField> etc = {}, bool withEtc = true) {
        rules.insert(rules.begin(), SqlField{"Rule_Code", DbValue::Int(code)});
        db->Insert("rules", rules);
        if (withEtc) {
            etc.insert(etc.begin(), SqlField{"Rule_Code", DbValue::Int(code)});
            db->Insert("rulesetc", etc);
        }
    }

    void Exec(const std::string& sqlBeforeTable, const char* table, const std::string& rest) {
        db->Execute(sqlBeforeTable + db->dialect().Table(table) + rest);
    }

    std::unique_ptr<Database> db;
    std::string schema;
    TRunContext ctx;
};

// Tests that run on every backend.
class RuleLoadTest : public RuleFixture, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override { OpenBackend(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Backends, RuleLoadTest, ::testing::Values("sqlite", "postgres"),
                         [](const auto& info) { return info.param; });

// Tests of values that only a loosely typed SQLite table can hold.
class RuleLoadSqliteTest : public RuleFixture {
protected:
    void SetUp() override { OpenBackend("sqlite"); }

    // Recreates a table with the same column names and no declared types, so
    // that SQLite stores every value exactly as given (no conversion of texts
    // into numbers on the way in).
    void MakeUntyped(const std::string& table) {
        Rows none = db->Query(db->dialect().SelectNone(table));
        std::string cols;
        for (const auto& c : none.Columns()) cols += (cols.empty() ? "" : ", ") + c;
        db->Execute("drop table " + table);
        db->Execute("create table " + table + " (" + cols + ")");
    }
};

TEST_P(RuleLoadTest, ColumnListsCoverEveryColumnOfBothTables) {
    // Every column of the stored layouts (besides the script texts and the
    // rulesetc key) is read into exactly one field, and no field reads a
    // column the layouts lack.
    for (const char* table : {"rules", "rulesetc"}) {
        Rows none = db->Query(db->dialect().SelectNone(table));
        std::map<std::string, int> wanted;
        for (const auto& col : none.Columns()) {
            std::string lc = ToLower(col);
            if (lc.rfind("rule_script", 0) == 0) continue;
            if (std::string(table) == "rulesetc" && lc == "rule_code") continue;
            wanted[lc] = 0;
        }
        auto cols = std::string(table) == "rules" ? RulesColumns() : RulesetcColumns();
        for (const auto& [name, month] : ColumnNames(cols)) {
            auto it = wanted.find(ToLower(name));
            ASSERT_NE(it, wanted.end()) << table << " has no column " << name;
            ++it->second;
        }
        for (const auto& [name, count] : wanted) EXPECT_EQ(count, 1) << table << "." << name;
    }
}

TEST_P(RuleLoadTest, EveryColumnReachesItsOwnField) {
    // Distinct values in every column must come back field by field. The
    // tables spell their columns in their own letter case (Rule_EMinG,
    // Rule_MOHR, ...), the fields in theirs (Rule_eming, Rule_mohr).
    std::map<std::string, FieldValue> expected;
    std::vector<SqlField> rulesRow, etcRow;
    int next = 1;
    for (int t = 0; t < 2; ++t) {
        auto cols = t == 0 ? RulesColumns() : RulesetcColumns();
        for (const auto& c : cols) {
            for (const auto& [name, month] : ColumnNames(std::span<const TRuleColumn>(&c, 1))) {
                if (ToLower(name) == "rule_code") continue;
                FieldValue v;
                DbValue dv;
                if (IsText(c)) {
                    v.isText = true;
                    v.s = "t" + std::to_string(next);
                    dv = DbValue::Text(v.s);
                } else if (IsBool(c)) {
                    v.n = next % 2;
                    dv = DbValue::Int(v.n);
                } else {
                    v.n = next;
                    dv = DbValue::Int(v.n);
                }
                ++next;
                expected[name] = v;
                (t == 0 ? rulesRow : etcRow).push_back({name, dv});
            }
        }
    }
    for (int n = 1; n <= 20; ++n) rulesRow.push_back({"Rule_Script" + std::to_string(n), DbValue::Text("s" + std::to_string(n))});
    AddRule(9, rulesRow, etcRow);

    RuleLoad(ctx, 9);
    EXPECT_EQ(ctx.rule.rule_code, 9);
    for (int t = 0; t < 2; ++t) {
        for (const auto& c : t == 0 ? RulesColumns() : RulesetcColumns()) {
            for (const auto& [name, month] : ColumnNames(std::span<const TRuleColumn>(&c, 1))) {
                if (ToLower(name) == "rule_code") continue;
                FieldValue got = Get(ctx.rule, c, month);
                const FieldValue& want = expected[name];
                if (want.isText) EXPECT_EQ(got.s, want.s) << name;
                else EXPECT_EQ(got.n, want.n) << name;
            }
        }
    }
    for (int n = 1; n <= 20; ++n) EXPECT_EQ(ctx.rule.Rule_Script[n - 1], "s" + std::to_string(n));
    // Month tables: month 1 at index 0, month 12 at index 11.
    EXPECT_EQ(ctx.rule.Rule_karpermah[0], expected["Rule_karpermah1"].n);
    EXPECT_EQ(ctx.rule.Rule_moeyh[11], expected["Rule_moeyh12"].n);
}

TEST_P(RuleLoadTest, CodeWithoutRulesRowTakesTheDefaults) {
    AddRule(3, {{"Rule_Name", DbValue::Text("\u0642\u0627\u0646\u0648\u0646 \u0633\u0647")}, {"Rule_GMT1", DbValue::Int(15)},
                {"Rule_Script1", DbValue::Text("1 2 3")}},
            {{"Rule_MOHR", DbValue::Int(420)}, {"Rule_mounfair", DbValue::Int(1)}});
    RuleLoad(ctx, 3);
    ASSERT_EQ(ctx.rule.rule_name, "\u0642\u0627\u0646\u0648\u0646 \u0633\u0647");
    ctx.PrepareRuleScripts = &CountingScriptHook;

    RuleLoad(ctx, 77);  // no row at all
    const rule_type& r = ctx.rule;
    EXPECT_EQ(r.rule_code, 3) << "rule_code keeps the code of the rule loaded before";
    EXPECT_EQ(r.rule_name, "");
    for (int t = 0; t < 2; ++t) {
        for (const auto& c : t == 0 ? RulesColumns() : RulesetcColumns()) {
            if (std::string(c.Column) == "rule_code") continue;
            for (const auto& [name, month] : ColumnNames(std::span<const TRuleColumn>(&c, 1))) {
                auto it = NonZeroDefaults().find(name);
                FieldValue got = Get(r, c, month);
                if (got.isText) EXPECT_EQ(got.s, "") << name;
                else EXPECT_EQ(got.n, it == NonZeroDefaults().end() ? 0 : it->second) << name;
            }
        }
    }
    EXPECT_FALSE(r.Rule_gtactive);
    EXPECT_TRUE(r.LeaveTableForBalances);
    for (const auto& s : r.Rule_Script) EXPECT_EQ(s, "");
    EXPECT_EQ(g_scriptHookCalls, 1) << "the script table is rebuilt (empty) for the default rule";
}

TEST_P(RuleLoadTest, NullColumnsReadAsZeroNotAsDefaults) {
    AddRule(4, {}, {});
    RuleLoad(ctx, 4);
    const rule_type& r = ctx.rule;
    EXPECT_EQ(r.rule_code, 4);
    EXPECT_EQ(r.Rule_egto, 0);
    EXPECT_EQ(r.Rule_gslimit, 0);
    EXPECT_FALSE(r.Rule_ema);
    EXPECT_EQ(r.Rule_kard, 0);
    EXPECT_EQ(r.Rule_startday, 0);
    EXPECT_EQ(r.Rule_spRule, 0);
    EXPECT_FALSE(r.Rule_fridaybishift);
    EXPECT_EQ(r.Rule_spRuleFDate, "");
    EXPECT_TRUE(r.LeaveTableForBalances);
}

TEST_P(RuleLoadTest, RulesRowWithoutRulesetcRowZeroesTheRulesetcFields) {
    AddRule(5, {{"Rule_GMT1", DbValue::Int(10)}, {"Rule_EgTo", DbValue::Int(1200)}}, {}, /*withEtc=*/false);
    // Another rule's rulesetc row must not be taken.
    db->Insert("rulesetc", {{"Rule_Code", DbValue::Int(6)}, {"Rule_KarD", DbValue::Int(450)}});
    RuleLoad(ctx, 5);
    const rule_type& r = ctx.rule;
    EXPECT_EQ(r.Rule_GMT1, 10);
    EXPECT_EQ(r.Rule_egto, 1200);
    EXPECT_EQ(r.Rule_mohr, 0);
    EXPECT_EQ(r.Rule_kard, 0);
    EXPECT_EQ(r.Rule_moey, 0);
    EXPECT_EQ(r.Rule_startnight, 0);
    EXPECT_EQ(r.Rule_spRule, 0) << "no substitute rule, but 0 rather than -1";
    EXPECT_FALSE(r.Rule_moh);
    EXPECT_EQ(r.Rule_moeyd[5], 0);
    EXPECT_TRUE(r.LeaveTableForBalances);
}

TEST_F(RuleLoadSqliteTest, ConversionsOfStoredValues) {
    // SQLite keeps whatever a row was given, so the same columns can carry
    // every kind of value a backend may deliver: integers, bit values, money
    // and numeric values (reals or decimal texts), and texts.
    struct Case {
        const char* column;
        DbValue value;
        std::int64_t expected;
    };
    const Case intCases[] = {
        {"Rule_GMT1", DbValue::Int(25), 25},
        {"Rule_GMT1", DbValue::Int(-32768), -32768},
        {"Rule_GMT1", DbValue::Int(70000), 70000},          // widened, not cut to 16 bits
        {"Rule_GMT1", DbValue::Real(12.5), 12},             // halves to the even neighbour
        {"Rule_GMT1", DbValue::Real(13.5), 14},
        {"Rule_GMT1", DbValue::Text("12.0000"), 12},        // money delivered as text
        {"Rule_GMT1", DbValue::Text(" 42 "), 42},
        {"Rule_GMT1", DbValue::Text("-7"), -7},
        {"Rule_GMT1", DbValue::Null(), 0},
    };
    const Case boolCases[] = {
        {"Rule_Eba", DbValue::Int(1), 1},      {"Rule_Eba", DbValue::Int(0), 0},
        {"Rule_Eba", DbValue::Int(-1), 1},     {"Rule_Eba", DbValue::Text("1"), 1},
        {"Rule_Eba", DbValue::Text("0"), 0},   {"Rule_Eba", DbValue::Text("True"), 1},
        {"Rule_Eba", DbValue::Text("f"), 0},   {"Rule_Eba", DbValue::Text(""), 0},
        {"Rule_Eba", DbValue::Real(1.0), 1},   {"Rule_Eba", DbValue::Null(), 0},
    };
    MakeUntyped("rules");
    MakeUntyped("rulesetc");
    int code = 100;
    for (const Case& c : intCases) {
        AddRule(code, {{c.column, c.value}});
        RuleLoad(ctx, code);
        EXPECT_EQ(ctx.rule.Rule_GMT1, c.expected) << "code " << code;
        ++code;
    }
    for (const Case& c : boolCases) {
        AddRule(code, {{c.column, c.value}});
        RuleLoad(ctx, code);
        EXPECT_EQ(ctx.rule.Rule_eba, c.expected != 0) << "code " << code;
        ++code;
    }
    // Texts: an integer stored in a text column reads as its digits.
    AddRule(code, {{"Rule_Name", DbValue::Int(42)}}, {{"Rule_sprulefdate", DbValue::Text("1393/01/05")}});
    RuleLoad(ctx, code);
    EXPECT_EQ(ctx.rule.rule_name, "42");
    EXPECT_EQ(ctx.rule.Rule_spRuleFDate, "1393/01/05");
}

TEST_P(RuleLoadTest, DerivedFields) {
    struct Case {
        std::vector<SqlField> rules;
        std::vector<SqlField> etc;
        bool gtactive;
        bool leaveTable;
    };
    const Case cases[] = {
        // Windows set but no penalty percent: not active.
        {{{"Rule_GTF1", DbValue::Int(360)}, {"Rule_GTE1", DbValue::Int(600)}}, {}, false, true},
        {{{"Rule_GTP1", DbValue::Int(50)}}, {{"Rule_mounfair", DbValue::Int(1)}}, true, false},
        {{{"Rule_GTP2", DbValue::Int(10)}}, {{"Rule_moeylist", DbValue::Int(1)}}, true, true},
        {{{"Rule_GTP3", DbValue::Int(-5)}}, {{"Rule_mounfair", DbValue::Int(0)}}, true, true},
    };
    int code = 200;
    for (const Case& c : cases) {
        AddRule(code, c.rules, c.etc);
        RuleLoad(ctx, code);
        EXPECT_EQ(ctx.rule.Rule_gtactive, c.gtactive) << "code " << code;
        EXPECT_EQ(ctx.rule.LeaveTableForBalances, c.leaveTable) << "code " << code;
        ++code;
    }
}

TEST_F(RuleLoadSqliteTest, SubstituteDatesKeepTheirFirstTenCharacters) {
    AddRule(8, {}, {{"Rule_sprulefdate", DbValue::Text("1393/02/01 extra")},
                    {"Rule_spruleedate", DbValue::Text("1393/02/10")},
                    {"Rule_sprule", DbValue::Int(12)}});
    RuleLoad(ctx, 8);
    EXPECT_EQ(ctx.rule.Rule_spRuleFDate, "1393/02/01");
    EXPECT_EQ(ctx.rule.Rule_spRuleEDate, "1393/02/10");
    EXPECT_EQ(ctx.rule.Rule_spRule, 12);

    // Characters, not bytes: a ten-letter Persian text is kept whole.
    db->Execute("update rulesetc set Rule_sprulefdate = " +
                db->dialect().Quote("\u06F1\u06F3\u06F9\u06F3/\u06F0\u06F2/\u06F0\u06F1X") + " where Rule_Code = 8");
    RuleLoad(ctx, 1);
    RuleLoad(ctx, 8);
    EXPECT_EQ(ctx.rule.Rule_spRuleFDate, "\u06F1\u06F3\u06F9\u06F3/\u06F0\u06F2/\u06F0\u06F1");
}

TEST_P(RuleLoadTest, OneCodeCache) {
    ctx.PrepareRuleScripts = &CountingScriptHook;
    AddRule(1, {{"Rule_GMT1", DbValue::Int(10)}, {"Rule_Script3", DbValue::Text("only")}}, {{"Rule_KarD", DbValue::Int(400)}});
    AddRule(2, {{"Rule_GMT1", DbValue::Int(20)}});

    RuleLoad(ctx, 1);
    EXPECT_EQ(ctx.rule.Rule_GMT1, 10);
    EXPECT_EQ(g_scriptHookCalls, 1);
    EXPECT_EQ(g_scriptSeen, "only");
    EXPECT_EQ(ctx.rule.Rule_Script[0], "");
    EXPECT_EQ(ctx.rule.Rule_Script[2], "only");

    // The same code again reads nothing: a changed row is not seen.
    Exec("update ", "rules", " set Rule_GMT1 = 11 where Rule_Code = 1");
    RuleLoad(ctx, 1);
    EXPECT_EQ(ctx.rule.Rule_GMT1, 10);
    EXPECT_EQ(g_scriptHookCalls, 1);

    // A, B, A loads A twice.
    RuleLoad(ctx, 2);
    EXPECT_EQ(ctx.rule.Rule_GMT1, 20);
    EXPECT_EQ(ctx.rule.Rule_kard, 0) << "nothing of rule 1 survives";
    EXPECT_EQ(ctx.rule.Rule_Script[2], "");
    RuleLoad(ctx, 1);
    EXPECT_EQ(ctx.rule.Rule_GMT1, 11);
    EXPECT_EQ(ctx.rule.Rule_kard, 400);
    EXPECT_EQ(g_scriptHookCalls, 3);
}

TEST_P(RuleLoadTest, FirstRequestForCodeZeroLoadsIt) {
    // Rule code 0 is an ordinary code: the very first request for it reads
    // its row instead of leaving an all-zero record.
    AddRule(0, {{"Rule_GMT1", DbValue::Int(9)}}, {{"Rule_KarD", DbValue::Int(420)}});
    RuleLoad(ctx, 0);
    EXPECT_EQ(ctx.rule.Rule_GMT1, 9);
    EXPECT_EQ(ctx.rule.Rule_kard, 420);

    // And a first request for 0 without a row yields the defaults.
    TRunContext fresh;
    auto empty = OpenSqlite(":memory:");
    fresh.db = empty.get();
    ASSERT_TRUE(CreateCatalogTable(fresh, "rules"));
    ASSERT_TRUE(CreateCatalogTable(fresh, "rulesetc"));
    fresh.rule.Rule_kard = 0;
    RuleLoad(fresh, 0);
    EXPECT_EQ(fresh.rule.Rule_kard, 480);
    EXPECT_EQ(fresh.rule.Rule_spRule, -1);
}

TEST_F(RuleLoadSqliteTest, BadValueNamesTableColumnAndValueAndKeepsTheCurrentRule) {
    AddRule(1, {{"Rule_GMT1", DbValue::Int(10)}}, {{"Rule_KarD", DbValue::Int(400)}});
    RuleLoad(ctx, 1);

    struct Case {
        std::vector<SqlField> rules;
        std::vector<SqlField> etc;
        std::vector<std::string> inMessage;
    };
    const Case cases[] = {
        {{{"Rule_GMT1", DbValue::Text("abc")}}, {}, {"rules", "Rule_GMT1", "\"abc\""}},
        {{{"Rule_EZA", DbValue::Text("")}}, {}, {"rules", "Rule_eza", "\"\""}},
        {{{"Rule_EZA", DbValue::Int(3000000000LL)}}, {}, {"rules", "Rule_eza", "3000000000"}},
        {{}, {{"Rule_MOKAR", DbValue::Text("maybe")}}, {"rulesetc", "Rule_mokar", "\"maybe\""}},
        {{}, {{"Rule_moeyd7", DbValue::Text("7x")}}, {"rulesetc", "Rule_moeyd7", "\"7x\""}},
    };
    MakeUntyped("rules");
    MakeUntyped("rulesetc");
    int code = 300;
    for (const Case& c : cases) {
        AddRule(code, c.rules, c.etc);
        try {
            RuleLoad(ctx, code);
            ADD_FAILURE() << "code " << code << " loaded without error";
        } catch (const DbError& e) {
            std::string msg = e.what();
            for (const auto& part : c.inMessage) EXPECT_NE(msg.find(part), std::string::npos) << msg;
            EXPECT_NE(msg.find("table " + c.inMessage[0]), std::string::npos) << msg;
        }
        EXPECT_EQ(ctx.rule.rule_code, 1);
        EXPECT_EQ(ctx.rule.Rule_GMT1, 10);
        EXPECT_EQ(ctx.rule.Rule_kard, 400);
        ++code;
    }
    // The failed code is not remembered: asking again reads again.
    db->Execute("update rules set Rule_GMT1 = 5 where Rule_Code = 300");
    RuleLoad(ctx, 300);
    EXPECT_EQ(ctx.rule.Rule_GMT1, 5);
}

TEST_P(RuleLoadTest, MissingTableIsAnError) {
    Exec("drop table ", "rulesetc", "");
    AddRule(1, {}, {}, /*withEtc=*/false);
    EXPECT_THROW(RuleLoad(ctx, 1), DbError);
    EXPECT_FALSE(ctx.RuleRequestedCode.has_value());
}

}  // namespace
