#include "results/ResultsCursor.h"

#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "run/Context.h"

namespace attcalc {

void OpenResultsCursor(TRunContext& ctx, const std::string& pcode, const std::string& table) {
    TResultsCursor& c = ctx.results;
    c.Created = true;
    c.IsOpen = false;
    c.PCode = pcode;
    c.Table = table;
    c.rows = Rows();
}

void RetargetResultsCursor(TRunContext& ctx, const std::string& pcode, const std::string& table) {
    CloseResultsCursor(ctx);
    OpenResultsCursor(ctx, pcode, table);
}

void ResultsCursorOpen(TRunContext& ctx) {
    TResultsCursor& c = ctx.results;
    const Dialect& d = ctx.db->dialect();
    c.rows = ctx.db->QueryBound("select * from " + d.Table(c.Table) + "\nwhere prc_pcode=?", {DbValue::Text(c.PCode)});
    c.IsOpen = true;
}

void ResultsCursorOpenRow(TRunContext& ctx, const std::string& date) {
    TResultsCursor& c = ctx.results;
    const Dialect& d = ctx.db->dialect();
    c.rows = ctx.db->QueryBound("select Prc_PCode, Prc_Date, Prc_changed from " + d.Table(c.Table) +
                                    "\nwhere prc_pcode=? and prc_date=?",
                                {DbValue::Text(c.PCode), DbValue::Text(date)});
    c.IsOpen = true;
}

void CloseResultsCursor(TRunContext& ctx) {
    ctx.results.IsOpen = false;
    ctx.results.rows = Rows();
}

void FreeResultsCursor(TRunContext& ctx) {
    std::string current = std::move(ctx.results.CurrentTable);
    ctx.results = TResultsCursor();
    ctx.results.CurrentTable = std::move(current);
}

int ResultsCursorLocate(TRunContext& ctx, std::string_view pcode, std::string_view date) {
    const Rows& rows = ctx.results.rows;
    if (!ctx.results.IsOpen || rows.Empty()) return -1;
    for (std::size_t i = 0; i < rows.Count(); ++i)
        if (rows.Text(i, "Prc_PCode") == pcode && rows.Text(i, "Prc_Date") == date) return static_cast<int>(i);
    return -1;
}

int SeekResultRow(TRunContext& ctx, const std::string& pcode, const std::string& date) {
    TResultsCursor& c = ctx.results;
    std::string table = RecordTableName(date);
    if (!EqualsNoCase(table, c.CurrentTable)) {
        CloseResultsCursor(ctx);
        CreateTableIfMissing(ctx, table);
        RetargetResultsCursor(ctx, pcode, table);
        c.CurrentTable = table;
    } else if (!c.Created || c.PCode != pcode || !EqualsNoCase(c.Table, table)) {
        OpenResultsCursor(ctx, pcode, table);
    }
    if (!c.IsOpen) ResultsCursorOpen(ctx);
    return ResultsCursorLocate(ctx, pcode, date);
}

void ReadDayRecord(const Rows& rows, std::size_t row, TDayRecord& r) {
    for (const TDayColumn& c : DayColumns()) {
        if (!rows.HasColumn(c.name)) continue;
        if (c.type == TDayFieldType::Text) r.*c.text = rows.Text(row, c.name);
        else SetDayColumnInt(r, c, rows.Int(row, c.name));
    }
}

}  // namespace attcalc
