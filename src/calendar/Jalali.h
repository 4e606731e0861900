// Jalali (Persian solar) date texts "yyyy/mm/dd" and time texts "hh:mm".
//
// Dates travel as fixed-width texts and are ordered by comparing them as
// texts. One leap-year rule serves every date function (month lengths,
// validation, day differences and adding days, weekdays, salary periods, the
// conversion of the system date to today and the holiday generator): the
// 33-year arithmetic of the solar calendar, leap when (25 y + 11) mod 33 < 8.
// It matches the official (astronomical) calendar from 1300 to 1500 at least
// (leap years ... 1399, 1403, 1408, 1412 ...) and, over 1372 to 1406, the
// four-year rule (y mod 4 = 3 from 1375 on) that the stored data was made with.
//
// Today and now come from the local clock; the environment variable
// ATTCALC_NOW ("yyyy/mm/dd hh:mm", a Jalali date and a time) replaces it and is
// read at every call.
#pragma once

#include <string>
#include <string_view>

namespace attcalc {

// Whether Jalali year y is a leap year (Esfand has 30 days).
bool IsJalaliLeapYear(int y);

// Days from 1 Farvardin 1300 (21 March 1921, a Monday) to the given Jalali
// date, negative before it. Months count 31 days for 1-6 and 30 for 7-12 and
// the day may leave its month (day 0 is the day before day 1).
long long JalaliDayNumber(long long y, long long m, long long d);

// True when the text is not empty and every character is a digit 0 to 9.
bool IsDigits(std::string_view text);

// Converts a Gregorian date (proleptic Gregorian calendar) to the Jalali date
// in place. A year below 1000 is written in two places and gives a Jalali year
// written the same way: 99-03-21 gives 78/1/1, 14-03-21 gives 93/1/1.
void GregorianToJalali(int& year, int& month, int& day);

// The Jalali date of a Gregorian date, as year, month and day in decimal
// without leading zeros joined by "/" (1393/1/5).
std::string JalaliDateText(int gregorianYear, int gregorianMonth, int gregorianDay);

// The date text "yyyy/mm/dd" of a Gregorian date: what TodayJalali makes of
// the system date.
std::string JalaliDateOfGregorian(int gregorianYear, int gregorianMonth, int gregorianDay);

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

// Whether a loosely written date is a real date (never throws). A year below
// 100 is the year 13yy, as NormalizeDate reads it, also for Esfand 30.
bool IsValidJalaliDate(std::string_view text);

// 31 for months 1-6, 30 for 7-11, for month 12: 30 in a leap year, else 29.
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
