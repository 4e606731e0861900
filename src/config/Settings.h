// System settings of the person's parameter set: the title/value rows of the
// table "init" whose Init_Code is the parameter set, applied over defaults.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace attcalc {

struct TRunContext;

struct TSettings {
    // Settings that steer the calculation.
    bool FutureDaysAllowed = true;       // "CalcFuture" = 0 (or no row)
    bool CalendarMonths = true;          // "monthnormal" = 0 (or no row)
    bool CalendarMonthsForLeave = true;  // "monthnormal" / "monthnormalmor" = 0 (or no row)
    // Last day of each salary month, indexed by month 1 ... 12 ("monthends" =
    // month * 100 + day); entry 0 is unused.
    std::array<int32_t, 13> MonthEndDay{0, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28};

    // Settings that are loaded for the other programs of the system and change
    // nothing in the calculation.
    std::string param_name;                      // first 50 characters
    int32_t archiveday = 0;
    std::string PrsRptSetST;
    std::string LhzRptSetST;
    std::array<std::string, 5> EndRep;           // "EndRep01" ... "EndRep05", first 50 characters
    int32_t TimeOut2000 = 0;
    int32_t IsWin2000 = 0;
    int32_t FastCollect = 0;
    std::string Part1 = "بخش";                   // first 15 characters
    std::string Part2 = "زير بخش";
    std::string Part3 = "زير بخش";
    std::string Part4 = "زير بخش";
    std::array<std::string, 8> fldRezerv{        // "fldRezerv1" ... "fldRezerv8", first 15 characters
        "فيلد رزرو 1", "فيلد رزرو 2", "فيلد رزرو 3", "فيلد رزرو 4",
        "فيلد رزرو 5", "فيلد رزرو 6", "فيلد رزرو 7", "فيلد رزرو 8"};
    std::string RptTitleFont = "Arial";          // first 30 characters
    std::string RptFont = "Arial";               // first 30 characters
    int32_t RptTitleFntSize = 12;
    int32_t RptFntSize = 8;

    // The parameter set these values were loaded for; -1 before the first load.
    int32_t LoadedParamSet = -1;
};

// Resets ctx.settings to the defaults and applies the "init" rows of the
// current parameter set (ctx.person.p_param, 0 when no person was found).
// Creates "init" when it is missing. A value that is not an integer under a
// title read as an integer throws, naming the table, column and value.
void loadinifiledb(TRunContext& ctx);

}  // namespace attcalc
