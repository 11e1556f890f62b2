#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace datafiles {

// What the user is told when a command stopped on a defect of the program (anything but a
// UserError): that it stopped, and whether `files` (the data files, or the register) may
// have been written since the count of writes was `writesBefore`.
std::string internalErrorMessage(std::uint64_t writesBefore, std::string_view files);

} // namespace datafiles
