#include "db/Database.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "db/Dialect.h"

namespace attcalc {

std::string ToLower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

std::string SingleLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            while (!out.empty() && out.back() == ' ') out.pop_back();
            out += " / ";
        } else {
            out += c;
        }
    }
    return out;
}

namespace {
// The length of the UTF-8 character that starts with `lead`, 0 when no
// character starts with it.
std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The length of the well-formed character at `i`, 0 when there is none.
std::size_t Utf8CharAt(std::string_view s, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = Utf8SequenceLength(c);
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    if (n >= 3) {
        const unsigned char d = static_cast<unsigned char>(s[i + 1]);
        if (c == 0xE0 && d < 0xA0) return 0;  // overlong
        if (c == 0xED && d >= 0xA0) return 0;  // surrogate
        if (c == 0xF0 && d < 0x90) return 0;  // overlong
        if (c == 0xF4 && d >= 0x90) return 0;  // above U+10FFFF
    }
    return n;
}
}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = Utf8CharAt(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars) {
        std::size_t n = Utf8CharAt(text, i);
        i += n == 0 ? 1 : n;  // a stray byte counts as one character
    }
    return chars;
}

std::string Utf8Left(std::string_view text, std::size_t chars) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < text.size() && n < chars; ++n) {
        std::size_t len = Utf8CharAt(text, i);
        i += len == 0 ? 1 : len;
    }
    return std::string(text.substr(0, i));
}

std::string Abbreviate(std::string_view text, std::size_t maxChars) {
    std::size_t i = 0, chars = 0;
    while (i < text.size() && chars < maxChars) {
        std::size_t n = Utf8CharAt(text, i);
        i += n == 0 ? 1 : n;
        ++chars;
    }
    if (i >= text.size()) return std::string(text);
    return std::string(text.substr(0, i)) + "\u2026";
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

Rows::Rows(std::string source, std::vector<std::string> columns)
    : source_(std::move(source)), columns_(std::move(columns)) {
    for (std::size_t i = 0; i < columns_.size(); ++i) index_.emplace(ToLower(columns_[i]), i);
}

bool Rows::HasColumn(std::string_view name) const { return index_.count(ToLower(name)) != 0; }

std::size_t Rows::Index(std::string_view col) const {
    auto it = index_.find(ToLower(col));
    if (it == index_.end()) throw DbError("column \"" + std::string(col) + "\" not found in " + source_);
    return it->second;
}

const DbValue& Rows::Value(std::size_t row, std::string_view col) const {
    if (row >= rows_.size()) throw DbError("row " + std::to_string(row) + " out of range in " + source_);
    return rows_[row][Index(col)];
}

bool Rows::IsNull(std::size_t row, std::string_view col) const {
    return Value(row, col).kind == DbValue::Kind::Null;
}

namespace {
std::string Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

[[noreturn]] void BadNumber(const std::string& source, std::string_view col, const std::string& v) {
    throw DbError("value \"" + Abbreviate(v) + "\" of column \"" + std::string(col) + "\" in " + source + " is not a number");
}
}  // namespace

std::int64_t Rows::Int(std::size_t row, std::string_view col) const {
    const DbValue& v = Value(row, col);
    switch (v.kind) {
        case DbValue::Kind::Null: return 0;
        case DbValue::Kind::Int: return v.i;
        case DbValue::Kind::Real: return static_cast<std::int64_t>(std::nearbyint(v.d));
        case DbValue::Kind::Text: {
            std::string t = Trim(v.s);
            if (t.empty()) BadNumber(source_, col, v.s);
            std::int64_t out = 0;
            auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
            if (ec == std::errc() && p == t.data() + t.size()) return out;
            // Decimal texts (money, numeric) read as integers round to nearest.
            double d = 0;
            auto [p2, ec2] = std::from_chars(t.data(), t.data() + t.size(), d);
            if (ec2 == std::errc() && p2 == t.data() + t.size()) return static_cast<std::int64_t>(std::nearbyint(d));
            if (EqualsNoCase(t, "true")) return 1;
            if (EqualsNoCase(t, "false")) return 0;
            BadNumber(source_, col, v.s);
        }
    }
    return 0;
}

double Rows::Real(std::size_t row, std::string_view col) const {
    const DbValue& v = Value(row, col);
    switch (v.kind) {
        case DbValue::Kind::Null: return 0;
        case DbValue::Kind::Int: return static_cast<double>(v.i);
        case DbValue::Kind::Real: return v.d;
        case DbValue::Kind::Text: {
            std::string t = Trim(v.s);
            double d = 0;
            auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), d);
            if (t.empty() || ec != std::errc() || p != t.data() + t.size()) BadNumber(source_, col, v.s);
            return d;
        }
    }
    return 0;
}

