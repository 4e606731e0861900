// The one database interface of attcalc: execute, query (rows read by column
// name ignoring letter case), list tables, transactions. Two backends sit
// behind it: SQLite through its C API and ODBC through unixODBC.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace attcalc {

class Dialect;

// Any failure of a statement or of reading a value. The message names what
// failed: the statement's error text, or the table, column and value.
class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One column value as the backend delivered it.
struct DbValue {
    enum class Kind { Null, Int, Real, Text };
    Kind kind = Kind::Null;
    std::int64_t i = 0;
    double d = 0;
    std::string s;

    static DbValue Null() { return {}; }
    static DbValue Int(std::int64_t v) { DbValue x; x.kind = Kind::Int; x.i = v; return x; }
    static DbValue Real(double v) { DbValue x; x.kind = Kind::Real; x.d = v; return x; }
    static DbValue Text(std::string v) { DbValue x; x.kind = Kind::Text; x.s = std::move(v); return x; }
};

// The rows of one query, all read at once. Columns are found by name without
// regard to letter case; a null reads as 0, false or the empty text; an integer
// read as text gives its decimal digits. A text that is not a number, read as a
// number, fails with a DbError naming the source, the column and the value.
class Rows {
public:
    Rows() = default;
    Rows(std::string source, std::vector<std::string> columns);

    void AddRow(std::vector<DbValue> values) { rows_.push_back(std::move(values)); }

    std::size_t Count() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }
    const std::vector<std::string>& Columns() const { return columns_; }
    bool HasColumn(std::string_view name) const;
    const std::string& Source() const { return source_; }

    // Access by row index and column name.
    bool IsNull(std::size_t row, std::string_view col) const;
    std::int64_t Int(std::size_t row, std::string_view col) const;
    double Real(std::size_t row, std::string_view col) const;
    bool Bool(std::size_t row, std::string_view col) const;
    std::string Text(std::size_t row, std::string_view col) const;
    const DbValue& Value(std::size_t row, std::string_view col) const;
    const DbValue& Value(std::size_t row, std::size_t colIndex) const { return rows_.at(row).at(colIndex); }

private:
    std::size_t Index(std::string_view col) const;
    std::string source_;
    std::vector<std::string> columns_;
    std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> position
    std::vector<std::vector<DbValue>> rows_;
};

// One column assignment for Insert and Update helpers.
struct SqlField {
    std::string column;
    DbValue value;
};

class Database {
public:
    virtual ~Database() = default;

    // Runs a statement without result. Throws DbError with the backend's text.
    virtual void Execute(const std::string& sql) = 0;
    // Runs a query and reads all of its rows.
    virtual Rows Query(const std::string& sql) = 0;
    // Runs a query and hands its rows over in batches of at most `batchRows`
    // rows, each batch a Rows of its own, so that a long result is never held
    // whole. The default reads all rows at once and hands over one batch.
    virtual void QueryBatches(const std::string& sql, std::size_t batchRows,
                              const std::function<void(const Rows&)>& each);
    // Names of the tables of the database (base tables of the default schema).
    virtual std::vector<std::string> ListTables() = 0;

    // Transactions. Begin/Commit/Rollback nest only one level deep; inside a
    // transaction TryExecute runs its statement under a savepoint so that a
    // failure the caller handles does not abort the whole transaction.
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual bool InTransaction() const = 0;

    // Takes the exclusive lock of that name for the rest of the current
    // transaction, waiting while another connection holds it; nothing outside
    // a transaction. Runs that could write the same rows take the same lock,
    // so that they follow one another instead of failing. On SQLite the
    // transaction itself holds the whole database, and this does nothing.
    virtual void TakeLock(std::string_view name) { (void)name; }

    // Runs one statement with "?" markers, each bound to the value of the same
    // position. The connection compiles a text once and keeps it for the
    // next call with the same text, so a statement run for every row costs
    // one compilation per run instead of one per row. Returns the number of
    // rows the statement changed, or -1 where the backend does not tell. The
    // default writes the values into the text as literals and runs it with
    // Execute (and returns -1).
    virtual std::int64_t ExecuteBound(const std::string& sql, const std::vector<DbValue>& params);
    // Runs a query with "?" markers bound as ExecuteBound binds them, compiled
    // once per text and connection and kept, and reads all of its rows as
    // Query does (same column names, kinds and nulls). A query run for every
    // person of a batch thus compiles once. The default writes the values into
    // the text as literals and runs it with Query.
    virtual Rows QueryBound(const std::string& sql, const std::vector<DbValue>& params);
    // QueryBound handing the rows over in batches as QueryBatches does.
    virtual void QueryBoundBatches(const std::string& sql, const std::vector<DbValue>& params, std::size_t batchRows,
                                   const std::function<void(const Rows&)>& each);

