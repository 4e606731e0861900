#include "demodb/DemoData.h"

#include "calendar/Holidays.h"
#include "calendar/Jalali.h"
#include "db/Catalogue.h"

namespace attcalc::demo {
namespace {

constexpr int H(int h, int m) { return h * 60 + m; }

std::string Date(int y, int m, int d) {
    char b[40];
    std::snprintf(b, sizeof b, "%04d/%02d/%02d", y, m, d);
    return b;
}

void CreateTables(TRunContext& ctx, int year, int month) {
    for (const char* t : {"init", "qvlog", "persons", "rules", "rulesetc", "shifts", "grp_dtl", "spshift",
                          "sprule", "spgroup", "readers", "trouble", "morkhasi", "smorkhasi", "spmor", "addfree"})
        CreateTableIfMissing(ctx, t);
    char ym[40];
    std::snprintf(ym, sizeof ym, "%04d/%02d/01", year, month);
    for (const std::string& d : {AddDays(ym, -1), std::string(ym), AddDays(ym, DaysInMonth(year, month))}) {
        EnsureClockTables(ctx, d);
        for (const char* p : {"t", "e", "a"}) CreateTableIfMissing(ctx, MonthTableName(p, d));
    }
}

void Shift(Database& db, int code, const std::string& name, int count, int f1, int t1, int f2, int t2) {
    db.Insert("shifts", {{"SH_Code", DbValue::Int(code)}, {"SH_Count", DbValue::Int(count)},
                         {"SH_Name", DbValue::Text(name)}, {"SH_From1", DbValue::Int(f1)},
                         {"SH_To1", DbValue::Int(t1)}, {"SH_From2", DbValue::Int(f2)}, {"SH_To2", DbValue::Int(t2)},
                         {"SH_From3", DbValue::Int(0)}, {"SH_To3", DbValue::Int(0)}, {"Sh_Kind", DbValue::Int(0)},
                         {"Sh_Nesab", DbValue::Int(0)}, {"Sh_Type", DbValue::Int(0)}});
}

// A group schedule: `shift` on every day of the year but Fridays and
// holidays. Each day's character holds the shift code + 1.
void Group(TRunContext& ctx, int group, int year, int shift) {
    std::vector<SqlField> f{{"Grd_Code", DbValue::Int(group)}, {"Grd_Year", DbValue::Int(year)}};
    for (int m = 1; m <= 12; ++m) {
        std::string text;
        for (int d = 1; d <= 31; ++d) {
            const bool off = Weekday(year, m, d) == 6 || (d <= DaysInMonth(year, m) && IsHolidayDate(ctx, Date(year, m, d)));
            text += static_cast<char>(off ? 1 : shift + 1);
        }
        f.push_back({"Grd_M" + std::to_string(m), DbValue::Text(text)});
    }
    ctx.db->Insert("grp_dtl", f);
}

void Person(Database& db, const std::string& code, const std::string& name, const std::string& family,
            int shiftGroup, const std::string& jobDate, int rule = 1) {
    db.Insert("persons", {{"P_BarCode", DbValue::Text(code)}, {"P_Proxi", DbValue::Text(code)},
                          {"P_Name", DbValue::Text(name)}, {"P_Family", DbValue::Text(family)},
                          {"P_Param", DbValue::Int(0)}, {"P_JobDate", DbValue::Text(jobDate)},
                          {"P_ShiftGroup", DbValue::Int(shiftGroup)}, {"P_RuleGroup", DbValue::Int(rule)},
                          {"P_IsValid", DbValue::Int(1)}});
}

// A rule with real values. The daily part: overtime after the shift counts
// from 15 minutes up to 2 hours, before it up to 1 hour, at most 3 hours a
// working day and 6 hours a day off, without permits; 15 minutes of lateness
// and 10 of early leave are tolerated a day. Leave: 30 days a year at 8 hours
// a day, limited to the months so far; sick leave 12 days a year, 3 a month;
// a daily leave or mission counts as the day's work. `monthly` adds the
// month's rules: 60 minutes of tolerated lateness a month, at most 10 hours of
// overtime a month. A rule script marks the days with more than an hour of
// valid overtime in the first script day variable (Prc_scrdays1), which the
// month total sums into their count.
void RealRule(Database& db, int code, const std::string& name, bool monthly) {
    db.Insert("rules", {{"Rule_Code", DbValue::Int(code)}, {"Rule_Name", DbValue::Text(name)},
                        {"Rule_Script1", DbValue::Text("1;1;0;0;2;3010;0;0;0;60;0;0;0;0;0;9310;0;0;1;0;")},
                        {"Rule_emojazday", DbValue::Int(180)}, {"Rule_emojazdayg", DbValue::Int(360)},
                        {"Rule_EMinB", DbValue::Int(15)}, {"Rule_EMAxB", DbValue::Int(120)},
                        {"Rule_EMAXG", DbValue::Int(60)}, {"Rule_EMAXA", DbValue::Int(180)},
                        {"Rule_EMAxT", DbValue::Int(360)}, {"Rule_EMaxM", DbValue::Int(monthly ? 10 : 200)},
                        {"Rule_GMT1", DbValue::Int(15)}, {"Rule_GMT2", DbValue::Int(10)},
                        {"Rule_GMT1m", DbValue::Int(monthly ? 60 : 999)}, {"Rule_GMT2m", DbValue::Int(999)},
                        {"Rule_GMBm", DbValue::Int(999)}, {"Rule_GMaxD", DbValue::Int(480)},
                        {"Rule_GMaxM", DbValue::Int(999)}, {"Rule_GSLimit", DbValue::Int(480)},
                        {"Rule_gtajilLimit", DbValue::Int(480)}, {"Rule_GZHD", DbValue::Int(480)},
                        {"Rule_MAD", DbValue::Int(0)}, {"Rule_MAB1", DbValue::Int(240)},
                        {"Rule_MAK1", DbValue::Int(480)}, {"Rule_MAkar", DbValue::Int(1)},
                        {"Rule_Makarna", DbValue::Int(1)}});
    db.Insert("rulesetc", {{"Rule_Code", DbValue::Int(code)}, {"Rule_MOHR", DbValue::Int(480)},
                           {"Rule_MOEY", DbValue::Int(30)}, {"Rule_MOTalab", DbValue::Int(1)},
                           // Hourly leave is taken by request (table "t"), which the
                           // rule then demands.
                           {"Rule_MOMOJAVVEZ", DbValue::Int(1)},
                           {"Rule_MOsy", DbValue::Int(12)}, {"Rule_MOsm", DbValue::Int(3)},
                           {"Rule_MOhd", DbValue::Int(480)}, {"Rule_MOH", DbValue::Int(1)},
                           {"Rule_MOB1", DbValue::Int(240)}, {"Rule_MOK1", DbValue::Int(480)},
                           {"Rule_MORHR", DbValue::Int(480)}, {"Rule_MOKAR", DbValue::Int(1)},
                           {"Rule_MOKARNA", DbValue::Int(1)}, {"Rule_StartDay", DbValue::Int(H(6, 0))},
                           {"Rule_StartNight", DbValue::Int(H(22, 0))}});
}

// The person's leave row of the year: an opening balance carried from earlier years.
void OpeningLeave(Database& db, const std::string& code, int year, int days) {
    std::vector<SqlField> f{{"Mor_PCode", DbValue::Text(code)}, {"Mor_Year", DbValue::Int(year)},
                            {"Mor_DRemainOk", DbValue::Int(days)}, {"Mor_HRemainOk", DbValue::Int(0)},
                            {"Mor_SpDays", DbValue::Int(0)}, {"Mor_SpTime", DbValue::Int(0)}};
    for (int m = 1; m <= 12; ++m) {
        f.push_back({"Mor_D" + std::to_string(m), DbValue::Int(-1)});
        f.push_back({"Mor_H" + std::to_string(m), DbValue::Int(-1)});
    }
    db.Insert("morkhasi", f);
}

struct Punches {
    Database& db;
    std::string code;
    std::vector<std::vector<SqlField>> rows;
    // A punch; `change` 2 with `state` gives the whole day the code `state`
    // (41 daily entitled leave, 61 daily mission).
    void Add(const std::string& date, int minute, int change = 0, int state = 0) {
        rows.push_back({{"Clock_BarCode", DbValue::Text(code)}, {"Clock_Date", DbValue::Text(date)},
                        {"Clock_Time", DbValue::Int(minute)}, {"Clock_RdrCode", DbValue::Int(1)},
                        {"Clock_Chg", DbValue::Int(change)}, {"Clock_RecState", DbValue::Int(state)},
                        {"Clock_User", DbValue::Text("")}});
    }
    void Flush() {
        for (auto& r : rows) db.Insert(MonthTableName("c", r[1].value.s), r);
        rows.clear();
    }
};

void Common(TRunContext& ctx, int year, int month) {
    Database& db = *ctx.db;
    CreateTables(ctx, year, month);
    // The plain rule: nothing tolerated, no overtime; a scheduled day without
    // work is a day of absence, and so is a day whose hour absence passes
    // four hours.
    db.Insert("rules", {{"Rule_Code", DbValue::Int(1)}, {"Rule_Name", DbValue::Text("عمومی")},
                        {"Rule_GSLimit", DbValue::Int(240)}, {"Rule_GD", DbValue::Int(1)},
                        {"Rule_GBD", DbValue::Int(240)}, {"Rule_GKD", DbValue::Int(480)}});
    db.Insert("rulesetc", {{"Rule_Code", DbValue::Int(1)}});
    Shift(db, 1, "اداری", 2, H(7, 30), H(12, 0), H(13, 0), H(16, 0));
    Shift(db, 2, "شب", 1, H(22, 0), H(30, 0), 0, 0);
    Shift(db, 3, "عصر", 1, H(14, 0), H(22, 0), 0, 0);
    // The holiday calendar of the year, from the generated holiday files.
    LoadHolidayFileYear(ctx, year);
    StoreHolidayYear(ctx, year);
    for (int y : {year - 1, year, year + 1}) {
        Group(ctx, 1, y, 1);
        Group(ctx, 2, y, 2);
    }
}

}  // namespace

std::vector<DemoPerson> SeedDemo(TRunContext& ctx, int year, int month) {
    Database& db = *ctx.db;
    Common(ctx, year, month);
    const int days = DaysInMonth(year, month);
    std::vector<DemoPerson> people{
        {"1001", "Day shift", "07:30-12:00 and 13:00-16:00; late on day 5, leaves early on day 6, "
                              "out 10:00-11:00 on day 7, no punches on day 8"},
        {"1002", "Night shift", "22:00 to 06:00 the next morning, every night but Fridays"},
        {"1003", "Special shift", "day shift, but the afternoon shift 14:00-22:00 on day 9 (a special shift); "
                                  "works 08:00-12:30 on the holiday of day 12"},
        {"1004", "New employee", "employed from day 15 of the month"},
        {"1005", "Full rule", "a rule with overtime bounds and caps and lateness and early-leave allowances; "
                              "a daily entitled leave on day 10, two hours of hourly entitled leave on day 15 "
                              "(against a balance of 10 days carried from last year), a daily mission on day 19, "
                              "overtime on days 16 and 20, late on day 17, early leave on day 18"},
        {"1006", "Monthly rules", "the same rule with the month's rules on: 60 minutes of lateness a month "
                                  "tolerated, at most 10 hours of overtime a month; 20 minutes late on five "
                                  "days, stays until 18:00 on ten days; a granted 2 hours of overtime (addfree)"},
    };
    Person(db, "1001", "Sara", "Ahmadi", 1, "1390/01/01");
    Person(db, "1002", "Reza", "Karimi", 2, "1390/01/01");
    Person(db, "1003", "Mina", "Hosseini", 1, "1390/01/01");
    Person(db, "1004", "Ali", "Rahimi", 1, Date(year, month, 15));
    RealRule(db, 2, "کامل", false);
    RealRule(db, 3, "ماهانه", true);
    Person(db, "1005", "Leila", "Moradi", 1, "1390/01/01", 2);
    Person(db, "1006", "Omid", "Jafari", 1, "1390/01/01", 3);
    OpeningLeave(db, "1005", year, 10);
    db.Insert("addfree", {{"Add_PCode", DbValue::Text("1006")}, {"Add_Year", DbValue::Int(year)},
                          {"Add_Month", DbValue::Int(month)}, {"Add_Time", DbValue::Int(120)},
                          {"Add_TimeOK", DbValue::Int(120)}, {"Add_Night", DbValue::Int(0)},
                          {"Add_Cycle10", DbValue::Int(0)}, {"Add_Cycle15", DbValue::Int(0)},
                          {"Add_Cycle25", DbValue::Int(0)}, {"Add_Cycle35", DbValue::Int(0)},
                          {"Add_Cycle20", DbValue::Int(0)}, {"Add_nowork", DbValue::Int(0)},
                          {"Add_Max", DbValue::Int(0)}, {"Add_Type", DbValue::Int(0)},
                          {"Add_Remark", DbValue::Text("پاداش پروژه")}});
    // Two hours of hourly entitled leave (code 21) on day 15.
    db.Insert(MonthTableName("t", Date(year, month, 15)),
              {{"clock_barcode", DbValue::Text("1005")}, {"clock_date", DbValue::Text(Date(year, month, 15))},
               {"clock_time", DbValue::Int(H(10, 0))}, {"clock_etime", DbValue::Int(H(12, 0))},
               {"clock_RecState", DbValue::Int(21)}, {"clock_Remark", DbValue::Text("")},
               {"clock_User", DbValue::Text("")}});
    db.Insert("spshift", {{"SP_CardNo", DbValue::Text("1003")}, {"SP_Date", DbValue::Text(Date(year, month, 9))},
                          {"SP_ShCode", DbValue::Int(3)}, {"SP_kind", DbValue::Int(0)}, {"SP_ID", DbValue::Int(1)}});

    Punches p1{db, "1001", {}}, p2{db, "1002", {}}, p3{db, "1003", {}}, p4{db, "1004", {}}, p5{db, "1005", {}},
        p6{db, "1006", {}};
    int worked6 = 0;
    for (int d = 1; d <= days; ++d) {
        const std::string date = Date(year, month, d);
        if (Weekday(year, month, d) == 6) continue;  // Friday
        if (IsHolidayDate(ctx, date)) {
            if (d == 12) { p3.Add(date, H(8, 0)); p3.Add(date, H(12, 30)); }  // comes in on a holiday
            continue;
        }
        switch (d) {
            case 5: p1.Add(date, H(7, 52)); p1.Add(date, H(16, 3)); break;
            case 6: p1.Add(date, H(7, 25)); p1.Add(date, H(15, 20)); break;
            case 7:
                p1.Add(date, H(7, 28)); p1.Add(date, H(10, 0));
                p1.Add(date, H(11, 0)); p1.Add(date, H(16, 2));
                break;
            case 8: break;
            default: p1.Add(date, H(7, 25)); p1.Add(date, H(16, 5));
        }
        p2.Add(date, H(21, 55));
        p2.Add(AddDays(date, 1), H(6, 4));
        if (d == 9) {
            p3.Add(date, H(13, 58)); p3.Add(date, H(22, 1));
        } else {
            p3.Add(date, H(7, 29)); p3.Add(date, H(16, 1));
        }
        if (d >= 15) { p4.Add(date, H(7, 20)); p4.Add(date, H(16, 10)); }
        switch (d) {
            case 10: p5.Add(date, H(7, 0), 2, 41); break;  // daily entitled leave
            case 15:
                p5.Add(date, H(7, 25)); p5.Add(date, H(10, 0));
                p5.Add(date, H(12, 0)); p5.Add(date, H(16, 5));
                break;
            case 19: p5.Add(date, H(7, 0), 2, 61); break;  // daily mission
            case 16: p5.Add(date, H(7, 25)); p5.Add(date, H(18, 30)); break;
            case 17: p5.Add(date, H(8, 10)); p5.Add(date, H(16, 5)); break;
            case 18: p5.Add(date, H(7, 25)); p5.Add(date, H(15, 0)); break;
            case 20: p5.Add(date, H(6, 30)); p5.Add(date, H(17, 45)); break;
            default: p5.Add(date, H(7, 25)); p5.Add(date, H(16, 5));
        }
        ++worked6;
        p6.Add(date, worked6 % 3 == 1 && worked6 <= 15 ? H(7, 50) : H(7, 28));
        p6.Add(date, worked6 <= 10 ? H(18, 0) : H(16, 3));
    }
    for (Punches* p : {&p1, &p2, &p3, &p4, &p5, &p6}) p->Flush();
    return people;
}

void SeedCompany(TRunContext& ctx, int year, int month, int count) {
    Database& db = *ctx.db;
    Common(ctx, year, month);
    const int days = DaysInMonth(year, month);
    for (int i = 1; i <= count; ++i) {
        const std::string code = std::to_string(i);
        Person(db, code, "Person", code, 1, "1390/01/01");
        Punches p{db, code, {}};
        for (int d = 1; d <= days; ++d) {
            const std::string date = Date(year, month, d);
            if (Weekday(year, month, d) == 6 || IsHolidayDate(ctx, date)) continue;
            const int jitter = (i * 7 + d * 13) % 31 - 10;  // -10 .. 20 minutes
            if ((i + d) % 17 == 0) continue;               // a day off now and then
            p.Add(date, H(7, 30) + jitter);
            if ((i + d) % 5 == 0) { p.Add(date, H(12, 2)); p.Add(date, H(12, 58)); }
            p.Add(date, H(16, 0) + jitter / 2);
        }
        p.Flush();
    }
}

void SeedVariedCompany(TRunContext& ctx, int year, int month, int count) {
    Database& db = *ctx.db;
    Common(ctx, year, month);
    // Two more rules beside the common one: one with a late-arrival
    // allowance, one with an early-leaving allowance.
    db.Insert("rules", {{"Rule_Code", DbValue::Int(2)}, {"Rule_Name", DbValue::Text("late allowed")},
                        {"Rule_ezt", DbValue::Int(1)}, {"Rule_ezttime", DbValue::Int(10)}});
    db.Insert("rulesetc", {{"Rule_Code", DbValue::Int(2)}});
    db.Insert("rules", {{"Rule_Code", DbValue::Int(3)}, {"Rule_Name", DbValue::Text("early allowed")},
                        {"Rule_ezg", DbValue::Int(1)}, {"Rule_ezgtime", DbValue::Int(15)}});
    db.Insert("rulesetc", {{"Rule_Code", DbValue::Int(3)}});
    for (int y : {year - 1, year, year + 1}) Group(ctx, 3, y, 3);
    const int days = DaysInMonth(year, month);
    for (int i = 1; i <= count; ++i) {
        const std::string code = std::to_string(i);
        // Seven in ten on the day shift, two on the night shift, one on the
        // evening shift; the rules in turn.
        const int group = i % 10 < 7 ? 1 : i % 10 < 9 ? 2 : 3;
        db.Insert("persons", {{"P_BarCode", DbValue::Text(code)}, {"P_Proxi", DbValue::Text(code)},
                              {"P_Name", DbValue::Text("Person")}, {"P_Family", DbValue::Text(code)},
                              {"P_Param", DbValue::Int(0)}, {"P_JobDate", DbValue::Text("1390/01/01")},
                              {"P_ShiftGroup", DbValue::Int(group)}, {"P_RuleGroup", DbValue::Int(1 + i % 3)},
                              {"P_IsValid", DbValue::Int(1)}});
        Punches p{db, code, {}};
        for (int d = 1; d <= days; ++d) {
            const std::string date = Date(year, month, d);
            if (Weekday(year, month, d) == 6 || IsHolidayDate(ctx, date)) continue;
            const int jitter = (i * 7 + d * 13) % 31 - 10;  // -10 .. 20 minutes
            if ((i + d) % 17 == 0) continue;               // a day off now and then
            if (group == 2) {
                p.Add(date, H(22, 0) + jitter / 2);
                p.Add(AddDays(date, 1), H(6, 0) + jitter / 3);
            } else if (group == 3) {
                p.Add(date, H(14, 0) + jitter);
                p.Add(date, H(22, 0) + jitter / 2);
            } else {
                p.Add(date, H(7, 30) + jitter);
                if ((i + d) % 5 == 0) { p.Add(date, H(12, 2)); p.Add(date, H(12, 58)); }
                p.Add(date, H(16, 0) + jitter / 2);
            }
        }
        p.Flush();
    }
}

}  // namespace attcalc::demo
