// Rule scripts: reading the script texts of a rule and running them on a
// result record.
#include "scripts/Scripts.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "calendar/Holidays.h"
#include "run/Context.h"
#include "scripts/ReportItems.h"

namespace attcalc {

namespace {

// ---- Reading a script text ---------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A field as the message shows it: at most 40 bytes, control bytes as \xNN.
std::string Shown(std::string_view s) {
    std::string out;
    std::size_t n = 0;
    for (; n < s.size() && n < 40; ++n) {
        const unsigned char c = static_cast<unsigned char>(s[n]);
        if (c < 0x20 || c == 0x7F) {
            static const char* hex = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    // Never end inside a multi-byte character.
    while (n < s.size() && !out.empty() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) {
        out.pop_back();
        --n;
    }
    if (n < s.size()) out += "...";
    return out;
}

// The meaning of field n (1-based) of a script text.
std::string FieldName(int n) {
    static const char* header[] = {"enabled", "scope", "filter", "combiner", "split"};
    static const char* condition[] = {"left item", "comparison", "operand item", "operand operator",
                                      "operand constant"};
    static const char* action[] = {"target item", "operand item", "operand operator", "operand constant", "kind"};
    if (n <= 5) return header[n - 1];
    if (n <= 15) return "condition " + std::to_string((n - 6) / 5 + 1) + " " + condition[(n - 6) % 5];
    return "action " + std::to_string((n - 16) / 5 + 1) + " " + action[(n - 16) % 5];
}

class TScriptReader {
public:
    explicit TScriptReader(std::string_view text) : text_(Trim(text)) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    int FieldNumber() const { return field_; }

    [[noreturn]] void Fail(const std::string& why) const {
        throw ScriptConversionError("field " + std::to_string(field_) + " (" + FieldName(field_) + "): " + why);
    }

    std::int32_t Int() {
        const std::string_view f = Next();
        std::size_t i = 0;
        bool negative = false;
        if (i < f.size() && (f[i] == '+' || f[i] == '-')) negative = f[i++] == '-';
        if (i == f.size()) Fail(NotANumber(f));
        std::int64_t v = 0;
        for (; i < f.size(); ++i) {
            if (f[i] < '0' || f[i] > '9') Fail(NotANumber(f));
            if (v <= std::int64_t{1} << 32) v = v * 10 + (f[i] - '0');
        }
        if (negative) v = -v;
        if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
            Fail("\"" + Shown(f) + "\" is out of the 32-bit range");
        return static_cast<std::int32_t>(v);
    }

    // A decimal real: optional sign, digits with one decimal separator
    // ("." or ","), optional exponent.
    double Real() {
        const std::string_view f = Next();
        std::string t(f);
        for (char& c : t)
            if (c == ',') c = '.';
        const char* b = t.data();
        const char* e = t.data() + t.size();
        const bool plus = b != e && *b == '+';
        if (plus) ++b;
        if (b == e || (plus && *b == '-')) Fail(NotANumber(f));
        double d = 0;
        auto [p, ec] = std::from_chars(b, e, d, std::chars_format::general);
        if (ec == std::errc::result_out_of_range) Fail("\"" + Shown(f) + "\" is out of range");
        if (ec != std::errc() || p != e || !std::isfinite(d)) Fail(NotANumber(f));
        return d;
    }

private:
    static std::string NotANumber(std::string_view f) {
        return f.empty() ? std::string("the field is empty") : "\"" + Shown(f) + "\" is not a number";
    }

    std::string_view Next() {
        ++field_;
        if (AtEnd()) Fail("the text ends before this field");
        const std::size_t semi = text_.find(';', pos_);
        if (semi == std::string_view::npos) Fail("\"" + Shown(text_.substr(pos_)) + "\" is not followed by \";\"");
        const std::string_view f = Trim(text_.substr(pos_, semi - pos_));
        pos_ = semi + 1;
        return f;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int field_ = 0;
};

TScriptOperand ReadOperand(TScriptReader& in) {
    TScriptOperand o;
    o.Item = SourcePosition(in.Int());
    o.Op = in.Int();
    o.Constant = in.Real();
    return o;
}

TScriptCondition ReadCondition(TScriptReader& in) {
    TScriptCondition c;
    c.Left = SourcePosition(in.Int());
    c.Compare = in.Int();
    c.Operand = ReadOperand(in);
    return c;
}

// ---- Running a script --------------------------------------------------------

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

// The nearest integer, halves to the even neighbour, held at the 32-bit
// limits (an item value is a 32-bit integer).
std::int32_t Round32(double x) {
    if (std::isnan(x)) return 0;
    const double r = std::nearbyint(x);
    if (r <= kMin32) return kMin32;
    if (r >= kMax32) return kMax32;
    return static_cast<std::int32_t>(r);
}

std::int32_t Clamp32(std::int64_t v) { return v < kMin32 ? kMin32 : v > kMax32 ? kMax32 : static_cast<std::int32_t>(v); }

// Weekday of a day record's date (0 Saturday ... 6 Friday), -1 when the
// date is not a day "yyyy/mm/dd".
int RecordWeekday(const std::string& date) {
    if (date.size() != 10 || date[4] != '/' || date[7] != '/') return -1;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (date[static_cast<std::size_t>(i)] < '0' || date[static_cast<std::size_t>(i)] > '9') return -1;
    const int m = std::stoi(date.substr(5, 2));
    if (m < 1 || m > 12) return -1;
    return WeekdayOfText(date);
}

// The kind filters 0 ... 6 on the flags of a day (bit 0 no shift, bit 1
// unofficial, bit 2 official holiday).
bool KindPasses(int filter, int flags) {
    switch (filter) {
        case 0: return true;
        case 1: return (flags & 1) == 0;
        case 2: return (flags & 1) != 0;
        case 3: return (flags & 6) != 0;
        case 4: return (flags & 4) != 0;
        case 5: return (flags & 2) != 0;
        case 6: return (flags & 6) == 0;
        default: return false;
    }
}

bool DayFilterPasses(int filter, int type, int weekday) {
    if (filter >= 0 && filter <= 6) return KindPasses(filter, type);
    if (weekday < 0) return false;
    if (filter >= 7 && filter <= 13) return weekday == filter - 7;
    if (filter == 14) return weekday < 5;  // Saturday to Wednesday
    return false;
}

// The next-day filter tests the next day's flags, or the weekday of the day
// itself that comes before the named next day.
bool NextDayFilterPasses(int filter, int nextType, int weekday) {
    if (filter >= 0 && filter <= 6) return KindPasses(filter, nextType);
    if (weekday < 0) return false;
    if (filter == 7) return weekday == 6;                    // tomorrow is Saturday
    if (filter >= 8 && filter <= 13) return weekday == filter - 8;
    if (filter == 14) return weekday < 4 || weekday == 6;   // tomorrow is Saturday to Wednesday
    return false;
}

struct TScriptRun {
    TRunContext& ctx;
    TDayRecord& R;
    std::int32_t& grantNowork;

    std::int32_t Source(int position) const { return GetItem(ctx, R, SourceCode(position), grantNowork); }

    std::int32_t Operand(const TScriptOperand& o) const {
        const double k = o.Constant;
        if (o.Item == 0) return Round32(k);
        const double v = Source(o.Item);
        switch (o.Op) {
            case 0: return static_cast<std::int32_t>(v);
            case 1: return Round32(v + k);
            case 2: return Round32(v - k);
            case 3: return Round32(v * k);
            case 4: return k == 0 ? 0 : Round32(v / k);  // a constant 0 divides to 0, as in an action
            default: return 0;
        }
    }

    bool Holds(const TScriptCondition& c) const {
        if (c.Left == 0) return true;
        const std::int32_t L = Source(c.Left);
        const std::int32_t O = Operand(c.Operand);
        switch (c.Compare) {
            case 0: return L > O;
            case 1: return L >= O;
            case 2: return L == O;
            case 3: return L != O;
            case 4: return L < O;
            case 5: return L <= O;
            default: return false;
        }
    }

    bool ConditionsHold(const RuleScript& s) const {
        const bool has1 = s.Condition1.Left != 0, has2 = s.Condition2.Left != 0;
        if (!has1 && !has2) return true;
        if (!has2) return Holds(s.Condition1);
        if (!has1) return Holds(s.Condition2);
        switch (s.Combiner) {
            case 0: return Holds(s.Condition1) && Holds(s.Condition2);
            case 1: return Holds(s.Condition1) || Holds(s.Condition2);
            default: return true;
        }
    }

    void Run(const TScriptAction& a) {
        if (a.Target == 0) return;
        const std::int32_t code = TargetCode(a.Target);
        const std::int64_t t = GetItem(ctx, R, code, grantNowork);
        const std::int64_t e = Operand(a.Operand);
        std::int32_t value;
        switch (a.Kind) {
            case 1: value = Clamp32(t + e); break;
            case 2: value = Clamp32(t - e); break;
            case 3: value = Clamp32(t * e); break;
            case 4: value = e != 0 ? Round32(static_cast<double>(t) / static_cast<double>(e)) : 0; break;
            default: value = static_cast<std::int32_t>(e); break;
        }
        SetItem(R, code, value, grantNowork);
    }
};

}  // namespace

void ParseScript(std::string_view text, RuleScript& entry) {
    TScriptReader in(text);
    RuleScript s;
    const std::int32_t enabled = in.Int();
    // Only 1 enables a script; any other value leaves it switched off.
    s.Enabled = enabled == 1 ? 1 : 0;
    s.Scope = in.Int();
    const std::int32_t filters = in.Int();
    s.DayFilter = filters % 256;
    s.NextDayFilter = filters / 256;
    s.Combiner = in.Int();
    s.Split = in.Int();
    // The split chooses among six action slots: 1 runs none on success and
    // all six otherwise, 7 all six on success.
    if (s.Split < 1 || s.Split > kScriptActions + 1)
        in.Fail("the split " + std::to_string(s.Split) + " is outside 1 to 7");
    s.Condition1 = ReadCondition(in);
    s.Condition2 = ReadCondition(in);
    for (int k = 0; !in.AtEnd(); ++k) {
        if (k == kScriptActions) {
            in.Int();  // names the field in the message
            in.Fail("a script holds at most six actions");
        }
        TScriptAction& a = s.Actions[static_cast<std::size_t>(k)];
        a.Target = TargetPosition(in.Int());
        a.Operand = ReadOperand(in);
        a.Kind = in.Int();
    }
    s.Column = entry.Column;
    entry = s;
}

void PrepareRuleScripts(TRunContext& ctx) {
    TScriptTable table;
    table.MonthGrantNowork = ctx.scripts.MonthGrantNowork;
    for (int n = 1; n <= kRuleScripts; ++n) {
        const std::string& text = ctx.rule.Rule_Script[static_cast<std::size_t>(n - 1)];
        if (Trim(text).empty()) continue;
        RuleScript& e = table.Entries[static_cast<std::size_t>(table.Count)];
        e.Column = n;
        try {
            ParseScript(text, e);
        } catch (const ScriptConversionError& x) {
            throw ScriptConversionError("rule " + std::to_string(ctx.rule.rule_code) + ", script " +
                                        std::to_string(n) + " (Rule_Script" + std::to_string(n) +
                                        "): cannot be read: " + x.what());
        }
        ++table.Count;
    }
    ctx.scripts = table;
}

void RunScripts(TRunContext& ctx, TDayRecord& rec, int scope) {
    // The month's grant is not known during the days: day scripts read 0.
    std::int32_t dayGrant = 0;
    TScriptRun run{ctx, rec, scope == 1 ? dayGrant : ctx.scripts.MonthGrantNowork};
    int weekday = -2;  // computed on first use
    for (int i = 0; i < ctx.scripts.Count; ++i) {
        const RuleScript& s = ctx.scripts.Entries[static_cast<std::size_t>(i)];
        if (s.Scope != scope || s.Enabled == 0) continue;
        if (scope == 1) {
            if (weekday == -2) weekday = RecordWeekday(rec.Prc_date);
            if (!DayFilterPasses(s.DayFilter, rec.Prc_Type, weekday)) continue;
            if (!NextDayFilterPasses(s.NextDayFilter, rec.NextDayType, weekday)) continue;
        }
        const bool holds = run.ConditionsHold(s);
        const int first = holds ? 1 : s.Split;
        const int last = holds ? s.Split - 1 : kScriptActions;
        for (int k = first; k <= last; ++k) run.Run(s.Actions[static_cast<std::size_t>(k - 1)]);
    }
}

}  // namespace attcalc
