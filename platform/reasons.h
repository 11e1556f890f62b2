#pragma once

#include <string>

namespace platform {

// The reason for an errno value, in Japanese, the same on every system (Win32 errors are
// mapped to the errno value of the same meaning).
std::string reasonText(int errnum);

} // namespace platform
