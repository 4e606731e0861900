// The SQL of the database servers reached through ODBC: PostgreSQL (also used
// for any server the driver does not name as SQL Server) and SQL Server.
#pragma once

#include <memory>
#include <string_view>

#include "db/Dialect.h"

namespace attcalc {

std::unique_ptr<Dialect> MakePostgresDialect();
std::unique_ptr<Dialect> MakeSqlServerDialect();
// A server that is neither: PostgreSQL's SQL, which is the closest to the
// standard, under the name "odbc".
std::unique_ptr<Dialect> MakeGenericOdbcDialect();

// The dialect for the name a driver reports as its DBMS (SQL_DBMS_NAME).
std::unique_ptr<Dialect> DialectForDbmsName(std::string_view dbmsName);

}  // namespace attcalc
