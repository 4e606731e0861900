// Running rule scripts on a record: operands, the action kinds, the
// comparisons and combiners, the split, the day filters, the scopes, and the
// rule loader's hook that reads the script table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/Context.h"
#include "scripts/ReportItems.h"
#include "scripts/Scripts.h"

using namespace attcalc;

namespace {

const std::string kNoCondition = "0;0;0;0;0;";

std::string Condition(int left, int compare, int item = 0, int op = 0, const std::string& k = "0") {
    return std::to_string(left) + ";" + std::to_string(compare) + ";" + std::to_string(item) + ";" +
           std::to_string(op) + ";" + k + ";";
}

std::string Action(int target, int item, int op, const std::string& k, int kind) {
    return std::to_string(target) + ";" + std::to_string(item) + ";" + std::to_string(op) + ";" + k + ";" +
           std::to_string(kind) + ";";
}

std::string Script(int scope, int filter, int combiner, int split, const std::string& c1, const std::string& c2,
                   const std::vector<std::string>& actions, int enabled = 1) {
    std::string s = std::to_string(enabled) + ";" + std::to_string(scope) + ";" + std::to_string(filter) + ";" +
                    std::to_string(combiner) + ";" + std::to_string(split) + ";" + c1 + c2;
    for (const std::string& a : actions) s += a;
    return s;
}

// An unconditional day script of one action.
std::string Always(const std::string& action, int filter = 0) {
    return Script(1, filter, 0, 2, kNoCondition, kNoCondition, {action});
}

// Success writes 1 into scrdays1, failure 2.
std::string Outcome(const std::string& c1, const std::string& c2, int combiner = 0) {
    return Script(1, 0, combiner, 2, c1, c2, {Action(9310, 0, 0, "1", 0), Action(9310, 0, 0, "2", 0)});
}

struct Scripts {
    TRunContext ctx;
    TDayRecord rec;

    Scripts() { rec.Prc_date = "1393/02/01"; }

    void Load(const std::vector<std::string>& texts) {
        ctx.rule = rule_type{};
        ctx.rule.rule_code = 9;
        for (std::size_t i = 0; i < texts.size(); ++i) ctx.rule.Rule_Script[i] = texts[i];
        PrepareRuleScripts(ctx);
    }
    // Loads the scripts and runs them on a copy of the record.
    TDayRecord Run(const std::vector<std::string>& texts, int scope = 1) {
        Load(texts);
        TDayRecord r = rec;
        RunScripts(ctx, r, scope);
        return r;
    }
};

}  // namespace

TEST(RunScripts, ExampleScriptAndSplit) {
    const std::string example = "1;1;0;0;2;3010;0;0;0;60;0;0;0;0;0;9010;3010;0;0;0;";
    const std::string reversed = "1;1;0;0;1;3010;0;0;0;60;0;0;0;0;0;9010;3010;0;0;0;";
    Scripts s;
    s.rec.Prc_ValidAddWork = 61;
    EXPECT_EQ(s.Run({example}).Prc_scrtimes[0], 61);
    EXPECT_EQ(s.Run({reversed}).Prc_scrtimes[0], 0) << "split 1: no action when the condition holds";
    s.rec.Prc_ValidAddWork = 60;
    EXPECT_EQ(s.Run({example}).Prc_scrtimes[0], 0);
    EXPECT_EQ(s.Run({reversed}).Prc_scrtimes[0], 60) << "split 1: the action runs when it fails";

    // Split 4 of six actions: 1-3 on success, 4-6 on failure.
    std::vector<std::string> six;
    for (int k = 0; k < 6; ++k) six.push_back(Action(9010 + 10 * k, 0, 0, "1", 0));
    const std::string split4 = Script(1, 0, 0, 4, Condition(2030, 0), kNoCondition, six);
    s.rec.Prc_PresenceWork = 5;
    TDayRecord r = s.Run({split4});
    EXPECT_EQ(std::vector<int>(r.Prc_scrtimes.begin(), r.Prc_scrtimes.begin() + 6), (std::vector<int>{1, 1, 1, 0, 0, 0}));
    s.rec.Prc_PresenceWork = 0;
    r = s.Run({split4});
    EXPECT_EQ(std::vector<int>(r.Prc_scrtimes.begin(), r.Prc_scrtimes.begin() + 6), (std::vector<int>{0, 0, 0, 1, 1, 1}));
    // Split 7: all six on success, none on failure.
    const std::string split7 = Script(1, 0, 0, 7, Condition(2030, 0), kNoCondition, six);
    r = s.Run({split7});
    EXPECT_EQ(r.Prc_scrtimes[5], 0);
    s.rec.Prc_PresenceWork = 5;
    r = s.Run({split7});
    EXPECT_EQ(r.Prc_scrtimes[5], 1);
}

