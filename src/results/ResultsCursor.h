// The results cursor: the run's one reader of the stored rows of one person in
// one month result table, and the name of the table the run currently works
// on. The period driver opens it on the table of the day before the period,
// the input stage looks up the stored day before the period through it, and
// the month-total writer finds the month row with it.
//
// The rows are read in one query when the cursor is opened and kept in
// memory; a write through the writers of this layer marks the cursor stale,
// so that the next lookup reads the table again.
#pragma once

#include <string>
#include <string_view>

#include "db/Database.h"
#include "results/DayRecord.h"

namespace attcalc {

struct TRunContext;

struct TResultsCursor {
    bool Created = false;      // OpenResultsCursor was called and the cursor not freed
    bool IsOpen = false;       // Rows holds the current rows of Table
    std::string PCode;         // the person whose rows it reads
    std::string Table;         // the table its statement reads
    Rows rows;
    std::string CurrentTable;  // the current results table of the run ("" = none)
};

// Gives the cursor the statement over the rows of `pcode` in `table`, without
// reading them yet.
void OpenResultsCursor(TRunContext& ctx, const std::string& pcode, const std::string& table);
// Closes the cursor and points it at another table (not read yet either).
void RetargetResultsCursor(TRunContext& ctx, const std::string& pcode, const std::string& table);
// Reads the rows of the cursor's statement (one query).
void ResultsCursorOpen(TRunContext& ctx);
// Reads only what finding one row of the cursor's person needs: the rows of
// that date, with the personnel code, the date and the changed mark. A
// caller that only locates the row and reads that mark gets what a full
// read gives, without reading every column of the person's month.
void ResultsCursorOpenRow(TRunContext& ctx, const std::string& date);
// Forgets the rows read; the statement stays.
void CloseResultsCursor(TRunContext& ctx);
// Forgets everything but the current results table name.
void FreeResultsCursor(TRunContext& ctx);

// Row index in ctx.results.rows of the stored row (pcode, date) of the open
// cursor, or -1. Letter case of the code is compared as stored.
int ResultsCursorLocate(TRunContext& ctx, std::string_view pcode, std::string_view date);

// The stored row (pcode, date) through the cursor: when the result table of
// `date` is not the current one it becomes current (created first when
// missing) and the cursor is opened on it; an unopened or stale cursor is
// read again. Returns the row index in ctx.results.rows, or -1.
int SeekResultRow(TRunContext& ctx, const std::string& pcode, const std::string& date);

// Fills a record from row `row` of `rows` (every stored column present in the
// rows; missing columns keep the record's defaults, nulls read as 0 or "").
// A malformed number throws DbError naming the table, column and value.
void ReadDayRecord(const Rows& rows, std::size_t row, TDayRecord& r);

}  // namespace attcalc
