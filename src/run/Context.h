// Everything one calculation holds for its whole life: the shared connection,
// the run-wide values, and the records that each have one writer (rule,
// settings, shifts, person, period state, day array, balances). Passed by
// reference so that tests and multi-person runs start from clean state.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "calendar/Holidays.h"
#include "config/Person.h"
#include "config/Rule.h"
#include "config/Settings.h"
#include "config/Shifts.h"
#include "db/Database.h"
#include "engine/PeriodState.h"
#include "monthly/Balances.h"
#include "results/DayRecord.h"
#include "results/ResultsCursor.h"
#include "scripts/ScriptTable.h"

namespace attcalc {

class Trace;
class TCompanyTables;

struct TRunContext {
    Database* db = nullptr;          // the shared connection, owned by the caller
    TCompanyTables* company = nullptr;  // tables shared by a batch's persons (config/Company.h); none in a single run
    std::string home;                // the attcalc folder
    std::string ConnectionString;

    std::string PersonnelCode;       // argument 1 as given
    std::string PeriodStart;         // salary period being calculated
    std::string PeriodEnd;
    bool ScriptsEnabled = false;

    TSettings settings;
    rule_type rule;
    std::optional<int> RuleRequestedCode;  // RuleLoad's one-code cache: the code last asked for
    void (*PrepareRuleScripts)(TRunContext& ctx) = nullptr;  // parses ctx.rule.Rule_Script after each rule load
    TScriptTable scripts;            // the current rule's scripts, read by PrepareRuleScripts (scripts/Scripts.h)
    TShiftTable shifts;
    TPersonAttributes person;
    PeriodState period;
    TDayArray days;
    TResultsCursor results;          // the results cursor and the current results table (results/ResultsCursor.h)
    TLeaveBalances balances;
    THolidayCalendar holidays;       // the holiday year held in memory (calendar/Holidays.h)

    Trace* trace = nullptr;          // null when tracing is off
    std::set<std::string> KnownTables;  // upper-case names of tables of ctx.db seen to exist (db/Catalogue.h)
};

}  // namespace attcalc
