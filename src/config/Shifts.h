// The shift table with the built-in rest shift 0.
#pragma once

namespace attcalc {

struct TShiftTable {
};

}  // namespace attcalc
