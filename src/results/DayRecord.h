// The day array: up to 400 day results with their marks.
#pragma once

namespace attcalc {

struct TDayArray {
};

}  // namespace attcalc
