// ODBC backend (unixODBC): PostgreSQL through its ODBC driver, SQL Server
// through FreeTDS or the vendor's driver.
#include "db/Database.h"

namespace attcalc {

std::unique_ptr<Database> OpenOdbc(const std::string& odbcConnectionString, bool sqlServer) {
    throw DbError("ODBC backend not available yet");
}

}  // namespace attcalc
