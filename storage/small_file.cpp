#include "storage/small_file.h"

#include "platform/files_native.h"
#include "storage/file_error.h"
#include "storage/range_lock.h"
#include "storage/record_file.h"
#include "storage/seam.h"

#include <cerrno>

namespace storage {

namespace native = platform::native;

namespace {

// Writes `bytes` as the whole content of an open file and flushes it.
int rewrite(native::File& file, std::string_view bytes) {
    // Written over the old bytes first and cut after, so that a failure never leaves it
    // empty.
    int err = writeCall("write", file, 0, bytes);
    if (!err)
        err = call("truncate",
                   [&] { return file.setLength(static_cast<std::int64_t>(bytes.size())); });
    if (!err)
        err = call("flush", [&] { return file.flush(); });
    return err;
}

// The file rewritten where it is, under a lock that another copy doing the same waits for.
// The lock stands past any byte the file holds, so that readers are not kept out.
int rewriteInPlace(const std::string& target, std::string_view bytes, Deadline deadline) {
    constexpr std::int64_t kLockByte = std::int64_t{1} << 62;
    native::File file;
    int err = native::open(target, {native::OpenMode::Rewrite}, file);
    if (!err)
        err = retryUntil(deadline, [&] { return file.tryLock(kLockByte, 1, true); });
    if (!err)
        err = rewrite(file, bytes);
    return err;
}

} // namespace

std::optional<std::string> readSmallFile(const std::string& path, std::size_t limit) {
    native::File file;
    if (int err = native::open(path, {native::OpenMode::ReadOnly}, file)) {
        if (err == ENOENT)
            return std::nullopt;
        throw FileError(FileError::Action::Open, path, err);
    }
    std::string bytes(limit, '\0');
    std::size_t got = 0;
    if (int err = file.readAt(0, bytes.data(), bytes.size(), got))
        throw FileError(FileError::Action::Read, path, err);
    bytes.resize(got);
    return bytes;
}

void replaceSmallFile(const std::string& path, std::string_view bytes) {
    countWrite();
    auto fail = [&](int err, const std::string& file) {
        throw FileError(FileError::Action::Replace, file, err);
    };
    // Links in the file's place stay: the file they lead to is replaced.
    const std::string target = native::resolvedPath(path);
    native::Kind kind = native::Kind::None;
    if (int err = native::inspect(target, kind))
        fail(err, path);
    if (kind == native::Kind::Folder)
        fail(EISDIR, path);
    if (kind == native::Kind::Other)
        fail(EINVAL, path);
    const bool exists = kind == native::Kind::File;
    // What opening it for output would refuse (a file marked read-only, one another program
    // holds) is refused before anything is written.
    if (exists)
        if (int err = call("check", [&] { return native::checkWritable(target); }))
            fail(err, path);

    const std::string temp = target + ".tmp";
    const Deadline deadline = std::chrono::steady_clock::now() + RecordFile::kLockWait;
    native::File file;
    bool inTheWay = false; // a temporary of that name stops the save
    int err = retryUntil(deadline, [&] {
        int e = call("create", [&] { return native::createPrivate(temp, file); });
        if (e != EEXIST)
            return e;
        // Left by a save that stopped, or another copy's save under way, which is waited for.
        e = native::tryRemoveLeftover(temp);
        inTheWay = e != 0 && e != EAGAIN;
        return e == 0 ? EAGAIN : e;
    });
    if (err && inTheWay)
        fail(err, temp);
    if ((err == EACCES || err == EPERM) && exists) {
        // A folder that takes no new file, with a file that may be written.
        if (int e = rewriteInPlace(target, bytes, deadline))
            fail(e, path);
        return;
    }
    if (err)
        fail(err, path);
    err = native::takeAttributes(file, target);
    if (!err)
        err = rewrite(file, bytes);
    if (!err)
        err = call("rename", [&] { return native::replace(file, temp, target); });
    if (err) {
        file.close();
        native::remove(temp);
        fail(err, path);
    }
    // The new name is only there for good once the folder is on the disk.
    if (int e = call("folder flush", [&] { return native::syncFolderOf(target); }))
        fail(e, path);
}

} // namespace storage
