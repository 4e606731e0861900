// The entry point of attcalc: command line, info mode and calculation mode.
#pragma once

#include <memory>
#include <string>
#include <iosfwd>
#include <vector>

#include "run/Context.h"

namespace attcalc {

inline constexpr const char* kCompileDate = "1393/04/04";
inline constexpr const char* kRevision = "10.0";

// Exit statuses.
inline constexpr int kExitOk = 0;       // completed, or stopped where a run stops quietly
inline constexpr int kExitFailed = 1;   // a step failed; one line on standard error says what
inline constexpr int kExitUsage = 2;    // the command line is outside the contract

// Stores the build identity: the "compiledate" and "Revision" rows of init
// with code 999, replacing whatever rows with code 999 were there.
void SaveIniFileDBqv(TRunContext& ctx);

// Steps after the build identity: configuration, salary period, calculation.
// Returns when the run is complete or stops quietly; throws on failure.
void CalculationMode(TRunContext& ctx, const std::string& code, const std::string& yearArg,
                     const std::string& monthArg);

// Decimal integer as the command line gives it: optional sign, digits,
// surrounding spaces allowed. Throws std::invalid_argument otherwise.
int ParseIntArg(const std::string& text, const char* what);

// Why the arguments (after a leading option) are outside the contract, or the
// empty text when they are not: an unknown option, a personnel code that is
// not UTF-8 or has more than 8 characters, a year outside 1 to 9999, a month
// outside 1 to 12. In info mode only options are checked.
std::string CommandLineError(const std::vector<std::string>& args, bool infoMode);

// Throws std::runtime_error when ATTCALC_NOW is set to anything but a
// Jalali date and a time.
void CheckClockOverride();

// Opens the database of the attcalc folder `home` with the connection string
// `cs`; without cs.txt and without clock.db it says how to get a database
// instead of creating an empty one.
std::unique_ptr<Database> OpenConfiguredDatabase(const std::string& home, const std::string& cs);

int AttcalcMain(int argc, char** argv);

}  // namespace attcalc

namespace attcalc {
// Prints the stored rows of a person's salary month, without calculating.
void ReportMode(TRunContext& ctx, const std::string& code, const std::string& yearArg,
                const std::string& monthArg, std::ostream& out, bool csv = false);
}  // namespace attcalc
