// ODBC backend (unixODBC): PostgreSQL through its ODBC driver, SQL Server
// through FreeTDS or the vendor's driver.
//
// All text crosses the driver as UTF-16 (the wide ODBC calls and SQL_C_WCHAR)
// and is converted to and from UTF-8 here. The narrow calls would hand the
// bytes to the driver's idea of the process locale, which is "C" for a
// program that never calls setlocale, and Persian text would come back as
// question marks.
#include <sql.h>
#include <sqlext.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/Database.h"
#include "db/Dialect.h"
#include "db/OdbcDialects.h"

namespace attcalc {
namespace {

using WString = std::basic_string<SQLWCHAR>;

// UTF-8 to UTF-16; a malformed byte becomes U+FFFD.
WString ToWide(std::string_view s) {
    WString out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0 || (c & 0xF0) == 0xE0 || (c & 0xF8) == 0xF0) {
            std::size_t n = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
            char32_t v = n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
            bool ok = i + n <= s.size();
            for (std::size_t k = 1; ok && k < n; ++k) {
                unsigned char d = static_cast<unsigned char>(s[i + k]);
                if ((d & 0xC0) != 0x80) ok = false;
                else v = (v << 6) | (d & 0x3F);
            }
            char32_t minimum = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
            if (ok && v >= minimum && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
                cp = v;
                len = n;
            }
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<SQLWCHAR>(0xD800 + (cp >> 10));
            out += static_cast<SQLWCHAR>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<SQLWCHAR>(cp);
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string FromWide(const SQLWCHAR* p, std::size_t n) {
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        char32_t u = p[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (p[i + 1] - 0xDC00);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        AppendUtf8(out, u);
    }
    return out;
}

std::size_t WideLength(const SQLWCHAR* p, std::size_t max) {
    std::size_t n = 0;
    while (n < max && p[n] != 0) ++n;
    return n;
}

// The diagnostic records of a handle: "SQLSTATE: message; ...".
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE h) {
    std::string out;
    for (SQLSMALLINT i = 1; i < 20; ++i) {
        SQLWCHAR state[6] = {0};
        SQLINTEGER native = 0;
        SQLWCHAR msg[2048];
        SQLSMALLINT len = 0;
        SQLRETURN rc = SQLGetDiagRecW(type, h, i, state, &native, msg, 2048, &len);
        if (!SQL_SUCCEEDED(rc)) break;
        if (!out.empty()) out += "; ";
        out += FromWide(state, WideLength(state, 5)) + ": " +
               FromWide(msg, WideLength(msg, std::min<std::size_t>(len < 0 ? 0 : len, 2047)));
    }
    return out.empty() ? "unknown ODBC error" : SingleLine(out);
}

class Statement {
public:
    explicit Statement(SQLHDBC dbc) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h_)))
            throw DbError("cannot allocate an ODBC statement: " + Diagnostics(SQL_HANDLE_DBC, dbc));
        // The command time-out of the connection.
        SQLSetStmtAttr(h_, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(600), 0);
    }
    ~Statement() {
        if (h_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, h_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    SQLHSTMT h() const { return h_; }

private:
    SQLHSTMT h_ = SQL_NULL_HSTMT;
};

[[noreturn]] void Fail(SQLHSTMT h, const std::string& sql) {
    throw DbError(Diagnostics(SQL_HANDLE_STMT, h) + " [" + Abbreviate(SingleLine(sql)) + "]");
}

// Success, success with a warning, and "no rows affected" are all fine.
void Check(SQLRETURN rc, SQLHSTMT h, const std::string& sql) {
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA) return;
    Fail(h, sql);
}

// Walks the remaining results of a batch, so that the failure of a later
// statement is reported rather than lost.
void DrainResults(SQLHSTMT h, const std::string& sql) {
    for (;;) {
        SQLRETURN rc = SQLMoreResults(h);
        if (rc == SQL_NO_DATA) return;
        Check(rc, h, sql);
    }
}

