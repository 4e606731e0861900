// The embedded backend: an SQLite database file through SQLite's C API.
#include <sqlite3.h>

#include <unordered_map>

#include "db/Database.h"
#include "db/Dialect.h"

namespace attcalc {
namespace {

class SqliteDialect : public Dialect {
public:
    std::string Name() const override { return "sqlite"; }
    std::string TypeName(FieldType type, int size) const override {
        switch (type) {
            case FieldType::NVarChar: return "nvarchar(" + std::to_string(size) + ")";
            case FieldType::SmallInt: return "smallint";
            case FieldType::Int: return "integer";
            case FieldType::Bit: return "bit";
            case FieldType::Money: return "numeric(19,4)";
            case FieldType::Float: return "float";
            case FieldType::IntIdentity: return "integer primary key autoincrement";
        }
        return "text";
    }
    // sqlite_sequence and the other internal tables are not the database's own.
    std::string ListTablesSql() const override {
        return "select name from sqlite_master where type='table' and name not like 'sqlite\\_%' escape '\\'"
               " order by name";
    }
};

class SqliteDatabase : public Database {
public:
    SqliteDatabase(const std::string& path, bool create) {
        int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
        int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
        if (rc != SQLITE_OK) {
            std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            db_ = nullptr;
            throw DbError("cannot open SQLite database \"" + Abbreviate(path) + "\": " + msg);
        }
        // A run that finds the database busy waits for it, up to ten minutes.
        sqlite3_busy_timeout(db_, 600000);
    }
    ~SqliteDatabase() override {
        for (auto& [text, st] : prepared_) sqlite3_finalize(st);
        if (db_) {
            if (inTx_) sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
            sqlite3_close(db_);
        }
    }

    void Execute(const std::string& sql) override {
        char* err = nullptr;
        int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            std::string msg = err ? err : sqlite3_errmsg(db_);
            sqlite3_free(err);
            throw Failure(msg, sql);
        }
    }

    std::int64_t ExecuteBound(const std::string& sql, const std::vector<DbValue>& params) override {
        sqlite3_stmt* st = Prepared(sql);
        Bind(st, params);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        const std::string msg = rc == SQLITE_DONE ? "" : sqlite3_errmsg(db_);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_DONE) throw DbError(SingleLine(msg) + " [" + Abbreviate(SingleLine(sql)) + "]");
        return sqlite3_changes64(db_);
    }

    Rows QueryBound(const std::string& sql, const std::vector<DbValue>& params) override {
        Rows all;
        ReadBound(sql, params, 0, [&](Rows& batch) { all = std::move(batch); });
        return all;
    }

    void QueryBoundBatches(const std::string& sql, const std::vector<DbValue>& params, std::size_t batchRows,
                           const std::function<void(const Rows&)>& each) override {
        ReadBound(sql, params, batchRows == 0 ? 1 : batchRows, [&](Rows& batch) { each(batch); });
    }

    Rows Query(const std::string& sql) override {
        Rows all;
        Read(sql, 0, [&](Rows& batch) { all = std::move(batch); });
        return all;
    }

    void QueryBatches(const std::string& sql, std::size_t batchRows,
                      const std::function<void(const Rows&)>& each) override {
        Read(sql, batchRows == 0 ? 1 : batchRows, [&](Rows& batch) { each(batch); });
    }

    std::vector<std::string> ListTables() override {
        Rows r = Query(dialect_.ListTablesSql());
        std::vector<std::string> out;
        for (std::size_t i = 0; i < r.Count(); ++i) out.push_back(r.Text(i, r.Columns().at(0)));
        return out;
    }

    // The write lock is taken when the transaction begins: a transaction that
    // read first would have to upgrade its lock to write, and SQLite refuses
    // such an upgrade at once while another connection writes, instead of
    // waiting for the busy timeout. Runs therefore follow one another.
    void Begin() override {
        Execute("begin immediate");
        inTx_ = true;
    }
    void Commit() override {
        Execute("commit");
        inTx_ = false;
    }
    void Rollback() override {
        inTx_ = false;
        sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
    }
    bool InTransaction() const override { return inTx_; }

    bool TryExecute(const std::string& sql, std::string* error) override {
        if (inTx_) Execute("savepoint try_stmt");
        try {
            Execute(sql);
        } catch (const DbError& e) {
            if (error) *error = e.what();
            if (inTx_) {
                Execute("rollback to savepoint try_stmt");
                Execute("release savepoint try_stmt");
            }
            return false;
        }
        if (inTx_) Execute("release savepoint try_stmt");
        return true;
    }

