#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// The file services over POSIX calls.
namespace platform {

namespace {

// Writes all of `bytes` at `offset`, retrying short writes.
bool writeAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

// An errno value for an open file that cannot hold data files: a pipe or a socket, and
// with `devices` a device too (a link to /dev/zero would read as an endless value).
int unusableKind(int fd, bool devices) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    bool device = S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode);
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || (devices && device) ? EINVAL : 0;
}

// Takes an open-file-description lock of `type` (F_RDLCK, F_WRLCK) over the whole file.
// It belongs to the open file rather than to the process, so two opens of one file exclude
// each other as two programs do, and it conflicts with other programs' fcntl and lockf
// locks. Tries until `wait` runs out, first often, then every 25 ms; gives 0 or an errno
// value (EBUSY when the wait ran out).
int lockWithin(int fd, short type, std::chrono::milliseconds wait) {
    struct flock request {};
    request.l_type = type;
    request.l_whence = SEEK_SET; // l_start 0, l_len 0: the whole file, however long
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    while (::fcntl(fd, F_OFD_SETLK, &request) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EACCES)
            return errno;
        if (std::chrono::steady_clock::now() >= deadline)
            return EBUSY;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(25));
    }
    return 0;
}

// The file a path names, following symbolic links (also one that points nowhere yet), so
// that replacing it leaves the links in place.
std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(st.st_size) + 256, '\0');
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0)
            return path;
        target.resize(static_cast<std::size_t>(n));
        std::string::size_type slash = path.find_last_of('/');
        if (target.front() == '/' || slash == std::string::npos)
            path = target;
        else
            path.replace(slash + 1, std::string::npos, target);
    }
    return path;
}

std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// Makes a rename in `folder` durable. Some file systems cannot sync a folder; the data is
// on the disk already, so that is not reported.
void syncFolder(const std::string& folder) {
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Writes `line` as the whole content of the open file and flushes it; 0 or an errno value.
int rewrite(int fd, std::string_view line) {
    if (!writeAll(fd, line, 0) || ::ftruncate(fd, static_cast<off_t>(line.size())) != 0 ||
        ::fsync(fd) != 0)
        return errno;
    return 0;
}

// Temporary files named path.XXXXXX that earlier versions of the program left behind when
// they were stopped while saving. One not touched for a minute is no other copy's save in
// progress.
void removeOldTemporaries(const std::string& path) {
    const std::string folder = folderOf(path);
    const std::string prefix = path.substr(folder.size()) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const auto now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix ||
            !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            continue;
        std::string old = folder + std::string(name);
        struct stat st {};
        if (::lstat(old.c_str(), &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime > 60)
            ::unlink(old.c_str());
    }
    ::closedir(dir);
}

} // namespace

RecordFile::RecordFile(std::string path, int recordLength)
    : path_(std::move(path)), recordLength_(recordLength) {
    // Non-blocking, so that a named pipe in the file's place cannot hang the program.
    constexpr int kFlags = O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // A file that may be read but not written can still be searched and listed;
        // writing to it then fails with the reason the first open gave.
        writeErrno_ = errno;
        fd = ::open(path_.c_str(), O_RDONLY | kFlags);
        if (fd < 0)
            errno = writeErrno_;
    }
    if (fd < 0)
        throw FileError(FileError::Action::Open, path_, errno);
    if (int err = unusableKind(fd, false)) {
        ::close(fd);
        throw FileError(FileError::Action::Open, path_, err);
    }
    handle_ = fd;
}

RecordFile::~RecordFile() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

