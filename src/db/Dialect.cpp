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

}  // namespace attcalc
