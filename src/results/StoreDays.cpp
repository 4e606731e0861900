#include "results/StoreDays.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <unordered_map>

#include "calendar/Jalali.h"
#include "calendar/SalaryPeriod.h"
#include "db/Catalogue.h"
#include "db/Database.h"
#include "results/ResultsCursor.h"
#include "run/Context.h"

namespace attcalc {

namespace {

// The key columns hold at most this many characters of the personnel code.
constexpr std::size_t kMaxCodeLength = 8;
constexpr std::size_t kMaxRemarkLength = 30;

// The first `n` characters (not bytes) of a UTF-8 text.
std::string CutChars(const std::string& s, std::size_t n) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == n) return s.substr(0, i);
            ++chars;
        }
    }
    return s;
}

std::size_t CharCount(const std::string& s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// A personnel code longer than the key column would be cut by the database
// (or rejected) and its rows would land on another person's key.
void CheckCode(const TDayRecord& r) {
    if (CharCount(r.Prc_PCode) > kMaxCodeLength)
        throw std::runtime_error("personnel code '" + r.Prc_PCode + "' is longer than " +
                                 std::to_string(kMaxCodeLength) + " characters; result " + r.Prc_date +
                                 " not stored");
    if (r.Prc_date.size() != 10)
        throw std::runtime_error("result date '" + r.Prc_date + "' of personnel code '" + r.Prc_PCode +
                                 "' is not a date yyyy/mm/dd");
}

std::vector<const TDayColumn*> Resolve(const std::vector<std::string>& names) {
    std::vector<const TDayColumn*> cols;
    for (const std::string& n : names) {
        const TDayColumn* c = FindDayColumn(n);
        if (!c) throw std::logic_error("result column " + n + " has no field");
        cols.push_back(c);
    }
    return cols;
}

const std::vector<const TDayColumn*>& FirstColumns() {
    static const std::vector<const TDayColumn*> cols = Resolve(DayFirstUpdateColumns());
    return cols;
}

const std::vector<const TDayColumn*>& SecondColumns() {
    static const std::vector<const TDayColumn*> cols = Resolve(DaySecondUpdateColumns());
    return cols;
}

std::int64_t StoredNumber(const TDayRecord& r, const TDayColumn& c) {
    std::int64_t v = DayColumnInt(r, c);
    // The day script columns are 16-bit; a value beyond their range is kept
    // at the nearest storable value rather than failing the whole run.
    if (c.type == TDayFieldType::SmallInt) v = std::clamp<std::int64_t>(v, -32768, 32767);
    return v;
}

// The stored columns of a day row with their values, in the order the day
// writer assigns them: the first list, then the second list with the remark
// after the free overtime and the script columns at the end.
void DayRowValues(TRunContext& ctx, const TDayRecord& r, std::vector<std::pair<std::string, DbValue>>& first,
                  std::vector<std::pair<std::string, DbValue>>& second) {
    // Lists kept from an earlier row keep their names (the order never
    // changes), so a row costs no new name texts.
    std::size_t nf = 0, ns = 0;
    auto put = [](std::vector<std::pair<std::string, DbValue>>& list, std::size_t& at, std::string_view name,
                  DbValue v) {
        if (at < list.size()) {
            if (list[at].first != name) list[at].first = name;
            list[at].second = std::move(v);
        } else {
            list.emplace_back(std::string(name), std::move(v));
        }
        ++at;
    };
    for (std::size_t i = 0; i < DayFirstUpdateColumns().size(); ++i)
        put(first, nf, DayFirstUpdateColumns()[i], DbValue::Int(StoredNumber(r, *FirstColumns()[i])));
    const auto& names = DaySecondUpdateColumns();
    const auto& cols = SecondColumns();
    for (std::size_t i = 0; i < names.size(); ++i) {
        put(second, ns, names[i], DbValue::Int(StoredNumber(r, *cols[i])));
        if (names[i] == "Prc_ValidAddWorkFree")
            put(second, ns, "Prc_addFreeRemark", DbValue::Text(CutChars(r.Prc_addFreeRemark, kMaxRemarkLength)));
    }
    if (ctx.ScriptsEnabled) {
        static const std::vector<std::string> times = [] {
            std::vector<std::string> v;
            for (int i = 1; i <= 10; ++i) v.push_back("Prc_scrtimes" + std::to_string(i));
            return v;
        }();
        static const std::vector<std::string> days = [] {
            std::vector<std::string> v;
            for (int i = 1; i <= 10; ++i) v.push_back("Prc_scrdays" + std::to_string(i));
            return v;
        }();
        for (int i = 0; i < 10; ++i) {
            put(second, ns, times[i], DbValue::Int(r.Prc_scrtimes[i]));
            put(second, ns, days[i], DbValue::Int(std::clamp<std::int32_t>(r.Prc_scrdays[i], -32768, 32767)));
        }
    }
    first.resize(nf);
    second.resize(ns);
}

}  // namespace

