// Weekdays and the holiday calendar.
//
// Weekdays are numbered 0 = Saturday, 1 = Sunday, ... 5 = Thursday,
// 6 = Friday (the weekly rest day).
//
// A month's holidays are a 32-bit day set: bit d (1..31) set means day d is a
// holiday; bit 0 is never used. One year at a time is held in
// ctx.holidays: the official and the unofficial sets of its twelve months and
// the year they hold. Two sources fill the same sets:
//   - the table "holiday" (one row per year and month, texts of "0"/"1" by
//     day), which the operators maintain; it is created on demand and seeded
//     from the holiday files when they are present;
//   - the holiday files "holliday.dta" (official) and "nonrasmi.dta"
//     (unofficial) in the attcalc folder: twelve 4-byte little-endian day sets
//     per year for the years 1379 to 1405, 1296 bytes. A missing file is
//     generated from built-in tables (fixed solar holidays, Fridays and the
//     religious holidays of an approximate Hijri calendar).
// Whichever source loaded a year last provides the sets; asking for the year
// already held, from either source, loads nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace attcalc {

struct TRunContext;

// Bit values of a day's flags (the day classification's Prc_Type bits).
constexpr int HolidayFlagUnofficial = 2;
constexpr int HolidayFlagOfficial = 4;

// Kinds of IsFileHoliday.
constexpr int HolidayKindOfficial = 1;
constexpr int HolidayKindUnofficial = 2;

// The years the holiday files hold.
constexpr int HolidayFileFirstYear = 1379;
constexpr int HolidayFileLastYear = 1405;
constexpr int HolidayFileBytes = (HolidayFileLastYear - HolidayFileFirstYear + 1) * 12 * 4;  // 1296

// The names of the two holiday files in the attcalc folder.
inline constexpr const char* OfficialHolidayFileName = "holliday.dta";
inline constexpr const char* UnofficialHolidayFileName = "nonrasmi.dta";

// The loaded holiday year (index 1..12; index 0 unused).
struct THolidayCalendar {
    std::uint32_t OfficialHolidays[13] = {};
    std::uint32_t UnofficialHolidays[13] = {};
    int HolidayYear = 0;  // 0: nothing loaded
};

// Weekday of a Jalali date given as numbers, counted in days from 1 Farvardin
// 1300 by the calendar's leap years (the day may leave its month). Throws
// std::out_of_range for a month outside 1..12.
int Weekday(int y, int m, int d);

// Weekday of a date text split at its first two "/" (parts of any width, an
// empty last part reads as 0). -1 when the year, month or day is 0; a part
// that is not a number throws std::runtime_error.
int WeekdayOfText(std::string_view date);

// Weekday of 1 Farvardin (month 1, day 1) of year y.
int YearStartWeekday(int y);

// The weekday of the first day of each month (index 0 = month 1) and each
// month's length.
void MonthStartWeekdays(int y, int firstWeekday[12], int monthLength[12]);

// Loads year y from the table "holiday" (creating and seeding the table when
// it is missing). One query per year.
void LoadHolidayYear(TRunContext& ctx, int y);

// Replaces the rows of year y in the table "holiday" by the sets in memory.
void StoreHolidayYear(TRunContext& ctx, int y);

// The holiday bits (HolidayFlagUnofficial, HolidayFlagOfficial) of a date
// text "yyyy/mm/dd" from the table's calendar; 0 for an empty text.
int HolidayFlagBits(TRunContext& ctx, std::string_view date);

// Sets or clears bits 2 and 4 of a caller's flags from the table's calendar;
// other bits are untouched. Nothing happens for an empty text.
template <class Flags>
void HolidayFlags(TRunContext& ctx, std::string_view date, Flags& flags) {
    if (date.empty()) return;
    int bits = HolidayFlagBits(ctx, date);
    int f = static_cast<int>(flags) & ~(HolidayFlagUnofficial | HolidayFlagOfficial);
    flags = static_cast<Flags>(f | bits);
}

// Loads year y from the two holiday files, generating a missing file first.
// A year the files do not hold gets the generated calendar of that year.
void LoadHolidayFileYear(TRunContext& ctx, int y);

// Whether day d of month m of year y is a holiday of the file calendar
// (kind 1 official, 2 unofficial). A day above 31 is in no set.
bool IsFileHoliday(TRunContext& ctx, int kind, int y, int m, int d);

// Whether a date is an official or unofficial holiday of the file calendar;
// false for a text that is not a valid date.
bool IsHolidayDate(TRunContext& ctx, std::string_view date);

// The holiday file at `path` (which must not exist) with the generated
// calendar of the years 1379 to 1405.
void GenerateHolidayFile(const std::string& path);

// The generated day set of one month of one year (what GenerateHolidayFile
// writes for it).
std::uint32_t GeneratedHolidayMonth(int y, int m);

// An approximate Hijri date.
struct THijriDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

// Approximate Hijri date of a Jalali date (the day may lie outside the month).
THijriDate HijriDate(int y, int m, int d);

// The Hijri date the generator uses for a Jalali day.
THijriDate HijriOfDay(int y, int m, int d);

}  // namespace attcalc