bool IsIntegerText(const std::string& t) {
    std::size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    if (i >= t.size()) return false;
    for (; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return false;
    return true;
}

class OdbcDatabase : public Database {
public:
    OdbcDatabase(const std::string& cs, bool sqlServer) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_)))
            throw DbError("cannot allocate the ODBC environment");
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
            SQLFreeHandle(SQL_HANDLE_ENV, env_);
            throw DbError("cannot allocate an ODBC connection");
        }
        SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(600), 0);
        WString w = ToWide(OdbcDriverOptions(cs));  // messages name the user's string
        SQLWCHAR out[1024];
        SQLSMALLINT outLen = 0;
        SQLRETURN rc = SQLDriverConnectW(dbc_, nullptr, w.data(), static_cast<SQLSMALLINT>(w.size()), out, 1024,
                                         &outLen, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            std::string msg = Diagnostics(SQL_HANDLE_DBC, dbc_);
            FreeHandles();
            throw DbError("cannot connect to \"" + Abbreviate(MaskPasswords(cs)) + "\": " + msg);
        }
        connected_ = true;
        try {
            if (sqlServer) {
                dialect_ = MakeSqlServerDialect();
            } else {
                SQLWCHAR name[256] = {0};
                SQLSMALLINT len = 0;
                SQLGetInfoW(dbc_, SQL_DBMS_NAME, name, sizeof name, &len);
                dialect_ = DialectForDbmsName(FromWide(name, WideLength(name, 255)));
            }
            // Quoting doubles the quote and nothing else, which is safe only
            // when a backslash in a literal is an ordinary character.
            if (dialect_->Name() == "postgresql") Execute("set standard_conforming_strings = on");
        } catch (...) {
            FreeHandles();
            throw;
        }
    }

    ~OdbcDatabase() override {
        prepared_.clear();
        if (inTx_) {
            SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
            SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
        }
        FreeHandles();
    }

    void Execute(const std::string& sql) override {
        Statement st(dbc_);
        WString w = ToWide(sql);
        Check(SQLExecDirectW(st.h(), w.data(), static_cast<SQLINTEGER>(w.size())), st.h(), sql);
        DrainResults(st.h(), sql);
    }

    std::int64_t ExecuteBound(const std::string& sql, const std::vector<DbValue>& params) override {
        SQLHSTMT h = Prepared(sql);
        BoundValues values;
        Bind(h, params, values, sql);
        SQLRETURN rc = SQLExecute(h);
        if (!(rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA)) {
            std::string msg = Diagnostics(SQL_HANDLE_STMT, h);
            SQLFreeStmt(h, SQL_CLOSE);
            prepared_.erase(sql);
            throw DbError(msg + " [" + SingleLine(sql) + "]");
        }
        // A searched update or delete that meets no row answers "no data".
        SQLLEN changed = 0;
        if (rc != SQL_NO_DATA && !SQL_SUCCEEDED(SQLRowCount(h, &changed))) changed = -1;
        DrainResults(h, sql);
        SQLFreeStmt(h, SQL_CLOSE);
        return changed < 0 ? -1 : static_cast<std::int64_t>(changed);
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

    // Runs the kept statement of a text with its markers bound and walks its
    // rows as Read does; the cursor is closed however reading ends.
    template <class F>
    void ReadBound(const std::string& sql, const std::vector<DbValue>& params, std::size_t batchRows, F&& each) {
        SQLHSTMT h = Prepared(sql);
        BoundValues values;
        Bind(h, params, values, sql);
        SQLRETURN rc = SQLExecute(h);
        if (!(rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA)) {
            std::string msg = Diagnostics(SQL_HANDLE_STMT, h);
            SQLFreeStmt(h, SQL_CLOSE);
            prepared_.erase(sql);
            throw DbError(msg + " [" + Abbreviate(SingleLine(sql)) + "]");
        }
        try {
            ReadResult(h, sql, batchRows, each);
        } catch (...) {
            SQLFreeStmt(h, SQL_CLOSE);
            throw;
        }
        SQLFreeStmt(h, SQL_CLOSE);
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

    // Walks the rows of a query, handing them over `batchRows` at a time (all
    // of them in one batch when 0).
    template <class F>
    void Read(const std::string& sql, std::size_t batchRows, F&& each) {
        Statement st(dbc_);
        SQLHSTMT h = st.h();
        WString w = ToWide(sql);
        Check(SQLExecDirectW(h, w.data(), static_cast<SQLINTEGER>(w.size())), h, sql);
        ReadResult(h, sql, batchRows, each);
    }

    // The rows of a statement that has just run.
    template <class F>
    void ReadResult(SQLHSTMT h, const std::string& sql, std::size_t batchRows, F&& each) {
        const std::string source = "\"" + Abbreviate(SingleLine(sql)) + "\"";

        // The first result that has columns (a batch may start with statements
        // that return none).
        SQLSMALLINT ncols = 0;
        Check(SQLNumResultCols(h, &ncols), h, sql);
        while (ncols == 0) {
            SQLRETURN rc = SQLMoreResults(h);
            if (rc == SQL_NO_DATA) {
                Rows none(source, {});
                each(none);
                return;
            }
            Check(rc, h, sql);
            Check(SQLNumResultCols(h, &ncols), h, sql);
        }

        std::vector<std::string> names;
        std::vector<SQLSMALLINT> types;
        std::vector<SQLSMALLINT> scales;
        // Name, type and scale of each column, asked one by one. Not
        // SQLDescribeCol: the PostgreSQL driver answers that (for its
        // nullable part) from the catalogue, with one more query per table
        // a run reads. The verbose type is enough for reading the values:
        // it differs from the concise one only for dates and intervals,
        // which are read as text either way.
        for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(ncols); ++i) {
            SQLWCHAR name[512] = {0};
            SQLSMALLINT nameBytes = 0;
            SQLLEN type = 0, scale = 0;
            Check(SQLColAttributeW(h, i, SQL_DESC_NAME, name, sizeof name, &nameBytes, nullptr), h, sql);
            Check(SQLColAttributeW(h, i, SQL_DESC_TYPE, nullptr, 0, nullptr, &type), h, sql);
            Check(SQLColAttributeW(h, i, SQL_DESC_SCALE, nullptr, 0, nullptr, &scale), h, sql);
            const std::size_t chars = nameBytes < 0 ? 0 : static_cast<std::size_t>(nameBytes) / sizeof(SQLWCHAR);
            names.push_back(FromWide(name, WideLength(name, std::min<std::size_t>(chars, 511))));
            types.push_back(static_cast<SQLSMALLINT>(type));
            scales.push_back(static_cast<SQLSMALLINT>(scale));
        }

        Rows rows(source, names);
        for (;;) {
            SQLRETURN rc = SQLFetch(h);
            if (rc == SQL_NO_DATA) break;
            if (!SQL_SUCCEEDED(rc)) Fail(h, sql);
            std::vector<DbValue> vals;
            vals.reserve(ncols);
            for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(ncols); ++i)
                vals.push_back(ReadValue(h, i, types[i - 1], scales[i - 1], sql));
            rows.AddRow(std::move(vals));
            if (batchRows != 0 && rows.Count() >= batchRows) {
                each(rows);
                rows = Rows(source, names);
            }
        }
        SQLCloseCursor(h);
        DrainResults(h, sql);
        if (batchRows == 0 || !rows.Empty()) each(rows);
    }

    std::vector<std::string> ListTables() override {
        Rows r = Query(dialect_->ListTablesSql());
        std::vector<std::string> out;
        if (r.Columns().empty()) return out;
        for (std::size_t i = 0; i < r.Count(); ++i) out.push_back(r.Text(i, r.Columns().at(0)));
        return out;
    }

    void Begin() override {
        if (inTx_) throw DbError("a transaction is already open on this connection");
        SetAutocommit(false);
        inTx_ = true;
    }

    void Commit() override {
        if (!inTx_) throw DbError("commit without an open transaction");
        SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_COMMIT);
        if (!SQL_SUCCEEDED(rc)) {
            std::string msg = Diagnostics(SQL_HANDLE_DBC, dbc_);
            // A failed commit leaves nothing committed; end the transaction
            // so that the connection is usable again.
            SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
            inTx_ = false;
            locks_.clear();
            SetAutocommit(true);
            throw DbError("commit failed: " + msg);
        }
        inTx_ = false;
        locks_.clear();
        SetAutocommit(true);
    }

    void Rollback() override {
        if (!inTx_) return;
        inTx_ = false;
        locks_.clear();
        SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
        SetAutocommit(true);
    }

    bool InTransaction() const override { return inTx_; }

    void TakeLock(std::string_view name) override {
        if (!inTx_ || locks_.count(std::string(name))) return;
        std::string sql = dialect_->TransactionLockSql(dialect_->Quote(name));
        if (sql.empty()) return;
        Query(sql);
        locks_.insert(std::string(name));
    }

    bool TryExecute(const std::string& sql, std::string* error) override {
        const std::string sp = "try_stmt";
        if (inTx_) Execute(dialect_->SavepointSql(sp));
        try {
            Execute(sql);
        } catch (const DbError& e) {
            if (error) *error = e.what();
            if (inTx_) {
                Execute(dialect_->RollbackToSavepointSql(sp));
                std::string release = dialect_->ReleaseSavepointSql(sp);
                if (!release.empty()) Execute(release);
            }
            return false;
        }
        if (inTx_) {
            std::string release = dialect_->ReleaseSavepointSql(sp);
            if (!release.empty()) Execute(release);
        }
        return true;
    }

    const Dialect& dialect() const override { return *dialect_; }

