// attcalc-bench: the helper of bench/company-bench.
//
//   attcalc-bench seed  <connection> <year> <month> <persons>
//       a company of that many persons with three rules and three shifts
//   attcalc-bench dump  <connection> <year> <month> <file> [<code>...]
//       the stored day rows of the month (of the codes given, or all) to a file
//   attcalc-bench write <connection> <file> [fresh]
//       the floor: opens the database and stores the rows of the file in one
//       transaction, each person's old rows deleted first, with one compiled
//       insert bound per row -- the least a program can do to store them.
//       An SQLite file is written through SQLite's own interface, any other
//       database through attcalc's ODBC connection. Prints the seconds from
//       opening the database to the commit (the file is read before).
//       With "fresh", the month table is emptied first, outside the time, so
//       that the rows are stored as by a month's first calculation.
//
// <connection> is an attcalc connection string ("Provider=SQLite;Data
// Source=..." or an ODBC one) or the path of an SQLite file.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include <sqlite3.h>

#include "db/Database.h"
#include "db/Dialect.h"
#include "demodb/DemoData.h"
#include "run/Context.h"
#include "run/Entry.h"

using namespace attcalc;

namespace {

std::unique_ptr<Database> Open(const std::string& c) {
    if (c.find('=') == std::string::npos) return OpenSqlite(c);
    return OpenDatabase(c, std::filesystem::current_path().string());
}

std::string Escape(const std::string& s) {
    std::string o;
    for (char c : s) {
        if (c == '\\') o += "\\\\";
        else if (c == '\t') o += "\\t";
        else if (c == '\n') o += "\\n";
        else if (c == '\r') o += "\\r";
        else o += c;
    }
    return o;
}

std::string Unescape(const std::string& s) {
    std::string o;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            o += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
            o += s[i];
        }
    }
    return o;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> f;
    std::size_t b = 0;
    for (;;) {
        std::size_t e = line.find('\t', b);
        f.push_back(line.substr(b, e - b));
        if (e == std::string::npos) return f;
        b = e + 1;
    }
}

std::string Encode(const DbValue& v) {
    switch (v.kind) {
        case DbValue::Kind::Int: return "i" + std::to_string(v.i);
        case DbValue::Kind::Real: {
            std::ostringstream o;
            o.precision(17);
            o << v.d;
            return "r" + o.str();
        }
        case DbValue::Kind::Text: return "t" + Escape(v.s);
        default: return "n";
    }
}

DbValue Decode(const std::string& f) {
    switch (f.empty() ? 'n' : f[0]) {
        case 'i': return DbValue::Int(std::stoll(f.substr(1)));
        case 'r': return DbValue::Real(std::stod(f.substr(1)));
        case 't': return DbValue::Text(Unescape(f.substr(1)));
        default: return DbValue::Null();
    }
}

std::string MonthTable(int year, int month) {
    char b[16];
    std::snprintf(b, sizeof b, "p%04d%02d", year, month);
    return b;
}

int Seed(const std::string& c, int year, int month, int n) {
    auto db = Open(c);
    TRunContext ctx;
    ctx.db = db.get();
    ctx.home = std::filesystem::current_path().string();
    db->Begin();
    demo::SeedVariedCompany(ctx, year, month, n);
    db->Commit();
    return 0;
}

int Dump(const std::string& c, int year, int month, const std::string& file, std::vector<std::string> codes) {
    auto db = Open(c);
    const std::string table = MonthTable(year, month);
    std::string sql = "select * from " + db->dialect().Table(table);
    if (!codes.empty()) {
        sql += " where Prc_PCode in (";
        for (std::size_t i = 0; i < codes.size(); ++i) sql += (i ? "," : "") + db->dialect().Quote(codes[i]);
        sql += ")";
    }
    Rows r = db->Query(sql + " order by Prc_PCode, Prc_date");
    std::ofstream out(file, std::ios::binary);
    out << table << "\n";
    for (std::size_t i = 0; i < r.Columns().size(); ++i) out << (i ? "\t" : "") << r.Columns()[i];
    out << "\n";
    for (std::size_t row = 0; row < r.Count(); ++row) {
        for (std::size_t i = 0; i < r.Columns().size(); ++i) out << (i ? "\t" : "") << Encode(r.Value(row, i));
        out << "\n";
    }
    std::cerr << r.Count() << " rows dumped\n";
    return 0;
}