    const Dialect& dialect() const override { return dialect_; }

private:
    static DbError Failure(const std::string& msg, const std::string& sql) {
        return DbError(SingleLine(msg) + " [" + Abbreviate(SingleLine(sql)) + "]");
    }

    // The compiled statement of a text, compiled on its first use and kept
    // for the life of the connection.
    sqlite3_stmt* Prepared(const std::string& sql) {
        sqlite3_stmt*& st = prepared_[sql];
        if (!st && sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
            std::string msg = sqlite3_errmsg(db_);
            prepared_.erase(sql);
            throw DbError(SingleLine(msg) + " [" + SingleLine(sql) + "]");
        }
        return st;
    }

    static void Bind(sqlite3_stmt* st, const std::vector<DbValue>& params) {
        for (std::size_t i = 0; i < params.size(); ++i) {
            const DbValue& v = params[i];
            const int at = static_cast<int>(i) + 1;
            switch (v.kind) {
                case DbValue::Kind::Null: sqlite3_bind_null(st, at); break;
                case DbValue::Kind::Int: sqlite3_bind_int64(st, at, v.i); break;
                case DbValue::Kind::Real: sqlite3_bind_double(st, at, v.d); break;
                case DbValue::Kind::Text:
                    sqlite3_bind_text(st, at, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT);
                    break;
            }
        }
    }

    // Steps through the rows of a query, handing them over `batchRows` at a
    // time (all of them in one batch when 0).
    template <class F>
    void Read(const std::string& sql, std::size_t batchRows, F&& each) {
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, &tail) != SQLITE_OK) throw Failure(sqlite3_errmsg(db_), sql);
        try {
            ReadRows(st, sql, batchRows, each);
        } catch (...) {
            sqlite3_finalize(st);
            throw;
        }
        sqlite3_finalize(st);
    }

    // The rows of the kept statement of a text, its markers bound. The
    // statement is reset (kept compiled, its bindings cleared) however reading
    // ends.
    template <class F>
    void ReadBound(const std::string& sql, const std::vector<DbValue>& params, std::size_t batchRows, F&& each) {
        sqlite3_stmt* st = Prepared(sql);
        struct Reset {
            sqlite3_stmt* st;
            ~Reset() {
                sqlite3_reset(st);
                sqlite3_clear_bindings(st);
            }
        } reset{st};
        Bind(st, params);
        ReadRows(st, sql, batchRows, each);
    }

    // The rows of a compiled statement that is ready to step; the caller
    // finalizes or resets it.
    template <class F>
    void ReadRows(sqlite3_stmt* st, const std::string& sql, std::size_t batchRows, F&& each) {
        int n = sqlite3_column_count(st);
        std::vector<std::string> cols;
        for (int i = 0; i < n; ++i) cols.emplace_back(sqlite3_column_name(st, i));
        const std::string source = "\"" + Abbreviate(SingleLine(sql)) + "\"";
        Rows rows(source, cols);
        for (;;) {
            int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) throw Failure(sqlite3_errmsg(db_), sql);
            std::vector<DbValue> vals;
            vals.reserve(n);
            for (int i = 0; i < n; ++i) {
                switch (sqlite3_column_type(st, i)) {
                    case SQLITE_NULL: vals.push_back(DbValue::Null()); break;
                    case SQLITE_INTEGER: vals.push_back(DbValue::Int(sqlite3_column_int64(st, i))); break;
                    case SQLITE_FLOAT: vals.push_back(DbValue::Real(sqlite3_column_double(st, i))); break;
                    default: {
                        const unsigned char* t = sqlite3_column_text(st, i);
                        vals.push_back(DbValue::Text(t ? reinterpret_cast<const char*>(t) : ""));
                    }
                }
            }
            rows.AddRow(std::move(vals));
            if (batchRows != 0 && rows.Count() >= batchRows) {
                each(rows);
                rows = Rows(source, cols);
            }
        }
        if (batchRows == 0 || !rows.Empty()) each(rows);
    }

    sqlite3* db_ = nullptr;
    bool inTx_ = false;
    std::unordered_map<std::string, sqlite3_stmt*> prepared_;  // compiled statements of ExecuteBound and QueryBound
    SqliteDialect dialect_;
};

}  // namespace

std::unique_ptr<Database> OpenSqlite(const std::string& path, bool create) {
    return std::make_unique<SqliteDatabase>(path, create);
}

}  // namespace attcalc
