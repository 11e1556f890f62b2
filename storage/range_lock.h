#pragma once

#include "platform/files_native.h"

#include <chrono>
#include <functional>

// Locks on byte ranges of an open file, and the one way storage waits for anything.
namespace storage {

using Deadline = std::chrono::steady_clock::time_point;

// Tries `attempt` until it gives something other than EAGAIN ("not now, try again"), with
// pauses that grow from 1 ms to 25 ms, at most until `deadline`. Gives its last result, or
// EBUSY when the wait ran out.
int retryUntil(Deadline deadline, const std::function<int()>& attempt);

enum class LockKind { Shared, Exclusive };

// The lock of a record file against other programs and other opens in this one: the records
// under one range, and past any record a "pending" byte. A program waiting for an exclusive
// lock holds the pending byte; every shared lock passes it for a moment, so that while a
// writer waits no new reader comes in, and a stream of readers cannot keep a writer out.
class RangeLock {
public:
    explicit RangeLock(platform::native::File& file) : file_(file) {}

    // Takes the lock of `kind`, waiting at most until `deadline`; 0 or an errno value (EBUSY
    // when the wait ran out).
    int take(LockKind kind, Deadline deadline);
    void release();

private:
    platform::native::File& file_;
    bool held_ = false;
};

} // namespace storage
