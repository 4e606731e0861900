// What differs between the SQL of the backends. Every piece of SQL that is not
// the same on SQLite, PostgreSQL and SQL Server goes through one of these.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace attcalc {

// Column types of the table catalogue, named as the catalogue names them.
enum class FieldType { NVarChar, SmallInt, Int, Bit, Money, Float, IntIdentity };

// One column assignment of a statement: the column name and its value as a
// literal (Quote for texts, decimal digits for numbers).
using SqlAssignment = std::pair<std::string, std::string>;

class Dialect {
public:
    virtual ~Dialect() = default;
    virtual std::string Name() const = 0;  // "sqlite", "postgresql", "sqlserver"

    // A text literal, quoted so that no content can change the statement.
    virtual std::string Quote(std::string_view text) const;
    // A table name as written in statements (SQL Server prefixes "dbo.").
    virtual std::string Table(std::string_view name) const { return std::string(name); }
    // The column type of a catalogue field.
    virtual std::string TypeName(FieldType type, int size) const = 0;
    // A query that returns the columns of a table and no row.
    virtual std::string SelectNone(std::string_view table) const;
    // A query of the first `n` rows of `select <rest>` ("top n" or "limit n").
    virtual std::string SelectTop(int n, std::string_view columns, std::string_view rest) const;
    // A query whose first column is the name of every table of the database
    // (base tables of the default schema, no system tables).
    virtual std::string ListTablesSql() const;
    // Savepoints inside a transaction: set, undo to, and forget. An empty
    // text means the backend has no such statement (nothing to run).
    virtual std::string SavepointSql(std::string_view name) const;
    virtual std::string RollbackToSavepointSql(std::string_view name) const;
    virtual std::string ReleaseSavepointSql(std::string_view name) const;
    // A statement that takes the exclusive lock named by the text literal
    // `name` until the transaction ends, waiting while another transaction
    // holds it. Empty when the backend needs none (an SQLite transaction holds
    // the whole database).
    virtual std::string TransactionLockSql(std::string_view name) const { (void)name; return ""; }
    // One batch that stores a row of a month result table (key prc_date,
    // Prc_PCode): when no row has the key (`date`, `code`, both literals) one
    // is inserted with the key alone, then the `first` and the `second`
    // assignments are applied to it. The default is an insert of the missing
    // key followed by one update, two statements in one text.
    virtual std::string StoreResultRowSql(std::string_view table, std::string_view date, std::string_view code,
                                          const std::vector<SqlAssignment>& first,
                                          const std::vector<SqlAssignment>& second) const;
    // The same store of a day row as statements with "?" markers, compiled
    // once and run for every day: the update of `columns` (values: the
    // columns in order, then date and code); the insert of the whole row,
    // run when the update met no row (values: date, code, then the columns);
    // and the insert of the missing key alone (values: date, code, date,
    // code), run before the update where the backend cannot tell how many
    // rows the update met.
    struct TBoundRowSql {
        std::string Update, InsertRow, InsertKey;
    };
    virtual TBoundRowSql StoreResultRowBoundSql(std::string_view table, const std::vector<std::string>& columns) const;
};

}  // namespace attcalc
