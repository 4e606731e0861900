// Attributes of the person being calculated (parameter set, groups, employment).
#pragma once

namespace attcalc {

struct TPersonAttributes {
};

}  // namespace attcalc
