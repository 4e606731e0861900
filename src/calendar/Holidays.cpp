#include "calendar/Holidays.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "run/Context.h"

namespace attcalc {

namespace {

constexpr std::uint32_t Days(std::initializer_list<int> days) {
    std::uint32_t s = 0;
    for (int d : days) s |= std::uint32_t{1} << d;
    return s;
}

// The holidays every generated month starts with.
constexpr std::uint32_t FixedSolarHolidays[13] = {
    0,
    Days({1, 2, 3, 4, 12, 13}),  // 1
    0,                           // 2
    Days({14, 15}),              // 3
    0, 0, 0,                     // 4, 5, 6
    Days({31}),                  // 7
    Days({31}),                  // 8
    Days({31}),                  // 9
    Days({31}),                  // 10
    Days({22, 31}),              // 11
    Days({29, 30, 31}),          // 12
};

// The religious holidays by Hijri month.
constexpr std::uint32_t LunarHolidays[13] = {
    0,
    Days({9, 10}),       // 1
    Days({20, 28, 30}),  // 2
    Days({17}),          // 3
    0, 0,                // 4, 5
    Days({3}),           // 6
    Days({13, 27}),      // 7
    Days({15}),          // 8
    Days({21}),          // 9
    Days({1, 25}),       // 10
    0,                   // 11
    Days({10, 18}),      // 12
};

// Complete calendars of three years, used instead of the computation.
constexpr int FixedYearFirst = 1387;
constexpr int FixedYearLast = 1389;
constexpr std::uint32_t FixedYearHolidays[3][12] = {
    {
        // 1387
        Days({1, 2, 3, 4, 6, 9, 12, 13, 16, 23, 30}),
        Days({6, 13, 20, 27}),
        Days({3, 10, 14, 15, 17, 18, 24, 31}),
        Days({7, 14, 21, 26, 28}),
        Days({4, 9, 11, 18, 25, 27}),
        Days({1, 8, 15, 22, 29}),
        Days({1, 5, 10, 12, 19, 26}),
        Days({3, 4, 10, 17, 24}),
        Days({1, 8, 15, 19, 22, 27, 29}),
        Days({6, 13, 17, 18, 20, 27}),
        Days({4, 11, 18, 22, 25, 28}),
        Days({2, 6, 8, 9, 16, 23, 25, 29, 30}),
    },
    {
        // 1388
        Days({1, 2, 3, 4, 7, 12, 13, 14, 21, 28}),
        Days({4, 11, 18, 25}),
        Days({1, 7, 8, 14, 15, 22, 29}),
        Days({5, 12, 15, 19, 26, 29}),
        Days({2, 9, 16, 23, 30}),
        Days({6, 13, 20, 27, 29}),
        Days({3, 10, 17, 22, 24}),
        Days({1, 8, 15, 22, 29}),
        Days({6, 7, 13, 15, 20, 27}),
        Days({4, 5, 6, 11, 18, 25}),
        Days({2, 9, 16, 22, 23, 24, 26, 30}),
        Days({7, 13, 14, 21, 28, 29}),
    },
    {
        // 1389
        Days({1, 2, 3, 4, 6, 12, 13, 20, 27}),
        Days({3, 10, 17, 24, 27, 31}),
        Days({7, 14, 15, 21, 28}),
        Days({4, 5, 11, 18, 19, 25}),
        Days({1, 5, 8, 15, 22, 29}),
        Days({5, 10, 12, 19, 26}),
        Days({2, 9, 12, 16, 23, 30}),
        Days({7, 14, 21, 26, 28}),
        Days({4, 5, 12, 19, 24, 25, 26}),
        Days({3, 10, 17, 24}),
        Days({1, 5, 8, 13, 15, 22, 29}),
        Days({2, 5, 6, 13, 20, 27, 29}),
    },
};

constexpr double LunarMonth = 29.53059072;

bool InSet(std::uint32_t set, int d) { return d >= 0 && d <= 31 && (set >> d) & 1u; }

int Mod7(long long x) { return static_cast<int>(((x % 7) + 7) % 7); }

// 1 Farvardin 1300 was a Monday.
constexpr int Weekday1300 = 2;

std::string HolidayTable(TRunContext& ctx) { return ctx.db->dialect().Table("holiday"); }

std::string HolidayFilePath(TRunContext& ctx, int kind) {
    const char* name = kind == HolidayKindOfficial ? OfficialHolidayFileName : UnofficialHolidayFileName;
    return (std::filesystem::path(ctx.home) / name).string();
}

// 31 characters, "1" at position d when day d is in the set.
std::string DayText(std::uint32_t set) {
    std::string s(31, '0');
    for (int d = 1; d <= 31; ++d) {
        if (InSet(set, d)) s[d - 1] = '1';
    }
    return s;
}

// The day set of a stored text: character position d holding "1" sets day d.
// Positions count characters, not bytes, so that any other character written
// into the text (also a multi-byte one) takes exactly one day's place.
std::uint32_t DaySetOfText(const std::string& text) {
    std::uint32_t set = 0;
    int pos = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) == 0x80) continue;  // continuation byte of the same character
        ++pos;
        if (pos > 31) break;
        if (c == '1') set |= std::uint32_t{1} << pos;
    }
    return set;
}

