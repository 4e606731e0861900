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

std::string Absence(const TDayRecord& r) {
    std::string s;
    if (r.Prc_DayAbsence != 0) s = std::to_string(r.Prc_DayAbsence) + "d";
    std::string h = ReportDuration(r.Prc_HourAbsence);
    if (!h.empty()) s += (s.empty() ? "" : "+") + h;
    return s;
}

std::vector<std::string> Line(const TDayRecord& r, bool total) {
    std::string day;
    if (!total) {
        int w = WeekdayOfText(r.Prc_date);
        if (w >= 0 && w < 7) day = kWeekdays[w];
        if (r.Prc_Type & kHolidayBits) day += "*";
    }
    return {total ? "Month total" : r.Prc_date,
            day,
            r.Prc_shiftcode ? std::to_string(r.Prc_shiftcode) : "",
            total ? "" : Punches(r),
            ReportDuration(r.Prc_NormWork),
            ReportDuration(r.Prc_PresenceWork),
            ReportDuration(r.Prc_PureWork),
            ReportDuration(r.Prc_TakhirLessWork),
            ReportDuration(r.Prc_TajilLessWork),
            Absence(r),
            ReportDuration(r.Prc_ValidAddWork)};
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

void PrintReport(TRunContext& ctx, const std::string& code, int year, int month, std::ostream& out) {
    const TSalaryPeriod p = SalaryPeriod(ctx, year, month);
    const std::string monthRow = p.Last.substr(0, 8) + "00";
    const std::string lastTable = RecordTableName(p.Last);
    const Dialect& d = ctx.db->dialect();

    std::vector<TDayRecord> days;
    TDayRecord total;
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

    char head[128];
    std::snprintf(head, sizeof head, "Personnel code %s, salary month %04d/%02d (%s - %s)\n", code.c_str(), year,
                  month, p.First.c_str(), p.Last.c_str());
    out << head;
    if (days.empty() && !haveTotal) {
        out << "No stored results.\n";
        return;
    }

    std::vector<std::vector<std::string>> lines;
    lines.push_back({"Date", "Day", "Shift", "Punches", "Required", "Presence", "Net work", "Late", "Early",
                     "Absence", "Overtime"});
    for (const TDayRecord& r : days) lines.push_back(Line(r, false));
    if (haveTotal) lines.push_back(Line(total, true));

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

}  // namespace attcalc