    // Runs a statement whose failure the caller handles. Returns false and
    // fills *error on failure instead of throwing.
    virtual bool TryExecute(const std::string& sql, std::string* error) = 0;

    virtual const Dialect& dialect() const = 0;

    // Convenience built on Execute: "insert into <table> (cols) values (...)"
    // with every value rendered as a literal by the dialect.
    void Insert(std::string_view table, const std::vector<SqlField>& fields);
    // True when a table of that name exists (letter case ignored).
    bool TableExists(std::string_view table);
};

// Renders a literal: texts quoted by the dialect, numbers in decimal, null.
std::string SqlLiteral(const Dialect& d, const DbValue& v);
// The text with each "?" outside a quoted literal replaced by the literal of
// the value of the same position. Throws DbError when there are too few values.
std::string BindAsLiterals(const Dialect& d, const std::string& sql, const std::vector<DbValue>& params);

// Connection strings: "key=value" pairs separated by ";", keys ignore case; a
// value in "..", '..' or {..} may hold a ";". The string is kept whole and a
// value is found when asked for, so that no pair is copied on its own.
struct ConnectionParams {
    std::string text;                                            // the connection string
    std::optional<std::string> Get(std::string_view key) const;  // case-insensitive; the first pair of that key
};
ConnectionParams ParseConnectionString(std::string_view cs);

// The connection string with the values of Password and PWD replaced by "***".
std::string MaskPasswords(std::string_view cs);

// What a connection string names: an SQLite file, or an ODBC connection
// string with the SQL Server flag of OpenOdbc. Throws DbError for a string
// that names no known provider.
struct DatabaseTarget {
    enum class Kind { Sqlite, Odbc };
    Kind kind = Kind::Sqlite;
    std::string sqlitePath;
    std::string odbc;
    bool sqlServer = false;
};
DatabaseTarget ResolveConnectionString(const std::string& connectionString, const std::string& home);

// Opens the database that a connection string names. `home` is the attcalc
// folder, against which a relative SQLite file is resolved.
std::unique_ptr<Database> OpenDatabase(const std::string& connectionString, const std::string& home);

// Backends. `create` false opens only an existing SQLite file: a missing one
// is an error and no file is made.
std::unique_ptr<Database> OpenSqlite(const std::string& path, bool create = true);
// `odbcConnectionString` goes to SQLDriverConnect as OdbcDriverOptions makes
// it; `sqlServer` selects the SQL Server dialect, otherwise the driver's name
// decides. A longer ODBC connection string is refused.
std::unique_ptr<Database> OpenOdbc(const std::string& odbcConnectionString, bool sqlServer);
inline constexpr std::size_t kMaxOdbcConnectionChars = 1000;
// The connection string with the options attcalc wants of the driver that
// the user's string does not set itself: for the PostgreSQL driver (named by
// Driver=), no savepoint of its own around every statement (Protocol=7.4-0),
// since attcalc sets its own savepoints where it goes on after a failure.
std::string OdbcDriverOptions(const std::string& odbcConnectionString);

// A text on one line: every line break becomes " / " (error messages carry
// statements that were built line by line).
std::string SingleLine(std::string_view text);

// Echoed text in a message: at most `maxChars` characters, the rest cut and
// marked with "…"; never cut inside a UTF-8 character.
std::string Abbreviate(std::string_view text, std::size_t maxChars = 200);
// Messages quote statements and values cut to this many characters.
inline constexpr std::size_t kEchoChars = 200;

// The first `chars` characters of a UTF-8 text (a stray byte counts as one).
std::string Utf8Left(std::string_view text, std::size_t chars);

// UTF-8: whether the bytes are well-formed, and the number of characters.
bool IsValidUtf8(std::string_view text);
std::size_t Utf8Length(std::string_view text);

std::string ToLower(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace attcalc
