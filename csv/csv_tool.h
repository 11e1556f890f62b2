#pragma once

#include "platform/system.h"

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// nenrei-csv: the register as CSV and back, without the screens.
namespace csvtool {

// Bad input data, or a stream that cannot be written. what() is a complete message in
// Japanese, ready to show to the user.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Most records a register may hold after an import: the largest number a registration
// can give.
inline constexpr int kMaxRecords = 32766;

// Writes the register at `registerPath` to `out` as CSV: UTF-8 with a byte-order mark,
// CR LF line ends, every value quoted. One row per record, in record order; the western
// birth year and the age are worked out on the date `on`. Gives a note for the user when
// the register ends in a partial record, which is left out. Throws platform::FileError
// when the register cannot be read, and DataError when `out` fails.
std::optional<std::string> exportRegister(const std::string& registerPath, const platform::Date& on,
                                          std::ostream& out);

// Appends the rows of the CSV text `csv` (read from the file `csvName`) to the register
// at `registerPath`, each as the register button would store it, and gives the number of
// records added. Every row is checked first: any bad row throws DataError naming each
// bad line, column and reason, with the register untouched. A failed write throws
// platform::FileError with the register cut back to its old bytes.
int importCsv(std::string_view csv, const std::string& csvName, const std::string& registerPath);

// The command line (without the program name). Output goes to `out`, messages to `err`.
// Gives the exit status: 0 done, 1 bad data or a file that failed, 2 a wrong command line.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const platform::Clock& clock, const std::string& programFolder);

} // namespace csvtool
