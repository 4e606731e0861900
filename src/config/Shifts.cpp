#include "config/Shifts.h"

#include "config/Company.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "run/Context.h"

namespace attcalc {

namespace {

// The first `n` characters (code points) of a UTF-8 text.
std::string FirstChars(const std::string& text, std::size_t n) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars == n) return text.substr(0, i);
        ++chars;
    }
    return text;
}

}  // namespace

TShift RestShift() {
    TShift s;
    s.sh_code = 0;
    s.sh_count = 0;
    s.sh_name = "استراحت شيفت";
    s.Allowed = true;
    return s;
}

void LoadShifts(TRunContext& ctx) {
    TShiftTable& table = ctx.shifts;
    if (auto kept = ctx.company ? ctx.company->Shifts() : std::nullopt) {
        table = std::move(*kept);
        return;
    }
    table.Entries.clear();
    table.Count = 0;
    table.Entries.push_back(RestShift());

    Database& db = *ctx.db;
    Rows rows = db.Query("select * from " + db.dialect().Table("shifts") + " order by sh_code");
    table.Entries.reserve(rows.Count() + 1);
    for (std::size_t r = 0; r < rows.Count(); ++r) {
        TShift s;
        s.sh_code = static_cast<int32_t>(rows.Int(r, "sh_code"));
        s.sh_count = static_cast<uint8_t>(rows.Int(r, "sh_count"));
        s.sh_name = FirstChars(rows.Text(r, "sh_name"), 20);
        s.sh_ranges[0] = {static_cast<int32_t>(rows.Int(r, "sh_from1")), static_cast<int32_t>(rows.Int(r, "sh_to1"))};
        s.sh_ranges[1] = {static_cast<int32_t>(rows.Int(r, "sh_from2")), static_cast<int32_t>(rows.Int(r, "sh_to2"))};
        s.sh_ranges[2] = {static_cast<int32_t>(rows.Int(r, "sh_from3")), static_cast<int32_t>(rows.Int(r, "sh_to3"))};
        s.sh_kind = static_cast<uint8_t>(rows.Int(r, "sh_kind"));
        s.sh_Nesab = static_cast<int32_t>(rows.Int(r, "sh_Nesab"));
        s.sh_type = static_cast<int32_t>(rows.Int(r, "sh_type"));
        s.sh_sobhaneh = rows.Bool(r, "sh_sobhaneh");
        s.sh_nahar = rows.Bool(r, "sh_nahar");
        s.sh_sham = rows.Bool(r, "sh_sham");
        s.sh_nextsobhaneh = rows.Bool(r, "sh_nextsobhaneh");
        s.Allowed = true;
        table.Entries.push_back(std::move(s));
    }
    table.Count = static_cast<int>(table.Entries.size()) - 1;
    if (ctx.company) ctx.company->KeepShifts(table);
}

int FindShift(const TShiftTable& table, int32_t code) {
    for (std::size_t i = 0; i < table.Entries.size(); ++i)
        if (table.Entries[i].sh_code == code) return static_cast<int>(i);
    return -1;
}

int FindShift(const TRunContext& ctx, int32_t code) { return FindShift(ctx.shifts, code); }

void ClearRanges(TShiftRanges& ranges) {
    for (auto& r : ranges) r = {0, 0};
}

std::pair<int32_t, int32_t> ShiftSpan(const TShiftRanges& ranges) {
    auto filled = [](const TShiftRange& r) { return r.From < r.To; };
    if (filled(ranges[2])) return {ranges[0].From, ranges[2].To};
    if (filled(ranges[1])) return {ranges[0].From, ranges[1].To};
    if (filled(ranges[0])) return {ranges[0].From, ranges[0].To};
    return {1439, 0};
}

}  // namespace attcalc
