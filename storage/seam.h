#pragma once

#include "platform/files_native.h"

#include <cstdint>
#include <string_view>

// The seam between the storage engine and the system: every call that storage makes to the
// file system passes through here, where the crash and fault tests can stop it, and where
// the writes are counted.
namespace storage {

// A hook for the crash and fault tests: when one is set, it is called with the name of each
// call to the system that storage makes (the register, its journal, its lock file, the small
// files), before the call. It may end the process there, as a crash would, or give an errno
// value that the call then fails with, as a failing disk would; 0 lets the call go ahead.
// For a write it may give kTear: half of the bytes are then written and the hook is called
// again with "torn" (where it may end the process, as a power cut would leave the disk).
// The programs themselves never set one.
namespace faults {
using Hook = int (*)(const char* call);
inline constexpr int kTear = -1;
void setHook(Hook hook);
// What the hook says of `call`: 0 when none is set.
int check(const char* call);
} // namespace faults

// One call to the system, named for the fault tests; 0 or an errno value.
template <typename Call> int call(const char* name, Call&& system) {
    if (int err = faults::check(name))
        return err;
    return system();
}

// A write of `bytes` at `offset`, which the fault tests may also cut in half.
int writeCall(const char* name, platform::native::File& file, std::int64_t offset,
              std::string_view bytes);

// How many writes this process has started through storage. A command that leaves it as
// it was has changed no file.
std::uint64_t writesStarted();

// Counts a write that is about to start.
void countWrite();

} // namespace storage
