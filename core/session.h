#pragma once

#include "core/module1.h"
#include "platform/files.h"

#include <chrono>
#include <string>

namespace core {

// What the commands share for one run of the program: the shared module, the files held
// open under their numbers, and the folder that holds the data files.
struct Session {
    Module1 m;
    platform::FileTable files;
    std::string folder;
    // How long a command waits for another program to let go of the register.
    std::chrono::milliseconds lockWait = platform::RecordFile::kLockWait;
};

} // namespace core
