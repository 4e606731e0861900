// The shift table: entry 0 is the built-in rest shift, entries 1 ... Count are
// the rows of the table "shifts" in ascending sh_code order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace attcalc {

struct TRunContext;

// One time range of a shift, minutes of day. Empty when From >= To.
struct TShiftRange {
    int32_t From = 0;
    int32_t To = 0;
};

// The three ranges of a shift or of a day's schedule: [0] = sh_from1/sh_to1,
// [1] = sh_from2/sh_to2, [2] = sh_from3/sh_to3.
using TShiftRanges = std::array<TShiftRange, 3>;

struct TShift {
    int32_t sh_code = 0;         // 0 = no shift
    uint8_t sh_count = 0;        // ranges in use (1 ... 3)
    std::string sh_name;         // at most 20 characters
    TShiftRanges sh_ranges{};    // sh_from1 ... sh_to3
    uint8_t sh_kind = 0;         // shift-work class (same codes as Rule_cbtatil)
    int32_t sh_Nesab = 0;        // accepted shift-work quota
    int32_t sh_type = 0;         // 0 work, 1 overtime, 2 overtime compensation
    bool sh_sobhaneh = false;    // breakfast
    bool sh_nahar = false;       // lunch
    bool sh_sham = false;        // dinner
    bool sh_nextsobhaneh = false;  // the next day's breakfast
    bool Allowed = true;         // always true for every entry
};

struct TShiftTable {
    // Entries[0] is the rest shift; Entries[1 ... Count] the loaded rows.
    std::vector<TShift> Entries;
    int Count = 0;  // number of loaded rows (Entries.size() - 1 once loaded)
};

// The built-in rest shift (code 0, no ranges, name "استراحت شيفت").
TShift RestShift();

// (Re)fills ctx.shifts from "select * from shifts order by sh_code".
void LoadShifts(TRunContext& ctx);

// Index of the first entry (scanning 0 ... Count) whose code is `code`; -1
// when there is none. Code 0 finds the rest shift at index 0.
int FindShift(const TShiftTable& table, int32_t code);
int FindShift(const TRunContext& ctx, int32_t code);

// Sets the six from/to values of a range block to 0.
void ClearRanges(TShiftRanges& ranges);

// (start, end) of a range block: start = the first range's From, end = the To
// of the highest-numbered non-empty range; (1439, 0) when all are empty.
std::pair<int32_t, int32_t> ShiftSpan(const TShiftRanges& ranges);

}  // namespace attcalc
