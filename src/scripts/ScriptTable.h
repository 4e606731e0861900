// The script table of the current rule: the rule's script texts as the rule
// loader read them into script entries (scripts/Scripts.h reads and runs
// them). Kept in the run context beside the rule it belongs to.
#pragma once

#include <array>
#include <cstdint>

namespace attcalc {

// An operand: a report item (a position in ScriptSourceItems, 0 = none)
// combined with a constant by an operator (0 none, 1 +, 2 -, 3 x, 4 /).
struct TScriptOperand {
    std::int32_t Item = 0;
    std::int32_t Op = 0;
    double Constant = 0;
};

// A comparison of a report item (`Left`, a position in ScriptSourceItems,
// 0 = no condition) with an operand: 0 >, 1 >=, 2 =, 3 <>, 4 <, 5 <=.
struct TScriptCondition {
    std::int32_t Left = 0;
    std::int32_t Compare = 0;
    TScriptOperand Operand;
};

// An assignment to a report item (`Target`, a position in ScriptTargetItems,
// 0 = no action): 1 add, 2 subtract, 3 multiply, 4 divide, anything else
// replace.
struct TScriptAction {
    std::int32_t Target = 0;
    TScriptOperand Operand;
    std::int32_t Kind = 0;
};

constexpr int kScriptActions = 6;   // action slots of one script
constexpr int kRuleScripts = 20;    // script columns of a rule, Rule_Script1 ... 20

// One script, read from one non-empty Rule_Script<N> text.
struct RuleScript {
    std::int32_t Enabled = 0;        // 0 = never runs
    std::int32_t Scope = 0;          // 1 day script, 2 month script, other never runs
    std::int32_t DayFilter = 0;      // kind of the day
    std::int32_t NextDayFilter = 0;  // kind of the next day, or the weekday
    std::int32_t Combiner = 0;       // 0 and, 1 or
    std::int32_t Split = 1;          // actions 1 ... Split - 1 run when the conditions hold, the rest otherwise
    TScriptCondition Condition1;
    TScriptCondition Condition2;
    std::array<TScriptAction, kScriptActions> Actions{};
    int Column = 0;                  // N of the Rule_Script<N> column it came from
};

struct TScriptTable {
    std::array<RuleScript, kRuleScripts> Entries{};  // packed in column order
    int Count = 0;
    // `nowork` of the month's overtime grant, which the month scripts read as
    // item 3082 (and 3084) and may assign through 3082. The monthly
    // calculation sets it before it runs the month scripts; day scripts never
    // see it (they read 0).
    std::int32_t MonthGrantNowork = 0;
};

}  // namespace attcalc
