#pragma once

#include <ostream>
#include <string>
#include <vector>

// The program's command line and its standard output and error, as UTF-8 text on every
// system.
namespace platform {

// The arguments after the program's name, in UTF-8. Windows hands a program its command
// line in UTF-16; the narrow argv of the C runtime holds it in the ANSI code page, which
// cannot hold every name a user gives a file, so it is not used there.
std::vector<std::string> programArguments(int argc, char** argv);

enum class StandardStream { Output, Error };

// Standard output or standard error as a stream of UTF-8 text. A console shows it as
// characters (on Windows through the console's wide calls, whatever code page it uses); a
// file, a pipe or the null device gets the UTF-8 bytes as they are, the same on every
// system. A write that fails sets the stream's badbit.
std::ostream& standardStream(StandardStream which);

namespace native {
// Writes UTF-8 text to a standard stream; 0 or an errno value. A character cut in two
// between two calls is shown whole once its rest arrives.
int writeStandard(StandardStream which, std::string_view text);
} // namespace native

} // namespace platform
