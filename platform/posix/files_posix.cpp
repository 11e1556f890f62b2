#include "platform/files_native.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The system's file calls over POSIX.
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

std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// Whether the open file is the one `path` names now.
bool namesFile(const std::string& path, int fd) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
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
    case OpenMode::Rewrite:
        fd = ::open(path.c_str(), O_WRONLY | kFlags);
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

int inspect(const std::string& path, Kind& kind) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        kind = Kind::None;
        return errno == ENOENT ? 0 : errno;
    }
    kind = S_ISDIR(st.st_mode) ? Kind::Folder : S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
    return 0;
}

int checkWritable(const std::string& path) {
    // Opening for output is what fails on a file that may not be written, and it respects
    // the capabilities a process runs with, as access() does not.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

int createPrivate(const std::string& path, File& file) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    // Locked until closed, so that another copy waits for it rather than taking it for a
    // leftover. One that found it before the lock may have removed it meanwhile.
    int err = setLock(fd, F_WRLCK, 0, 0);
    if (!err && !namesFile(path, fd))
        err = EAGAIN;
    if (err) {
        ::close(fd);
        return err;
    }
    file = File(fd);
    return 0;
}

int tryRemoveLeftover(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? 0 : errno == ELOOP ? EEXIST : errno;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : 0;
    if (!err && (!S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != ::geteuid()))
        err = EEXIST;
    // The copy writing it holds a lock on it until it has renamed it away.
    if (!err)
        err = setLock(fd, F_WRLCK, 0, 0);
    if (!err && namesFile(path, fd) && ::unlink(path.c_str()) != 0 && errno != ENOENT)
        err = errno;
    ::close(fd);
    return err;
}

int takeAttributes(File& file, const std::string& like) {
    struct stat st {};
    mode_t mode = 0;
    if (::stat(like.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::fchmod(fdOf(file.handle()), mode) == 0 ? 0 : errno;
}

int replace(File& file, const std::string& temp, const std::string& target) {
    // Renamed while still locked, so that no other copy takes it for a leftover first.
    const int err = ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
    file.close();
    return err;
}

int rename(const std::string& from, const std::string& to) {
    // Callers hold the lock under which these names change, so the check cannot race.
    if (exists(to))
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int sameFile(const File& file, const std::string& path, bool& same) {
    same = namesFile(path, fdOf(file.handle()));
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

} // namespace platform