// The target is 9010 holding t; the operand is the constant e.
TEST(RunScripts, ActionKinds) {
    const struct {
        int t;
        const char* e;
        int kind;
        int want;
    } cases[] = {
        {10, "3", 0, 3},          {10, "3", 1, 13},       {10, "3", 2, 7},         {10, "3", 3, 30},
        {10, "4", 4, 2},          {10, "3", 4, 3},        {5, "2", 4, 2},          {7, "2", 4, 4},
        {-5, "2", 4, -2},         {10, "0", 4, 0},        {10, "3", 9, 3},         {10, "3", -1, 3},
        {2000000000, "2", 3, 2147483647}, {-2000000000, "2", 3, -2147483647 - 1},
        {2147483647, "1", 1, 2147483647}, {-2147483647 - 1, "-1", 4, 2147483647},
    };
    Scripts s;
    for (const auto& c : cases) {
        s.rec.Prc_scrtimes[0] = c.t;
        EXPECT_EQ(s.Run({Always(Action(9010, 0, 0, c.e, c.kind))}).Prc_scrtimes[0], c.want)
            << "t=" << c.t << " e=" << c.e << " kind " << c.kind;
    }
}

// Operand values, assigned to 9010; the item 3010 holds 10.
TEST(RunScripts, Operands) {
    const struct {
        int item, op;
        const char* k;
        int want;
    } cases[] = {
        {0, 0, "2.5", 2},   {0, 0, "3.5", 4},   {0, 0, "-2.5", -2},  {0, 7, "2,4", 2},
        {3010, 0, "99", 10}, {3010, 1, "2.5", 12}, {3010, 2, "0.5", 10}, {3010, 3, "1.25", 12},
        {3010, 4, "4", 2},  {3010, 4, "0", 0},   {3010, 4, "-0.0", 0}, {3010, 5, "1", 0},
        {3010, -1, "1", 0}, {0, 0, "1e300", 2147483647}, {3010, 3, "-1e300", -2147483647 - 1},
        {1010, 1, "5", 5},  // not a source item: no item, so the constant
    };
    Scripts s;
    s.rec.Prc_ValidAddWork = 10;
    for (const auto& c : cases) {
        EXPECT_EQ(s.Run({Always(Action(9010, c.item, c.op, c.k, 0))}).Prc_scrtimes[0], c.want)
            << "item " << c.item << " op " << c.op << " k " << c.k;
    }
}

// Left item 3010 holds 10; the operand is the constant 9, 10 or 11.
TEST(RunScripts, Comparisons) {
    const struct {
        int compare;
        int want[3];  // 1 holds, 2 fails, for 9, 10, 11
    } cases[] = {
        {0, {1, 2, 2}}, {1, {1, 1, 2}}, {2, {2, 1, 2}}, {3, {1, 2, 1}},
        {4, {2, 2, 1}}, {5, {2, 1, 1}}, {6, {2, 2, 2}}, {-1, {2, 2, 2}},
    };
    Scripts s;
    s.rec.Prc_ValidAddWork = 10;
    for (const auto& c : cases)
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(s.Run({Outcome(Condition(3010, c.compare, 0, 0, std::to_string(9 + i)), kNoCondition)})
                          .Prc_scrdays[0],
                      c.want[i])
                << "compare " << c.compare << " against " << 9 + i;
    // An operand with an item: 3010 > 2030 + 5 with presence 4, then 5.
    s.rec.Prc_PresenceWork = 4;
    EXPECT_EQ(s.Run({Outcome(Condition(3010, 0, 2030, 1, "5"), kNoCondition)}).Prc_scrdays[0], 1);
    s.rec.Prc_PresenceWork = 5;
    EXPECT_EQ(s.Run({Outcome(Condition(3010, 0, 2030, 1, "5"), kNoCondition)}).Prc_scrdays[0], 2);
}

TEST(RunScripts, Combiners) {
    const std::string yes = Condition(3010, 2, 0, 0, "10"), no = Condition(3010, 2, 0, 0, "11");
    const struct {
        std::string c1, c2;
        int combiner, want;
    } cases[] = {
        {yes, yes, 0, 1}, {yes, no, 0, 2}, {no, yes, 0, 2}, {no, no, 0, 2},
        {yes, yes, 1, 1}, {yes, no, 1, 1}, {no, yes, 1, 1}, {no, no, 1, 2},
        {no, no, 2, 1},  // any other combiner: the conditions hold
        {kNoCondition, no, 0, 2}, {kNoCondition, yes, 1, 1}, {no, kNoCondition, 1, 2},
        {kNoCondition, kNoCondition, 5, 1},
    };
    Scripts s;
    s.rec.Prc_ValidAddWork = 10;
    for (const auto& c : cases)
        EXPECT_EQ(s.Run({Outcome(c.c1, c.c2, c.combiner)}).Prc_scrdays[0], c.want)
            << c.c1 << " | " << c.c2 << " combiner " << c.combiner;
}

