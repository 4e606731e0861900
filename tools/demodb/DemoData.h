// Builds a database of persons, shifts, group schedules and clock punches for
// one salary month: the demo's few persons, or a company of N for the
// benchmark.
#pragma once

#include <string>
#include <vector>

#include "run/Context.h"

namespace attcalc::demo {

struct DemoPerson {
    std::string code;
    std::string name;
    std::string story;  // what the person's month shows
};

// Creates every table the calculation reads and the demo's persons with a
// month of punches in (year, month). Returns the persons.
std::vector<DemoPerson> SeedDemo(TRunContext& ctx, int year, int month);

// Creates the tables and `count` persons on the day shift, each with a month
// of punches that vary from person to person. Person codes are 1..count.
void SeedCompany(TRunContext& ctx, int year, int month, int count);

// Like SeedCompany, with three rules and three shifts in turn (day, night
// and evening groups) for the benchmark.
void SeedVariedCompany(TRunContext& ctx, int year, int month, int count);

}  // namespace attcalc::demo
