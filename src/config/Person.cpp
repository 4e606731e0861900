#include "config/Person.h"

#include <charconv>
#include <stdexcept>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "run/Context.h"

namespace attcalc {

namespace {

// The person's row, the personnel code bound to the one marker.
std::string PersonsWhere(const Database& db) {
    return " from " + db.dialect().Table("persons") + " where p_Barcode=?";
}

// A text of digits only as a number; 0 for anything else (or too large).
int32_t DigitsValue(const std::string& text) {
    if (!IsDigits(text)) return 0;
    int32_t out = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && p == text.data() + text.size() ? out : 0;
}

// A real date "yyyy/mm/dd": year 1 to 9999, month 1 to 12, a day of that
// month. An employment date such as 9999/99/99 would otherwise cut periods
// and delete results at a position that is no day at all.
bool IsDateText(const std::string& d) {
    if (d.size() != 10 || d[4] != '/' || d[7] != '/') return false;
    if (!IsDigits(d.substr(0, 4)) || !IsDigits(d.substr(5, 2)) || !IsDigits(d.substr(8, 2))) return false;
    const int y = std::stoi(d.substr(0, 4)), m = std::stoi(d.substr(5, 2)), day = std::stoi(d.substr(8, 2));
    return y >= 1 && m >= 1 && m <= 12 && day >= 1 && day <= DaysInMonth(y, m);
}

// A stored employment date made into a date text. Empty stays empty; a text
// that does not make a date ends the run rather than cutting periods and
// deleting results at a position that means nothing.
std::string EmploymentDate(const std::string& pcode, const char* column, const std::string& stored) {
    std::string d;
    try {
        d = NormalizeDate(stored);
    } catch (const std::exception&) {
        d = "?";
    }
    if (!d.empty() && !IsDateText(d))
        throw DbError("persons: " + std::string(column) + " '" + Abbreviate(stored) + "' of the person '" +
                      Abbreviate(pcode) + "' is not a date");
    return d;
}

}  // namespace

int32_t PersonRuleGroup(TRunContext& ctx, const std::string& pcode) {
    Database& db = *ctx.db;
    Rows rows = db.QueryBound("select p_rulegroup,p_param,P_Reserve5,P_Reserve6,P_Reserve7,p_jobdate,p_parts" +
                                  PersonsWhere(db),
                              {DbValue::Text(pcode)});
    TPersonAttributes& p = ctx.person;
    if (rows.Empty()) {
        p.p_rulegroup = 0;
        p.p_param = 0;
        p.p_jobdate.clear();
        p.p_parts.clear();
        p.PriorServiceYears = 0;
        p.PriorServiceMonths = 0;
        p.Found = false;
        // The productivity flag keeps its previous value.
        return 0;
    }
    p.Found = true;
    p.p_rulegroup = static_cast<int32_t>(rows.Int(0, "p_rulegroup"));
    p.p_param = static_cast<int32_t>(rows.Int(0, "p_param"));
    p.p_jobdate = rows.Text(0, "p_jobdate");
    p.p_parts = rows.Text(0, "p_parts");

    // Prior service "years/months", e.g. "3/06".
    p.PriorServiceYears = 0;
    p.PriorServiceMonths = 0;
    std::string service = rows.Text(0, "P_Reserve6");
    if (!service.empty()) {
        std::size_t slash = service.find('/');
        if (slash == std::string::npos) {
            p.PriorServiceYears = DigitsValue(service);
        } else {
            p.PriorServiceYears = DigitsValue(service.substr(0, slash));
            p.PriorServiceMonths = DigitsValue(service.substr(slash + 1, 2));
        }
    }
    p.ProductivityMember = rows.Text(0, "P_Reserve7") == "1";
    return p.p_rulegroup;
}

int32_t PersonShiftGroup(TRunContext& ctx, const std::string& pcode) {
    Database& db = *ctx.db;
    Rows rows = db.QueryBound("select p_shiftgroup,p_shiftgroupM" + PersonsWhere(db), {DbValue::Text(pcode)});
    int32_t group = 0;
    if (!rows.Empty()) {
        group = static_cast<int32_t>(rows.Int(0, "p_shiftgroup"));
        if (group < 1) group = 1;
    }
    ctx.person.p_shiftgroup = group;
    return group;
}

TEmploymentDates EmploymentDates(TRunContext& ctx, const std::string& pcode) {
    Database& db = *ctx.db;
    Rows rows = db.QueryBound("select p_jobdate,p_endjobdate" + PersonsWhere(db), {DbValue::Text(pcode)});
    TEmploymentDates out;
    if (rows.Empty()) return out;
    out.JobDate = EmploymentDate(pcode, "p_jobdate", rows.Text(0, "p_jobdate"));
    out.EndJobDate = EmploymentDate(pcode, "p_endjobdate", rows.Text(0, "p_endjobdate"));
    return out;
}

void DeleteResults(TRunContext& ctx, const std::string& pcode, const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || from > to) return;
    Database& db = *ctx.db;
    const Dialect& d = db.dialect();
    const std::string last = MonthTableName("p", to);
    for (std::string table = MonthTableName("p", from); table <= last; table = NextMonthTableName(table)) {
        if (!TableExists(ctx, table)) continue;
        // A month-total row ("yyyy/mm/00") sorts among the days and falls into
        // any range that crosses into its month; one edited by hand is kept, as
        // the month-total writer keeps it.
        db.Execute("delete from " + d.Table(table) + " where prc_pcode=" + d.Quote(pcode) +
                   " and prc_date>=" + d.Quote(from) + " and prc_date<=" + d.Quote(to) +
                   " and not (prc_date like " + d.Quote("%/00") + " and coalesce(prc_changed,0)=1)");
    }
}

int ClipToEmployment(TRunContext& ctx, const std::string& pcode, std::string& from, std::string& to) {
    TEmploymentDates e = EmploymentDates(ctx, pcode);
    std::string job = e.JobDate, end = e.EndJobDate;

    if (!job.empty()) DeleteResults(ctx, pcode, from, AddDays(job, -1));
    else job = AddDays(from, -1);
    if (!end.empty()) DeleteResults(ctx, pcode, AddDays(end, 1), to);
    else end = AddDays(to, 1);

    if (job > from) {
        // A person hired on the period's last day is employed on that day.
        if (job <= to) {
            from = job;
            if (end >= to) return 2;
            to = end;
            return 3;
        }
        from = AddDays(to, 1);
        return -1;
    }
    if (end >= to) return 0;
    if (end < from) {
        to = AddDays(from, -1);
        return -1;
    }
    to = end;
    return 1;
}

int32_t DepartmentHardship(TRunContext& ctx, const std::string& department) {
    Database& db = *ctx.db;
    const Dialect& d = db.dialect();
    // One marker for each level of the department, so that a text serves all
    // departments of the same depth.
    std::string sql = "select * from " + d.Table("trouble") + " where tp_part = ?";
    std::vector<DbValue> params = {DbValue::Text(department)};
    for (std::string level = department; level.size() > 2;) {
        level.resize(level.size() - 2);
        sql += " or tp_part = ?";
        params.push_back(DbValue::Text(level));
    }
    sql += " order by tp_part desc";
    Rows rows = db.QueryBound(sql, params);
    if (rows.Empty()) return -1;
    return static_cast<int32_t>(rows.Int(0, "tp_trouble"));
}

}  // namespace attcalc