// Later actions and later scripts see what earlier ones stored; disabled
// scripts and scripts of the other scope do not run.
TEST(RunScripts, OrderEnabledAndScope) {
    Scripts s;
    s.rec.Prc_PresenceWork = 100;
    TDayRecord r = s.Run({
        Script(1, 0, 0, 7, kNoCondition, kNoCondition,
               {Action(9010, 2030, 0, "0", 0), Action(9010, 0, 0, "5", 1), Action(9020, 9010, 3, "2", 0)}),
        Script(1, 0, 0, 2, Condition(9020, 2, 0, 0, "210"), kNoCondition, {Action(9030, 0, 0, "1", 0)}),
        Script(1, 0, 0, 2, kNoCondition, kNoCondition, {Action(9040, 0, 0, "1", 0)}, /*enabled=*/0),
        Script(1, 0, 0, 2, kNoCondition, kNoCondition, {Action(9050, 0, 0, "1", 0)}, /*enabled=*/2),
        Script(2, 0, 0, 2, kNoCondition, kNoCondition, {Action(9060, 0, 0, "1", 0)}),
        Script(3, 0, 0, 2, kNoCondition, kNoCondition, {Action(9070, 0, 0, "1", 0)}),
    });
    EXPECT_EQ(r.Prc_scrtimes[0], 105);
    EXPECT_EQ(r.Prc_scrtimes[1], 210);
    EXPECT_EQ(r.Prc_scrtimes[2], 1) << "the next script sees the stored value";
    EXPECT_EQ(r.Prc_scrtimes[3], 0) << "disabled";
    EXPECT_EQ(r.Prc_scrtimes[4], 0) << "an enabled field of 2 reads as disabled";
    EXPECT_EQ(r.Prc_scrtimes[5], 0) << "a month script does not run on a day";
    EXPECT_EQ(r.Prc_scrtimes[6], 0);
    RunScripts(s.ctx, r, 2);
    EXPECT_EQ(r.Prc_scrtimes[5], 1);
    EXPECT_EQ(r.Prc_scrtimes[0], 105) << "day scripts do not run on the month";
}

// Month scripts run whatever their filter fields, on the month-total record.
TEST(RunScripts, MonthScriptsIgnoreFilters) {
    Scripts s;
    TDayRecord U;
    U.Prc_date = "1393/02/00";
    U.Prc_Type = 0;
    U.Prc_scrdays[0] = 17;  // the sum of the days
    s.Load({Script(2, 2 + 256 * 13, 0, 2, Condition(9310, 1, 0, 0, "15"), kNoCondition,
                   {Action(9320, 9310, 3, "2", 0)})});
    RunScripts(s.ctx, U, 2);
    EXPECT_EQ(U.Prc_scrdays[1], 34);
    // The same filters keep it off an ordinary day as a day script.
    s.Load({Script(1, 2 + 256 * 13, 0, 2, kNoCondition, kNoCondition, {Action(9320, 0, 0, "1", 0)})});
    TDayRecord day;
    day.Prc_date = "1393/02/01";
    RunScripts(s.ctx, day, 1);
    EXPECT_EQ(day.Prc_scrdays[1], 0);
}

// The month grant's nowork (3082): 0 for day scripts, the grant for month
// scripts, which may change it.
TEST(RunScripts, MonthGrantItem) {
    Scripts s;
    s.Load({Script(1, 0, 0, 7, kNoCondition, kNoCondition, {Action(9310, 3082, 0, "0", 0), Action(3082, 0, 0, "9", 0)}),
            Script(2, 0, 0, 7, kNoCondition, kNoCondition,
                   {Action(9320, 3082, 0, "0", 0), Action(3082, 0, 0, "1", 1), Action(9330, 3084, 0, "0", 0)})});
    s.ctx.scripts.MonthGrantNowork = 4;
    TDayRecord day = s.rec;
    RunScripts(s.ctx, day, 1);
    EXPECT_EQ(day.Prc_scrdays[0], 0);
    EXPECT_EQ(s.ctx.scripts.MonthGrantNowork, 4) << "a day script does not change the grant";
    TDayRecord U;
    U.Prc_addnoworkday = 7;
    RunScripts(s.ctx, U, 2);
    EXPECT_EQ(U.Prc_scrdays[1], 4);
    EXPECT_EQ(s.ctx.scripts.MonthGrantNowork, 5);
    EXPECT_EQ(U.Prc_scrdays[2], 2);
}

