// Another program for the lock tests: takes a lock on a file, says so, and keeps it until
// it is told to let go; or, as a reader that never stops, takes a shared lock again and
// again, each time for 20 ms, with no pause between.
// Usage: lock_holder FILE shared|exclusive|reading SIGNAL_FOLDER
// Makes SIGNAL_FOLDER/locked once the lock is held; ends when SIGNAL_FOLDER/release
// appears (or after a minute).

#include "platform/standard_streams.h"
#include "platform/system.h"
#include "storage/record_file.h"
#include "tests/support/test_support.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    const std::vector<std::string> args = platform::programArguments(argc, argv);
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: lock_holder FILE shared|exclusive SIGNAL_FOLDER\n");
        return 2;
    }
    const std::string folder = args[2];
    try {
        const std::string mode = args[1];
        const auto kind = mode == "exclusive" ? storage::RecordFile::LockKind::Exclusive
                                              : storage::RecordFile::LockKind::Shared;
        const bool reading = mode == "reading";
        storage::RecordFile file(args[0], 42, testing_support::kRecords);
        file.lock(kind);
        testing_support::writeBytes(platform::joinPath(folder, "locked"), "");
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (std::chrono::steady_clock::now() < end &&
               !std::filesystem::exists(
                   testing_support::fsPath(platform::joinPath(folder, "release")))) {
            std::this_thread::sleep_for(std::chrono::milliseconds(reading ? 20 : 10));
            if (reading) {
                file.unlock();
                file.lock(kind, std::chrono::minutes(1));
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lock_holder: %s\n", e.what());
        return 1;
    }
    return 0;
}
