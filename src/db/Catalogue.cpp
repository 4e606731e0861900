#include "db/Catalogue.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <stdexcept>

#include "db/Database.h"
#include "db/Dialect.h"
#include "run/Context.h"

namespace attcalc {
namespace {

std::string ToUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool IsDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Table and column names are written into statements as they stand, so they
// may hold only letters, digits and "_".
bool IsPlainName(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

// A column list of an index: plain names separated by commas and spaces.
bool IsColumnList(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ',' || c == ' ';
    });
}

void RequirePlainName(std::string_view what, std::string_view name) {
    if (!IsPlainName(name))
        throw DbError("table catalogue: " + std::string(what) + " \"" + std::string(name) +
                      "\" is not a plain name (letters, digits, _)");
}

std::string OneLine(std::string s) {
    std::replace(s.begin(), s.end(), '\n', ' ');
    std::replace(s.begin(), s.end(), '\r', ' ');
    return s;
}

// The keys of the tables that exist once per month: their letter and "1".
bool IsMonthKey(std::string_view key) {
    static const char* const kKeys[] = {"p1", "e1", "a1", "c1", "i1", "t1", "n1"};
    return std::any_of(std::begin(kKeys), std::end(kKeys), [&](const char* k) { return key == k; });
}

void Remember(TRunContext& ctx, std::string_view name) { ctx.KnownTables.insert(ToUpperAscii(name)); }

// Whether the table exists after all, asked of the database rather than of
// what this run has seen. Takes the lock under which runs create tables, so
// that two runs never create the same table at once.
bool MadeMeanwhile(TRunContext& ctx, std::string_view name) {
    ctx.db->TakeLock("attcalc create table");
    if (!ctx.db->TableExists(name)) return false;
    Remember(ctx, name);
    return true;
}

// Runs a "create table" of a table that may be created by another run at the
// same moment; fails only when the table is still missing.
// Returns true when this run made the table, false when another had made it.
bool CreateShared(TRunContext& ctx, const std::string& name, const std::string& sql) {
    if (MadeMeanwhile(ctx, name)) return false;
    std::string err;
    if (!ctx.db->TryExecute(sql, &err)) {
        if (!MadeMeanwhile(ctx, name)) throw DbError(err);
        return false;
    }
    Remember(ctx, name);
    return true;
}

// The clock-record month tables, built with statements of their own rather
// than from the catalogue; other programs of the system expect these types.
std::string ClockTableSql(TRunContext& ctx, const std::string& name) {
    return "CREATE TABLE " + ctx.db->dialect().Table(name) + "(\n"
           "Clock_BarCode VarChar(8) ,\n"
           "Clock_BDate VarChar(10) ,\n"
           "Clock_BTime SmallInt ,\n"
           "Clock_BRdrCode Integer ,\n"
           "Clock_BRecState SmallInt ,\n"
           "Clock_Date VarChar(10) ,\n"
           "Clock_Time SmallInt ,\n"
           "Clock_RdrCode Integer ,\n"
           "Clock_Chg SmallInt ,\n"
           "Clock_RecState SmallInt ,\n"
           "Clock_User VarChar(15))";
}

std::string InOutTableSql(TRunContext& ctx, const std::string& name) {
    return "CREATE TABLE " + ctx.db->dialect().Table(name) + "(\n"
           "IO_BarCode VarChar(8) ,\n"
           "IO_Date VarChar(10) ,\n"
           "IO_Time SmallInt ,\n"
           "IO_IOType SmallInt )";
}

}  // namespace

const TTableLayout* FindLayout(std::string_view key) {
    for (const TTableLayout& l : CatalogueLayouts())
        if (l.Key == key) return &l;
    return nullptr;
}

const TTableLayout* LayoutForTable(std::string_view name) {
    std::string lower = ToLower(name);
    if (!IsMonthKey(lower)) {
        if (const TTableLayout* l = FindLayout(lower)) return l;
    }
    if (lower.size() < 2) return nullptr;
    std::string key = lower.substr(0, 2);
    // A month table of any year: its letter and yyyymm. The catalogue keys
    // carry the first digit of the year 1xxx; a year from 2000 on has the
    // same tables.
    if (lower.size() == 7 && IsDigits(std::string_view(lower).substr(1)) && IsMonthKey(lower.substr(0, 1) + "1"))
        key = lower.substr(0, 1) + "1";
    if (!IsMonthKey(key)) return nullptr;
    if (key == "e1") key = "a1";  // daily overtime permits share the free-overtime layout
    return FindLayout(key);
}

std::string FieldSqlType(TRunContext& ctx, const TNewField& field) {
    const Dialect& d = ctx.db->dialect();
    switch (field.Type) {
        case ftNVarChar: return d.TypeName(FieldType::NVarChar, field.Size);
        case ftSmallInt: return d.TypeName(FieldType::SmallInt, 0);
        case ftInt:
        case ftInteger:
            if (field.Name == "Col_Id" || field.Name == "Clock_Id") return d.TypeName(FieldType::IntIdentity, 0);
            return d.TypeName(FieldType::Int, 0);
        case ftBit: return d.TypeName(FieldType::Bit, 0);
        case ftMoney: return d.TypeName(FieldType::Money, 0);
    }
    throw DbError("table catalogue: column \"" + field.Name + "\" has unknown type code " + std::to_string(field.Type));
}