void DayRowAssignments(TRunContext& ctx, const TDayRecord& r, std::vector<SqlAssignment>& first,
                       std::vector<SqlAssignment>& second) {
    const Dialect& d = ctx.db->dialect();
    std::vector<std::pair<std::string, DbValue>> f, s;
    DayRowValues(ctx, r, f, s);
    first.clear();
    second.clear();
    for (auto& [name, v] : f) first.emplace_back(name, SqlLiteral(d, v));
    for (auto& [name, v] : s) second.emplace_back(name, SqlLiteral(d, v));
}

std::string DayRowSql(TRunContext& ctx, const TDayRecord& r) {
    CheckCode(r);
    const Dialect& d = ctx.db->dialect();
    std::vector<SqlAssignment> first, second;
    DayRowAssignments(ctx, r, first, second);
    return d.StoreResultRowSql(RecordTableName(r.Prc_date), d.Quote(r.Prc_date), d.Quote(r.Prc_PCode), first,
                               second);
}

void StoreDayRow(TRunContext& ctx, const TDayRecord& r) {
    CheckCode(r);
    // The lists are kept from day to day (and person to person) on this
    // thread, so that a day costs no allocation for them.
    thread_local std::vector<std::pair<std::string, DbValue>> first, second;
    thread_local std::vector<DbValue> values;
    DayRowValues(ctx, r, first, second);
    values.clear();
    values.reserve(first.size() + second.size() + 2);
    for (auto* list : {&first, &second})
        for (auto& [name, v] : *list) values.push_back(std::move(v));
    const DbValue date = DbValue::Text(r.Prc_date), code = DbValue::Text(r.Prc_PCode);
    values.push_back(date);
    values.push_back(code);
    // The statement texts depend only on the dialect, the table and the
    // column list (which differs only by the script columns), so every day of
    // a month runs the same compiled statements; the texts are kept too.
    const Dialect& d = ctx.db->dialect();
    const std::string table = RecordTableName(r.Prc_date);
    thread_local std::unordered_map<std::string, Dialect::TBoundRowSql> texts;
    const std::string key = d.Name() + "|" + table + "|" + std::to_string(values.size());
    auto it = texts.find(key);
    if (it == texts.end()) {
        std::vector<std::string> columns;
        for (auto* list : {&first, &second})
            for (auto& [name, v] : *list) columns.push_back(name);
        it = texts.emplace(key, d.StoreResultRowBoundSql(table, columns)).first;
    }
    // A row already stored (a month calculated again) is updated in place;
    // a new one is inserted whole, so that no row is written twice.
    const std::int64_t changed = ctx.db->ExecuteBound(it->second.Update, values);
    if (changed == 0) {
        // The insert takes the key first: date and code, then the columns.
        thread_local std::vector<DbValue> row;
        row.clear();
        row.push_back(date);
        row.push_back(code);
        row.insert(row.end(), values.begin(), values.end() - 2);
        ctx.db->ExecuteBound(it->second.InsertRow, row);
    } else if (changed < 0) {
        // The backend does not tell whether the update met the row: insert
        // the key when missing and update again.
        ctx.db->ExecuteBound(it->second.InsertKey, {date, code, date, code});
        ctx.db->ExecuteBound(it->second.Update, values);
    }
}

void StoreDays(TRunContext& ctx, const std::string& pcode) {
    const int n = DayCount(ctx.days);
    OpenResultsCursor(ctx, n > 0 ? DayAt(ctx.days, 1).Prc_PCode : pcode, ctx.results.CurrentTable);
    // A month-total record met on the way re-targets the cursor to its own table.
    ctx.results.CurrentTable.clear();
    for (int k = 1; k <= n; ++k) StoreDay(ctx, DayAt(ctx.days, k));
    FreeResultsCursor(ctx);
}

void StoreDay(TRunContext& ctx, const TDayRecord& r, const TMonthLeaveColumns* leave) {
    if (!FutureDateGuard(ctx, r.Prc_date)) return;
    if (IsMonthRowDate(r.Prc_date)) {
        StoreMonthRow(ctx, r, leave ? *leave : TMonthLeaveColumns());
        return;
    }
    StoreDayRow(ctx, r);
    // The cursor's rows may now differ from the table.
    if (EqualsNoCase(ctx.results.Table, RecordTableName(r.Prc_date))) CloseResultsCursor(ctx);
}