int Write(const std::string& c, const std::string& file, bool fresh) {
    std::ifstream in(file, std::ios::binary);
    std::string table, header, line;
    std::getline(in, table);
    std::getline(in, header);
    const std::vector<std::string> cols = Split(header);
    std::vector<std::vector<DbValue>> rows;
    while (std::getline(in, line)) {
        std::vector<DbValue> v;
        for (const std::string& f : Split(line)) v.push_back(Decode(f));
        rows.push_back(std::move(v));
    }
    std::size_t codeAt = 0;
    while (codeAt < cols.size() && ToLower(cols[codeAt]) != "prc_pcode") ++codeAt;
    std::string list, marks;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        list += (i ? ", " : "") + cols[i];
        marks += i ? ", ?" : "?";
    }
    if (fresh) Open(c)->Execute("delete from " + table);
    const auto t0 = std::chrono::steady_clock::now();
    auto done = [&]() {
        std::printf("%.4f\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        return 0;
    };

    if (c.find('=') == std::string::npos) {
        sqlite3* db = nullptr;
        auto check = [&](int rc) {
            if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) throw DbError(sqlite3_errmsg(db));
        };
        check(sqlite3_open(c.c_str(), &db));
        sqlite3_stmt* del = nullptr;
        sqlite3_stmt* ins = nullptr;
        check(sqlite3_exec(db, "begin", nullptr, nullptr, nullptr));
        check(sqlite3_prepare_v2(db, ("delete from " + table + " where Prc_PCode = ?").c_str(), -1, &del, nullptr));
        check(sqlite3_prepare_v2(db, ("insert into " + table + " (" + list + ") values (" + marks + ")").c_str(), -1,
                                 &ins, nullptr));
        std::string last;
        bool first = true;
        for (const auto& r : rows) {
            if (first || r[codeAt].s != last) {
                sqlite3_bind_text(del, 1, r[codeAt].s.data(), static_cast<int>(r[codeAt].s.size()), SQLITE_STATIC);
                check(sqlite3_step(del));
                sqlite3_reset(del);
                last = r[codeAt].s;
                first = false;
            }
            for (std::size_t i = 0; i < r.size(); ++i) {
                const DbValue& v = r[i];
                const int at = static_cast<int>(i + 1);
                switch (v.kind) {
                    case DbValue::Kind::Int: sqlite3_bind_int64(ins, at, v.i); break;
                    case DbValue::Kind::Real: sqlite3_bind_double(ins, at, v.d); break;
                    case DbValue::Kind::Text:
                        sqlite3_bind_text(ins, at, v.s.data(), static_cast<int>(v.s.size()), SQLITE_STATIC);
                        break;
                    default: sqlite3_bind_null(ins, at);
                }
            }
            check(sqlite3_step(ins));
            sqlite3_reset(ins);
        }
        sqlite3_finalize(del);
        sqlite3_finalize(ins);
        check(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr));
        sqlite3_close(db);
        return done();
    }

    auto db = Open(c);
    const Dialect& d = db->dialect();
    const std::string insert = "insert into " + d.Table(table) + " (" + list + ") values (" + marks + ")";
    const std::string del = "delete from " + d.Table(table) + " where Prc_PCode = ?";
    db->Begin();
    std::string last;
    bool first = true;
    for (const auto& r : rows) {
        if (first || r[codeAt].s != last) {
            db->ExecuteBound(del, {r[codeAt]});
            last = r[codeAt].s;
            first = false;
        }
        db->ExecuteBound(insert, r);
    }
    db->Commit();
    db.reset();
    return done();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    try {
        if (a.size() == 5 && a[0] == "seed")
            return Seed(a[1], ParseIntArg(a[2], "year"), ParseIntArg(a[3], "month"), ParseIntArg(a[4], "size"));
        if (a.size() >= 5 && a[0] == "dump")
            return Dump(a[1], ParseIntArg(a[2], "year"), ParseIntArg(a[3], "month"), a[4],
                        std::vector<std::string>(a.begin() + 5, a.end()));
        if ((a.size() == 3 || (a.size() == 4 && a[3] == "fresh")) && a[0] == "write")
            return Write(a[1], a[2], a.size() == 4);
    } catch (const std::exception& e) {
        std::cerr << "attcalc-bench: " << e.what() << "\n";
        return 1;
    }
    std::cerr << "usage: attcalc-bench seed|dump|write ... (see bench/BenchTool.cpp)\n";
    return 2;
}
