// A run context over an in-memory SQLite database for the month rules and the
// required-work steps, with a month total U to fill and check field by field.
#pragma once

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "monthly/MonthSteps.h"
#include "monthly/Monthly.h"
#include "run/Context.h"
#include "support/TestSupport.h"

namespace attcalc::test {

// One expected value of a field of the month total.
struct TFieldExpect {
    const char* name;
    std::int32_t TDayRecord::*field;
    std::int32_t value;
};
#define UF(field, value) ::attcalc::test::TFieldExpect{#field, &::attcalc::TDayRecord::field, (value)}

// A case of a table: the rule (and balances) set up, what U holds before,
// what U holds after and, when given, a check of the context afterwards.
struct TMonthCase {
    const char* name;
    std::function<void(TRunContext&)> setup;
    std::function<void(TDayRecord&)> before;
    std::vector<TFieldExpect> after;
    std::function<void(const TRunContext&)> more = nullptr;
};

class MonthRulesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ATTCALC_NOW", "1403/06/20 10:00", 1);
        db_ = OpenSqlite(":memory:");
        ctx.db = db_.get();
        ctx.PersonnelCode = "1001";
        ctx.rule = NeutralRule();
        Month("1403/05/01", "1403/05/31");
    }

    // The default rule with the caps of overtime and tolerated absence out
    // of the way and no conversion of hourly absence into days, so that a
    // case sees only the rules it sets.
    static rule_type NeutralRule() {
        rule_type r;
        r.Rule_emaxm = 500;
        r.Rule_gmaxm = 500;
        r.Rule_gzhd = 0;
        return r;
    }

    void Month(const std::string& S, const std::string& E) {
        args.PersonnelCode = ctx.PersonnelCode;
        args.S = S;
        args.E = E;
        args.N = DayDiff(S, E) + 1;
    }

    static void Check(const TDayRecord& U, const std::vector<TFieldExpect>& after, const std::string& what) {
        for (const TFieldExpect& e : after) EXPECT_EQ(U.*(e.field), e.value) << what << ": " << e.name;
    }

    // Runs `step` over every case on a fresh rule, balance and U.
    template <class Step>
    void RunCases(const std::vector<TMonthCase>& cases, Step step) {
        for (const TMonthCase& c : cases) {
            ctx.rule = NeutralRule();
            ctx.balances = TLeaveBalances{};
            ctx.period.HourlyEntitledLeaveToDate = 0;
            ctx.period.DailyEntitledLeaveDays = 0;
            ctx.period.EntitledLeaveCount = 0;
            if (c.setup) c.setup(ctx);
            TDayRecord U;
            if (c.before) c.before(U);
            step(U);
            Check(U, c.after, c.name);
            if (c.more) c.more(ctx);
        }
    }

    TRunContext ctx;
    TMonthArgs args;
    std::unique_ptr<Database> db_;
};

}  // namespace attcalc::test
