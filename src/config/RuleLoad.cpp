#include "config/RuleLoad.h"

#include "config/Company.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

#include "db/Database.h"
#include "db/Dialect.h"
#include "run/Context.h"

namespace attcalc {

namespace {

// Each entry reads the column named exactly like its field.
#define AC_COL(f) TRuleColumn{#f, &rule_type::f}
#define AC_DATE(f) TRuleColumn{#f, TRuleDate10{&rule_type::f}}

const TRuleColumn kRulesColumns[] = {
    AC_COL(rule_code), AC_COL(rule_name), AC_COL(Rule_emojavvez), AC_COL(Rule_ehmojavvez),
    AC_COL(Rule_emojavvezafter), AC_COL(Rule_emojazday), AC_COL(Rule_emojazdayg), AC_COL(Rule_eming),
    AC_COL(Rule_eminb), AC_COL(Rule_emaxg), AC_COL(Rule_emaxb), AC_COL(Rule_emaxa), AC_COL(Rule_emaxt),
    AC_COL(Rule_emaxm), AC_COL(Rule_emaxtm), AC_COL(Rule_efix), AC_COL(Rule_eza), AC_COL(Rule_ezatime),
    AC_COL(Rule_eza1), AC_COL(Rule_ezt), AC_COL(Rule_ezttime), AC_COL(Rule_ezt1), AC_COL(Rule_ezg),
    AC_COL(Rule_ezgtime), AC_COL(Rule_ezg1), AC_COL(Rule_ezr), AC_COL(Rule_ezrtime), AC_COL(Rule_ezr1),
    AC_COL(Rule_ezshab), AC_COL(Rule_ezshabtime), AC_COL(Rule_ezshab1), AC_COL(Rule_ezshabt),
    AC_COL(Rule_ezshabttime), AC_COL(Rule_ezshabt1), AC_COL(Rule_emshr), AC_COL(Rule_emshrt),
    AC_COL(Rule_emday), AC_COL(Rule_emdayt), AC_COL(Rule_etk), AC_COL(Rule_ehd), AC_COL(Rule_eba),
    AC_COL(Rule_egm), AC_COL(Rule_e28fullmomtad), AC_COL(Rule_emzero), AC_COL(Rule_ema), AC_COL(Rule_ezma),
    AC_COL(Rule_emo), AC_COL(Rule_ezmo), AC_COL(Rule_edkeshik), AC_COL(Rule_enoworkday),
    AC_COL(Rule_enoworkkasr), AC_COL(Rule_eghabl1), AC_COL(Rule_eghabl2), AC_COL(Rule_ebaad1),
    AC_COL(Rule_ebaad2), AC_COL(Rule_ebaad11), AC_COL(Rule_ebaad12), AC_COL(Rule_ebaad21),
    AC_COL(Rule_ebaad22), AC_COL(Rule_egkl), AC_COL(Rule_egknahar), AC_COL(Rule_egtlimit),
    AC_COL(Rule_egfrom), AC_COL(Rule_egto), AC_COL(Rule_GMT1), AC_COL(Rule_gmt2), AC_COL(Rule_gmb),
    AC_COL(Rule_GMT1m), AC_COL(Rule_gmt2m), AC_COL(Rule_gmbm), AC_COL(Rule_gmaxd), AC_COL(Rule_gmaxm),
    AC_COL(Rule_ggmezmanfi), AC_COL(Rule_gpas), AC_COL(Rule_gzpas), AC_COL(Rule_gslimit),
    AC_COL(Rule_gtajillimit), AC_COL(Rule_gmorbigh), AC_COL(Rule_gafvm), AC_COL(Rule_gafvlimit),
    AC_COL(Rule_gjanbaz), AC_COL(Rule_gjanbazEmor), AC_COL(Rule_gjanbazIgnore), AC_COL(Rule_gtmm),
    AC_COL(Rule_gtsm), AC_COL(Rule_gkbh), AC_COL(Rule_gkbm), AC_COL(Rule_gebein), AC_COL(Rule_gslastm),
    AC_COL(Rule_gddouble), AC_COL(Rule_gttm), AC_COL(Rule_gttmj), AC_COL(Rule_gnaghes), AC_COL(Rule_gtf1),
    AC_COL(Rule_gte1), AC_COL(Rule_gtp1), AC_COL(Rule_gtf2), AC_COL(Rule_gte2), AC_COL(Rule_gtp2),
    AC_COL(Rule_gtf3), AC_COL(Rule_gte3), AC_COL(Rule_gtp3), AC_COL(Rule_gsmt1), AC_COL(Rule_gsmp1),
    AC_COL(Rule_gsmt2), AC_COL(Rule_gsmp2), AC_COL(Rule_gsmp3), AC_COL(Rule_gzhd), AC_COL(Rule_gd),
    AC_COL(Rule_gbd), AC_COL(Rule_gkd), AC_COL(Rule_grzhd), AC_COL(Rule_mahr), AC_COL(Rule_mamax),
    AC_COL(Rule_makar), AC_COL(Rule_makarna), AC_COL(Rule_marmtm), AC_COL(Rule_mashrmtm), AC_COL(Rule_marmrm),
    AC_COL(Rule_mashrmrm), AC_COL(Rule_marmgm), AC_COL(Rule_mashrmgm), AC_COL(Rule_mage), AC_COL(Rule_mams1),
    AC_COL(Rule_masg), AC_COL(Rule_masn), AC_COL(Rule_manowbat), AC_COL(Rule_manokez), AC_COL(Rule_marshgs),
    AC_COL(Rule_mamojavvez), AC_COL(Rule_mamtomor), AC_COL(Rule_mad), AC_COL(Rule_mab1), AC_COL(Rule_mak1),
    AC_COL(Rule_marhr), AC_COL(Rule_madfixh),
};

const TRuleColumn kRulesetcColumns[] = {
    AC_COL(Rule_mohr), AC_COL(Rule_moey), AC_COL(Rule_moafv), AC_COL(Rule_moafvlimit), AC_COL(Rule_mohd),
    AC_COL(Rule_mohdg), AC_COL(Rule_moesl), AC_COL(Rule_moesyl), AC_COL(Rule_moesmin), AC_COL(Rule_moesn),
    AC_COL(Rule_moesf), AC_COL(Rule_moepl), AC_COL(Rule_moepls), AC_COL(Rule_moeal), AC_COL(Rule_mosy),
    AC_COL(Rule_mosm), AC_COL(Rule_moeneg), AC_COL(Rule_moeb), AC_COL(Rule_moebs), AC_COL(Rule_moTalab),
    AC_COL(Rule_mokar), AC_COL(Rule_mokarna), AC_COL(Rule_momtm), AC_COL(Rule_momrm), AC_COL(Rule_momgm),
    AC_COL(Rule_momtms), AC_COL(Rule_momrms), AC_COL(Rule_momgms), AC_COL(Rule_monowrooz),
    AC_COL(Rule_morgkok), AC_COL(Rule_morsbiok), AC_COL(Rule_moms1), AC_COL(Rule_mout), AC_COL(Rule_monowbat),
    AC_COL(Rule_momojavvez), AC_COL(Rule_mobislastm), AC_COL(Rule_moezcode), AC_COL(Rule_moezkasr),
    AC_COL(Rule_morbies), AC_COL(Rule_moghes), AC_COL(Rule_moh), AC_COL(Rule_mob1), AC_COL(Rule_mok1),
    AC_COL(Rule_morhr), AC_COL(Rule_moeylist), AC_COL(Rule_mounfair), AC_COL(Rule_karpermah),
    AC_COL(Rule_moeyd), AC_COL(Rule_moeyh), AC_COL(Rule_dtkar), AC_COL(Rule_drkar), AC_COL(Rule_dgkar),
    AC_COL(Rule_kard), AC_COL(Rule_karb1), AC_COL(Rule_kark1), AC_COL(Rule_kart), AC_COL(Rule_karr),
    AC_COL(Rule_karsaati), AC_COL(Rule_karlazem), AC_COL(Rule_KarPerday), AC_COL(Rule_karpercent),
    AC_COL(Rule_karpgroup), AC_COL(Rule_karsaat), AC_COL(Rule_bahreh), AC_COL(Rule_isround),
    AC_COL(Rule_roundtime), AC_COL(Rule_roundtype), AC_COL(Rule_isroundCalc), AC_COL(Rule_roundtimeCalc),
    AC_COL(Rule_roundtypeCalc), AC_COL(Rule_isroundmonth), AC_COL(Rule_roundtimemonth),
    AC_COL(Rule_roundtypemonth), AC_COL(Rule_ghmh), AC_COL(Rule_gdmd), AC_COL(Rule_ghmhm), AC_COL(Rule_gkar),
    AC_COL(Rule_outinworkmax), AC_COL(Rule_t1e2d), AC_COL(Rule_t2e1d), AC_COL(Rule_t1e2b),
    AC_COL(Rule_EzJomehEMor), AC_COL(Rule_EztnoJomehEMor), AC_COL(Rule_gdez), AC_COL(Rule_mojerror),
    AC_COL(Rule_ted), AC_COL(Rule_t1e2m), AC_COL(Rule_takhirmo), AC_COL(Rule_tajilmo), AC_COL(Rule_ghmoh),
    AC_COL(Rule_incard), AC_COL(Rule_outcard), AC_COL(Rule_addyignore), AC_COL(Rule_fixstation),
    AC_COL(Rule_trdnear), AC_COL(Rule_nohand), AC_COL(Rule_Zahab), AC_COL(Rule_Zahabm), AC_COL(Rule_Zahabt),
    AC_COL(Rule_Zahabtrd), AC_COL(Rule_Ghaza), AC_COL(Rule_Ghazam), AC_COL(Rule_Ghazat),
    AC_COL(Rule_Ghazatrd), AC_COL(Rule_In1_Out2), AC_COL(Rule_In1_Out2_28), AC_COL(Rule_outinwork),
    AC_COL(Rule_mghez), AC_COL(Rule_startday), AC_COL(Rule_startnight), AC_COL(Rule_night),
    AC_COL(Rule_shrmarz), AC_COL(Rule_shrfix), AC_COL(Rule_startvijeh), AC_COL(Rule_endvijeh),
    AC_COL(Rule_cbtatil), AC_COL(Rule_naharto), AC_COL(Rule_naharfrom), AC_COL(Rule_naharlimit),
    AC_COL(Rule_SahariTo), AC_COL(Rule_Saharifrom), AC_COL(Rule_sobhanehto), AC_COL(Rule_sobhanehfrom),
    AC_COL(Rule_nahar1to), AC_COL(Rule_nahar1from), AC_COL(Rule_shamto), AC_COL(Rule_shamfrom),
    AC_COL(Rule_fridaylimit), AC_COL(Rule_fridaybashift), AC_COL(Rule_fridaybishift),
    AC_DATE(Rule_spRuleFDate), AC_DATE(Rule_spRuleEDate), AC_COL(Rule_spRule),
};

#undef AC_COL
#undef AC_DATE

// Reading one column of the row, with the table and rule code at hand for
// the message of a value that does not convert.
struct TColumnReader {
    const Rows& rows;
    const char* table;
    std::int32_t code;

