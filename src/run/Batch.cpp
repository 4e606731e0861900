#include "run/Batch.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "config/Company.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "run/Context.h"
#include "run/Entry.h"
#include "run/Home.h"

namespace attcalc {
namespace {

using Clock = std::chrono::steady_clock;

// The writes of this many persons, or of this many seconds, commit together.
constexpr int kPersonsPerCommit = 200;
constexpr double kSecondsPerCommit = 2.0;

int ParsePositive(const std::string& text, const char* what) {
    int v = 0;
    try {
        v = ParseIntArg(text, what);
    } catch (const std::invalid_argument&) {
        v = 0;
    }
    if (v < 1) throw std::invalid_argument(std::string(what) + " \"" + Abbreviate(text, 40) + "\" is not a positive number");
    return v;
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

struct TFailure {
    std::string code, message;
};

// What the workers share: the persons to do and what became of them.
struct TBatchState {
    std::vector<std::string> persons;
    std::atomic<std::size_t> next{0};
    std::atomic<int> done{0};
    std::mutex mu;
    std::vector<TFailure> failures;  // guarded by mu

    void Fail(const std::string& code, const std::string& message) {
        std::lock_guard<std::mutex> lock(mu);
        failures.push_back({code, Abbreviate(SingleLine(message), 600)});
    }
};

void RunSql(Database& db, const std::string& sql) {
    if (!sql.empty()) db.Execute(sql);
}

// One worker: takes the next person until none is left, each under a
// savepoint of its own, committing every few hundred persons. `db` is the
// worker's own connection.
void Worker(TBatchState& st, TCompanyTables& company, Database& db, const std::string& home, const std::string& cs,
            const std::string& yearArg, const std::string& monthArg, std::size_t stopAt) {
    const Dialect& d = db.dialect();
    std::set<std::string> known;     // tables seen to exist, kept from person to person
    std::vector<std::string> group;  // persons stored since the last commit
    auto groupStart = Clock::now();

    auto commit = [&]() {
        try {
            db.Commit();
        } catch (const std::exception& e) {
            // Nothing of the group was stored.
            if (db.InTransaction()) db.Rollback();
            for (const std::string& c : group) st.Fail(c, e.what());
            known.clear();
        }
        group.clear();
    };

    db.Begin();
    for (;;) {
        std::size_t i = st.next.load();
        do {
            if (i >= stopAt) break;
        } while (!st.next.compare_exchange_weak(i, i + 1));
        if (i >= stopAt) break;
        const std::string& code = st.persons[i];
        if (!IsValidUtf8(code) || Utf8Length(code) > 8) {
            st.Fail(code, IsValidUtf8(code) ? "the personnel code has more than 8 characters"
                                            : "the personnel code is not UTF-8 text");
            ++st.done;
            continue;
        }
        TRunContext ctx;
        ctx.db = &db;
        ctx.company = &company;
        ctx.home = home;
        ctx.ConnectionString = cs;
        ctx.KnownTables = known;
        try {
            RunSql(db, d.SavepointSql("person"));
            CalculationMode(ctx, code, yearArg, monthArg);
            RunSql(db, d.ReleaseSavepointSql("person"));
            known = std::move(ctx.KnownTables);
            group.push_back(code);
        } catch (const std::exception& e) {
            st.Fail(code, e.what());
            try {
                RunSql(db, d.RollbackToSavepointSql("person"));
                RunSql(db, d.ReleaseSavepointSql("person"));
            } catch (const std::exception&) {
                // The transaction itself is gone: what the group stored is lost.
                if (db.InTransaction()) db.Rollback();
                for (const std::string& c : group) st.Fail(c, e.what());
                group.clear();
                db.Begin();
            }
            // A table created under the savepoint may be gone again.
            known.clear();
        }
        ++st.done;
        const double secs = std::chrono::duration<double>(Clock::now() - groupStart).count();
        if (static_cast<int>(group.size()) >= kPersonsPerCommit || secs >= kSecondsPerCommit) {
            commit();
            db.Begin();
            groupStart = Clock::now();
        }
    }
    commit();
}

}  // namespace

bool IsBatchCommand(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "--all" || args[0] == "--codes");
}

TBatchOptions ParseBatchArgs(const std::vector<std::string>& args) {
    TBatchOptions o;
    std::vector<std::string> pos;
    std::size_t i = 0;
    if (args.at(0) == "--all") {
        o.All = true;
        i = 1;
    } else {
        if (args.size() < 2) throw std::invalid_argument("--codes needs a file of personnel codes, or -");
        o.CodesFile = args[1];
        i = 2;
    }
    bool shard = false;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--jobs") {
            if (++i >= args.size()) throw std::invalid_argument("--jobs needs a number");
            o.Jobs = ParsePositive(args[i], "the number of jobs");
        } else if (a == "--shard" && o.All) {
            if (++i >= args.size()) throw std::invalid_argument("--shard needs K/N");
            const std::string& s = args[i];
            const std::size_t slash = s.find('/');
            if (slash == std::string::npos) throw std::invalid_argument("the shard \"" + Abbreviate(s, 40) + "\" is not K/N");
            o.ShardK = ParsePositive(s.substr(0, slash), "the shard number");
            o.ShardN = ParsePositive(s.substr(slash + 1), "the shard count");
            if (o.ShardK > o.ShardN)
                throw std::invalid_argument("the shard \"" + Abbreviate(s, 40) + "\" needs 1 <= K <= N");
            shard = true;
        } else if (!a.empty() && a[0] == '-' && a.size() > 1 && !std::isdigit(static_cast<unsigned char>(a[1]))) {
            throw std::invalid_argument("unknown option \"" + Abbreviate(a, 40) + "\"");
        } else {
            pos.push_back(a);
        }
    }
    (void)shard;
    if (pos.size() != 2) throw std::invalid_argument("a batch needs a year and a month");
    o.YearArg = pos[0];
    o.MonthArg = pos[1];
    int year = 0, month = 0;
    try {
        year = ParseIntArg(o.YearArg, "year");
    } catch (const std::invalid_argument&) {
        year = 0;
    }
    if (year < 1 || year > 9999)
        throw std::invalid_argument("the year \"" + Abbreviate(o.YearArg, 40) + "\" must be a number from 1 to 9999");
    try {
        month = ParseIntArg(o.MonthArg, "month");
    } catch (const std::invalid_argument&) {
        month = 0;
    }
    if (month < 1 || month > 12)
        throw std::invalid_argument("the month \"" + Abbreviate(o.MonthArg, 40) + "\" must be a number from 1 to 12");
    return o;
}

