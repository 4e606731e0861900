#include "inputs/Punches.h"

#include <algorithm>
#include <iterator>

#include "calendar/Jalali.h"
#include "db/Catalogue.h"
#include "inputs/InputTables.h"
#include "run/Context.h"

namespace attcalc {

std::string PunchReaderFilter(TRunContext& ctx, const std::string& pcode) {
    if (!ctx.rule.Rule_fixstation) return {};
    std::int64_t station = 0;
    if (InputTableExists(ctx, "persons")) {
        Rows p = ctx.db->QueryBound("select p_station from " + InputTable(ctx, "persons") + "\nwhere p_Barcode=?",
                                    {DbValue::Text(pcode)});
        if (!p.Empty()) station = p.Int(0, "p_station");
    }
    if (station == 0 || !InputTableExists(ctx, "readers")) return {};
    Rows r = ctx.db->QueryBound("select * from " + InputTable(ctx, "readers") + "\nwhere r_station=?",
                                {DbValue::Int(station)});
    if (r.Empty()) return {};
    std::string line = "and clock_rdrcode in (0";
    for (std::size_t i = 0; i < r.Count(); ++i) line += "," + std::to_string(r.Int(i, "r_code"));
    line += ")";
    return line;
}

int ReadPunches(TRunContext& ctx, const std::string& first, const std::string& last, const std::string& pcode) {
    PeriodState& P = ctx.period;
    TPunchBuffer& buf = P.Punches;
    buf = {};
    const int days = std::max(0, DayDiff(first, last) + 1);

    const std::string filter = PunchReaderFilter(ctx, pcode);
    const rule_type& R = ctx.rule;

    // The person and the dates are bound to the markers of `where`, so that
    // the texts are the same for every person of a batch.
    struct MonthQuery {
        std::string table, where;
    };
    const std::vector<DbValue> params = {DbValue::Text(pcode), DbValue::Text(first), DbValue::Text(last)};
    std::vector<MonthQuery> months;
    for (const std::string& table : InputMonthTables("c", first, last)) {
        // The month's clock tables are made under the first day of the month.
        EnsureClockTables(ctx, table.substr(1, 4) + "/" + table.substr(5, 2) + "/01");
        std::string where = " \nwhere clock_BarCode=?\nand clock_date >=?\nand clock_date <=?";
        if (!filter.empty()) where += "\n" + filter;
        if (R.Rule_addyignore) where += "\nand clock_recstate<>0";
        months.push_back({InputTable(ctx, table), where});
    }

    // The buffer is sized once, to the punches stored and room for the
    // automatic punches that pairing inserts, so that it never grows by
    // doubling (a person with many punches would hold twice their size).
    std::size_t stored = 0;
    for (const MonthQuery& m : months) {
        Rows n = ctx.db->QueryBound("select count(*) as n from " + m.table + m.where, params);
        if (!n.Empty()) stored += static_cast<std::size_t>(std::max<std::int64_t>(0, n.Int(0, "n")));
    }
    const std::size_t room = 4 * static_cast<std::size_t>(days + 1) + 16;
    buf.reserve(stored + room);

    // The rows are read a batch at a time: only the punches kept are held.
    for (const MonthQuery& m : months) {
        const std::string sql = "select * from " + m.table + m.where + "\norder by clock_date,clock_time";
        ctx.db->QueryBoundBatches(sql, params, 512, [&](const Rows& rows) {
            for (std::size_t i = 0; i < rows.Count(); ++i) {
                TPunch p;
                p.Date = rows.Text(i, "clock_date").substr(0, 10);
                p.Time = static_cast<std::int32_t>(rows.Int(i, "clock_time"));
                p.State = static_cast<std::uint8_t>(rows.Int(i, "clock_RecState") & 0xFF);
                p.Reader = static_cast<std::int32_t>(rows.Int(i, "clock_RdrCode"));
                p.Change = static_cast<std::uint8_t>(rows.Int(i, "clock_chg") & 0xFF);
                p.User = rows.Text(i, "clock_user");
                if (!buf.empty()) {
                    const TPunch& prev = buf.back();
                    // A machine punch repeated within Rule_trdnear minutes.
                    if (prev.Change == 0 && p.Change == 0 && prev.Date == p.Date && p.Time - prev.Time < R.Rule_trdnear)
                        continue;
                    // The same moment twice, whoever entered it.
                    if (prev.Date == p.Date && prev.Time == p.Time) continue;
                }
                buf.push_back(std::move(p));
            }
        });
    }
    // Many repeats passed over: give back what the kept punches do not need.
    if (buf.capacity() > 2 * (buf.size() + room)) {
        TPunchBuffer fit;
        fit.reserve(buf.size() + room);
        std::move(buf.begin(), buf.end(), std::back_inserter(fit));
        buf.swap(fit);
    }
    P.PunchTotal = static_cast<std::int32_t>(buf.size());
    return P.PunchTotal;
}

}  // namespace attcalc