void ClearSets(THolidayCalendar& h) {
    for (int m = 0; m <= 12; ++m) {
        h.OfficialHolidays[m] = 0;
        h.UnofficialHolidays[m] = 0;
    }
}

bool FileHoldsYear(int y) { return y >= HolidayFileFirstYear && y <= HolidayFileLastYear; }

// The twelve records of year y from one holiday file.
void ReadHolidayFileYear(const std::string& path, int y, std::uint32_t sets[13]) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open the holiday file " + path);
    in.seekg(static_cast<std::streamoff>(y - HolidayFileFirstYear) * 12 * 4);
    unsigned char buf[48];
    in.read(reinterpret_cast<char*>(buf), sizeof buf);
    if (!in || in.gcount() != static_cast<std::streamsize>(sizeof buf)) {
        throw std::runtime_error("the holiday file " + path + " has no records for the year " +
                                 std::to_string(y));
    }
    for (int m = 1; m <= 12; ++m) {
        const unsigned char* p = buf + (m - 1) * 4;
        sets[m] = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                  std::uint32_t{p[3]} << 24;
    }
}

}  // namespace

int Weekday(int y, int m, int d) {
    if (m < 1 || m > 12) throw std::out_of_range("month " + std::to_string(m) + " is not 1 to 12");
    return Mod7(JalaliDayNumber(y, m, d) + Weekday1300);
}

int WeekdayOfText(std::string_view date) {
    std::size_t p1 = date.find('/');
    std::size_t p2 = p1 == std::string_view::npos ? std::string_view::npos : date.find('/', p1 + 1);
    if (p2 == std::string_view::npos) {
        throw std::runtime_error("'" + std::string(date) + "' is not a date text");
    }
    auto part = [&](std::string_view s, bool emptyIsZero) -> int {
        if (s.empty() && emptyIsZero) return 0;
        if (!IsDigits(s) || s.size() > 9) {
            throw std::runtime_error("'" + std::string(s) + "' is not a valid integer (date '" +
                                     std::string(date) + "')");
        }
        return std::stoi(std::string(s));
    };
    int y = part(date.substr(0, p1), false);
    int m = part(date.substr(p1 + 1, p2 - p1 - 1), false);
    int d = part(date.substr(p2 + 1), true);
    if (y == 0 || m == 0 || d == 0) return -1;
    return Weekday(y, m, d);
}

int YearStartWeekday(int y) { return Weekday(y, 1, 1); }

void MonthStartWeekdays(int y, int firstWeekday[12], int monthLength[12]) {
    for (int m = 1; m <= 12; ++m) {
        firstWeekday[m - 1] = Weekday(y, m, 1);
        monthLength[m - 1] = DaysInMonth(y, m);
    }
}

