#pragma once

#include "core/module1.h"
#include "datafiles/register.h"

#include <chrono>
#include <memory>
#include <string>

namespace datafiles {

// What the commands share for one run of the program: the shared module, the folder that
// holds the data files, and the register the last command opened, which stays open (not
// locked) until the next command opens it again or the program ends.
struct Session {
    core::Module1 m;
    std::string folder;
    // How long a command waits for another program to let go of the register.
    std::chrono::milliseconds lockWait = kLockWait;
    std::unique_ptr<Register> open;

    // Closes every open file. Never fails, also when nothing is open.
    void closeAll() { open.reset(); }
};

} // namespace datafiles
