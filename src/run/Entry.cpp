#include "run/Entry.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "calendar/Jalali.h"
#include "db/Dialect.h"
#include "run/Batch.h"
#include "run/Home.h"
#include "run/Trace.h"

namespace attcalc {
namespace {

const char* kUsage =
    "usage: attcalc <personnel-code> <year> <month> [1]\n"
    "       attcalc            (or: attcalc 0)  store the build identity only\n"
    "       attcalc --report [--csv] <personnel-code> <year> <month>\n"
    "       attcalc --all <year> <month> [--jobs N] [--shard K/N]\n"
    "       attcalc --codes <file|-> <year> <month> [--jobs N]\n"
    "       attcalc --help | --version\n";

const char* kUsageLine = "usage: attcalc <personnel-code> <year> <month> [1] (attcalc --help)";

// The lock that runs writing to one database take in turn (a no-op where the
// transaction itself holds the whole database, as on SQLite). Runs take turns
// as a whole, not person by person: besides the person's own rows every run
// rewrites rows that all share (the build identity, a year's holidays) and
// may create the month's tables, and two runs doing that at once would store
// those rows twice or fail on each other's table.
constexpr const char* kRunLock = "attcalc run";

void WriteTraceHeader(Trace& t, const std::string& cs) {
    t.Line(MaskPasswords(cs));
    t.Line(std::string("تاریخ کمپایل ") + kCompileDate);
    t.Line(std::string("ویرایش ") + kRevision);
}

std::string TracePath(const std::string& home) { return (std::filesystem::path(home) / "trace.txt").string(); }

// An argument as a message quotes it: cut to a few dozen characters, with
// control characters and bytes that are no UTF-8 text shown as "?".
std::string Quoted(const std::string& arg) {
    std::string shown;
    for (std::size_t i = 0; i < arg.size();) {
        std::size_t n = 1;
        while (n <= 4 && i + n <= arg.size() && !IsValidUtf8(arg.substr(i, n))) ++n;
        if (n > 4 || i + n > arg.size() || static_cast<unsigned char>(arg[i]) < 32 || arg[i] == 127) {
            shown += '?';
            ++i;
        } else {
            shown += arg.substr(i, n);
            i += n;
        }
    }
    return "\"" + Abbreviate(shown, 40) + "\"";
}

bool IsOptionLike(const std::string& arg) { return !arg.empty() && arg[0] == '-'; }

}  // namespace

std::string CommandLineError(const std::vector<std::string>& args, bool infoMode) {
    // Options that belong to a batch, which names them first.
    static const char* const kBatchOptions[] = {"--all", "--codes", "--jobs", "--shard"};
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!IsOptionLike(args[i])) continue;
        // A negative year or month is refused below, as a number.
        if (i == 1 || i == 2) {
            try {
                ParseIntArg(args[i], "");
                continue;
            } catch (const std::invalid_argument&) {
            }
        }
        for (const char* option : kBatchOptions)
            if (args[i] == option || args[i].rfind(std::string(option) + "=", 0) == 0)
                return "the option " + Quoted(args[i]) +
                       " belongs to a batch, which starts with --all or --codes";
        return "unknown option " + Quoted(args[i]);
    }
    if (infoMode) return "";
    const std::string& code = args.size() > 0 ? args[0] : "";
    if (!IsValidUtf8(code)) return "the personnel code " + Quoted(code) + " is not UTF-8 text";
    // The limit counts characters: a code of Persian letters takes two bytes each.
    if (Utf8Length(code) > 8) return "the personnel code has more than 8 characters";
    const std::string& yearArg = args.size() > 1 ? args[1] : "";
    int year = 0;
    try {
        year = ParseIntArg(yearArg, "year");
    } catch (const std::invalid_argument&) {
        year = 0;
    }
    if (year < 1 || year > 9999) return "the year " + Quoted(yearArg) + " must be a number from 1 to 9999";
    const std::string& monthArg = args.size() > 2 ? args[2] : "";
    int month = 0;
    try {
        month = ParseIntArg(monthArg, "month");
    } catch (const std::invalid_argument&) {
        month = 0;
    }
    if (month < 1 || month > 12) return "the month " + Quoted(monthArg) + " must be a number from 1 to 12";
    return "";
}

void CheckClockOverride() {
    const char* env = std::getenv("ATTCALC_NOW");
    if (env == nullptr || *env == '\0') return;
    // A date and a time, and nothing after them.
    const std::string v(env);
    const std::size_t date = v.find_first_not_of(' ');
    const std::size_t gap = date == std::string::npos ? date : v.find(' ', date);
    const std::size_t time = gap == std::string::npos ? gap : v.find_first_not_of(' ', gap);
    const std::size_t end = time == std::string::npos ? time : v.find(' ', time);
    const bool trailing = end != std::string::npos && v.find_first_not_of(' ', end) != std::string::npos;
    if (trailing || !IsValidUtf8(v))
        throw std::runtime_error("ATTCALC_NOW " + Quoted(v) + " is not a Jalali date and time \"yyyy/mm/dd hh:mm\"");
    try {
        TodayJalali();
        NowTime();
    } catch (const std::exception&) {
        throw std::runtime_error("ATTCALC_NOW " + Quoted(v) + " is not a Jalali date and time \"yyyy/mm/dd hh:mm\"");
    }
}

