#include "inputs/InputTables.h"

#include <stdexcept>

#include "db/Catalogue.h"
#include "db/Dialect.h"
#include "run/Context.h"

namespace attcalc {

std::vector<std::string> InputMonthTables(std::string_view prefix, const std::string& from,
                                          const std::string& to) {
    std::vector<std::string> names;
    std::string name = MonthTableName(prefix, from);
    const std::string last = MonthTableName(prefix, to);
    // Names of one prefix order like their months; a generous bound keeps a
    // malformed range from looping.
    for (int i = 0; i < 1200 && name <= last; ++i) {
        names.push_back(name);
        name = NextMonthTableName(name);
    }
    return names;
}

std::string InputQuote(const TRunContext& ctx, std::string_view text) { return ctx.db->dialect().Quote(text); }

std::string InputTable(const TRunContext& ctx, std::string_view name) { return ctx.db->dialect().Table(name); }

bool InputTableExists(TRunContext& ctx, std::string_view name) { return TableExists(ctx, name); }

int InputParseInt(std::string_view text, std::string_view table, std::string_view column) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size())
        throw std::runtime_error("table " + std::string(table) + ", column " + std::string(column) +
                                 ": value '" + std::string(text) + "' is not an integer");
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9' || v > 100000000)
            throw std::runtime_error("table " + std::string(table) + ", column " + std::string(column) +
                                     ": value '" + std::string(text) + "' is not an integer");
        v = v * 10 + (c - '0');
    }
    return static_cast<int>(negative ? -v : v);
}

}  // namespace attcalc