    [[noreturn]] void Bad(std::string_view column, const std::string& value, const char* why) const {
        throw DbError("bad value \"" + value + "\" in column " + std::string(column) + " of table " + table +
                      " (rule_code " + std::to_string(code) + "): " + why);
    }

    static std::string Trim(std::string_view s) {
        std::size_t b = 0, e = s.size();
        while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
        while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
        return std::string(s.substr(b, e - b));
    }

    // A real (money, numeric) value rounds to the nearest integer, halves to
    // the even neighbour.
    std::int32_t FromReal(std::string_view column, double d, const std::string& shown) const {
        if (!std::isfinite(d)) Bad(column, shown, "not a number");
        double r = std::nearbyint(d);
        if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
            Bad(column, shown, "out of range");
        return static_cast<std::int32_t>(r);
    }

    std::int32_t Int(std::string_view column) const {
        const DbValue& v = rows.Value(0, column);
        switch (v.kind) {
            case DbValue::Kind::Null: return 0;
            case DbValue::Kind::Int:
                if (v.i < std::numeric_limits<std::int32_t>::min() || v.i > std::numeric_limits<std::int32_t>::max())
                    Bad(column, std::to_string(v.i), "out of range");
                return static_cast<std::int32_t>(v.i);
            case DbValue::Kind::Real: return FromReal(column, v.d, rows.Text(0, column));
            case DbValue::Kind::Text: {
                std::string t = Trim(v.s);
                const char* b = t.data();
                const char* e = t.data() + t.size();
                if (!t.empty() && *b == '+') ++b;
                std::int64_t n = 0;
                auto [p, ec] = std::from_chars(b, e, n);
                if (b != e && ec == std::errc() && p == e) {
                    if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
                        Bad(column, v.s, "out of range");
                    return static_cast<std::int32_t>(n);
                }
                double d = 0;
                auto [p2, ec2] = std::from_chars(b, e, d);
                if (b != e && ec2 == std::errc() && p2 == e) return FromReal(column, d, v.s);
                Bad(column, v.s, "not a number");
            }
        }
        return 0;
    }