std::unique_ptr<Database> OpenConfiguredDatabase(const std::string& home, const std::string& cs) {
    if (!HasConnectionFile(home)) {
        // The embedded default: say how to get a database.
        const std::string file = (std::filesystem::path(home) / "clock.db").string();
        std::error_code ec;
        if (!std::filesystem::exists(file, ec))
            throw std::runtime_error("no database: " + Abbreviate(file) +
                                     " does not exist; tools/demo creates a demo database there, or name "
                                     "your database in cs.txt in that folder");
    }
    return OpenDatabase(cs, home);
}

int ParseIntArg(const std::string& text, const char* what) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    std::string t = text.substr(b, e - b);
    std::size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    bool ok = i < t.size() && t.size() - i <= 9;
    for (std::size_t k = i; ok && k < t.size(); ++k) ok = std::isdigit(static_cast<unsigned char>(t[k])) != 0;
    if (!ok) throw std::invalid_argument(std::string("the ") + what + " " + Quoted(text) + " is not an integer");
    return std::stoi(t);
}

void SaveIniFileDBqv(TRunContext& ctx) {
    Database& db = *ctx.db;
    const std::string init = db.dialect().Table("init");
    // The three statements commit together, on their own, before the run.
    const bool own = !db.InTransaction();
    if (own) {
        db.Begin();
        db.TakeLock(kRunLock);
    }
    db.Execute("delete FROM " + init + "\nwhere init_code=999");
    db.Insert("init", {{"init_title", DbValue::Text("compiledate")},
                       {"init_Value", DbValue::Text(kCompileDate)},
                       {"init_code", DbValue::Int(999)}});
    db.Insert("init", {{"init_title", DbValue::Text("Revision")},
                       {"init_Value", DbValue::Text(kRevision)},
                       {"init_code", DbValue::Int(999)}});
    if (own) db.Commit();
}

int AttcalcMain(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "attcalc compile date " << kCompileDate << ", revision " << kRevision << "\n";
        return kExitOk;
    }
    if (IsBatchCommand(args)) {
        TBatchOptions opt;
        try {
            opt = ParseBatchArgs(args);
        } catch (const std::invalid_argument& e) {
            std::cerr << "attcalc: " << e.what() << "; " << kUsageLine << "\n";
            return kExitUsage;
        }
        try {
            CheckClockOverride();
            return BatchMain(opt, std::cin, std::cerr);
        } catch (const std::exception& e) {
            std::cerr << "attcalc: " << SingleLine(e.what()) << "\n";
            return kExitFailed;
        }
    }
    const bool report = !args.empty() && args[0] == "--report";
    bool csv = false;
    if (report) {
        args.erase(args.begin());
        csv = !args.empty() && args[0] == "--csv";
        if (csv) args.erase(args.begin());
        if (args.size() != 3) {
            std::cerr << "attcalc: --report takes a personnel code, a year and a month; " << kUsageLine << "\n";
            return kExitUsage;
        }
    }
    const bool infoMode = !report && (args.empty() || args[0].empty() || args[0] == "0");
    // Outside the contract: refused before any work, in one line.
    if (std::string bad = CommandLineError(args, infoMode); !bad.empty()) {
        std::cerr << "attcalc: " << bad << "; " << kUsageLine << "\n";
        return kExitUsage;
    }
    args.resize(std::max<std::size_t>(args.size(), 4));
    const std::string code = args[0];

    TRunContext ctx;
    std::unique_ptr<Database> db;
    std::unique_ptr<Trace> trace;
    try {
        CheckClockOverride();
        ctx.home = AttcalcHome();
        ctx.ConnectionString = ReadConnectionString(ctx.home);
        db = OpenConfiguredDatabase(ctx.home, ctx.ConnectionString);
        ctx.db = db.get();

        if (report) {
            ReportMode(ctx, code, args[1], args[2], std::cout, csv);
            return kExitOk;
        }
        if (infoMode) {
            {
                Trace t(TracePath(ctx.home));
                WriteTraceHeader(t, ctx.ConnectionString);
            }
            SaveIniFileDBqv(ctx);
            return kExitOk;
        }

        const bool tracing = args[3] == "1";
        if (tracing) {
            trace = std::make_unique<Trace>(TracePath(ctx.home));
            WriteTraceHeader(*trace, ctx.ConnectionString);
            ctx.trace = trace.get();
        }
        SaveIniFileDBqv(ctx);
        TraceLine(ctx.trace, "SaveIniFileDBqv");

        // Everything the run writes from here on commits together at the end,
        // or not at all when a step fails.
        db->Begin();
        db->TakeLock(kRunLock);
        CalculationMode(ctx, code, args[1], args[2]);
        db->Commit();
        if (trace) trace->Close();
        return kExitOk;
    } catch (const std::exception& e) {
        if (db && db->InTransaction()) db->Rollback();
        // One line, never more than a few hundred characters of echoed text.
        std::cerr << "attcalc: " << Abbreviate(SingleLine(e.what()), 600) << "\n";
        return kExitFailed;
    }
}

}  // namespace attcalc
