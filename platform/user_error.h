#pragma once

#include <stdexcept>

namespace platform {

// A failure the user can act on (a file that cannot be written, a number out of range):
// what() is a complete message in Japanese, ready for the message box. Any other
// exception that reaches a command is a defect of the program.
class UserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace platform
