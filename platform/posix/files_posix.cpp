#include "platform/files.h"
#include "platform/files_native.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// The file services over POSIX calls.
namespace platform {

namespace {

int fdOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// Writes all of `bytes` at `offset`, retrying short writes; 0 or an errno value.
int writeAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return 0;
}

// An errno value for an open file that cannot hold data files: a pipe, a socket or a device
// (a link to /dev/zero would read as an endless value, and a device can be neither cut nor
// put back); with `plain`, anything but a regular file.
int unusableKind(int fd, bool plain = false) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    if (plain)
        return S_ISREG(st.st_mode) ? 0 : EINVAL;
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISCHR(st.st_mode) ||
                   S_ISBLK(st.st_mode)
               ? EINVAL
               : 0;
}

// An open-file-description lock of `type` (F_RDLCK, F_WRLCK, F_UNLCK) on `length` bytes
// from `start`. It belongs to the open file rather than to the process, so two opens of one
// file exclude each other as two programs do, and it conflicts with other programs' fcntl
// and lockf locks. One try: 0, EAGAIN when another holds a lock in the way, or an errno.
int setLock(int fd, short type, off_t start, off_t length) {
    struct flock request {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = start;
    request.l_len = length; // 0: to the end of the file, however long
    while (::fcntl(fd, F_OFD_SETLK, &request) != 0) {
        if (errno == EINTR)
            continue;
        return errno == EACCES ? EAGAIN : errno;
    }
    return 0;
}

// A whole-file lock, tried until `wait` runs out, first often, then every 25 ms; 0 or an
// errno value (EBUSY when the wait ran out).
int lockWithin(int fd, short type, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    int err = 0;
    while ((err = setLock(fd, type, 0, 0)) == EAGAIN) {
        if (std::chrono::steady_clock::now() >= deadline)
            return EBUSY;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(25));
    }
    return err;
}

std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// Whether the open file is the one `path` names now.
bool sameFile(int fd, const std::string& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
}

// Writes `line` as the whole content of the open file and flushes it; 0 or an errno value.
int rewrite(int fd, std::string_view line) {
    if (int err = writeAll(fd, line, 0))
        return err;
    if (::ftruncate(fd, static_cast<off_t>(line.size())) != 0 || ::fsync(fd) != 0)
        return errno;
    return 0;
}

// A temporary of the last-entry file found in the way: left by a save that was stopped, or
// being written by another copy of the program right now. It is removed once that copy is
// done, and only when it is a plain file such as this program writes (one link, the user's
// own); anything else, a link above all, is not this program's to remove. Gives 0 when
// the name is free again, or the errno value that keeps it.
int removeStaleTemporary(const std::string& temp) {
    int fd = ::open(temp.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? 0 : errno == ELOOP ? EEXIST : errno;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : 0;
    if (!err && (!S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != ::geteuid()))
        err = EEXIST;
    // The copy writing it holds a lock on it until it has renamed it away.
    if (!err)
        err = lockWithin(fd, F_WRLCK, RecordFile::kLockWait);
    if (!err && sameFile(fd, temp) && ::unlink(temp.c_str()) != 0 && errno != ENOENT)
        err = errno;
    ::close(fd);
    return err;
}

} // namespace

