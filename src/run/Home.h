// The attcalc folder and the connection string kept in it.
#pragma once

#include <cstddef>
#include <string>

namespace attcalc {

// The built-in connection string: the SQLite database "clock.db" of the
// attcalc folder.
inline constexpr const char* kDefaultConnectionString = "Provider=SQLite;Data Source=clock.db";

// The folder named by ATTCALC_HOME, else the folder of the running program.
// ATTCALC_HOME set but empty, or naming no existing folder, throws
// std::runtime_error naming it.
std::string AttcalcHome();

// Whether `home` holds a cs.txt (else the built-in default is in use).
bool HasConnectionFile(const std::string& home);

// The largest cs.txt that is read.
inline constexpr std::size_t kMaxConnectionFileBytes = 64 * 1024;

// The connection string from "cs.txt" in `home`: every character below 32
// is dropped and reading stops at the first Ctrl-Z. Without the file, the
// built-in default. A file larger than 64 KiB throws std::runtime_error.
std::string ReadConnectionString(const std::string& home);

}  // namespace attcalc
