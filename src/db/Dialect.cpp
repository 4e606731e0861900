#include "db/Dialect.h"

namespace attcalc {

std::string Dialect::Quote(std::string_view text) const {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "''";
        else if (c == '\0') continue;  // never part of a stored text
        else out += c;
    }
    out += '\'';
    return out;
}

std::string Dialect::SelectNone(std::string_view table) const {
    return "select * from " + Table(table) + " where 1=0";
}

std::string Dialect::SelectTop(int n, std::string_view columns, std::string_view rest) const {
    return "select " + std::string(columns) + " " + std::string(rest) + " limit " + std::to_string(n);
}

std::string Dialect::ListTablesSql() const {
    return "select table_name from information_schema.tables"
           " where table_schema = current_schema() and table_type = 'BASE TABLE' order by table_name";
}

std::string Dialect::SavepointSql(std::string_view name) const { return "savepoint " + std::string(name); }

std::string Dialect::RollbackToSavepointSql(std::string_view name) const {
    return "rollback to savepoint " + std::string(name);
}

std::string Dialect::ReleaseSavepointSql(std::string_view name) const {
    return "release savepoint " + std::string(name);
}

}  // namespace attcalc
