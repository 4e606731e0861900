// The calculation rule: one field per Rule_* column.
#pragma once

namespace attcalc {

struct rule_type {
};

}  // namespace attcalc