// Day filters. Dates of 1393/02: the 1st is a Monday, the 3rd a Wednesday,
// the 4th a Thursday, the 5th a Friday, the 6th a Saturday.
TEST(RunScripts, DayFilters) {
    const struct {
        int day, next;       // DayFilter, NextDayFilter
        int type, nextType;  // Prc_Type, NextDayType
        const char* date;
        bool runs;
    } cases[] = {
        {0, 0, 7, 7, "1393/02/01", true},
        {1, 0, 0, 0, "1393/02/01", true}, {1, 0, 1, 0, "1393/02/01", false}, {1, 0, 4, 0, "1393/02/01", true},
        {2, 0, 1, 0, "1393/02/01", true}, {2, 0, 0, 0, "1393/02/01", false}, {2, 0, 3, 0, "1393/02/01", true},
        {3, 0, 2, 0, "1393/02/01", true}, {3, 0, 4, 0, "1393/02/01", true}, {3, 0, 1, 0, "1393/02/01", false},
        {4, 0, 4, 0, "1393/02/01", true}, {4, 0, 2, 0, "1393/02/01", false},
        {5, 0, 2, 0, "1393/02/01", true}, {5, 0, 4, 0, "1393/02/01", false},
        {6, 0, 1, 0, "1393/02/01", true}, {6, 0, 2, 0, "1393/02/01", false}, {6, 0, 4, 0, "1393/02/01", false},
        {7, 0, 0, 0, "1393/02/06", true}, {7, 0, 0, 0, "1393/02/01", false},
        {9, 0, 0, 0, "1393/02/01", true}, {9, 0, 0, 0, "1393/02/03", false},
        {12, 0, 0, 0, "1393/02/04", true}, {13, 0, 1, 0, "1393/02/05", true}, {13, 0, 1, 0, "1393/02/04", false},
        {14, 0, 0, 0, "1393/02/03", true}, {14, 0, 0, 0, "1393/02/06", true},
        {14, 0, 0, 0, "1393/02/04", false}, {14, 0, 1, 0, "1393/02/05", false},
        {15, 0, 0, 0, "1393/02/01", false}, {255, 0, 0, 0, "1393/02/01", false}, {-1, 0, 0, 0, "1393/02/01", false},
        // The next day's kind.
        {0, 1, 0, 0, "1393/02/01", true}, {0, 1, 0, 1, "1393/02/01", false},
        {0, 2, 0, 1, "1393/02/01", true}, {0, 2, 0, 0, "1393/02/01", false},
        {0, 3, 0, 2, "1393/02/01", true}, {0, 3, 0, 4, "1393/02/01", true}, {0, 3, 0, 1, "1393/02/01", false},
        {0, 4, 0, 4, "1393/02/01", true}, {0, 4, 0, 2, "1393/02/01", false},
        {0, 5, 0, 2, "1393/02/01", true}, {0, 5, 0, 4, "1393/02/01", false},
        {0, 6, 0, 0, "1393/02/01", true}, {0, 6, 0, 5, "1393/02/01", false},
        // The next day's weekday: 7 Saturday (today Friday) ... 13 Friday (today Thursday).
        {0, 7, 1, 0, "1393/02/05", true}, {0, 7, 0, 0, "1393/02/06", false},
        {0, 8, 0, 0, "1393/02/06", true}, {0, 10, 0, 0, "1393/02/01", true}, {0, 10, 0, 0, "1393/02/03", false},
        {0, 13, 0, 1, "1393/02/04", true}, {0, 13, 1, 0, "1393/02/05", false},
        {0, 14, 0, 0, "1393/02/06", true}, {0, 14, 0, 0, "1393/02/01", true}, {0, 14, 1, 0, "1393/02/05", true},
        {0, 14, 0, 0, "1393/02/03", false}, {0, 14, 0, 1, "1393/02/04", false},
        {0, 20, 0, 0, "1393/02/01", false},
        // Both filters must pass: a non-holiday day before an unofficial holiday (1286).
        {6, 5, 0, 2, "1393/02/01", true}, {6, 5, 2, 2, "1393/02/01", false}, {6, 5, 0, 4, "1393/02/01", false},
        // A record without a day's date passes no weekday filter.
        {7, 0, 0, 0, "1393/02/00", false}, {14, 0, 0, 0, "", false}, {0, 14, 0, 0, "13x3/02/01", false},
        {1, 1, 0, 0, "", true},
    };
    Scripts s;
    for (const auto& c : cases) {
        s.rec.Prc_Type = static_cast<std::uint8_t>(c.type);
        s.rec.NextDayType = static_cast<std::uint8_t>(c.nextType);
        s.rec.Prc_date = c.date;
        const TDayRecord r = s.Run({Always(Action(9310, 0, 0, "1", 0), c.next * 256 + c.day)});
        EXPECT_EQ(r.Prc_scrdays[0] == 1, c.runs)
            << "filters " << c.day << "/" << c.next << " type " << c.type << "/" << c.nextType << " on " << c.date;
    }
}