bool Rows::Bool(std::size_t row, std::string_view col) const {
    const DbValue& v = Value(row, col);
    switch (v.kind) {
        case DbValue::Kind::Null: return false;
        case DbValue::Kind::Int: return v.i != 0;
        case DbValue::Kind::Real: return v.d != 0;
        case DbValue::Kind::Text: {
            std::string t = ToLower(Trim(v.s));
            if (t == "true" || t == "t" || t == "yes") return true;
            if (t == "false" || t == "f" || t == "no" || t.empty()) return false;
            return Int(row, col) != 0;
        }
    }
    return false;
}

std::string Rows::Text(std::size_t row, std::string_view col) const {
    const DbValue& v = Value(row, col);
    switch (v.kind) {
        case DbValue::Kind::Null: return "";
        case DbValue::Kind::Int: return std::to_string(v.i);
        case DbValue::Kind::Real: {
            if (v.d == std::floor(v.d) && std::fabs(v.d) < 1e15) return std::to_string(static_cast<std::int64_t>(v.d));
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.4f", v.d);
            return buf;
        }
        case DbValue::Kind::Text: return v.s;
    }
    return "";
}

std::string SqlLiteral(const Dialect& d, const DbValue& v) {
    switch (v.kind) {
        case DbValue::Kind::Null: return "NULL";
        case DbValue::Kind::Int: return std::to_string(v.i);
        case DbValue::Kind::Real: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.6f", v.d);
            return buf;
        }
        case DbValue::Kind::Text: return d.Quote(v.s);
    }
    return "NULL";
}

void Database::QueryBatches(const std::string& sql, std::size_t batchRows,
                            const std::function<void(const Rows&)>& each) {
    (void)batchRows;
    each(Query(sql));
}

void Database::Insert(std::string_view table, const std::vector<SqlField>& fields) {
    std::string cols, vals;
    for (const auto& f : fields) {
        if (!cols.empty()) { cols += ", "; vals += ", "; }
        cols += f.column;
        vals += SqlLiteral(dialect(), f.value);
    }
    Execute("insert into " + dialect().Table(table) + " (" + cols + ") values (" + vals + ")");
}

bool Database::TableExists(std::string_view table) {
    for (const auto& t : ListTables())
        if (EqualsNoCase(t, table)) return true;
    return false;
}

namespace {

// One "key=value" part of a connection string, as views into the string. A
// value may be quoted with " or ' (a doubled quote stands for one) or braced
// with {} (a doubled } stands for one), so that it can hold a ";".
struct CsPart {
    std::string_view key;          // trimmed
    std::string_view inner;        // the value: trimmed, or between its quotes as written
    char close = '\0';             // the closing quote whose doubling stands for one; none when unquoted
    bool hasValue = false;
    std::size_t valueBegin = 0, valueEnd = 0;  // the value as written, quotes included

