// Small helpers shared by the readers of the input stage.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace attcalc {

struct TRunContext;

// The month tables prefix + yyyymm from the month of `from` to that of `to`,
// in month order; empty when `to` lies in an earlier month than `from`.
std::vector<std::string> InputMonthTables(std::string_view prefix, const std::string& from,
                                          const std::string& to);

// A text literal and a table name as the connection's dialect writes them.
std::string InputQuote(const TRunContext& ctx, std::string_view text);
std::string InputTable(const TRunContext& ctx, std::string_view name);

// True when the fixed table exists; a missing fixed table reads as empty.
bool InputTableExists(TRunContext& ctx, std::string_view name);

// The integer value of a text as a grid or text column holds it: optional
// leading "-" or "+" and digits only. Throws std::runtime_error naming the
// table, column and value when the text is not such an integer.
int InputParseInt(std::string_view text, std::string_view table, std::string_view column);

}  // namespace attcalc
