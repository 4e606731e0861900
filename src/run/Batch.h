// Batch mode: the salary month of many persons in one process.
//
//   attcalc --all <year> <month> [--jobs N] [--shard K/N]
//   attcalc --codes <file|-> <year> <month> [--jobs N]
//
// Each person is calculated from a fresh run context, exactly as the
// single-person command would calculate it, and stored under a savepoint of
// its own: a person whose calculation fails is undone alone and reported at
// the end. The writes of many persons commit together, so that a company's
// month costs few syncs; a killed batch leaves every person's month either as
// it was or wholly new.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace attcalc {

struct TBatchOptions {
    bool All = false;             // --all: every person of "persons"
    std::string CodesFile;        // --codes: a file of personnel codes, "-" for standard input
    std::string YearArg, MonthArg;
    int Jobs = 0;                 // 0: the number of cores
    int ShardK = 1, ShardN = 1;   // --shard K/N
};

// True when the first argument asks for batch mode.
bool IsBatchCommand(const std::vector<std::string>& args);

// Reads the batch command line. Throws std::invalid_argument with a short
// text for a command line outside the contract.
TBatchOptions ParseBatchArgs(const std::vector<std::string>& args);

// The persons of a batch in personnel-code order (byte order of the codes),
// each once, the shard applied.
std::vector<std::string> BatchPersons(const std::vector<std::string>& codes, int shardK, int shardN);

// Runs the batch and returns the exit status: 0 when every person was
// calculated, 1 when any failed (they are listed on `err`).
int BatchMain(const TBatchOptions& opt, std::istream& in, std::ostream& err);

}  // namespace attcalc
