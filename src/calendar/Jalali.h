// Jalali (Persian solar) date texts "yyyy/mm/dd" and time texts "hh:mm".
//
// Dates travel as fixed-width texts and are ordered by comparing them as
// texts. The leap-year rules here are the system's own, which stored data and
// the rest of the calculation depend on, not those of the astronomical
// calendar:
//   - calendar rule (month lengths, day differences, adding days):
//     year y is a leap year when y mod 4 = 3;
//   - validation rule (IsValidJalaliDate only): for a year value above 74 a
//     leap year has y mod 4 = 3, for 74 or less y mod 4 = 2.
//
// Today and now come from the local clock; the environment variable
// ATTCALC_NOW ("yyyy/mm/dd hh:mm", a Jalali date and a time) replaces it and is
// read at every call.
#pragma once

#include <string>
#include <string_view>

namespace attcalc {

// True when the text is not empty and every character is a digit 0 to 9.
bool IsDigits(std::string_view text);

// Converts a Gregorian date to the Jalali date in place.
void GregorianToJalali(int& year, int& month, int& day);

// The Jalali date of a Gregorian date, as year, month and day in decimal
// without leading zeros joined by "/" (1393/1/5).
std::string JalaliDateText(int gregorianYear, int gregorianMonth, int gregorianDay);

// Today's date as a date text, and the time of day as a time text "hh:mm",
// from the local clock or from ATTCALC_NOW. A malformed ATTCALC_NOW throws
// std::runtime_error naming the variable and its value.
std::string TodayJalali();
std::string NowTime();

// A loosely written date ("1393/4/5", "93/4/5", "930405", "13930405") made
// into a date text. Shorter than six characters gives an empty text; a text
// beginning with "/" is returned unchanged; fewer than two "/" gives "//"; a
// part that is not an integer throws std::runtime_error. A date with a zero
// part is rebuilt without leading zeros ("1393/00/5" gives "1393/0/5").
std::string NormalizeDate(std::string_view text);

// A loosely written time ("7:5", "0830", "+8:30") made into a time text,
// keeping a leading "+" or "-"; an unacceptable text gives the empty text.
std::string NormalizeTime(std::string_view text);

// Whether a loosely written date is a real date (never throws).
bool IsValidJalaliDate(std::string_view text);

// 31 for months 1-6, 30 for 7-11, for month 12: 30 when year mod 4 = 3, else 29.
int DaysInMonth(int year, int month);

// Days from `from` to `to` (negative when `to` is earlier); 0 when either
// text is empty. Parts are taken by position; a part that is not a number
// throws std::runtime_error.
int DayDiff(std::string_view from, std::string_view to);

// The date `n` days after `date` (before it for negative n) as a date text.
// For n >= 0 an overlong day is carried into the next month.
std::string AddDays(std::string_view date, int n);

// from <= date <= to, as texts.
bool DateInRange(std::string_view date, std::string_view from, std::string_view to);

// Year, month and day of a date text taken by position (characters 1-4, 6-7
// and 9-10). A day part "00" reads as 0. A part that is missing or not a
// number throws std::runtime_error naming the text.
int DateYear(std::string_view date);
int DateMonth(std::string_view date);
int DateDay(std::string_view date);

}  // namespace attcalc
