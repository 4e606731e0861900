#include "config/Settings.h"

#include <charconv>
#include <cstdint>
#include <functional>
#include <string_view>

#include "config/Company.h"
#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "run/Context.h"

namespace attcalc {

namespace {

// The first `n` characters (code points) of a UTF-8 text.
std::string FirstChars(const std::string& text, std::size_t n) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // continuation byte
        if (chars == n) return text.substr(0, i);
        ++chars;
    }
    return text;
}

// One Init_Value as read: its text, or null.
struct TInitValue {
    std::string text;
    bool null = false;
};

// An "init" value read as an integer: optional blanks around an optionally
// signed run of decimal digits that fits 32 bits; a null reads as 0. Anything
// else ends the run.
int32_t InitInteger(const std::string& title, const TInitValue& v) {
    if (v.null) return 0;
    const std::string& value = v.text;
    std::string_view t = value;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    int32_t out = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
    if (t.empty() || ec != std::errc() || p != t.data() + t.size())
        throw DbError("init: Init_Value '" + value + "' of the setting '" + title + "' is not an integer");
    return out;
}

struct TSettingTitle {
    const char* title;
    std::function<void(TSettings&, const std::string& title, const TInitValue& value)> apply;
};

auto Integer(int32_t TSettings::*field) {
    return [field](TSettings& s, const std::string& title, const TInitValue& v) {
        s.*field = InitInteger(title, v);
    };
}

auto Text(std::string TSettings::*field, std::size_t cut) {
    return [field, cut](TSettings& s, const std::string&, const TInitValue& v) {
        s.*field = cut ? FirstChars(v.text, cut) : v.text;
    };
}

template <std::size_t N>
auto TextAt(std::array<std::string, N> TSettings::*field, std::size_t index, std::size_t cut) {
    return [field, index, cut](TSettings& s, const std::string&, const TInitValue& v) {
        (s.*field)[index] = FirstChars(v.text, cut);
    };
}

const std::vector<TSettingTitle>& Titles() {
    static const std::vector<TSettingTitle> titles = [] {
        std::vector<TSettingTitle> t = {
            {"CalcFuture",
             [](TSettings& s, const std::string& title, const TInitValue& v) {
                 s.FutureDaysAllowed = InitInteger(title, v) == 0;
             }},
            {"monthnormal",
             [](TSettings& s, const std::string& title, const TInitValue& v) {
                 bool calendar = InitInteger(title, v) == 0;
                 s.CalendarMonths = calendar;
                 s.CalendarMonthsForLeave = calendar;
             }},
            {"monthnormalmor",
             [](TSettings& s, const std::string& title, const TInitValue& v) {
                 s.CalendarMonthsForLeave = InitInteger(title, v) == 0;
             }},
            {"monthends",
             [](TSettings& s, const std::string& title, const TInitValue& v) {
                 // month * 100 + day; a value naming no month (or no day of a
                 // month) has nowhere to go and changes nothing.
                 int32_t n = InitInteger(title, v);
                 int32_t month = n / 100, day = n % 100;
                 if (month >= 1 && month <= 12 && day >= 1 && day <= 31) s.MonthEndDay[month] = day;
             }},
            {"param_name", Text(&TSettings::param_name, 50)},
            {"archiveday", Integer(&TSettings::archiveday)},
            {"PrsRptSetST", Text(&TSettings::PrsRptSetST, 0)},
            {"LhzRptSetST", Text(&TSettings::LhzRptSetST, 0)},
            {"TimeOut2000", Integer(&TSettings::TimeOut2000)},
            {"IsWin2000", Integer(&TSettings::IsWin2000)},
            {"FastCollect", Integer(&TSettings::FastCollect)},
            {"Part1", Text(&TSettings::Part1, 15)},
            {"Part2", Text(&TSettings::Part2, 15)},
            {"Part3", Text(&TSettings::Part3, 15)},
            {"Part4", Text(&TSettings::Part4, 15)},
            {"RptTitleFont", Text(&TSettings::RptTitleFont, 30)},
            {"RptFont", Text(&TSettings::RptFont, 30)},
            {"RptTitleFntSize", Integer(&TSettings::RptTitleFntSize)},
            {"RptFntSize", Integer(&TSettings::RptFntSize)},
        };
        static const char* endRep[] = {"EndRep01", "EndRep02", "EndRep03", "EndRep04", "EndRep05"};
        for (std::size_t i = 0; i < 5; ++i) t.push_back({endRep[i], TextAt(&TSettings::EndRep, i, 50)});
        static const char* rezerv[] = {"fldRezerv1", "fldRezerv2", "fldRezerv3", "fldRezerv4",
                                       "fldRezerv5", "fldRezerv6", "fldRezerv7", "fldRezerv8"};
        for (std::size_t i = 0; i < 8; ++i) t.push_back({rezerv[i], TextAt(&TSettings::fldRezerv, i, 15)});
        return t;
    }();
    return titles;
}

}  // namespace

void loadinifiledb(TRunContext& ctx) {
    ctx.settings = TSettings{};
    const int32_t paramSet = ctx.person.p_param;

    CreateTableIfMissing(ctx, "init");

    if (auto kept = ctx.company ? ctx.company->Settings(paramSet) : std::nullopt) {
        ctx.settings = *kept;
        return;
    }
    Database& db = *ctx.db;
    Rows rows = db.QueryBound("select * from " + db.dialect().Table("init") + " where init_code=?",
                              {DbValue::Int(paramSet)});
    for (std::size_t r = 0; r < rows.Count(); ++r) {
        std::string title = rows.Text(r, "init_title");
        for (const auto& t : Titles()) {
            if (title == t.title) {  // titles match exactly, letter case included
                TInitValue value{rows.Text(r, "init_value"), rows.IsNull(r, "init_value")};
                t.apply(ctx.settings, title, value);
                break;
            }
        }
    }
    ctx.settings.LoadedParamSet = paramSet;
    if (ctx.company) ctx.company->KeepSettings(paramSet, ctx.settings);
}

}  // namespace attcalc
