#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace datafiles {

// What the user is told when a command stopped on a defect of the program (anything but a
// UserError): that it stopped, and whether `files` (the data files, or the register) may
// have been written since the count of writes was `writesBefore`.
std::string internalErrorMessage(std::uint64_t writesBefore, std::string_view files);

// How a command ended.
enum class Outcome { Done, UserError, Defect };

// Runs `command`. What stopped it goes to `tell`: a UserError's own message (and no
// details), or for anything else, a defect of the program, internalErrorMessage() for
// `files` with the exception's text as the details.
Outcome
runCommand(const std::function<void()>& command, std::string_view files,
           const std::function<void(const std::string& message, const std::string& details)>& tell);

// The same for a command-line tool on the register: the messages go to `err`, a defect's
// after the program's name and followed by its details. Gives the exit status: 0 done, 1 a
// UserError, 3 a defect.
int runTool(const std::function<void()>& command, std::string_view program, std::ostream& err);

} // namespace datafiles
