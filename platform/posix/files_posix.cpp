#include "platform/files.h"

#include <algorithm>
#include <cerrno>
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

// An errno value for an open file that cannot hold data files: a pipe or a socket.
int unusableKind(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) ? EINVAL : 0;
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
    if (int err = unusableKind(fd)) {
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
    countWrite();
    if (writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    const int fd = static_cast<int>(handle_);
    std::string record(bytes.substr(0, static_cast<std::size_t>(recordLength_)));
    record.resize(static_cast<std::size_t>(recordLength_), '\0');
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
    // An open-file-description lock: it belongs to this RecordFile rather than to the
    // process, so two RecordFiles on one file exclude each other as two programs do, and
    // it conflicts with the fcntl and lockf locks of other programs.
    struct flock request {};
    request.l_type = kind == LockKind::Shared ? F_RDLCK : F_WRLCK;
    request.l_whence = SEEK_SET; // l_start 0, l_len 0: the whole file, however long
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::fcntl(static_cast<int>(handle_), F_OFD_SETLK, &request) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EACCES)
            throw FileError(FileError::Action::Lock, path_, errno);
        if (std::chrono::steady_clock::now() >= deadline)
            throw FileError(FileError::Action::Lock, path_, EBUSY);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
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

std::int64_t RecordFile::wholeRecords() const {
    struct stat st {};
    if (::fstat(static_cast<int>(handle_), &st) != 0)
        throw FileError(FileError::Action::Read, path_, errno);
    return static_cast<std::int64_t>(st.st_size) / recordLength_;
}

void writeQuotedLine(const std::string& path, const std::vector<std::string>& values) {
    countWrite();
    std::string line = quotedLine(values);

    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw FileError(FileError::Action::Replace, path, errno);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw FileError(FileError::Action::Replace, path, err);
    };
    // mkstemp creates the file private to the owner; give it the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0)
        fail(errno);
    if (!writeAll(fd, line, 0))
        fail(errno);
    if (::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        throw FileError(FileError::Action::Replace, path, err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        throw FileError(FileError::Action::Replace, path, err);
    }
    // Make the rename itself durable. Some file systems cannot sync a folder; the data
    // is on the disk already, so that is not reported.
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
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
