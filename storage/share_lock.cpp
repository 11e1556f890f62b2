#include "storage/share_lock.h"

#include "platform/system.h"
#include "storage/file_error.h"
#include "storage/seam.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

namespace storage {

namespace native = platform::native;

namespace {

constexpr std::string_view kMagic = "nenrei lock 1\n";
constexpr std::string_view kBeatField = "beat: ";
constexpr std::size_t kBeatDigits = 10;
// No lock file of this program's is longer.
constexpr std::size_t kMaxBytes = 4096;

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// The value of the line "field: value" of a lock file, or nothing.
std::optional<std::string> field(std::string_view text, std::string_view name) {
    if (!text.starts_with(kMagic))
        return std::nullopt;
    const std::string start = "\n" + std::string(name) + ": ";
    const auto at = text.find(start);
    if (at == std::string_view::npos)
        return std::nullopt;
    const auto from = at + start.size();
    const auto end = text.find('\n', from);
    if (end == std::string_view::npos)
        return std::nullopt;
    return std::string(text.substr(from, end - from));
}

std::string beatDigits(std::uint64_t beat) {
    char digits[kBeatDigits + 1];
    std::snprintf(digits, sizeof digits, "%010llu",
                  static_cast<unsigned long long>(beat % 10000000000ull));
    return digits;
}

// The bytes of the file at `path`, as far as a lock file goes; 0 or an errno value.
int readLockFile(const std::string& path, std::string& text) {
    native::File file;
    if (int err = native::open(path, {native::OpenMode::ReadOnly}, file))
        return err;
    text.assign(kMaxBytes, '\0');
    std::size_t got = 0;
    const int err = file.readAt(0, text.data(), text.size(), got);
    text.resize(got);
    return err;
}

} // namespace

// Advances the beat of the lock file every kBeat while it is held, so that other computers
// can tell it from one left by a crash. Not through the seam: it runs on a clock of its own,
// and the fault tests count calls in their order.
struct ShareLock::Beat {
    Beat(native::File& file, std::int64_t at)
        : thread([this, &file, at] {
              std::unique_lock<std::mutex> lock(mutex);
              for (std::uint64_t beat = 1; !wake.wait_for(lock, kBeat, [this] { return stop; });
                   ++beat) {
                  file.writeAt(at, beatDigits(beat));
                  file.flush();
              }
          }) {}
    ~Beat() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        wake.notify_all();
        thread.join();
    }
    Beat(const Beat&) = delete;
    Beat& operator=(const Beat&) = delete;

    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    std::thread thread;
};

ShareLock::ShareLock(const std::string& path, std::string shownPath)
    : lockPath_(path + ".lock"), shownPath_(std::move(shownPath)),
      identity_(platform::computerIdentity(folderOf(path))) {}

ShareLock::~ShareLock() {
    release();
}