// The rule loader's hook: non-empty texts packed in column order; a text
// that cannot be read names the rule, the script and the field, and leaves
// the table as it was.
TEST(PrepareRuleScripts, PacksTextsAndRefusesBadOnes) {
    Scripts s;
    std::vector<std::string> texts(20);
    texts[2] = Always(Action(9010, 0, 0, "1", 0));
    texts[6] = "  \r\n";
    texts[19] = Always(Action(9020, 0, 0, "2", 0));
    s.Load(texts);
    ASSERT_EQ(s.ctx.scripts.Count, 2);
    EXPECT_EQ(s.ctx.scripts.Entries[0].Column, 3);
    EXPECT_EQ(s.ctx.scripts.Entries[1].Column, 20);
    EXPECT_EQ(TargetCode(s.ctx.scripts.Entries[1].Actions[0].Target), 9020);

    texts[4] = "1;1;0;0;2;3010;0;0;0;6O;0;0;0;0;0;";
    try {
        s.Load(texts);
        FAIL() << "the bad text was read";
    } catch (const ScriptConversionError& e) {
        EXPECT_STREQ(e.what(),
                     "rule 9, script 5 (Rule_Script5): cannot be read: field 10 (condition 1 operand constant): "
                     "\"6O\" is not a number");
    }
    EXPECT_EQ(s.ctx.scripts.Count, 2);
    EXPECT_EQ(s.ctx.scripts.Entries[1].Column, 20);

    s.Load({});
    EXPECT_EQ(s.ctx.scripts.Count, 0);
}

// The examples of the README's section on rule scripts do what it says.
TEST(RunScripts, ReadmeExamples) {
    Scripts s;
    s.rec.Prc_ValidAddWork = 61;
    s.rec.Prc_PresenceWork = 300;
    s.rec.Prc_TakhirLessWork = 12;
    s.rec.Prc_scrtimes[1] = 5;
    TDayRecord r = s.Run({"1;1;0;0;2;3010;0;0;0;60;0;0;0;0;0;9010;3010;0;0;0;",
                          "1;1;0;0;2;3010;0;0;0;60;0;0;0;0;0;9310;0;0;1;0;",
                          "1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9020;2030;2;30;1;",
                          "1;1;0;0;2;4060;0;0;0;5;0;0;0;0;0;4060;0;0;5;2;",
                          "1;1;0;0;1;2030;4;0;0;240;0;0;0;0;0;3010;0;0;2;3;"});
    EXPECT_EQ(r.Prc_scrtimes[0], 61);
    EXPECT_EQ(r.Prc_scrdays[0], 1);
    EXPECT_EQ(r.Prc_scrtimes[1], 275);
    EXPECT_EQ(r.Prc_TakhirLessWork, 7);
    EXPECT_EQ(r.Prc_ValidAddWork, 122);
    s.rec.Prc_ValidAddWork = 60;
    s.rec.Prc_PresenceWork = 239;
    s.rec.Prc_TakhirLessWork = 5;
    r = s.Run({"1;1;0;0;2;3010;0;0;0;60;0;0;0;0;0;9310;0;0;1;0;", "1;1;0;0;2;4060;0;0;0;5;0;0;0;0;0;4060;0;0;5;2;",
               "1;1;0;0;1;2030;4;0;0;240;0;0;0;0;0;3010;0;0;2;3;"});
    EXPECT_EQ(r.Prc_scrdays[0], 0);
    EXPECT_EQ(r.Prc_TakhirLessWork, 5);
    EXPECT_EQ(r.Prc_ValidAddWork, 60);

    TDayRecord U;
    U.Prc_scrtimes[2] = 150;  // 2.5 hours: halves go to the even neighbour
    s.Load({"1;2;0;0;2;0;0;0;0;0;0;0;0;0;0;9030;0;0;60;4;"});
    RunScripts(s.ctx, U, 2);
    EXPECT_EQ(U.Prc_scrtimes[2], 2);
}