std::string RecordFile::read(std::int64_t n) {
    const int fd = static_cast<int>(handle_);
    std::string bytes(static_cast<std::size_t>(recordLength_), '\0');
    off_t offset = static_cast<off_t>(n - 1) * recordLength_;
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t r =
            ::pread(fd, bytes.data() + got, bytes.size() - got, offset + static_cast<off_t>(got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(FileError::Action::Read, path_, errno);
        }
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    eof_ = got < bytes.size();
    return bytes;
}

void RecordFile::write(std::int64_t n, std::string_view bytes) {
    const std::string record = startWrite(bytes);
    const int fd = static_cast<int>(handle_);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw FileError(FileError::Action::Write, path_, errno);
    off_t offset = static_cast<off_t>(n - 1) * recordLength_;
    // The bytes the record replaces, put back if the write fails half-way.
    std::string old;
    if (offset < st.st_size) {
        old.resize(static_cast<std::size_t>(
            std::min<off_t>(recordLength_, static_cast<off_t>(st.st_size) - offset)));
        if (::pread(fd, old.data(), old.size(), offset) != static_cast<ssize_t>(old.size()))
            throw FileError(FileError::Action::Read, path_, errno ? errno : EIO);
    }
    // The record must have reached the disk before a command reports success; some
    // failures (a full disk among them) only show when the data is flushed.
    if (!writeAll(fd, record, offset) || ::fdatasync(fd) != 0) {
        int err = errno;
        // Best effort: the write error is what the user needs to know, whatever follows.
        if (!old.empty() && writeAll(fd, old, offset))
            ::fdatasync(fd);
        if (offset + recordLength_ > st.st_size && ::ftruncate(fd, st.st_size) == 0)
            ::fdatasync(fd);
        throw FileError(FileError::Action::Write, path_, err);
    }
}

void RecordFile::lock(LockKind kind, std::chrono::milliseconds wait) {
    unlock();
    if (kind == LockKind::Exclusive && writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    short type = kind == LockKind::Shared ? F_RDLCK : F_WRLCK;
    if (int err = lockWithin(static_cast<int>(handle_), type, wait))
        throw FileError(FileError::Action::Lock, path_, err);
    locked_ = true;
}

void RecordFile::unlock() {
    if (!locked_)
        return;
    struct flock request {};
    request.l_type = F_UNLCK;
    request.l_whence = SEEK_SET;
    ::fcntl(static_cast<int>(handle_), F_OFD_SETLK, &request);
    locked_ = false;
}

std::int64_t RecordFile::length() const {
    struct stat st {};
    if (::fstat(static_cast<int>(handle_), &st) != 0)
        throw FileError(FileError::Action::Read, path_, errno);
    return static_cast<std::int64_t>(st.st_size);
}

void RecordFile::resize(std::int64_t bytes) {
    if (writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    const int fd = static_cast<int>(handle_);
    if (::ftruncate(fd, static_cast<off_t>(bytes)) != 0 || ::fdatasync(fd) != 0)
        throw FileError(FileError::Action::Write, path_, errno);
}

void writeQuotedLine(const std::string& path, const std::vector<std::string>& values) {
    countWrite();
    const std::string line = quotedLine(values);
    const std::string target = followLinks(path);
    auto fail = [&](int err) { throw FileError(FileError::Action::Replace, path, err); };

    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        fail(EISDIR);
    if (exists && !S_ISREG(st.st_mode))
        fail(EINVAL);
    mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = exists ? st.st_mode & 07777 : 0666 & ~mask;

    // The line goes to a temporary file that is then renamed over the file, so the file is
    // never left half written. The temporary has one fixed name, so a save cut short by a
    // crash leaves at most one behind and the next save reuses it; a lock on it keeps two
    // copies of the program from writing it at once.
    const std::string temp = target + ".tmp";
    for (int attempt = 0;; ++attempt) {
        int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && exists && (errno == EACCES || errno == EPERM)) {
            // A folder that may not be written, with a file that may: rewrite it in place.
            fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0)
                fail(errno);
            int err = lockWithin(fd, F_WRLCK, RecordFile::kLockWait);
            if (!err)
                err = rewrite(fd, line);
            ::close(fd);
            if (err)
                fail(err);
            return;
        }
        if (fd < 0)
            fail(errno);
        if (int err = lockWithin(fd, F_WRLCK, RecordFile::kLockWait)) {
            ::close(fd);
            fail(err);
        }
        // Another copy may have renamed the temporary away while this one waited.
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) != 0 || ::stat(temp.c_str(), &named) != 0 ||
            opened.st_ino != named.st_ino || opened.st_dev != named.st_dev) {
            ::close(fd);
            if (attempt < 10)
                continue;
            fail(EBUSY);
        }
        int err = ::fchmod(fd, mode) != 0 ? errno : rewrite(fd, line);
        if (!err && ::rename(temp.c_str(), target.c_str()) != 0)
            err = errno;
        if (err)
            ::unlink(temp.c_str());
        ::close(fd);
        if (err)
            fail(err);
        break;
    }
    syncFolder(folderOf(target));
    removeOldTemporaries(target);
}

std::optional<std::vector<std::string>> readQuotedValues(const std::string& path,
                                                         std::size_t count) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw FileError(FileError::Action::Open, path, errno);
    }
    if (int err = unusableKind(fd, true)) {
        ::close(fd);
        throw FileError(FileError::Action::Open, path, err);
    }
    // The values sit at the start of the file; a huge file is not read to its end.
    constexpr std::size_t kMaxBytes = 1 << 20;
    std::string text;
    char buffer[4096];
    while (text.size() < kMaxBytes) {
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
