// What the persons of one company's month share.
//
// A batch calculates many persons of one month, each from a fresh run
// context (TRunContext) that only that person's calculation touches: the
// current rule record, the person, the period state, the day array, the
// balances and the results cursor. What does not depend on the person - the
// rules by code, the settings by parameter set and the shift table - is read
// from the database once and kept here for all of them.
//
// Ownership: the batch makes one TCompanyTables before its workers start and
// destroys it after they have all ended; each run context of the batch points
// at it (TRunContext::company), a single run's context points at none and
// reads the tables itself. An entry is stored by the first calculation that
// reads it and never changes afterwards; nothing the calculation writes goes
// into these tables, so an entry read by one person is what any other would
// read.
//
// Threads: any number of workers may use one TCompanyTables at once. The
// lock guards the maps; the entries handed out are copies.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "config/Rule.h"
#include "config/Settings.h"
#include "config/Shifts.h"

namespace attcalc {

class TCompanyTables {
public:
    // A rule as the loader builds it from its rows; `Found` is false when
    // "rules" has no row for the code.
    struct TRuleEntry {
        rule_type Rule;
        bool Found = false;
    };

    std::optional<TRuleEntry> Rule(std::int32_t code) const {
        std::lock_guard<std::mutex> lock(mu_);
        auto it = rules_.find(code);
        if (it == rules_.end()) return std::nullopt;
        return it->second;
    }
    void KeepRule(std::int32_t code, const TRuleEntry& e) {
        std::lock_guard<std::mutex> lock(mu_);
        rules_.emplace(code, e);
    }

    std::optional<TSettings> Settings(std::int32_t paramSet) const {
        std::lock_guard<std::mutex> lock(mu_);
        auto it = settings_.find(paramSet);
        if (it == settings_.end()) return std::nullopt;
        return it->second;
    }
    void KeepSettings(std::int32_t paramSet, const TSettings& s) {
        std::lock_guard<std::mutex> lock(mu_);
        settings_.emplace(paramSet, s);
    }

    std::optional<TShiftTable> Shifts() const {
        std::lock_guard<std::mutex> lock(mu_);
        return shifts_;
    }
    void KeepShifts(const TShiftTable& t) {
        std::lock_guard<std::mutex> lock(mu_);
        if (!shifts_) shifts_ = t;
    }

private:
    mutable std::mutex mu_;
    std::unordered_map<std::int32_t, TRuleEntry> rules_;
    std::unordered_map<std::int32_t, TSettings> settings_;
    std::optional<TShiftTable> shifts_;
};

}  // namespace attcalc
