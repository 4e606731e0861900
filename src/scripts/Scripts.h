// Rule scripts: the small conditional assignments a rule carries, run on
// every computed day (scope 1) and once on the month total (scope 2).
//
// A script text is a row of fields, each ended by ";": enabled; scope;
// filter (next-day filter x 256 + day filter); combiner; split; condition 1
// (left item, comparison, operand item, operand operator, operand constant);
// condition 2 (the same five); then up to six actions of five fields each
// (target item, operand item, operand operator, operand constant, kind).
// README.md, "Rule scripts", describes the format for script writers.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "results/DayRecord.h"
#include "scripts/ScriptTable.h"

namespace attcalc {

struct TRunContext;

// A script text that cannot be read: the message names the field (its number
// and its meaning) and what is wrong with it.
struct ScriptConversionError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads one non-empty script text into `entry`. Throws ScriptConversionError
// for a text that is not a script: a field that is not a number (or an
// integer beyond 32 bits), a text that ends before the last field of the
// header or of an action, text after the last ";", a split outside 1 ... 7
// or more than six actions. `entry` is left untouched then.
//
// An enabled field other than 0 or 1 reads as 0 (the script never runs). An
// item code that is not in the list of source (or target) items reads as
// "no item". Real constants take a point or a comma as decimal separator.
void ParseScript(std::string_view text, RuleScript& entry);

// The rule loader's hook (ctx.PrepareRuleScripts): reads the twenty script
// texts of ctx.rule into ctx.scripts, the non-empty ones packed in column
// order. A text that cannot be read ends the run: throws
// ScriptConversionError naming the rule code and the script's column, and
// ctx.scripts keeps the scripts it held before.
void PrepareRuleScripts(TRunContext& ctx);

// Runs the current rule's scripts of `scope` on `rec`, in table order. Day
// scripts (scope 1) run only on the days their two filters let through; the
// month scripts (scope 2) ignore the filters.
void RunScripts(TRunContext& ctx, TDayRecord& rec, int scope);

}  // namespace attcalc