std::vector<std::string> BatchPersons(const std::vector<std::string>& codes, int shardK, int shardN) {
    std::vector<std::string> sorted(codes);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<std::string> out;
    for (std::size_t i = 0; i < sorted.size(); ++i)
        if (static_cast<int>(i % static_cast<std::size_t>(shardN)) == shardK - 1) out.push_back(sorted[i]);
    return out;
}

int BatchMain(const TBatchOptions& opt, std::istream& in, std::ostream& err) {
    const auto t0 = Clock::now();
    TBatchState st;
    const std::string home = AttcalcHome();
    const std::string cs = ReadConnectionString(home);
    std::unique_ptr<Database> main = OpenConfiguredDatabase(home, cs);

    // The persons.
    std::vector<std::string> codes;
    if (opt.All) {
        Rows r = main->Query("select P_BarCode from " + main->dialect().Table("persons"));
        for (std::size_t i = 0; i < r.Count(); ++i) {
            std::string c = Trim(r.Text(i, "P_BarCode"));
            if (!c.empty()) codes.push_back(c);
        }
    } else {
        std::ifstream file;
        std::istream* src = &in;
        if (opt.CodesFile != "-") {
            file.open(opt.CodesFile);
            if (!file) throw std::runtime_error("cannot read the file of personnel codes \"" + opt.CodesFile + "\"");
            src = &file;
        }
        std::string line;
        while (std::getline(*src, line)) {
            std::string c = Trim(line);
            if (!c.empty()) codes.push_back(c);
        }
    }
    st.persons = BatchPersons(codes, opt.ShardK, opt.ShardN);

    // The build identity, once for the whole batch.
    {
        TRunContext ctx;
        ctx.db = main.get();
        ctx.home = home;
        SaveIniFileDBqv(ctx);
    }

    // SQLite takes one writer at a time: its workers would only wait for each
    // other, so a batch on SQLite calculates on the one connection.
    int jobs = opt.Jobs > 0 ? opt.Jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (main->dialect().Name() == "sqlite") jobs = 1;
    jobs = std::max(1, std::min<int>(jobs, static_cast<int>(st.persons.size())));

    std::vector<std::unique_ptr<Database>> conns;
    conns.push_back(std::move(main));
    for (int j = 1; j < jobs; ++j) conns.push_back(OpenConfiguredDatabase(home, cs));
    TCompanyTables company;
    // With several workers, the first person is calculated and committed
    // alone: that run makes the month's tables and stores what all persons
    // share, so that the workers after it only write their own persons' rows
    // and need not take turns.
    if (jobs > 1) Worker(st, company, *conns[0], home, cs, opt.YearArg, opt.MonthArg, 1);

    std::vector<std::thread> threads;
    std::mutex fatalMu;
    std::string fatal;
    for (int j = 0; j < jobs; ++j) {
        threads.emplace_back([&, j]() {
            try {
                Worker(st, company, *conns[j], home, cs, opt.YearArg, opt.MonthArg, st.persons.size());
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> lock(fatalMu);
                if (fatal.empty()) fatal = SingleLine(e.what());
            }
        });
    }

    const bool tty = isatty(STDERR_FILENO) == 1;
    const int total = static_cast<int>(st.persons.size());
    if (tty) {
        while (st.done.load() < total && fatal.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const int done = st.done.load();
            const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
            const double rate = secs > 0 ? done / secs : 0;
            const double left = rate > 0 ? (total - done) / rate : 0;
            char line[160];
            std::snprintf(line, sizeof line, "\r%d of %d persons, %.0f per second, %.0f s left   ", done, total, rate,
                          left);
            err << line << std::flush;
        }
        err << "\r" << std::string(60, ' ') << "\r";
    }
    for (std::thread& t : threads) t.join();

    // Failures in personnel-code order, as the single runs would meet them.
    std::sort(st.failures.begin(), st.failures.end(),
              [](const TFailure& a, const TFailure& b) { return a.code < b.code; });
    for (const TFailure& f : st.failures) err << "attcalc: " << f.code << ": " << f.message << "\n";
    if (!fatal.empty()) err << "attcalc: " << fatal << "\n";

    std::set<std::string> failed;
    for (const TFailure& f : st.failures) failed.insert(f.code);
    const int stored = fatal.empty() ? total - static_cast<int>(failed.size()) : 0;
    const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
    char summary[200];
    std::snprintf(summary, sizeof summary, "%d persons, %d stored, %d failed, %.1f s\n", total, stored,
                  static_cast<int>(failed.size()), secs);
    err << summary;
    return failed.empty() && fatal.empty() ? kExitOk : kExitFailed;
}

}  // namespace attcalc
