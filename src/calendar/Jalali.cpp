#include "calendar/Jalali.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <stdexcept>

namespace attcalc {

namespace {

// An integer as the date texts write it: optional leading spaces, an optional
// sign, then digits and nothing else. Anything else, or a value outside the
// 32-bit range, is an error naming the part and the text it came from.
int ToInt(std::string_view part, std::string_view whole, const char* what) {
    std::size_t i = 0;
    while (i < part.size() && part[i] == ' ') ++i;
    bool negative = false;
    if (i < part.size() && (part[i] == '+' || part[i] == '-')) {
        negative = part[i] == '-';
        ++i;
    }
    if (i >= part.size() || !IsDigits(part.substr(i))) {
        throw std::runtime_error("'" + std::string(part) + "' is not a valid integer (" + what +
                                 " of '" + std::string(whole) + "')");
    }
    std::int64_t v = 0;
    for (; i < part.size(); ++i) {
        v = v * 10 + (part[i] - '0');
        if (v > std::int64_t{std::numeric_limits<int>::max()} + 1) break;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) {
        throw std::runtime_error("'" + std::string(part) + "' is out of range (" + what + " of '" +
                                 std::string(whole) + "')");
    }
    return static_cast<int>(v);
}

// Digits only (checked by the caller) to a number, saturating instead of
// overflowing, for the checks of IsValidJalaliDate that must never fail.
std::int64_t DigitsValue(std::string_view digits) {
    std::int64_t v = 0;
    for (char c : digits) {
        v = v * 10 + (c - '0');
        if (v > 1000000000) return 1000000000;
    }
    return v;
}

std::string PadLeft(std::string s, std::size_t width, char fill) {
    if (s.size() < width) s.insert(0, width - s.size(), fill);
    return s;
}

// Days of the year before month m.
std::int64_t MonthOffset(std::int64_t m) { return m < 7 ? 31 * (m - 1) : 186 + 30 * (m - 7); }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Leap years before year y, up to a constant: the 33-year arithmetic places
// eight leap years in every 33 years, and year y is leap exactly when this
// count steps up from y to y + 1.
std::int64_t LeapYearsBefore(std::int64_t y) { return FloorDiv(8 * y + 21, 33); }

// Days from 1 Farvardin 1300 to 1 Farvardin of year y.
std::int64_t YearStartDay(std::int64_t y) {
    return 365 * (y - 1300) + LeapYearsBefore(y) - LeapYearsBefore(1300);
}

bool LeapYear(std::int64_t y) { return LeapYearsBefore(y + 1) - LeapYearsBefore(y) == 1; }

int DaysIn(std::int64_t y, std::int64_t m) {
    if (m < 7) return 31;
    if (m < 12) return 30;
    return LeapYear(y) ? 30 : 29;
}

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar (the
// day may leave its month).
std::int64_t GregorianDayNumber(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    std::int64_t era = FloorDiv(y, 400);
    std::int64_t yoe = y - era * 400;
    std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// 1 Farvardin 1300 was 21 March 1921.
const std::int64_t Nowruz1300 = GregorianDayNumber(1921, 3, 21);

// The override of the clock, split into its date and time parts. Absent when
// ATTCALC_NOW is not set or empty.
bool ClockOverride(std::string& date, std::string& time) {
    const char* env = std::getenv("ATTCALC_NOW");
    if (env == nullptr || *env == '\0') return false;
    std::string_view v(env);
    std::size_t sp = v.find(' ');
    date = std::string(v.substr(0, sp));
    time.clear();
    if (sp != std::string_view::npos) {
        std::string_view rest = v.substr(sp);
        std::size_t b = rest.find_first_not_of(' ');
        std::size_t e = rest.find_last_not_of(' ');
        if (b != std::string_view::npos) time = std::string(rest.substr(b, e - b + 1));
    }
    return true;
}

[[noreturn]] void BadOverride() {
    const char* env = std::getenv("ATTCALC_NOW");
    throw std::runtime_error(std::string("ATTCALC_NOW '") + (env ? env : "") +
                             "' is not a Jalali date and time \"yyyy/mm/dd hh:mm\"");
}

std::tm LocalNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

}  // namespace

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool IsJalaliLeapYear(int y) { return LeapYear(y); }

long long JalaliDayNumber(long long y, long long m, long long d) {
    return YearStartDay(y) + MonthOffset(m) + d - 1;
}

void GregorianToJalali(int& year, int& month, int& day) {
    if (month < 1 || month > 12) {
        throw std::runtime_error("Gregorian month " + std::to_string(month) + " is not 1 to 12");
    }
    // A year written in two places is a year of this century or the last
    // (from 1922, the first Jalali year 1300, up to 2021); the Jalali year is
    // then written in two places too.
    std::int64_t gy = year;
    bool shortYear = gy < 1000;
    if (shortYear) gy += gy >= 22 ? 1900 : 2000;
    std::int64_t n = GregorianDayNumber(gy, month, day) - Nowruz1300;
    std::int64_t jy = 1300 + FloorDiv(n * 33, 12053);  // 12053 days in 33 years
    while (YearStartDay(jy) > n) --jy;
    while (YearStartDay(jy + 1) <= n) ++jy;
    std::int64_t doy = n - YearStartDay(jy);
    std::int64_t jm, jd;
    if (doy < 186) {
        jm = doy / 31 + 1;
        jd = doy % 31 + 1;
    } else {
        jm = (doy - 186) / 30 + 7;
        jd = (doy - 186) % 30 + 1;
    }
    if (shortYear) jy -= 1300;
    year = static_cast<int>(jy);
    month = static_cast<int>(jm);
    day = static_cast<int>(jd);
}

std::string JalaliDateText(int gregorianYear, int gregorianMonth, int gregorianDay) {
    int y = gregorianYear, m = gregorianMonth, d = gregorianDay;
    GregorianToJalali(y, m, d);
    return std::to_string(y) + "/" + std::to_string(m) + "/" + std::to_string(d);
}

std::string JalaliDateOfGregorian(int gregorianYear, int gregorianMonth, int gregorianDay) {
    return NormalizeDate(JalaliDateText(gregorianYear, gregorianMonth, gregorianDay));
}

std::string TodayJalali() {
    std::string date, time;
    if (ClockOverride(date, time)) {
        if (!IsValidJalaliDate(date)) BadOverride();
        std::string r = NormalizeDate(date);
        if (r.size() != 10) BadOverride();
        return r;
    }
    std::tm tm = LocalNow();
    return JalaliDateOfGregorian(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

std::string NowTime() {
    std::string date, time;
    if (ClockOverride(date, time)) {
        std::string r = NormalizeTime(time);
        if (r.size() != 5 || !IsDigits(r.substr(0, 2)) || !IsDigits(r.substr(3, 2)) ||
            std::stoi(r.substr(0, 2)) > 23 || std::stoi(r.substr(3, 2)) > 59) {
            BadOverride();
        }
        return r;
    }
    std::tm tm = LocalNow();
    return NormalizeTime(std::to_string(tm.tm_hour) + ":" + std::to_string(tm.tm_min));
}

std::string NormalizeDate(std::string_view text) {
    if (text.size() < 6) return std::string();
    std::string s(text);
    if (s.find('/') == std::string::npos && IsDigits(s)) {
        if (s.size() == 6) {
            s = s.substr(0, 2) + "/" + s.substr(2, 2) + "/" + s.substr(4, 2);
        } else if (s.size() == 8) {
            s = s.substr(0, 4) + "/" + s.substr(4, 2) + "/" + s.substr(6, 2);
        }
    }
    std::size_t p1 = s.find('/');
    if (p1 == 0) return s;
    if (p1 == std::string::npos) return "//";
    std::size_t p2 = s.find('/', p1 + 1);
    if (p2 == std::string::npos) return "//";

    int y = ToInt(std::string_view(s).substr(0, p1), text, "year");
    int m = ToInt(std::string_view(s).substr(p1 + 1, p2 - p1 - 1), text, "month");
    int d = ToInt(std::string_view(s).substr(p2 + 1), text, "day");
    std::string ys = std::to_string(y), ms = std::to_string(m), ds = std::to_string(d);
    if (y != 0 && m != 0 && d != 0) {
        if (y < 100) ys = "13" + ys;
        if (m < 10) ms = "0" + ms;
        if (d < 10) ds = "0" + ds;
    }
    return ys + "/" + ms + "/" + ds;
}

std::string NormalizeTime(std::string_view text) {
    std::string sign;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        sign = std::string(1, text[0]);
        text.remove_prefix(1);
    }
    std::string s(text);
    if (s.find(':') == std::string::npos) {
        if (s.size() != 4 || !IsDigits(s)) return std::string();
        s.insert(2, ":");
    }
    std::size_t colon = s.find(':');
    // The parts are padded with zeros (a long hour part stays whole); spaces
    // written into the first five characters of the text read as zeros too.
    std::string hour = PadLeft(s.substr(0, colon), 2, '0');
    std::string minute = PadLeft(s.substr(colon + 1, 2), 2, '0');
    std::string r = hour + ":" + minute;
    for (std::size_t i = 0; i < r.size() && i < 5; ++i) {
        if (r[i] == ' ') r[i] = '0';
    }
    return sign + r;
}

bool IsValidJalaliDate(std::string_view text) {
    if (text.size() <= 5) return false;
    std::size_t i1 = text.find('/');
    if (i1 != 2 && i1 != 4) return false;
    std::size_t p1 = i1 + 1;  // positions count from 1
    std::string_view rest = text.substr(i1 + 1);
    std::size_t i2 = rest.find('/');
    std::size_t p2 = i2 == std::string_view::npos ? 0 : i2 + 1;
    if (p1 + p2 < 5 || p1 + p2 > 8) return false;
    if (i2 == std::string_view::npos) return false;  // no day part

    std::string_view ys = text.substr(0, i1), ms = rest.substr(0, i2), ds = rest.substr(i2 + 1);
    if (!IsDigits(ys) || !IsDigits(ms) || !IsDigits(ds)) return false;
    std::int64_t y = DigitsValue(ys), m = DigitsValue(ms), d = DigitsValue(ds);
    if (y == 0 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    if (m >= 7 && d > 30) return false;
    // A two-digit year is 13yy, as NormalizeDate writes it.
    if (m == 12 && d == 30 && !LeapYear(y < 100 ? 1300 + y : y)) return false;
    return true;
}

int DaysInMonth(int year, int month) { return DaysIn(year, month); }

int DateYear(std::string_view date) {
    return ToInt(date.substr(0, std::min<std::size_t>(4, date.size())), date, "year");
}

int DateMonth(std::string_view date) {
    std::string_view part = date.size() > 5 ? date.substr(5, 2) : std::string_view();
    return ToInt(part, date, "month");
}

int DateDay(std::string_view date) {
    std::string_view part = date.size() > 8 ? date.substr(8, 2) : std::string_view();
    return ToInt(part, date, "day");
}

int DayDiff(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) return 0;
    bool swapped = false;
    if (from > to) {
        std::swap(from, to);
        swapped = true;
    }
    std::int64_t y1 = DateYear(from), m1 = DateMonth(from), d1 = DateDay(from);
    std::int64_t y2 = DateYear(to), m2 = DateMonth(to), d2 = DateDay(to);
    std::int64_t r = (MonthOffset(m2) + d2) - (MonthOffset(m1) + d1) + YearStartDay(y2) - YearStartDay(y1);
    if (swapped) r = -r;
    return static_cast<int>(r);
}

std::string AddDays(std::string_view date, int n) {
    std::int64_t y = DateYear(date), m = DateMonth(date);
    std::int64_t d = std::int64_t{DateDay(date)} + n;
    if (n < 0) {
        while (d < 1) {
            m -= 1;
            if (m < 1) {
                m = 12;
                y -= 1;
            }
            d += DaysIn(y, m);
        }
    } else {
        while (d > DaysIn(y, m)) {
            d -= DaysIn(y, m);
            m += 1;
            if (m > 12) {
                m = 1;
                y += 1;
            }
        }
    }
    std::string r = PadLeft(std::to_string(y), 4, ' ') + "/" + PadLeft(std::to_string(m), 2, ' ') +
                    "/" + PadLeft(std::to_string(d), 2, ' ');
    for (std::size_t i = 0; i < r.size() && i < 10; ++i) {
        if (r[i] == ' ') r[i] = '0';
    }
    return r;
}

bool DateInRange(std::string_view date, std::string_view from, std::string_view to) {
    return from <= date && date <= to;
}

}  // namespace attcalc