void LoadHolidayYear(TRunContext& ctx, int y) {
    THolidayCalendar& h = ctx.holidays;
    if (h.HolidayYear == y) return;
    if (!TableExists(ctx, "holiday")) {
        CreateTableIfMissing(ctx, "holiday");
        if (std::filesystem::exists(HolidayFilePath(ctx, HolidayKindOfficial))) {
            for (int t = HolidayFileFirstYear; t <= HolidayFileLastYear; ++t) {
                LoadHolidayFileYear(ctx, t);
                StoreHolidayYear(ctx, t);
            }
        }
    }
    ClearSets(h);
    h.HolidayYear = 0;  // nothing valid held until the rows are read
    Rows rows = ctx.db->QueryBound("select * FROM " + HolidayTable(ctx) + " where holiday_year=?", {DbValue::Int(y)});
    for (std::size_t r = 0; r < rows.Count(); ++r) {
        std::int64_t m = rows.Int(r, "holiday_month");
        if (m < 1 || m > 12) continue;  // names no month
        h.OfficialHolidays[m] |= DaySetOfText(rows.Text(r, "holiday_rasmi"));
        h.UnofficialHolidays[m] |= DaySetOfText(rows.Text(r, "holiday_Nonrasmi"));
    }
    h.HolidayYear = y;
}

void StoreHolidayYear(TRunContext& ctx, int y) {
    CreateTableIfMissing(ctx, "holiday");
    Database& db = *ctx.db;
    db.Execute("delete FROM " + HolidayTable(ctx) + " where holiday_year=" + std::to_string(y));
    const THolidayCalendar& h = ctx.holidays;
    for (int m = 1; m <= 12; ++m) {
        db.Insert("holiday", {
                                 {"holiday_Year", DbValue::Int(y)},
                                 {"holiday_Month", DbValue::Int(m)},
                                 {"holiday_rasmi", DbValue::Text(DayText(h.OfficialHolidays[m]))},
                                 {"holiday_Nonrasmi", DbValue::Text(DayText(h.UnofficialHolidays[m]))},
                             });
    }
}

int HolidayFlagBits(TRunContext& ctx, std::string_view date) {
    if (date.empty()) return 0;
    int y = DateYear(date), m = DateMonth(date), d = DateDay(date);
    LoadHolidayYear(ctx, y);
    if (m < 1 || m > 12) return 0;
    int bits = 0;
    if (InSet(ctx.holidays.UnofficialHolidays[m], d)) bits |= HolidayFlagUnofficial;
    if (InSet(ctx.holidays.OfficialHolidays[m], d)) bits |= HolidayFlagOfficial;
    return bits;
}

void LoadHolidayFileYear(TRunContext& ctx, int y) {
    THolidayCalendar& h = ctx.holidays;
    if (h.HolidayYear == y) return;
    std::uint32_t sets[2][13] = {};
    for (int kind = HolidayKindOfficial; kind <= HolidayKindUnofficial; ++kind) {
        std::string path = HolidayFilePath(ctx, kind);
        if (!std::filesystem::exists(path)) GenerateHolidayFile(path);
        if (FileHoldsYear(y)) {
            ReadHolidayFileYear(path, y, sets[kind - 1]);
        } else {
            // The files end with 1405; later (and earlier) years get the
            // calendar the generator computes for them.
            for (int m = 1; m <= 12; ++m) sets[kind - 1][m] = GeneratedHolidayMonth(y, m);
        }
    }
    // The held year changes only once both files have been read.
    for (int m = 0; m <= 12; ++m) {
        h.OfficialHolidays[m] = sets[0][m];
        h.UnofficialHolidays[m] = sets[1][m];
    }
    h.HolidayYear = y;
}

bool IsFileHoliday(TRunContext& ctx, int kind, int y, int m, int d) {
    LoadHolidayFileYear(ctx, y);
    if (m < 1 || m > 12) return false;
    const THolidayCalendar& h = ctx.holidays;
    if (kind == HolidayKindOfficial) return InSet(h.OfficialHolidays[m], d);
    if (kind == HolidayKindUnofficial) return InSet(h.UnofficialHolidays[m], d);
    return false;
}

