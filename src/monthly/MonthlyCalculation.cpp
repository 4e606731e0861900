// The monthly calculation driver.
#include "monthly/Monthly.h"

#include "run/Context.h"

namespace attcalc {

void MonthlyCalculation(TRunContext&, const std::string&, const std::string&, const std::string&) {}

}  // namespace attcalc