    bool Bool(std::string_view column) const {
        const DbValue& v = rows.Value(0, column);
        switch (v.kind) {
            case DbValue::Kind::Null: return false;
            case DbValue::Kind::Int: return v.i != 0;
            case DbValue::Kind::Real: return v.d != 0;
            case DbValue::Kind::Text: {
                std::string t = ToLower(Trim(v.s));
                if (t.empty() || t == "false" || t == "f" || t == "no") return false;
                if (t == "true" || t == "t" || t == "yes") return true;
                double d = 0;
                auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), d);
                if (ec == std::errc() && p == t.data() + t.size()) return d != 0;
                Bad(column, v.s, "not a flag");
            }
        }
        return false;
    }

    std::string Text(std::string_view column) const { return rows.Text(0, column); }

    void Read(const TRuleColumn& c, rule_type& r) const {
        std::visit(
            [&](auto f) {
                using F = decltype(f);
                if constexpr (std::is_same_v<F, std::int32_t rule_type::*>) {
                    r.*f = Int(c.Column);
                } else if constexpr (std::is_same_v<F, bool rule_type::*>) {
                    r.*f = Bool(c.Column);
                } else if constexpr (std::is_same_v<F, std::string rule_type::*>) {
                    r.*f = Text(c.Column);
                } else if constexpr (std::is_same_v<F, TRuleDate10>) {
                    r.*(f.Field) = FirstCharacters(Text(c.Column), 10);
                } else {
                    for (int m = 1; m <= 12; ++m) (r.*f)[m - 1] = Int(std::string(c.Column) + std::to_string(m));
                }
            },
            c.Field);
    }

