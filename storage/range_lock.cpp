#include "storage/range_lock.h"

#include "storage/seam.h"

#include <algorithm>
#include <cerrno>
#include <thread>

namespace storage {

namespace {
// Past any record a file can hold.
constexpr std::int64_t kPendingByte = std::int64_t{1} << 62;
} // namespace

int retryUntil(Deadline deadline, const std::function<int()>& attempt) {
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const int err = attempt();
        if (err != EAGAIN)
            return err;
        if (std::chrono::steady_clock::now() >= deadline)
            return EBUSY;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(25));
    }
}

int RangeLock::take(LockKind kind, Deadline deadline) {
    release();
    const bool exclusive = kind == LockKind::Exclusive;
    auto tryLock = [&](std::int64_t start, std::int64_t length) {
        return call("lock", [&] { return file_.tryLock(start, length, exclusive); });
    };
    int err = 0;
    if (exclusive) {
        // The pending byte first, held while the readers inside finish, so that no new
        // reader comes in meanwhile.
        err = retryUntil(deadline, [&] { return tryLock(kPendingByte, 1); });
        if (!err) {
            err = retryUntil(deadline, [&] { return tryLock(0, kPendingByte); });
            file_.unlock(kPendingByte, 1);
        }
    } else {
        // A reader passes the pending byte (shared, for a moment) on each try, and so waits
        // while a writer holds it.
        err = retryUntil(deadline, [&] {
            int e = tryLock(kPendingByte, 1);
            if (!e) {
                e = tryLock(0, kPendingByte);
                file_.unlock(kPendingByte, 1);
            }
            return e;
        });
    }
    held_ = err == 0;
    return err;
}

void RangeLock::release() {
    if (!held_)
        return;
    file_.unlock(0, kPendingByte);
    held_ = false;
}

} // namespace storage
