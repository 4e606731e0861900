#include "run/Entry.h"

#include <cctype>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "db/Dialect.h"
#include "run/Batch.h"
#include "run/Home.h"
#include "run/Trace.h"

namespace attcalc {
namespace {

const char* kUsage =
    "usage: attcalc <personnel-code> <year> <month> [1]\n"
    "       attcalc            (or: attcalc 0)  store the build identity only\n"
    "       attcalc --report <personnel-code> <year> <month>\n"
    "       attcalc --all <year> <month> [--jobs N] [--shard K/N]\n"
    "       attcalc --codes <file|-> <year> <month> [--jobs N]\n"
    "       attcalc --help | --version\n";

void WriteTraceHeader(Trace& t, const std::string& cs) {
    t.Line(MaskPasswords(cs));
    t.Line(std::string("تاریخ کمپایل ") + kCompileDate);
    t.Line(std::string("ویرایش ") + kRevision);
}

std::string TracePath(const std::string& home) { return (std::filesystem::path(home) / "trace.txt").string(); }

}  // namespace

int ParseIntArg(const std::string& text, const char* what) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    std::string t = text.substr(b, e - b);
    std::size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    bool ok = i < t.size() && t.size() - i <= 9;
    for (std::size_t k = i; ok && k < t.size(); ++k) ok = std::isdigit(static_cast<unsigned char>(t[k])) != 0;
    if (!ok) throw std::invalid_argument(std::string("the ") + what + " \"" + text + "\" is not an integer");
    return std::stoi(t);
}

void SaveIniFileDBqv(TRunContext& ctx) {
    Database& db = *ctx.db;
    const std::string init = db.dialect().Table("init");
    // Nothing is written when the rows of code 999 are already exactly the
    // build's two: a run then costs one read instead of three writes and a
    // commit. Any other set (a missing, changed or extra row) is replaced.
    {
        Rows rows = db.Query("select init_title, init_Value from " + init + " where init_code=999");
        bool date = false, revision = false, other = false;
        for (std::size_t r = 0; r < rows.Count(); ++r) {
            const std::string title = rows.Text(r, "init_title"), value = rows.Text(r, "init_Value");
            if (!date && !rows.IsNull(r, "init_Value") && title == "compiledate" && value == kCompileDate)
                date = true;
            else if (!revision && !rows.IsNull(r, "init_Value") && title == "Revision" && value == kRevision)
                revision = true;
            else
                other = true;
        }
        if (date && revision && !other) return;
    }
    // The three statements commit together, on their own, before the run.
    const bool own = !db.InTransaction();
    if (own) db.Begin();
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
            std::cerr << "attcalc: " << e.what() << "\n" << kUsage;
            return kExitUsage;
        }
        try {
            return BatchMain(opt, std::cin, std::cerr);
        } catch (const std::exception& e) {
            std::cerr << "attcalc: " << SingleLine(e.what()) << "\n";
            return kExitFailed;
        }
    }
    const bool report = !args.empty() && args[0] == "--report";
    if (report) {
        args.erase(args.begin());
        if (args.size() != 3) {
            std::cerr << kUsage;
            return kExitUsage;
        }
    }
    args.resize(std::max<std::size_t>(args.size(), 4));
    const std::string code = args[0];
    const bool infoMode = !report && (code.empty() || code == "0");

    if (!infoMode) {
        // Outside the contract: rejected before any work.
        bool bad = code.size() > 8;
        try {
            int m = ParseIntArg(args[2], "month");
            bad = bad || m < 1 || m > 12;
        } catch (const std::invalid_argument&) {
            // A month that is not a number fails later, as a failed step.
        }
        if (bad) {
            std::cerr << "attcalc: " << (code.size() > 8 ? "the personnel code has more than 8 characters"
                                                          : "the month must be 1 to 12")
                      << "\n"
                      << kUsage;
            return kExitUsage;
        }
    }

    TRunContext ctx;
    std::unique_ptr<Database> db;
    std::unique_ptr<Trace> trace;
    try {
        ctx.home = AttcalcHome();
        ctx.ConnectionString = ReadConnectionString(ctx.home);
        db = OpenDatabase(ctx.ConnectionString, ctx.home);
        ctx.db = db.get();

        if (report) {
            ReportMode(ctx, code, args[1], args[2], std::cout);
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
        CalculationMode(ctx, code, args[1], args[2]);
        db->Commit();
        if (trace) trace->Close();
        return kExitOk;
    } catch (const std::exception& e) {
        if (db && db->InTransaction()) db->Rollback();
        std::cerr << "attcalc: " << SingleLine(e.what()) << "\n";
        return kExitFailed;
    }
}

}  // namespace attcalc
