// The calculation run over a date range and the driver of one salary period.
#pragma once

#include <string>

#include "run/Context.h"

namespace attcalc {

// Computes the days of [from, to] salary month by salary month and, when
// `store` is set, writes them to the result tables.
void CalculationRun(TRunContext& ctx, const std::string& code, const std::string& from, const std::string& to,
                    bool store);

// One salary period of one person: inputs, engine, day records appended.
void PeriodDriver(TRunContext& ctx, const std::string& code, std::string start, std::string end);

}  // namespace attcalc