private:
    // The statement of a text, prepared on its first use and kept for the
    // life of the connection.
    SQLHSTMT Prepared(const std::string& sql) {
        std::unique_ptr<Statement>& st = prepared_[sql];
        if (!st) {
            auto fresh = std::make_unique<Statement>(dbc_);
            WString w = ToWide(sql);
            SQLRETURN rc = SQLPrepareW(fresh->h(), w.data(), static_cast<SQLINTEGER>(w.size()));
            if (!SQL_SUCCEEDED(rc)) {
                std::string msg = Diagnostics(SQL_HANDLE_STMT, fresh->h());
                prepared_.erase(sql);
                throw DbError(msg + " [" + Abbreviate(SingleLine(sql)) + "]");
            }
            st = std::move(fresh);
        }
        return st->h();
    }

    // The values bound to a statement; they must live until it has run.
    struct BoundValues {
        std::vector<SQLBIGINT> ints;
        std::vector<double> reals;
        std::vector<WString> texts;
        std::vector<SQLLEN> inds;
    };

    static void Bind(SQLHSTMT h, const std::vector<DbValue>& params, BoundValues& b, const std::string& sql) {
        SQLFreeStmt(h, SQL_RESET_PARAMS);
        b.ints.assign(params.size(), 0);
        b.reals.assign(params.size(), 0);
        b.texts.assign(params.size(), WString());
        b.inds.assign(params.size(), 0);
        for (std::size_t i = 0; i < params.size(); ++i) {
            const DbValue& v = params[i];
            const auto at = static_cast<SQLUSMALLINT>(i + 1);
            SQLRETURN rc;
            switch (v.kind) {
                case DbValue::Kind::Int:
                    b.ints[i] = v.i;
                    rc = SQLBindParameter(h, at, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &b.ints[i], 0,
                                          &b.inds[i]);
                    break;
                case DbValue::Kind::Real:
                    b.reals[i] = v.d;
                    rc = SQLBindParameter(h, at, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &b.reals[i], 0,
                                          &b.inds[i]);
                    break;
                case DbValue::Kind::Text:
                    b.texts[i] = ToWide(v.s);
                    b.inds[i] = static_cast<SQLLEN>(b.texts[i].size() * sizeof(SQLWCHAR));
                    rc = SQLBindParameter(h, at, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                          std::max<SQLULEN>(1, b.texts[i].size()), 0, b.texts[i].data(), b.inds[i],
                                          &b.inds[i]);
                    break;
                default:
                    b.inds[i] = SQL_NULL_DATA;
                    rc = SQLBindParameter(h, at, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                                          &b.inds[i]);
                    break;
            }
            Check(rc, h, sql);
        }
    }

    void SetAutocommit(bool on) {
        SQLRETURN rc = SQLSetConnectAttr(
            dbc_, SQL_ATTR_AUTOCOMMIT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)), 0);
        if (!SQL_SUCCEEDED(rc))
            throw DbError(std::string("cannot switch autocommit ") + (on ? "on" : "off") + ": " +
                          Diagnostics(SQL_HANDLE_DBC, dbc_));
    }

    void FreeHandles() {
        if (dbc_ != SQL_NULL_HDBC) {
            if (connected_) SQLDisconnect(dbc_);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
            dbc_ = SQL_NULL_HDBC;
        }
        if (env_ != SQL_NULL_HENV) {
            SQLFreeHandle(SQL_HANDLE_ENV, env_);
            env_ = SQL_NULL_HENV;
        }
        connected_ = false;
    }

    // One column of the current row, typed by the column's SQL type.
    static DbValue ReadValue(SQLHSTMT h, SQLUSMALLINT col, SQLSMALLINT type, SQLSMALLINT scale,
                             const std::string& sql) {
        SQLLEN ind = 0;
        switch (type) {
            case SQL_BIT:
            case SQL_TINYINT:
            case SQL_SMALLINT:
            case SQL_INTEGER:
            case SQL_BIGINT: {
                SQLBIGINT v = 0;
                Check(SQLGetData(h, col, SQL_C_SBIGINT, &v, sizeof v, &ind), h, sql);
                if (ind == SQL_NULL_DATA) return DbValue::Null();
                return DbValue::Int(v);
            }
            case SQL_REAL:
            case SQL_FLOAT:
            case SQL_DOUBLE: {
                double v = 0;
                Check(SQLGetData(h, col, SQL_C_DOUBLE, &v, sizeof v, &ind), h, sql);
                if (ind == SQL_NULL_DATA) return DbValue::Null();
                return DbValue::Real(v);
            }
            case SQL_NUMERIC:
            case SQL_DECIMAL: {
                // Read as text so that no driver's numeric structure is
                // involved; whole numbers of scale 0 stay integers.
                bool isNull = false;
                std::string t = ReadText(h, col, sql, &isNull);
                if (isNull) return DbValue::Null();
                if (scale == 0 && IsIntegerText(t)) {
                    errno = 0;
                    long long v = std::strtoll(t.c_str(), nullptr, 10);
                    if (errno == 0) return DbValue::Int(v);
                }
                char* end = nullptr;
                double d = std::strtod(t.c_str(), &end);
                if (end == t.c_str()) return DbValue::Text(t);
                return DbValue::Real(d);
            }
            case SQL_BINARY:
            case SQL_VARBINARY:
            case SQL_LONGVARBINARY: {
                bool isNull = false;
                std::string t = ReadBinary(h, col, sql, &isNull);
                if (isNull) return DbValue::Null();
                return DbValue::Text(std::move(t));
            }
            default: {
                bool isNull = false;
                std::string t = ReadText(h, col, sql, &isNull);
                if (isNull) return DbValue::Null();
                return DbValue::Text(std::move(t));
            }
        }
    }

    // A character value of any length, in pieces, as UTF-8.
    static std::string ReadText(SQLHSTMT h, SQLUSMALLINT col, const std::string& sql, bool* isNull) {
        constexpr std::size_t kChars = 2048;
        SQLWCHAR buf[kChars];
        WString acc;
        *isNull = false;
        for (;;) {
            SQLLEN ind = 0;
            SQLRETURN rc = SQLGetData(h, col, SQL_C_WCHAR, buf, sizeof buf, &ind);
            if (rc == SQL_NO_DATA) break;
            if (!SQL_SUCCEEDED(rc)) Fail(h, sql);
            if (ind == SQL_NULL_DATA) {
                *isNull = true;
                return "";
            }
            bool more = rc == SQL_SUCCESS_WITH_INFO &&
                        (ind == SQL_NO_TOTAL || static_cast<std::size_t>(ind) / sizeof(SQLWCHAR) >= kChars);
            if (more) {
                acc.append(buf, kChars - 1);  // the buffer less its terminating null
                continue;
            }
            std::size_t n = ind == SQL_NO_TOTAL ? WideLength(buf, kChars)
                                                : std::min(static_cast<std::size_t>(ind) / sizeof(SQLWCHAR), kChars - 1);
            acc.append(buf, n);
            break;
        }
        return FromWide(acc.data(), acc.size());
    }

    static std::string ReadBinary(SQLHSTMT h, SQLUSMALLINT col, const std::string& sql, bool* isNull) {
        constexpr std::size_t kBytes = 4096;
        char buf[kBytes];
        std::string acc;
        *isNull = false;
        for (;;) {
            SQLLEN ind = 0;
            SQLRETURN rc = SQLGetData(h, col, SQL_C_BINARY, buf, sizeof buf, &ind);
            if (rc == SQL_NO_DATA) break;
            if (!SQL_SUCCEEDED(rc)) Fail(h, sql);
            if (ind == SQL_NULL_DATA) {
                *isNull = true;
                return "";
            }
            bool more = rc == SQL_SUCCESS_WITH_INFO && (ind == SQL_NO_TOTAL || static_cast<std::size_t>(ind) > kBytes);
            if (more) {
                acc.append(buf, kBytes);
                continue;
            }
            acc.append(buf, std::min(static_cast<std::size_t>(ind), kBytes));
            break;
        }
        return acc;
    }

    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
    bool inTx_ = false;
    std::set<std::string> locks_;  // the locks the open transaction holds
    std::unique_ptr<Dialect> dialect_;
    std::unordered_map<std::string, std::unique_ptr<Statement>> prepared_;  // statements of ExecuteBound and QueryBound
};

}  // namespace

