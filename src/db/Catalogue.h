// The table catalogue: the layout of every table the calculation reads or
// writes, the test for a table's existence, and the creation of a missing
// table on demand. Tables that exist once per month are named by one letter
// and yyyymm (p139304 holds the results of 1393/04); their layouts are found
// under the letter followed by "1" ("p1", "a1", "e1", "t1", "c1", "i1").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace attcalc {

struct TRunContext;

// Column type codes of the catalogue.
enum : int {
    ftNVarChar = 1,  // text of `Size` characters
    ftSmallInt = 2,
    ftInt = 3,       // an identity column when named "Col_Id" or "Clock_Id"
    ftBit = 5,
    ftMoney = 7,
    ftInteger = 25,  // same as ftInt
};

// One column of a layout.
struct TNewField {
    std::string Name;
    int Type = ftInt;
    int Size = 0;  // length of a text column, otherwise 0
};

// One key or index of a layout. The column list is written into SQL as it
// stands, e.g. "Prc_PCode, Prc_Date".
struct TNewIndex {
    std::string Name;    // may be empty (primary key)
    std::string Fields;
    int Kind = 2;        // 1 = primary key, 2 = ordinary index
};

// A layout: its key, its columns in order and its keys and indexes. Only the
// first index may be the primary key.
struct TTableLayout {
    std::string Key;
    std::vector<TNewField> Fields;
    std::vector<TNewIndex> Indexes;
};

// Every layout of the catalogue.
const std::vector<TTableLayout>& CatalogueLayouts();
// The layout whose key equals `key` (lower case), or null.
const TTableLayout* FindLayout(std::string_view key);
// The layout a table of that name is created with (fixed name, or month
// table by its letter and "1"), or null when the name has no layout.
const TTableLayout* LayoutForTable(std::string_view name);

// The SQL type of a column on the connection's backend.
std::string FieldSqlType(TRunContext& ctx, const TNewField& field);

// True when a table of that name exists, ignoring letter case. Tables seen or
// created once are remembered in ctx.KnownTables; a name not remembered asks
// the database again, so a table made by any statement of the run is found.
bool TableExists(TRunContext& ctx, std::string_view name);

// Creates the table from the catalogue when it does not exist. A name without
// a layout creates nothing.
void CreateTableIfMissing(TRunContext& ctx, std::string_view name);

// Creates the table (under its lower-case name) from the layout its name
// matches. False when nothing matches or the creation failed.
bool CreateCatalogTable(TRunContext& ctx, std::string_view name);

// Builds and runs "create table" and then "create index" for every ordinary
// index. A failed "create table" writes its statement to standard error and
// returns false; a failed "create index" returns false (the table stays).
// Throws DbError when `name` is not a plain table name (letters, digits, "_").
bool MakeTable(TRunContext& ctx, const std::vector<TNewField>& fields, const std::vector<TNewIndex>& indexes,
               std::string_view name);

// The same prefix (one or two characters) with the following month:
// p139312 -> p139401. Throws std::invalid_argument for a name that is not a
// prefix followed by yyyymm with mm in 01..12.
std::string NextMonthTableName(std::string_view name);

// The month table of a date: prefix + yyyy + mm of "yyyy/mm/dd"
// (MonthTableName("p", "1393/04/15") is "p139304"). Throws
// std::invalid_argument when the date's year or month is not digits.
std::string MonthTableName(std::string_view prefix, std::string_view date);

// Makes sure that the clock-record tables C<yyyymm> and I<yyyymm> of the
// date's month exist. Failures throw.
void EnsureClockTables(TRunContext& ctx, std::string_view date);

}  // namespace attcalc
