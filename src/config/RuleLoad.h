// Loading the current rule from the tables rules and rulesetc.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "config/Rule.h"

namespace attcalc {

struct TRunContext;

// A text field cut to its first 10 characters (the substitute-rule dates).
struct TRuleDate10 {
    std::string rule_type::*Field;
};

// Where the value of one column lands in the record. A month table stands for
// the twelve columns <Column>1 ... <Column>12.
using TRuleFieldRef = std::variant<std::int32_t rule_type::*, bool rule_type::*, std::string rule_type::*,
                                   TRuleDate10, std::array<std::int32_t, 12> rule_type::*>;

struct TRuleColumn {
    const char* Column;  // the column name; found without regard to letter case
    TRuleFieldRef Field;
};

// The columns of rules (without the script texts) and of rulesetc, in record
// order. Reading a row is one walk over one of these lists.
std::span<const TRuleColumn> RulesColumns();
std::span<const TRuleColumn> RulesetcColumns();

// Makes rule `code` current in ctx.rule.
//
// The loader remembers the code it was last asked for (ctx.RuleRequestedCode)
// and does nothing when the same code is asked for again; the first call
// always loads, whatever the code.
//
// - No rules row for the code: every field takes its built-in default (a
//   value-initialised rule_type), except rule_code, which keeps the code of
//   the rule loaded before; all script texts are empty and rulesetc is not
//   read.
// - A rules row: every rules field is read from it (a null reads as 0, false
//   or empty), Rule_gtactive is derived from Rule_gtp1..3, the twenty script
//   texts are read, and then every rulesetc field from the rulesetc row of the
//   code. Without a rulesetc row those fields are 0, false or empty (not their
//   defaults: Rule_spRule is 0, Rule_kard is 0).
// - In both cases LeaveTableForBalances = !Rule_mounfair, and
//   ctx.PrepareRuleScripts, when set, is called to parse the script texts.
//
// A value that cannot be converted to its field's type throws DbError naming
// the table, the column and the value; so does a missing table or column. The
// current rule and the remembered code are left unchanged by a failed load.
void RuleLoad(TRunContext& ctx, std::int32_t code);

}  // namespace attcalc