bool TableExists(TRunContext& ctx, std::string_view name) {
    std::string wanted = ToUpperAscii(name);
    if (ctx.KnownTables.count(wanted)) return true;
    // Not seen yet: ask the database, and remember everything it has.
    for (const std::string& t : ctx.db->ListTables()) Remember(ctx, t);
    return ctx.KnownTables.count(wanted) > 0;
}

void CreateTableIfMissing(TRunContext& ctx, std::string_view name) {
    if (!TableExists(ctx, name)) CreateCatalogTable(ctx, name);
}

bool CreateCatalogTable(TRunContext& ctx, std::string_view name) {
    const TTableLayout* layout = LayoutForTable(name);
    if (!layout) return false;
    return MakeTable(ctx, layout->Fields, layout->Indexes, ToLower(name));
}

bool MakeTable(TRunContext& ctx, const std::vector<TNewField>& fields, const std::vector<TNewIndex>& indexes,
               std::string_view name) {
    RequirePlainName("table name", name);
    if (fields.empty()) throw DbError("table catalogue: table \"" + std::string(name) + "\" has no columns");
    for (const TNewField& f : fields) RequirePlainName("column name", f.Name);
    for (const TNewIndex& ix : indexes) {
        if (!ix.Name.empty() || ix.Kind != 1) RequirePlainName("index name", ix.Name);
        if (!IsColumnList(ix.Fields))
            throw DbError("table catalogue: index column list \"" + ix.Fields + "\" of table \"" + std::string(name) +
                          "\" is not a list of plain names");
    }

    const Dialect& d = ctx.db->dialect();
    const std::string table = d.Table(name);
    std::string sql = "create table " + table + "(\n";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        sql += fields[i].Name + " " + FieldSqlType(ctx, fields[i]);
        if (i + 1 < fields.size()) sql += ",";
        sql += "\n";
    }
    bool hasKey = !indexes.empty() && indexes.front().Kind == 1 && !indexes.front().Fields.empty();
    sql += hasKey ? ", primary key (" + indexes.front().Fields + "))" : ")";

    // Another run may be creating the same table at this moment: the runs
    // take turns, and a table that exists by the time it is our turn (or that
    // the other run made while this statement waited) is used as it is.
    if (MadeMeanwhile(ctx, name)) return true;
    std::string err;
    if (!ctx.db->TryExecute(sql, &err)) {
        if (MadeMeanwhile(ctx, name)) return true;
        std::cerr << "attcalc: cannot create table " << name << ": " << Abbreviate(OneLine(sql)) << " -- "
                  << OneLine(err) << std::endl;
        return false;
    }
    Remember(ctx, name);

    if (indexes.empty() || indexes.front().Fields.empty()) return true;
    for (const TNewIndex& ix : indexes) {
        if (ix.Kind == 1) continue;
        std::string ixSql = "create index " + ix.Name + "\n on " + table + "(" + ix.Fields + ")";
        if (!ctx.db->TryExecute(ixSql, &err)) return false;
    }
    return true;
}

std::string NextMonthTableName(std::string_view name) {
    auto bad = [&]() {
        return std::invalid_argument("month table name \"" + std::string(name) +
                                     "\" is not a prefix followed by yyyymm");
    };
    if (name.size() != 7 && name.size() != 8) throw bad();
    std::size_t p = name.size() - 6;
    std::string_view prefix = name.substr(0, p), yyyy = name.substr(p, 4), mm = name.substr(p + 4, 2);
    if (!IsDigits(yyyy) || !IsDigits(mm)) throw bad();
    int year = std::stoi(std::string(yyyy));
    int month = std::stoi(std::string(mm));
    if (month < 1 || month > 12) throw bad();
    if (++month > 12) {
        month = 1;
        ++year;
    }
    if (year > 9999) throw bad();
    std::string y = std::to_string(year);
    y.insert(0, 4 - y.size(), '0');
    return std::string(prefix) + y + (month < 10 ? "0" : "") + std::to_string(month);
}

std::string MonthTableName(std::string_view prefix, std::string_view date) {
    if (date.size() < 7 || !IsDigits(date.substr(0, 4)) || !IsDigits(date.substr(5, 2)))
        throw std::invalid_argument("date \"" + std::string(date) + "\" has no year and month (yyyy/mm/dd)");
    return std::string(prefix) + std::string(date.substr(0, 4)) + std::string(date.substr(5, 2));
}

void EnsureClockTables(TRunContext& ctx, std::string_view date) {
    std::string tc = MonthTableName("C", date);
    std::string ti = "I" + tc.substr(1);
    if (!TableExists(ctx, tc) && CreateShared(ctx, tc, ClockTableSql(ctx, tc))) {
        // Every run reads one person's punches of a few days: without this
        // index each run would read the whole month of every person. Only a
        // table made here gets it; one that another program made is left as
        // it is.
        ctx.db->Execute("create index " + ToLower(tc) + "_barcode_date\n on " + ctx.db->dialect().Table(tc) +
                        "(Clock_BarCode, Clock_Date)");
    }
    if (!TableExists(ctx, ti)) CreateShared(ctx, ti, InOutTableSql(ctx, ti));
}

}  // namespace attcalc
