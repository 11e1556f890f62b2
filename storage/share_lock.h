#pragma once

#include "platform/files_native.h"
#include "storage/range_lock.h"

#include <chrono>
#include <memory>
#include <string>

// What keeps computers on a shared folder taking turns with a record file.
//
// Byte-range locks bind the programs of one computer, but a share that does not carry them
// to its server (sshfs and other FUSE mounts, SMB mounted with nobrl) lets the programs of
// two computers in at once, and one might read a half-written file or play back the
// journal of a write still under way. So whoever reads or writes the file holds, besides
// its byte-range lock, the lock file beside it (its name with ".lock" added), made by
// exclusive create, which a share makes atomic at its server.
//
// The lock file belongs to one computer at a time: the one whose programs made it. Another
// program of that computer joins it rather than waiting (their byte-range locks already
// keep them in turn), holding a shared byte-range lock on the lock file while it is a
// member; the last member to leave removes it. A program of another computer waits.
//
// The file tells who holds it: the computer (its name, its machine identity and the mount
// its programs see the folder through), the process, since when, and a beat that every
// member advances each second while it holds the file. A lock of this computer left by a
// crash is joined and removed like any other. One of another computer is broken only when
// its beat has stood still for kStale by the waiter's own clock, so that no two clocks
// need agree: the waiter waits that long when it must. One never written whole is left over
// once it has stayed so for kMaking. A share that cannot create a file exclusively is
// refused with the reason, since no lock can be safe there; one that caches attributes
// cannot be told from the inside, and the README names the options a share needs.
namespace storage {

class ShareLock {
public:
    static constexpr std::chrono::seconds kBeat{1};
    static constexpr std::chrono::seconds kStale{10};
    // A lock file is written at once by its maker: one that stays unwritten this long was
    // left by a program that died in between.
    static constexpr std::chrono::seconds kMaking{1};

    // The lock of the file at `path` (links resolved), for messages named `shownPath`.
    ShareLock(const std::string& path, std::string shownPath);
    ~ShareLock();
    ShareLock(const ShareLock&) = delete;
    ShareLock& operator=(const ShareLock&) = delete;

    // Takes this computer's turn, waiting until `deadline` (longer when it takes that to
    // tell that another computer's lock was left by a crash). Throws FileError saying who
    // holds it when the wait runs out, and when the share cannot keep the promise. A folder
    // in which no lock file can be made (no right to) is used without one, as nothing this
    // program writes can be made there either.
    void take(Deadline deadline);
    void release();

    const std::string& lockPath() const { return lockPath_; }

private:
    struct Beat;
    // One try: 0 when taken or joined, EAGAIN when another computer holds it (`holder` gets
    // what its file says) or it is changing hands; `incomplete` when its file is not (yet)
    // written whole.
    int tryTake(std::string& holder, bool& incomplete);
    // Moves a lock file whose beat stood still out of the way, once it still says `stale`.
    void breakStale(const std::string& stale);

    std::string lockPath_, shownPath_, identity_;
    platform::native::File file_;
    std::unique_ptr<Beat> beat_;
    bool held_ = false;
};

} // namespace storage
