#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/ConfigTestDb.h"
#include "config/Settings.h"

namespace attcalc {
namespace {

using test::ConfigDb;

// Adds one init row; a null value when `value` is empty.
void AddInit(ConfigDb& c, int code, const std::string& title, std::optional<std::string> value) {
    c.db->Insert("init", {{"Init_Title", DbValue::Text(title)},
                          {"Init_Value", value ? DbValue::Text(*value) : DbValue::Null()},
                          {"Init_Code", DbValue::Int(code)}});
}

TEST(Settings, MissingInitTableIsCreatedAndDefaultsApply) {
    auto c = ConfigDb::Sqlite();
    c->ctx.settings.FutureDaysAllowed = false;  // left over from an earlier load
    c->ctx.settings.MonthEndDay[3] = 20;
    loadinifiledb(c->ctx);
    EXPECT_TRUE(c->db->TableExists("init"));

    const TSettings& s = c->ctx.settings;
    EXPECT_TRUE(s.FutureDaysAllowed);
    EXPECT_TRUE(s.CalendarMonths);
    EXPECT_TRUE(s.CalendarMonthsForLeave);
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(s.MonthEndDay[m], 28) << m;
    EXPECT_EQ(s.Part1, "بخش");
    EXPECT_EQ(s.Part4, "زير بخش");
    EXPECT_EQ(s.fldRezerv[0], "فيلد رزرو 1");
    EXPECT_EQ(s.fldRezerv[7], "فيلد رزرو 8");
    EXPECT_EQ(s.RptTitleFont, "Arial");
    EXPECT_EQ(s.RptTitleFntSize, 12);
    EXPECT_EQ(s.RptFntSize, 8);
    EXPECT_EQ(s.archiveday, 0);
    EXPECT_EQ(s.LoadedParamSet, 0);
}

struct FlagCase {
    std::vector<std::pair<std::string, std::string>> rows;  // in insertion order
    bool future, calendar, calendarLeave;
};

TEST(Settings, CalculationFlagsFollowTheRowsInOrder) {
    const std::vector<FlagCase> cases = {
        {{}, true, true, true},
        {{{"CalcFuture", "1"}}, false, true, true},
        {{{"CalcFuture", "0"}}, true, true, true},
        {{{"CalcFuture", "7"}}, false, true, true},
        {{{"monthnormal", "1"}}, true, false, false},
        {{{"monthnormalmor", "1"}}, true, true, false},
        {{{"monthnormal", "1"}, {"monthnormalmor", "0"}}, true, false, true},
        {{{"monthnormalmor", "0"}, {"monthnormal", "1"}}, true, false, false},
        {{{"CalcFuture", "1"}, {"CalcFuture", "0"}}, true, true, true},
        // Titles match with letter case; other titles change nothing.
        {{{"calcfuture", "1"}, {"MonthNormal", "1"}, {"unknown", "x"}}, true, true, true},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        auto c = ConfigDb::Sqlite();
        c->Create("init");
        for (const auto& [t, v] : cases[i].rows) AddInit(*c, 3, t, v);
        AddInit(*c, 4, "CalcFuture", "1");  // another parameter set
        c->ctx.person.p_param = 3;
        loadinifiledb(c->ctx);
        EXPECT_EQ(c->ctx.settings.FutureDaysAllowed, cases[i].future) << "case " << i;
        EXPECT_EQ(c->ctx.settings.CalendarMonths, cases[i].calendar) << "case " << i;
        EXPECT_EQ(c->ctx.settings.CalendarMonthsForLeave, cases[i].calendarLeave) << "case " << i;
    }
}

TEST(Settings, MonthEndsSetOneMonthEachAndIgnoreValuesNamingNoMonth) {
    auto c = ConfigDb::Sqlite();
    c->Create("init");
    for (const char* v : {"0725", "1229", "101", " 331 ", "+415", "520", "510",  // valid
                          "1325", "0025", "0700", "0632", "-725", "99999"})    // ignored
        AddInit(*c, 0, "monthends", std::string(v));
    loadinifiledb(c->ctx);
    const auto& e = c->ctx.settings.MonthEndDay;
    const std::array<int, 13> expected{0, 1, 28, 31, 15, 10, 28, 25, 28, 28, 28, 28, 29};
    for (int m = 0; m <= 12; ++m) EXPECT_EQ(e[m], expected[m]) << "month " << m;
}

TEST(Settings, TextsAreCutToTheirLengthInCharacters) {
    auto c = ConfigDb::Sqlite();
    c->Create("init");
    const std::string sixty(60, 'n');
    std::string persian20;
    for (int i = 0; i < 20; ++i) persian20 += "ش";
    AddInit(*c, 0, "param_name", sixty);
    AddInit(*c, 0, "Part2", persian20);
    AddInit(*c, 0, "fldRezerv3", "abcdefghijklmnopqrst");
    AddInit(*c, 0, "EndRep05", sixty);
    AddInit(*c, 0, "RptFont", std::string(40, 'f'));
    AddInit(*c, 0, "PrsRptSetST", sixty);  // not cut
    AddInit(*c, 0, "archiveday", " 45 ");
    AddInit(*c, 0, "RptFntSize", "10");
    AddInit(*c, 0, "Part3", std::nullopt);  // null reads as the empty text
    AddInit(*c, 0, "FastCollect", std::nullopt);  // null reads as 0
    loadinifiledb(c->ctx);
    const TSettings& s = c->ctx.settings;
    EXPECT_EQ(s.param_name, std::string(50, 'n'));
    std::string persian15;
    for (int i = 0; i < 15; ++i) persian15 += "ش";
    EXPECT_EQ(s.Part2, persian15);
    EXPECT_EQ(s.fldRezerv[2], "abcdefghijklmno");
    EXPECT_EQ(s.fldRezerv[1], "فيلد رزرو 2");
    EXPECT_EQ(s.EndRep[4], std::string(50, 'n'));
    EXPECT_EQ(s.EndRep[0], "");
    EXPECT_EQ(s.RptFont, std::string(30, 'f'));
    EXPECT_EQ(s.PrsRptSetST, sixty);
    EXPECT_EQ(s.archiveday, 45);
    EXPECT_EQ(s.RptFntSize, 10);
    EXPECT_EQ(s.Part3, "");
    EXPECT_EQ(s.FastCollect, 0);
}

TEST(Settings, NonIntegerValueOfAnIntegerTitleEndsTheLoadNamingIt) {
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"CalcFuture", "yes"}, {"monthnormal", ""}, {"monthends", "7.25"},
        {"RptFntSize", "8pt"}, {"archiveday", "99999999999"}, {"IsWin2000", "1 2"},
    };
    for (const auto& [title, value] : bad) {
        auto c = ConfigDb::Sqlite();
        c->Create("init");
        AddInit(*c, 0, title, value);
        try {
            loadinifiledb(c->ctx);
            ADD_FAILURE() << title << " = '" << value << "' was accepted";
        } catch (const DbError& e) {
            std::string m = e.what();
            EXPECT_NE(m.find("init"), std::string::npos) << m;
            EXPECT_NE(m.find("Init_Value"), std::string::npos) << m;
            EXPECT_NE(m.find("'" + value + "'"), std::string::npos) << m;
            EXPECT_NE(m.find(title), std::string::npos) << m;
        }
    }
    // The same texts under text titles are fine.
    auto c = ConfigDb::Sqlite();
    c->Create("init");
    AddInit(*c, 0, "Part1", "yes");
    AddInit(*c, 0, "LhzRptSetST", "8pt");
    EXPECT_NO_THROW(loadinifiledb(c->ctx));
    EXPECT_EQ(c->ctx.settings.Part1, "yes");
}

TEST(Settings, EachLoadStartsFromTheDefaults) {
    auto c = ConfigDb::Sqlite();
    c->Create("init");
    AddInit(*c, 1, "CalcFuture", "1");
    AddInit(*c, 1, "monthends", "0725");
    AddInit(*c, 1, "Part1", "x");
    c->ctx.person.p_param = 1;
    loadinifiledb(c->ctx);
    EXPECT_FALSE(c->ctx.settings.FutureDaysAllowed);
    EXPECT_EQ(c->ctx.settings.MonthEndDay[7], 25);
    EXPECT_EQ(c->ctx.settings.LoadedParamSet, 1);

    c->ctx.person.p_param = 2;  // a set without rows
    loadinifiledb(c->ctx);
    EXPECT_TRUE(c->ctx.settings.FutureDaysAllowed);
    EXPECT_EQ(c->ctx.settings.MonthEndDay[7], 28);
    EXPECT_EQ(c->ctx.settings.Part1, "بخش");
    EXPECT_EQ(c->ctx.settings.LoadedParamSet, 2);
}

}  // namespace
}  // namespace attcalc