std::string OdbcDriverOptions(const std::string& cs) {
    const ConnectionParams p = ParseConnectionString(cs);
    const std::string driver = ToLower(p.Get("Driver").value_or(""));
    const bool postgres = driver.find("postgres") != std::string::npos || driver.find("psqlodbc") != std::string::npos;
    if (!postgres || p.Get("Protocol")) return cs;
    // By default the PostgreSQL driver wraps every statement of a
    // transaction in a savepoint of its own (one more round trip before each
    // statement run from a compiled one, such as every day row), so that a
    // failed statement leaves the transaction usable. attcalc does not go on
    // after a failed statement except under a savepoint it sets itself
    // (TryExecute, a person of a batch), so level 0 -- the driver leaves the
    // transaction alone -- keeps every outcome and saves the round trips.
    std::string out = cs;
    if (!out.empty() && out.back() != ';') out += ';';
    return out + "Protocol=7.4-0";
}

std::unique_ptr<Database> OpenOdbc(const std::string& odbcConnectionString, bool sqlServer) {
    // The driver manager copies values into buffers of a thousand characters
    // and aborts the process on a longer one; no real connection string
    // comes near this.
    if (Utf8Length(odbcConnectionString) > kMaxOdbcConnectionChars)
        throw DbError("the ODBC connection string is longer than " + std::to_string(kMaxOdbcConnectionChars) +
                      " characters: \"" + Abbreviate(MaskPasswords(odbcConnectionString)) + "\"");
    return std::make_unique<OdbcDatabase>(odbcConnectionString, sqlServer);
}

}  // namespace attcalc
