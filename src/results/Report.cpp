#include "results/Report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "calendar/Holidays.h"
#include "calendar/SalaryPeriod.h"
#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "results/DayRecord.h"
#include "results/ResultsCursor.h"
#include "run/Context.h"

namespace attcalc {

namespace {

const char* const kWeekdays[7] = {"Sat", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri"};
// Prc_Type bits of an unofficial (2) and an official (4) holiday.
constexpr int kHolidayBits = 2 | 4;

std::string Pad(const std::string& s, std::size_t w, bool right) {
    if (s.size() >= w) return s;
    return right ? std::string(w - s.size(), ' ') + s : s + std::string(w - s.size(), ' ');
}

std::string Punches(const TDayRecord& r) {
    const std::int32_t slots[10] = {r.Prc_FirstIn,  r.Prc_FirstOut, r.Prc_SecondIn, r.Prc_SecondOut,
                                    r.Prc_ThirdIn,  r.Prc_ThirdOut, r.Prc_Fourthin, r.Prc_FourthOut,
                                    r.Prc_FifthIn,  r.Prc_FifthOut};
    std::string s;
    for (std::int32_t t : slots) {
        if (t == TDayRecord::kNoTime) continue;
        if (!s.empty()) s += ' ';
        s += ReportTime(t);
    }
    return s;
}

// Days and minutes as "2d+1:15", "1d", "0:30" or "".
std::string DaysAndTime(int days, int minutes) {
    std::string s;
    if (days != 0) s = std::to_string(days) + "d";
    std::string h = ReportDuration(minutes);
    if (!h.empty()) s += (s.empty() ? "" : "+") + h;
    return s;
}

// The month total's stored values that a day row does not have.
struct TTotalExtras {
    int RemainDays = 0;     // Prc_DayEleaveRemain
    int RemainMinutes = 0;  // Prc_HourEleaveRemain
};

// Leave of every kind: paid, entitled, sick, unpaid and unpaid sick. The
// month-total row keeps the entitled-leave projection in two of the whole-day
// time columns, which are no leave there.
int LeaveDays(const TDayRecord& r) {
    return r.Prc_DayleaveSalary + r.Prc_DayEleaveSalary + r.Prc_DaySleaveSalary + r.Prc_DayleaveNoSalary +
           r.Prc_DaySleaveNoSalary;
}
int LeaveMinutes(const TDayRecord& r, bool total) {
    int m = r.Prc_HourleaveSalary + r.Prc_HourEleaveSalary + r.Prc_HourSleaveSalary + r.Prc_HourleaveNoSalary +
            r.Prc_HourSleaveNoSalary + r.Prc_HourDayleaveSalary + r.Prc_HourDayleaveNoSalary;
    if (!total) m += r.Prc_HourDayEleaveSalary + r.Prc_HourDaySleaveSalary;
    return m;
}
int MissionDays(const TDayRecord& r) { return r.Prc_DayMission + r.Prc_FullMission; }
int MissionMinutes(const TDayRecord& r) { return r.Prc_HourMission + r.Prc_HourDayMission; }

std::string WeekdayText(const TDayRecord& r) {
    const int w = WeekdayOfText(r.Prc_date);
    return w >= 0 && w < 7 ? kWeekdays[w] : "";
}

std::vector<std::string> Line(const TDayRecord& r) {
    std::string day = WeekdayText(r);
    if (r.Prc_Type & kHolidayBits) day += "*";
    return {r.Prc_date,
            day,
            r.Prc_shiftcode ? std::to_string(r.Prc_shiftcode) : "",
            Punches(r),
            ReportDuration(r.Prc_NormWork),
            ReportDuration(r.Prc_PresenceWork),
            ReportDuration(r.Prc_PureWork),
            ReportDuration(r.Prc_TakhirLessWork),
            ReportDuration(r.Prc_TajilLessWork),
            DaysAndTime(r.Prc_DayAbsence, r.Prc_HourAbsence),
            ReportDuration(r.Prc_ValidAddWork),
            DaysAndTime(LeaveDays(r), LeaveMinutes(r, false)),
            DaysAndTime(MissionDays(r), MissionMinutes(r)),
            r.Prc_kind ? std::to_string(r.Prc_kind) : ""};
}

std::string Days(int n) { return std::to_string(n) + (n == 1 || n == -1 ? " day" : " days"); }
std::string Time(int minutes) { return minutes == 0 ? "0:00" : ReportDuration(minutes); }
std::string DaysTime(int days, int minutes) { return Days(days) + " " + Time(minutes); }

void PrintTotal(const TDayRecord& t, const TTotalExtras& x, std::ostream& out) {
    out << "Month total " << t.Prc_date << " (" << (t.Prc_Type == 1 ? "month in progress" : "whole month")
        << (t.Prc_changed == 1 ? ", edited by hand" : "") << ")\n";
    const std::pair<const char*, std::string> items[] = {
        {"Required work", Time(t.Prc_NormWork)},
        {"Presence", Time(t.Prc_PresenceWork)},
        {"Net work", Time(t.Prc_PureWork)},
        {"Gross work", Time(t.Prc_TotalWork)},
        {"Lateness", Time(t.Prc_TakhirLessWork)},
        {"Early leave", Time(t.Prc_TajilLessWork)},
        {"Absence", DaysTime(t.Prc_DayAbsence, t.Prc_HourAbsence)},
        {"Valid overtime", Time(t.Prc_ValidAddWork)},
        {"Leave", DaysTime(LeaveDays(t), LeaveMinutes(t, true))},
        {"Mission", DaysTime(MissionDays(t), MissionMinutes(t))},
        {"Remaining entitled leave", DaysTime(x.RemainDays, x.RemainMinutes)},
    };
    for (const auto& [label, value] : items) out << "  " << Pad(label, 26, false) << value << '\n';
    // The rule scripts' own variables, those that hold something.
    for (int i = 0; i < 10; ++i) {
        if (t.Prc_scrtimes[i] != 0)
            out << "  " << Pad("Script time " + std::to_string(i + 1), 26, false) << Time(t.Prc_scrtimes[i]) << '\n';
        if (t.Prc_scrdays[i] != 0)
            out << "  " << Pad("Script days " + std::to_string(i + 1), 26, false) << t.Prc_scrdays[i] << '\n';
    }
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

const char* const kCsvHeader[] = {"date",           "weekday",       "holiday",         "shift",
                                  "punches",        "required",      "presence",        "net_work",
                                  "gross_work",     "late",          "early",           "absence_days",
                                  "absence_minutes", "overtime",     "leave_days",      "leave_minutes",
                                  "mission_days",   "mission_minutes", "day_code",      "remaining_leave_days",
                                  "remaining_leave_minutes"};

std::vector<std::string> CsvLine(const TDayRecord& r, const TTotalExtras* total) {
    auto n = [](std::int64_t v) { return std::to_string(v); };
    return {r.Prc_date,
            total ? "" : WeekdayText(r),
            total ? "" : n((r.Prc_Type & kHolidayBits) ? 1 : 0),
            n(r.Prc_shiftcode),
            total ? "" : Punches(r),
            n(r.Prc_NormWork),
            n(r.Prc_PresenceWork),
            n(r.Prc_PureWork),
            n(r.Prc_TotalWork),
            n(r.Prc_TakhirLessWork),
            n(r.Prc_TajilLessWork),
            n(r.Prc_DayAbsence),
            n(r.Prc_HourAbsence),
            n(r.Prc_ValidAddWork),
            n(LeaveDays(r)),
            n(LeaveMinutes(r, total != nullptr)),
            n(MissionDays(r)),
            n(MissionMinutes(r)),
            n(r.Prc_kind),
            total ? n(total->RemainDays) : "",
            total ? n(total->RemainMinutes) : ""};
}

void WriteCsvLine(const std::vector<std::string>& fields, std::ostream& out) {
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "," : "") << CsvField(fields[i]);
    out << "\n";
}

}  // namespace

std::string ReportTime(int minutes) {
    if (minutes == TDayRecord::kNoTime) return "";
    char buf[24];
    const int a = std::abs(minutes);
    std::snprintf(buf, sizeof buf, "%s%02d:%02d", minutes < 0 ? "-" : "", a / 60, a % 60);
    return buf;
}

std::string ReportDuration(int minutes) {
    if (minutes == 0) return "";
    char buf[24];
    const int a = std::abs(minutes);
    std::snprintf(buf, sizeof buf, "%s%d:%02d", minutes < 0 ? "-" : "", a / 60, a % 60);
    return buf;
}

void PrintReport(TRunContext& ctx, const std::string& code, int year, int month, std::ostream& out, bool csv) {
    const TSalaryPeriod p = SalaryPeriod(ctx, year, month);
    const std::string monthRow = p.Last.substr(0, 8) + "00";
    const std::string lastTable = RecordTableName(p.Last);
    const Dialect& d = ctx.db->dialect();

    std::vector<TDayRecord> days;
    TDayRecord total;
    TTotalExtras extras;
    bool haveTotal = false;
    // The salary month's days may lie in two month tables; its total lies in
    // the table of its last date.
    std::string table = RecordTableName(p.First);
    for (int guard = 0; guard < 14; ++guard) {
        if (TableExists(ctx, table)) {
            Rows rows = ctx.db->Query("select * from " + d.Table(table) + " where prc_pcode=" + d.Quote(code));
            for (std::size_t i = 0; i < rows.Count(); ++i) {
                TDayRecord r;
                ReadDayRecord(rows, i, r);
                if (r.Prc_date == monthRow && EqualsNoCase(table, lastTable)) {
                    total = r;
                    extras.RemainDays = static_cast<int>(rows.Int(i, "Prc_DayEleaveRemain"));
                    extras.RemainMinutes = static_cast<int>(rows.Int(i, "Prc_HourEleaveRemain"));
                    haveTotal = true;
                } else if (!IsMonthRowDate(r.Prc_date) && r.Prc_date >= p.First && r.Prc_date <= p.Last) {
                    days.push_back(r);
                }
            }
        }
        if (EqualsNoCase(table, lastTable)) break;
        table = NextMonthTableName(table);
    }
    std::sort(days.begin(), days.end(),
              [](const TDayRecord& a, const TDayRecord& b) { return a.Prc_date < b.Prc_date; });

    if (csv) {
        WriteCsvLine(std::vector<std::string>(std::begin(kCsvHeader), std::end(kCsvHeader)), out);
        for (const TDayRecord& r : days) WriteCsvLine(CsvLine(r, nullptr), out);
        if (haveTotal) WriteCsvLine(CsvLine(total, &extras), out);
        return;
    }

    char head[128];
    std::snprintf(head, sizeof head, "Personnel code %s, salary month %04d/%02d (%s - %s)\n", code.c_str(), year,
                  month, p.First.c_str(), p.Last.c_str());
    out << head;
    if (days.empty() && !haveTotal) {
        out << "No stored results.\n";
        return;
    }

    if (!days.empty()) {
        std::vector<std::vector<std::string>> lines;
        lines.push_back({"Date", "Day", "Shift", "Punches", "Required", "Presence", "Net work", "Late", "Early",
                         "Absence", "Overtime", "Leave", "Mission", "Code"});
        for (const TDayRecord& r : days) lines.push_back(Line(r));

        std::vector<std::size_t> width(lines[0].size(), 0);
        for (const auto& l : lines)
            for (std::size_t c = 0; c < l.size(); ++c) width[c] = std::max(width[c], l[c].size());
        // Text columns are left-aligned, numbers right-aligned.
        auto right = [](std::size_t c) { return c == 2 || c >= 4; };
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string s;
            for (std::size_t c = 0; c < lines[i].size(); ++c) {
                if (c) s += "  ";
                s += Pad(lines[i][c], width[c], right(c));
            }
            while (!s.empty() && s.back() == ' ') s.pop_back();
            out << s << '\n';
        }
        for (const TDayRecord& r : days)
            if (r.Prc_Type & kHolidayBits) {
                out << "* holiday\n";
                break;
            }
    }
    if (haveTotal) {
        if (!days.empty()) out << '\n';
        PrintTotal(total, extras, out);
    }
}

}  // namespace attcalc
