// Another program for the lock tests: takes a lock on a file, says so, and keeps it until
// it is told to let go.
// Usage: lock_holder FILE shared|exclusive SIGNAL_FOLDER
// Makes SIGNAL_FOLDER/locked once the lock is held; ends when SIGNAL_FOLDER/release
// appears (or after a minute).

#include "platform/files.h"
#include "platform/system.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: lock_holder FILE shared|exclusive SIGNAL_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[3];
    try {
        platform::RecordFile file(argv[1], 42);
        file.lock(std::string(argv[2]) == "shared" ? platform::RecordFile::LockKind::Shared
                                                   : platform::RecordFile::LockKind::Exclusive);
        std::ofstream(platform::joinPath(folder, "locked")).close();
        for (int i = 0; i < 6000 && !std::filesystem::exists(platform::joinPath(folder, "release"));
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lock_holder: %s\n", e.what());
        return 1;
    }
    return 0;
}