bool IsHolidayDate(TRunContext& ctx, std::string_view date) {
    if (!IsValidJalaliDate(date)) return false;
    // A valid date may be written loosely (93/1/1); its normal form has the
    // fixed positions.
    std::string n = NormalizeDate(date);
    int y = DateYear(n), m = DateMonth(n), d = DateDay(n);
    return IsFileHoliday(ctx, HolidayKindOfficial, y, m, d) || IsFileHoliday(ctx, HolidayKindUnofficial, y, m, d);
}

THijriDate HijriDate(int y, int m, int d) {
    double D = m <= 6 ? 31.0 * (m - 1) + d : 186.0 + 30.0 * (m - 7) + d;
    double A = std::trunc((y + 131) * 365.242347 + D + 2.0013);
    double B = std::trunc((A + 8.5) / LunarMonth) * LunarMonth + 8.5;
    double F = A + 0.44 * std::sin(B / 65.576 + 1.17) - 0.095 * std::sin((y - 1216) * 0.336) -
               0.13 * std::sin((B - 493574) / 55.16) - 27425.5;
    if (y > 1336) {
        F = F + (y - 1336) * 0.004;
    } else {
        F = F + (y - 1336) * 0.001;
    }
    long long N = static_cast<long long>(std::trunc(F / LunarMonth));
    THijriDate h;
    h.Day = static_cast<int>(static_cast<long long>(std::trunc(F - N * LunarMonth)) + 1);
    h.Year = static_cast<int>(N / 12 - 58);
    h.Month = static_cast<int>(N % 12 + 1);
    return h;
}

THijriDate HijriOfDay(int y, int m, int d) {
    // Five days on and back keeps the day inside its Hijri month; near the
    // start of a month (where that would reach day 0 or below) five days back
    // and forward instead.
    THijriDate h = HijriDate(y, m, d + 5);
    if (h.Day < 6) {
        h = HijriDate(y, m, d - 5);
        h.Day += 5;
    } else {
        h.Day -= 5;
    }
    return h;
}

std::uint32_t GeneratedHolidayMonth(int y, int m) {
    if (y >= FixedYearFirst && y <= FixedYearLast) return FixedYearHolidays[y - FixedYearFirst][m - 1];
    int first[12], length[12];
    MonthStartWeekdays(y, first, length);
    std::uint32_t s = FixedSolarHolidays[m];
    int w = first[m - 1];
    for (int d = 7 - w; d <= 31; d += 7) s |= std::uint32_t{1} << d;
    for (int j = 1; j <= 31; ++j) {
        if (InSet(s, j)) continue;
        THijriDate h = HijriOfDay(y, m, j);
        if (h.Month >= 1 && h.Month <= 12 && InSet(LunarHolidays[h.Month], h.Day)) {
            s |= std::uint32_t{1} << j;
        } else if (h.Month == 2 && h.Day == 29 && HijriOfDay(y, m, j + 1).Month == 3) {
            s |= std::uint32_t{1} << j;  // a 29-day second month: its last day takes the 30th's holiday
        }
    }
    return s;
}

void GenerateHolidayFile(const std::string& path) {
    std::string bytes;
    bytes.reserve(HolidayFileBytes);
    for (int t = HolidayFileFirstYear; t <= HolidayFileLastYear; ++t) {
        for (int m = 1; m <= 12; ++m) {
            std::uint32_t s = GeneratedHolidayMonth(t, m);
            for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<char>((s >> (8 * b)) & 0xFF));
        }
    }
    // Written under a temporary name and then moved into place, so that a
    // failure never leaves a short file that later reads would trust; an
    // existing file is never replaced.
    std::string tmp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot create the holiday file " + path);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(tmp);
            throw std::runtime_error("cannot write the holiday file " + path);
        }
    }
    std::error_code ec;
    if (std::filesystem::exists(path)) {
        std::filesystem::remove(tmp, ec);
        return;
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::filesystem::remove(tmp);
        throw std::runtime_error("cannot create the holiday file " + path + ": " + ec.message());
    }
}

}  // namespace attcalc