    // The first n characters of a UTF-8 text (never a part of a character).
    static std::string FirstCharacters(const std::string& s, std::size_t n) {
        std::size_t i = 0, count = 0;
        while (i < s.size() && count < n) {
            ++i;
            while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
            ++count;
        }
        return s.substr(0, i);
    }
};

// The zero value of a field: what a column reads as when there is no row.
void Clear(const TRuleColumn& c, rule_type& r) {
    std::visit(
        [&](auto f) {
            using F = decltype(f);
            if constexpr (std::is_same_v<F, std::int32_t rule_type::*>) r.*f = 0;
            else if constexpr (std::is_same_v<F, bool rule_type::*>) r.*f = false;
            else if constexpr (std::is_same_v<F, std::string rule_type::*>) (r.*f).clear();
            else if constexpr (std::is_same_v<F, TRuleDate10>) (r.*(f.Field)).clear();
            else (r.*f).fill(0);
        },
        c.Field);
}

Rows QueryRuleRow(Database& db, const char* table, std::int32_t code) {
    return db.QueryBound("select * from " + db.dialect().Table(table) + "\nwhere rule_code=?", {DbValue::Int(code)});
}

}  // namespace

std::span<const TRuleColumn> RulesColumns() { return kRulesColumns; }
std::span<const TRuleColumn> RulesetcColumns() { return kRulesetcColumns; }

void RuleLoad(TRunContext& ctx, std::int32_t code) {
    if (ctx.RuleRequestedCode && *ctx.RuleRequestedCode == code) return;
    Database& db = *ctx.db;

    // The new rule is built aside, so that a failure leaves the current one whole.
    rule_type r{};
    bool found = false;
    if (auto kept = ctx.company ? ctx.company->Rule(code) : std::nullopt) {
        r = std::move(kept->Rule);
        found = kept->Found;
    } else {
        Rows rules = QueryRuleRow(db, "rules", code);
        found = !rules.Empty();
        if (found) {
            TColumnReader in{rules, "rules", code};
            for (const TRuleColumn& c : kRulesColumns) in.Read(c, r);
            r.Rule_gtactive = r.Rule_gtp1 != 0 || r.Rule_gtp2 != 0 || r.Rule_gtp3 != 0;
            for (int n = 1; n <= 20; ++n) r.Rule_Script[n - 1] = in.Text("Rule_Script" + std::to_string(n));

            Rows etc = QueryRuleRow(db, "rulesetc", code);
            if (etc.Empty()) {
                for (const TRuleColumn& c : kRulesetcColumns) Clear(c, r);
            } else {
                TColumnReader etcIn{etc, "rulesetc", code};
                for (const TRuleColumn& c : kRulesetcColumns) etcIn.Read(c, r);
            }
        }
        if (ctx.company) ctx.company->KeepRule(code, {r, found});
    }
    if (!found) r.rule_code = ctx.rule.rule_code;
    r.LeaveTableForBalances = !r.Rule_mounfair;

    // The script texts are read from the new rule; when one cannot be read
    // the load fails and the rule before it stays current.
    std::swap(ctx.rule, r);
    if (ctx.PrepareRuleScripts) {
        try {
            ctx.PrepareRuleScripts(ctx);
        } catch (...) {
            std::swap(ctx.rule, r);
            throw;
        }
    }
    ctx.RuleRequestedCode = code;
}

}  // namespace attcalc
