#pragma once

#include "core/meibo.h"
#include "platform/system.h"

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// nenrei-meibo's command line: the window, or a PDF or CSV of the table written without
// any dialog (for administrators, and for the tests under Wine).
namespace meibo {

extern const char kUsage[];

// A command line that nenrei-meibo does not understand; what() says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    std::optional<platform::Date> on;
    std::optional<core::MeiboView> view;
    bool landscape = false;
    std::string pdf; // files to write instead of opening the window
    std::string csv;
    std::string registerPath; // empty for the register in the data folder
    bool help = false;
    bool writes() const { return !pdf.empty() || !csv.empty(); }
};

// Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// Whether the raw arguments ask for files rather than the window, before Qt has started.
bool writesFiles(int argc, const char* const* argv);

// Writes the files the command line asks for, from the register at `registerPath`, and gives
// the exit status: 0 done, 1 a register or file that failed, 3 an internal error. Messages go
// to `err`.
int writeFiles(const CommandLine& line, const std::string& registerPath,
               const platform::Clock& clock, std::ostream& err);

} // namespace meibo