int ShareLock::tryTake(std::string& holder, bool& incomplete) {
    native::File file;
    int err = call("lock create",
                   [&] { return native::open(lockPath_, {native::OpenMode::CreateNew}, file); });
    if (err == 0) {
        // Made here: this computer's until its last member leaves.
        const std::string text = std::string(kMagic) + "computer: " + identity_ +
                                 "\nname: " + platform::computerName() +
                                 "\nprocess: " + std::to_string(platform::processId()) +
                                 "\nsince: " + platform::localTimestamp() + "\n" +
                                 std::string(kBeatField) + beatDigits(0) + "\n";
        err = file.tryLock(0, 1, false);
        if (!err)
            err = writeCall("lock write", file, 0, text);
        bool same = false;
        if (!err)
            err = native::sameFile(file, lockPath_, same);
        if (err) {
            file.close();
            native::remove(lockPath_);
            throw FileError(FileError::Action::Lock, lockPath_, err);
        }
        // A waiter that found it still empty long enough took it for one left over.
        if (!same)
            return EAGAIN;
        file_ = std::move(file);
        beat_ =
            std::make_unique<Beat>(file_, static_cast<std::int64_t>(text.size() - kBeatDigits - 1));
        held_ = true;
        return 0;
    }
    if (err == EINVAL || err == ENOTSUP || err == ENOSYS
#if defined(EOPNOTSUPP) && EOPNOTSUPP != ENOTSUP
        || err == EOPNOTSUPP
#endif
    )
        throw ShareError::unsafe(shownPath_, lockPath_);
    const bool mayNotMake = err == EACCES || err == EPERM || err == EROFS;
    if (mayNotMake && !native::exists(lockPath_))
        return 0; // nothing this program writes can be made here either
    if (err != EEXIST && !mayNotMake)
        throw FileError(FileError::Action::Lock, lockPath_, err);

    // Someone's: this computer's to join, or another's to wait for.
    if (readLockFile(lockPath_, holder) == ENOENT)
        return EAGAIN; // let go of just now
    const auto identity = field(holder, "computer");
    if (!identity || !field(holder, "beat")) {
        incomplete = true; // being written this moment, or left so by a program that died
        return EAGAIN;
    }
    if (*identity != identity_)
        return EAGAIN; // another computer's
    if (mayNotMake)
        return 0; // this computer's, and nothing can be written here
    err = call("lock open",
               [&] { return native::open(lockPath_, {native::OpenMode::Existing}, file); });
    if (!err)
        err = file.tryLock(0, 1, false);
    bool same = false;
    if (!err)
        err = native::sameFile(file, lockPath_, same);
    // Gone meanwhile, or being removed by its last member: look again.
    if (err == ENOENT || err == EAGAIN || (!err && !same))
        return EAGAIN;
    if (err)
        throw FileError(FileError::Action::Lock, lockPath_, err);
    file_ = std::move(file);
    beat_ = std::make_unique<Beat>(
        file_, static_cast<std::int64_t>(holder.rfind(kBeatField) + kBeatField.size()));
    held_ = true;
    return 0;
}

void ShareLock::breakStale(const std::string& stale) {
    const std::string aside =
        lockPath_ + "-" + std::to_string(platform::processId()) + "-" + platform::localTimestamp();
    if (call("lock rename", [&] { return native::rename(lockPath_, aside); }))
        return; // gone already, or taken by another waiter: look again
    std::string moved;
    readLockFile(aside, moved);
    if (moved != stale) {
        // Another waiter broke it first and made a new one, which this one moved: put back.
        native::rename(aside, lockPath_);
        return;
    }
    // A file that is not a lock of this program's stays, under the new name.
    if (moved.empty() || field(moved, "computer"))
        call("lock remove", [&] { return native::remove(aside); });
}

void ShareLock::take(Deadline deadline) {
    if (held_)
        return;
    std::string seen;
    auto seenAt = std::chrono::steady_clock::now();
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        std::string holder;
        bool incomplete = false;
        if (tryTake(holder, incomplete) == 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (holder != seen) {
            seen = holder;
            seenAt = now;
        } else if (now - seenAt >= (incomplete ? kMaking : kStale)) {
            // Its beat has stood still: its holder is gone.
            breakStale(holder);
            seen.clear();
            continue;
        }
        // Telling a lock left by a crash takes kStale; a live holder is waited for a little
        // longer than the wait asked for, but not for ever.
        const Deadline until =
            std::min(std::max(deadline, seenAt + kStale + kBeat), deadline + 3 * kStale);
        if (now >= until)
            throw ShareError::busy(shownPath_, lockPath_, field(holder, "name"),
                                   field(holder, "process"), field(holder, "since"));
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

void ShareLock::release() {
    if (!held_)
        return;
    beat_.reset();
    held_ = false;
    // The last member removes it: the one that can lock it alone.
    file_.unlock(0, 1);
    bool same = false;
    if (file_.tryLock(0, 1, true) == 0 && native::sameFile(file_, lockPath_, same) == 0 && same)
        call("lock remove", [&] { return native::remove(lockPath_); });
    file_.close();
}

} // namespace storage