bool StoreMonthRow(TRunContext& ctx, const TDayRecord& r, const TMonthLeaveColumns& leave) {
    CheckCode(r);
    TResultsCursor& c = ctx.results;
    const std::string table = RecordTableName(r.Prc_date);
    if (!EqualsNoCase(table, c.CurrentTable)) {
        CloseResultsCursor(ctx);
        CreateTableIfMissing(ctx, table);
        RetargetResultsCursor(ctx, r.Prc_PCode, table);
        c.CurrentTable = table;
        ResultsCursorOpen(ctx);
    } else if (!c.Created || c.PCode != r.Prc_PCode || !EqualsNoCase(c.Table, table)) {
        OpenResultsCursor(ctx, r.Prc_PCode, table);
    }
    if (!c.IsOpen) ResultsCursorOpen(ctx);

    const int row = ResultsCursorLocate(ctx, r.Prc_PCode, r.Prc_date);
    if (row >= 0 && c.rows.Int(static_cast<std::size_t>(row), "prc_changed") == 1) return false;

    TDayRecord m = r;
    m.Prc_HourDayEleaveSalary = leave.ProjectionDays;
    m.Prc_HourDaySleaveSalary = leave.ProjectionMinutes;
    m.Prc_changed = 0;

    // The values are bound, so that the text is the same for every person
    // and the statement is compiled once per run.
    const Dialect& d = ctx.db->dialect();
    std::vector<std::pair<std::string, DbValue>> first, second;
    DayRowValues(ctx, m, first, second);
    std::vector<std::pair<std::string, DbValue>> all = {{"Prc_pcode", DbValue::Text(m.Prc_PCode)},
                                                        {"Prc_date", DbValue::Text(m.Prc_date)}};
    all.insert(all.end(), second.begin(), second.end());
    all.insert(all.end(), first.begin(), first.end());
    all.emplace_back("Prc_HourEleaveRemain", DbValue::Int(leave.RemainMinutes));
    all.emplace_back("Prc_DayEleaveRemain", DbValue::Int(leave.RemainDays));
    // A fraction is stored as its literal of six decimals would store it.
    for (auto& [name, v] : all)
        if (v.kind == DbValue::Kind::Real) v.d = std::strtod(SqlLiteral(d, v).c_str(), nullptr);

    const std::string t = d.Table(table);
    std::string sql;
    std::vector<DbValue> params;
    params.reserve(all.size());
    if (row >= 0) {
        sql = "update " + t + " set ";
        for (std::size_t i = 2; i < all.size(); ++i) {
            sql += (i == 2 ? "" : ", ") + all[i].first + " = ?";
            params.push_back(std::move(all[i].second));
        }
        sql += "\nwhere Prc_PCode=? and Prc_Date=?";
        params.push_back(std::move(all[0].second));
        params.push_back(std::move(all[1].second));
    } else {
        std::string cols, vals;
        for (std::size_t i = 0; i < all.size(); ++i) {
            cols += (i ? "," : "") + all[i].first;
            vals += i ? ",?" : "?";
            params.push_back(std::move(all[i].second));
        }
        sql = "insert into " + t + " (" + cols + ")\nvalues (" + vals + ")";
    }
    ctx.db->ExecuteBound(sql, params);
    CloseResultsCursor(ctx);
    return true;
}

void StoreMonthTotal(TRunContext& ctx, TDayRecord& r, const std::string& periodStart,
                     const std::string& periodEnd, int mark28Carry, const TMonthLeaveColumns& leave) {
    const int coverage = SalaryMonthCoverage(ctx, periodStart, periodEnd);
    if (coverage != 2 && coverage != 3) return;
    const std::string last = SalaryPeriodOf(ctx, periodEnd).Last;
    const std::string table = RecordTableName(last);
    ctx.results.CurrentTable = table;

    r.Prc_date = last.substr(0, 8) + "00";
    r.Prc_Type = coverage == 3 ? 0 : 1;
    r.Prc_station = static_cast<std::uint8_t>(DateDay(last));
    const std::uint8_t mark = (mark28Carry == 28 || mark28Carry == 29) ? static_cast<std::uint8_t>(mark28Carry) : 0;
    r.Prc_kind = mark;
    r.Prc_28 = mark;

    // The month table of the total may not exist yet (a salary month whose
    // last date lies in a month no day of the run touched).
    CreateTableIfMissing(ctx, table);
    OpenResultsCursor(ctx, r.Prc_PCode, table);
    // The month-total writer only looks for the person's row of that date and
    // its changed mark.
    ResultsCursorOpenRow(ctx, r.Prc_date);
    StoreDay(ctx, r, &leave);
    FreeResultsCursor(ctx);
}

}  // namespace attcalc
