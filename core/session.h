#pragma once

#include "core/module1.h"
#include "platform/files.h"

#include <string>

namespace core {

// What the commands share for one run of the program: the shared module, the files held
// open under their numbers, and the folder that holds the data files.
struct Session {
    Module1 m;
    platform::FileTable files;
    std::string folder;
};

} // namespace core