    std::string Value() const {
        if (close == '\0') return std::string(inner);
        std::string v;
        v.reserve(inner.size());
        for (std::size_t i = 0; i < inner.size(); ++i) {
            v += inner[i];
            if (inner[i] == close) ++i;  // the second of a doubled quote
        }
        return v;
    }
};

std::string_view TrimView(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// Calls `each(part)` for every part with a key, in order; stops early when it
// returns false.
template <class F>
void ForEachPart(std::string_view cs, F&& each) {
    std::size_t pos = 0;
    const std::size_t n = cs.size();
    while (pos < n) {
        std::size_t keyEnd = pos;
        while (keyEnd < n && cs[keyEnd] != '=' && cs[keyEnd] != ';') ++keyEnd;
        CsPart part;
        part.key = TrimView(cs.substr(pos, keyEnd - pos));
        if (keyEnd >= n || cs[keyEnd] == ';') {
            if (!part.key.empty() && !each(part)) return;
            pos = keyEnd + 1;
            continue;
        }
        std::size_t v = keyEnd + 1;
        while (v < n && (cs[v] == ' ' || cs[v] == '\t')) ++v;
        part.hasValue = true;
        part.valueBegin = v;
        std::size_t end = v;
        char open = v < n ? cs[v] : '\0';
        bool closed = false;
        if (open == '"' || open == '\'' || open == '{') {
            const char close = open == '{' ? '}' : open;
            std::size_t i = v + 1;
            while (i < n) {
                if (cs[i] == close) {
                    if (i + 1 < n && cs[i + 1] == close) {
                        i += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                ++i;
            }
            if (closed) {
                part.inner = cs.substr(v + 1, i - v - 1);
                part.close = close;
                part.valueEnd = i + 1;
                end = i + 1;
                while (end < n && cs[end] != ';') ++end;
            }
        }
        if (!closed) {
            // Unquoted, or no closing mark: the value runs to the next ";" as written.
            end = cs.find(';', v);
            if (end == std::string_view::npos) end = n;
            part.inner = TrimView(cs.substr(v, end - v));
            std::size_t ve = end;
            while (ve > v && (cs[ve - 1] == ' ' || cs[ve - 1] == '\t')) --ve;
            part.valueEnd = ve;
        }
        if (!part.key.empty() && !each(part)) return;
        pos = end + 1;
    }
}

}  // namespace

std::optional<std::string> ConnectionParams::Get(std::string_view key) const {
    std::optional<std::string> out;
    ForEachPart(text, [&](const CsPart& p) {
        if (!EqualsNoCase(p.key, key)) return true;
        out = p.Value();
        return false;
    });
    return out;
}

namespace {

// A value as an ODBC connection string writes it: braced when it holds
// anything that would end or change the pair.
std::string OdbcValue(const std::string& v, bool alwaysBrace = false) {
    bool plain = !alwaysBrace && (v.empty() || (v.front() != ' ' && v.back() != ' '));
    for (char c : v)
        if (c == ';' || c == '{' || c == '}' || c == '=') plain = false;
    if (plain) return v;
    std::string out = "{";
    for (char c : v) {
        out += c;
        if (c == '}') out += '}';
    }
    return out + "}";
}

bool IsPasswordKey(std::string_view key) { return EqualsNoCase(key, "Password") || EqualsNoCase(key, "PWD"); }

// The ODBC connection string for an OLE DB SQL Server provider
// ("Provider=SQLOLEDB.1;Data Source=.;Initial Catalog=...;User ID=...;Password=...").
std::string SqlServerOdbcString(const ConnectionParams& p) {
    std::string driver = p.Get("Driver").value_or("FreeTDS");
    if (driver.empty()) driver = "FreeTDS";
    bool freetds = ToLower(driver).find("freetds") != std::string::npos;

    std::string server = p.Get("Data Source").value_or(p.Get("Server").value_or("."));
    if (ToLower(server).rfind("tcp:", 0) == 0) server = server.substr(4);
    std::string port = p.Get("Port").value_or("");
    if (std::size_t comma = server.find(','); comma != std::string::npos) {
        if (port.empty()) port = Trim(server.substr(comma + 1));
        server = Trim(server.substr(0, comma));
    }
    std::string host = server, instance;
    if (std::size_t bs = server.find('\\'); bs != std::string::npos) {
        host = server.substr(0, bs);
        instance = server.substr(bs);
    }
    // "." and "(local)" name the server of this machine.
    if (host.empty() || host == "." || EqualsNoCase(host, "(local)")) host = "127.0.0.1";

    std::string odbc = "Driver=" + OdbcValue(driver, true);
    if (freetds) {
        odbc += ";Server=" + OdbcValue(host + instance);
        if (!port.empty()) odbc += ";Port=" + OdbcValue(port);
        else if (instance.empty()) odbc += ";Port=1433";
        odbc += ";TDS_Version=" + OdbcValue(p.Get("TDS_Version").value_or("7.4"));
    } else {
        odbc += ";Server=" + OdbcValue(host + instance + (port.empty() ? "" : "," + port));
    }
    if (auto c = p.Get("Initial Catalog")) odbc += ";Database=" + OdbcValue(*c);
    else if (auto d = p.Get("Database")) odbc += ";Database=" + OdbcValue(*d);
    if (auto u = p.Get("User ID")) odbc += ";UID=" + OdbcValue(*u);
    if (auto pw = p.Get("Password")) odbc += ";PWD=" + OdbcValue(*pw, true);
    if (auto sec = p.Get("Integrated Security"); sec && (EqualsNoCase(*sec, "SSPI") || EqualsNoCase(*sec, "true")))
        odbc += ";Trusted_Connection=yes";
    return odbc;
}

// The ODBC connection string of an MSDASQL (or bare ODBC) string: every pair
// but Provider, as it stands; an "Extended Properties" value is an ODBC
// connection string of its own and is added whole.
std::string PassThroughOdbcString(const ConnectionParams& p) {
    std::string odbc;
    odbc.reserve(p.text.size() + 16);
    ForEachPart(p.text, [&](const CsPart& part) {
        if (EqualsNoCase(part.key, "Provider")) return true;
        if (!odbc.empty()) odbc += ';';
        if (EqualsNoCase(part.key, "Extended Properties")) {
            odbc += part.Value();
        } else {
            odbc += part.key;
            odbc += '=';
            odbc += OdbcValue(part.Value(), EqualsNoCase(part.key, "Driver") || IsPasswordKey(part.key));
        }
        return true;
    });
    return odbc;
}

}  // namespace

ConnectionParams ParseConnectionString(std::string_view cs) { return ConnectionParams{std::string(cs)}; }

std::string MaskPasswords(std::string_view cs) {
    std::string out;
    out.reserve(cs.size());
    std::size_t copied = 0;
    ForEachPart(cs, [&](const CsPart& part) {
        if (!part.hasValue || !IsPasswordKey(part.key) || part.valueEnd <= part.valueBegin) return true;
        out += cs.substr(copied, part.valueBegin - copied);
        out += "***";
        copied = part.valueEnd;
        return true;
    });
    out += cs.substr(copied);
    return out;
}

DatabaseTarget ResolveConnectionString(const std::string& connectionString, const std::string& home) {
    ConnectionParams p = ParseConnectionString(connectionString);
    std::string provider = p.Get("Provider").value_or("");
    std::string lp = ToLower(provider);
    DatabaseTarget t;
    if (lp == "sqlite") {
        std::string file = p.Get("Data Source").value_or("");
        if (file.empty()) throw DbError("connection string names no SQLite file (Data Source)");
        std::filesystem::path path(file);
        if (path.is_relative() && file != ":memory:") path = std::filesystem::path(home) / path;
        t.kind = DatabaseTarget::Kind::Sqlite;
        t.sqlitePath = path.string();
        return t;
    }
    t.kind = DatabaseTarget::Kind::Odbc;
    if (lp.rfind("sqloledb", 0) == 0 || lp.rfind("sqlncli", 0) == 0 || lp.rfind("msoledbsql", 0) == 0) {
        t.odbc = SqlServerOdbcString(p);
        t.sqlServer = true;
        return t;
    }
    if (lp.rfind("msdasql", 0) == 0 || (provider.empty() && (p.Get("Driver") || p.Get("DSN")))) {
        t.odbc = PassThroughOdbcString(p);
        return t;
    }
    if (provider.empty())
        throw DbError("connection string names no Provider: \"" + Abbreviate(MaskPasswords(connectionString)) + "\"");
    throw DbError("unsupported database provider \"" + Abbreviate(provider) + "\"");
}

std::unique_ptr<Database> OpenDatabase(const std::string& connectionString, const std::string& home) {
    DatabaseTarget t = ResolveConnectionString(connectionString, home);
    if (t.kind == DatabaseTarget::Kind::Sqlite) {
        // A database named by the connection string must exist: opening a
        // missing file would leave an empty database behind and fail later
        // on the first table.
        std::error_code ec;
        if (t.sqlitePath != ":memory:" && !std::filesystem::is_regular_file(t.sqlitePath, ec))
            throw DbError("the SQLite database file \"" + Abbreviate(t.sqlitePath) + "\" does not exist");
        return OpenSqlite(t.sqlitePath, false);
    }
    return OpenOdbc(t.odbc, t.sqlServer);
}

std::string BindAsLiterals(const Dialect& d, const std::string& sql, const std::vector<DbValue>& params) {
    std::string text;
    std::size_t next = 0;
    bool quoted = false;
    for (char c : sql) {
        if (c == '\'') quoted = !quoted;
        if (c == '?' && !quoted) {
            if (next >= params.size()) throw DbError("too few values for the statement [" + SingleLine(sql) + "]");
            text += SqlLiteral(d, params[next++]);
        } else {
            text += c;
        }
    }
    return text;
}

std::int64_t Database::ExecuteBound(const std::string& sql, const std::vector<DbValue>& params) {
    Execute(BindAsLiterals(dialect(), sql, params));
    return -1;
}

Rows Database::QueryBound(const std::string& sql, const std::vector<DbValue>& params) {
    return Query(BindAsLiterals(dialect(), sql, params));
}

void Database::QueryBoundBatches(const std::string& sql, const std::vector<DbValue>& params, std::size_t batchRows,
                                 const std::function<void(const Rows&)>& each) {
    QueryBatches(BindAsLiterals(dialect(), sql, params), batchRows, each);
}

}  // namespace attcalc