namespace native {

int File::readAt(std::int64_t offset, char* out, std::size_t size, std::size_t& got) const {
    got = 0;
    while (got < size) {
        ssize_t r = ::pread(fdOf(handle_), out + got, size - got,
                            static_cast<off_t>(offset) + static_cast<off_t>(got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    return 0;
}

int File::read(char* out, std::size_t size, std::size_t& got) {
    for (;;) {
        ssize_t r = ::read(fdOf(handle_), out, size);
        if (r >= 0) {
            got = static_cast<std::size_t>(r);
            return 0;
        }
        if (errno != EINTR)
            return errno;
    }
}

int File::writeAt(std::int64_t offset, std::string_view bytes) {
    return writeAll(fdOf(handle_), bytes, static_cast<off_t>(offset));
}

int File::setLength(std::int64_t length) {
    return ::ftruncate(fdOf(handle_), static_cast<off_t>(length)) == 0 ? 0 : errno;
}

int File::length(std::int64_t& out) const {
    struct stat st {};
    if (::fstat(fdOf(handle_), &st) != 0)
        return errno;
    out = static_cast<std::int64_t>(st.st_size);
    return 0;
}

int File::flush() {
    return ::fdatasync(fdOf(handle_)) == 0 ? 0 : errno;
}

int File::tryLock(std::int64_t start, std::int64_t length, bool exclusive) {
    return setLock(fdOf(handle_), exclusive ? F_WRLCK : F_RDLCK, static_cast<off_t>(start),
                   static_cast<off_t>(length));
}

void File::unlock(std::int64_t start, std::int64_t length) {
    setLock(fdOf(handle_), F_UNLCK, static_cast<off_t>(start), static_cast<off_t>(length));
}

int File::close() {
    if (handle_ == kNone)
        return 0;
    int err = ::close(fdOf(handle_)) == 0 ? 0 : errno;
    handle_ = kNone;
    return err;
}

int open(const std::string& path, OpenMode mode, File& file) {
    // Non-blocking, so that a named pipe in the file's place cannot hang the program.
    constexpr int kFlags = O_CLOEXEC | O_NONBLOCK;
    int fd = -1;
    switch (mode.kind) {
    case OpenMode::ReadWrite: {
        struct stat st {};
        const bool existed = ::stat(path.c_str(), &st) == 0;
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
        if (fd >= 0 && mode.created)
            *mode.created = !existed;
        break;
    }
    case OpenMode::ReadOnly:
        fd = ::open(path.c_str(), O_RDONLY | kFlags);
        break;
    case OpenMode::CreateNew:
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | kFlags, 0600);
        break;
    case OpenMode::Existing:
        fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | kFlags);
        break;
    case OpenMode::Stream:
        // Blocking: a pipe is read as its writer writes.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        break;
    }
    if (fd < 0)
        return errno;
    if (mode.kind == OpenMode::Stream) {
        struct stat st {};
        const int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
        if (err)
            ::close(fd);
        else
            file = File(fd);
        return err;
    }
    const bool plain = mode.kind == OpenMode::CreateNew || mode.kind == OpenMode::Existing;
    if (int err = unusableKind(fd, plain)) {
        ::close(fd);
        return err;
    }
    file = File(fd);
    return 0;
}

int openStandardInput(File& file) {
    const int fd = ::fcntl(0, F_DUPFD_CLOEXEC, 3);
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

int remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

int syncFolderOf(const std::string& path) {
    int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that may not be read cannot be opened to be flushed.
    if (dir < 0)
        return errno == EACCES ? 0 : errno;
    int err = ::fsync(dir) == 0 ? 0 : errno;
    ::close(dir);
    // Some file systems have no flush for a folder; nothing is lost for want of it there.
    return err == EINVAL || err == ENOTSUP || err == EROFS ? 0 : err;
}

std::string resolvedPath(const std::string& path) {
    std::string resolved = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return resolved;
        std::string target(static_cast<std::size_t>(st.st_size) + 256, '\0');
        ssize_t n = ::readlink(resolved.c_str(), target.data(), target.size());
        if (n <= 0)
            return resolved;
        target.resize(static_cast<std::size_t>(n));
        std::string::size_type slash = resolved.find_last_of('/');
        if (target.front() == '/' || slash == std::string::npos)
            resolved = target;
        else
            resolved.replace(slash + 1, std::string::npos, target);
    }
    return resolved;
}

} // namespace native

void writeQuotedLine(const std::string& path, const std::vector<std::string>& values) {
    countWrite();
    const std::string line = quotedLine(values);
    // Links in the file's place stay: the file they lead to is replaced.
    const std::string target = native::resolvedPath(path);
    auto fail = [&](int err, const std::string& file) {
        throw FileError(FileError::Action::Replace, file, err);
    };

    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        fail(EISDIR, path);
    if (exists && !S_ISREG(st.st_mode))
        fail(EINVAL, path);
    mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = exists ? st.st_mode & 07777 : 0666 & ~mask;

    // The line goes to a temporary file that is then renamed over the file, so the file is
    // never left half written. The temporary is made new each time, never through a link
    // or into a file that is already there, and locked until it is renamed, so that another
    // copy of the program saving at the same time waits for it.
    const std::string temp = target + ".tmp";
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        if (attempt == 10)
            fail(EBUSY, path);
        fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            // Another copy that found it before it was locked may have taken it for a
            // stopped save's and removed it.
            if (lockWithin(fd, F_WRLCK, RecordFile::kLockWait) != 0 || !sameFile(fd, temp)) {
                ::close(fd);
                fd = -1;
            }
            continue;
        }
        const int err = errno;
        if (err == EEXIST) {
            if (int kept = removeStaleTemporary(temp))
                fail(kept, temp);
            continue;
        }
        if (!exists || (err != EACCES && err != EPERM))
            fail(err, path);
        // A folder that may not be written, with a file that may: rewrite it in place.
        int in = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (in < 0)
            fail(errno, path);
        int inPlace = lockWithin(in, F_WRLCK, RecordFile::kLockWait);
        if (!inPlace)
            inPlace = rewrite(in, line);
        ::close(in);
        if (inPlace)
            fail(inPlace, path);
        return;
    }
    int err = ::fchmod(fd, mode) != 0 ? errno : rewrite(fd, line);
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err)
        ::unlink(temp.c_str());
    ::close(fd);
    if (err)
        fail(err, path);
    // The rename is only there for good once the folder is on the disk.
    int synced = faults::check("folder flush");
    if (!synced)
        synced = native::syncFolderOf(target);
    if (synced)
        fail(synced, path);
}

std::optional<std::vector<std::string>> readQuotedValues(const std::string& path,
                                                         std::size_t count) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw FileError(FileError::Action::Open, path, errno);
    }
    if (int err = unusableKind(fd)) {
        ::close(fd);
        throw FileError(FileError::Action::Open, path, err);
    }
    std::string text;
    char buffer[4096];
    while (text.size() < kMaxQuotedFileBytes) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            throw FileError(FileError::Action::Read, path, err);
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return parseQuotedValues(text, count);
}

} // namespace platform
