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
    throw DbError("value \"" + v + "\" of column \"" + std::string(col) + "\" in " + source + " is not a number");
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

std::optional<std::string> ConnectionParams::Get(std::string_view key) const {
    for (const auto& [k, v] : pairs)
        if (EqualsNoCase(k, key)) return v;
    return std::nullopt;
}

ConnectionParams ParseConnectionString(std::string_view cs) {
    ConnectionParams p;
    std::size_t pos = 0;
    while (pos <= cs.size()) {
        std::size_t end = cs.find(';', pos);
        if (end == std::string_view::npos) end = cs.size();
        std::string_view part = cs.substr(pos, end - pos);
        std::size_t eq = part.find('=');
        if (eq != std::string_view::npos) {
            p.pairs.emplace_back(Trim(part.substr(0, eq)), Trim(part.substr(eq + 1)));
        } else if (!Trim(part).empty()) {
            p.pairs.emplace_back(Trim(part), "");
        }
        pos = end + 1;
    }
    return p;
}

std::string MaskPasswords(std::string_view cs) {
    std::string out;
    std::size_t pos = 0;
    while (pos <= cs.size()) {
        std::size_t end = cs.find(';', pos);
        bool last = end == std::string_view::npos;
        if (last) end = cs.size();
        std::string_view part = cs.substr(pos, end - pos);
        std::size_t eq = part.find('=');
        if (eq != std::string_view::npos) {
            std::string key = Trim(part.substr(0, eq));
            if (EqualsNoCase(key, "Password") || EqualsNoCase(key, "PWD"))
                out += std::string(part.substr(0, eq + 1)) + "***";
            else
                out += part;
        } else {
            out += part;
        }
        if (!last) out += ';';
        pos = end + 1;
    }
    return out;
}

std::unique_ptr<Database> OpenDatabase(const std::string& connectionString, const std::string& home) {
    ConnectionParams p = ParseConnectionString(connectionString);
    std::string provider = p.Get("Provider").value_or("");
    std::string lp = ToLower(provider);
    if (lp == "sqlite") {
        std::string file = p.Get("Data Source").value_or("");
        if (file.empty()) throw DbError("connection string names no SQLite file (Data Source)");
        std::filesystem::path path(file);
        if (path.is_relative() && file != ":memory:") path = std::filesystem::path(home) / path;
        return OpenSqlite(path.string());
    }
    if (lp == "sqloledb" || lp == "sqloledb.1") {
        std::string server = p.Get("Data Source").value_or(".");
        if (server == "." || server.empty()) server = "127.0.0.1";
        std::string odbc = "Driver={" + p.Get("Driver").value_or("FreeTDS") + "};Server=" + server;
        if (auto c = p.Get("Initial Catalog")) odbc += ";Database=" + *c;
        if (auto u = p.Get("User ID")) odbc += ";UID=" + *u;
        if (auto pw = p.Get("Password")) odbc += ";PWD={" + *pw + "}";
        if (!p.Get("Port") && !p.Get("Driver")) odbc += ";Port=1433;TDS_Version=7.4";
        else if (auto port = p.Get("Port")) odbc += ";Port=" + *port;
        return OpenOdbc(odbc, true);
    }
    if (lp == "msdasql" || p.Get("Driver") || (provider.empty() && p.Get("DSN"))) {
        std::string odbc;
        for (const auto& [k, v] : p.pairs) {
            if (EqualsNoCase(k, "Provider")) continue;
            if (!odbc.empty()) odbc += ';';
            odbc += k + "=" + v;
        }
        return OpenOdbc(odbc, false);
    }
    if (provider.empty()) throw DbError("connection string names no Provider: \"" + MaskPasswords(connectionString) + "\"");
    throw DbError("unsupported database provider \"" + provider + "\"");
}

}  // namespace attcalc
