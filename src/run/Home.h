// The attcalc folder and the connection string kept in it.
#pragma once

#include <string>

namespace attcalc {

// The built-in connection string: the SQLite database "clock.db" of the
// attcalc folder.
inline constexpr const char* kDefaultConnectionString = "Provider=SQLite;Data Source=clock.db";

// The folder named by ATTCALC_HOME, else the folder of the running program.
std::string AttcalcHome();

// The connection string from "cs.txt" in `home`: every character below 32
// is dropped and reading stops at the first Ctrl-Z. Without the file, the
// built-in default.
std::string ReadConnectionString(const std::string& home);

}  // namespace attcalc
