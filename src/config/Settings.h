// System settings of the person's parameter set (init rows).
#pragma once

namespace attcalc {

struct TSettings {
};

}  // namespace attcalc
