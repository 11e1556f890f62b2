#pragma once

#include "core/kojin_record.h"
#include "platform/system.h"
#include "platform/user_error.h"

#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// nenrei-csv: the register as CSV and back, without the screens.
namespace csvtool {

// Writes the register at `registerPath` to `out` as CSV: UTF-8 with a byte-order mark,
// CR LF line ends, every value quoted. One row per record, in record order; the western
// birth year and the age are worked out on the date `on`, and with `more` the columns of
// core/reckoning.h too. A cell that a spreadsheet would run as a formula gets an apostrophe
// before it (see unguardedCell). Gives a note for the user when the register ends in a
// partial record, which is left out. Throws storage::FileError when the register cannot
// be read, and platform::UserError when `out` fails.
std::optional<std::string> exportRegister(const std::string& registerPath, const platform::Date& on,
                                          bool more, std::ostream& out);

// The export's columns: the record's fields, the western birth year and the age, and with
// `more` the columns of core/reckoning.h.
std::vector<std::string> exportHeader(bool more);

// One record's row of the export: its fields as the screens show them (without the spaces
// that fill them), then the western birth year and the age as the calculation screen works
// them out once the record is loaded into it on the date `on`, and with `more` the other
// reckonings on the same date; empty where a record gives none.
std::vector<std::string> exportRow(const core::KojinRecord& record, const platform::Date& on,
                                   bool more);

// Appends one CSV line: every value in double quotes (quotes inside doubled, a value that a
// spreadsheet would run as a formula guarded, see unguardedCell), CR LF at its end.
void appendRow(std::string& out, const std::vector<std::string>& values);

// A date written YYYY-MM-DD that exists in the calendar, years 1 to 9999.
std::optional<platform::Date> parseDate(const std::string& text);

// The export writes a value with an apostrophe before it when it starts with =, +, @, a
// tab, a carriage return or an apostrophe, or with - when it is not a plain number (-1,
// -1.5), so that no spreadsheet runs it as a formula. This takes exactly that apostrophe
// away again, so that an exported CSV imports back to the same bytes.
std::string_view unguardedCell(std::string_view cell);

// Appends the rows of a CSV, read a piece at a time through `read` (which gives 0 at its
// end) from the file `csvName`, to the register at `registerPath`, each as the register
// button would store it, and gives the number of records added. The CSV is read as a
// stream in little memory whatever its size. Every row is checked first: any bad row
// throws platform::UserError naming the bad lines, columns and reasons (the first 100), with the
// register untouched; so do more rows than the register can take, as soon as they are
// read. The records are written in one change that lands whole or not at all; a failure
// throws platform::UserError telling whether the register is as it was.
int importCsv(const std::function<std::size_t(char*, std::size_t)>& read,
              const std::string& csvName, const std::string& registerPath);
// The same for a CSV text in memory.
int importCsv(std::string_view csv, const std::string& csvName, const std::string& registerPath);

// The command line (without the program name). Output goes to `out`, messages to `err`.
// `dataFolder` gives the folder of the default register when none is named (the usage
// names it too); it throws platform::UserError when that folder cannot be had. Gives the exit
// status: 0 done, 1 bad data or a file that failed, 2 a wrong command line, 3 an internal error of
// the tool (a defect, told as such with whether the register was written).
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const platform::Clock& clock, const std::function<std::string()>& dataFolder);

} // namespace csvtool
