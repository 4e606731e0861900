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

std::string Dialect::StoreResultRowSql(std::string_view table, std::string_view date, std::string_view code,
                                       const std::vector<SqlAssignment>& first,
                                       const std::vector<SqlAssignment>& second) const {
    const std::string t = Table(table);
    const std::string key = "prc_date=" + std::string(date) + " and Prc_PCode=" + std::string(code);
    std::string sql = "insert into " + t + " (prc_date,Prc_PCode) select " + std::string(date) + "," +
                      std::string(code) + "\nwhere not exists(select 1 from " + t + " where " + key + ");\n";
    if (first.empty() && second.empty()) return sql;
    sql += "update " + t + " set ";
    bool any = false;
    for (const auto* list : {&first, &second})
        for (const SqlAssignment& a : *list) {
            sql += any ? "\n      ," : "\n       ";
            sql += a.first + " = " + a.second;
            any = true;
        }
    sql += "\nwhere " + key;
    return sql;
}

Dialect::TBoundRowSql Dialect::StoreResultRowBoundSql(std::string_view table,
                                                      const std::vector<std::string>& columns) const {
    const std::string t = Table(table);
    TBoundRowSql out;
    out.InsertKey = "insert into " + t + " (prc_date,Prc_PCode) select ?,?\nwhere not exists(select 1 from " + t +
                    " where prc_date=? and Prc_PCode=?)";
    out.Update = "update " + t + " set ";
    out.InsertRow = "insert into " + t + " (prc_date,Prc_PCode";
    std::string marks = "?,?";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        out.Update += (i ? ", " : "") + columns[i] + " = ?";
        out.InsertRow += "," + columns[i];
        marks += ",?";
    }
    out.Update += "\nwhere prc_date=? and Prc_PCode=?";
    out.InsertRow += ")\nvalues (" + marks + ")";
    return out;
}

}  // namespace attcalc
