#include "platform/files.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <cerrno>
#include <thread>

// The file services over Win32 calls, with the promises and messages of the POSIX ones.
namespace platform {

namespace {

bool isFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The errno value that means what a Win32 error means, so that the reasons read as on
// POSIX. Windows refuses to open a folder as a file with "access denied"; `path` tells
// that case apart.
int errnoOf(DWORD error, const std::wstring& path = {}) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return !path.empty() && isFolder(path) ? EISDIR : EACCES;
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_NETWORK_ACCESS_DENIED:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return ENOENT;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return EBUSY;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    default:
        return EIO;
    }
}

HANDLE toHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Closes a handle when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool close() {
        bool ok = !valid() || ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    o.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return o;
}

// Writes all of `bytes` at `offset`, retrying short writes.
bool writeAll(HANDLE h, std::string_view bytes, std::int64_t offset) {
    while (!bytes.empty()) {
        OVERLAPPED o = at(offset);
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(h, bytes.data(), chunk, &written, &o) || written == 0)
            return false;
        bytes.remove_prefix(written);
        offset += written;
    }
    return true;
}

// Reads up to `size` bytes at `offset`; fewer at the end of the file. Gives the Win32
// error, or 0.
DWORD readAt(HANDLE h, char* out, std::size_t size, std::int64_t offset, std::size_t& got) {
    got = 0;
    while (got < size) {
        OVERLAPPED o = at(offset + static_cast<std::int64_t>(got));
        DWORD n = 0;
        if (!::ReadFile(h, out + got, static_cast<DWORD>(size - got), &n, &o)) {
            const DWORD error = ::GetLastError();
            return error == ERROR_HANDLE_EOF ? 0 : error;
        }
        if (n == 0)
            break;
        got += n;
    }
    return 0;
}

bool fileSize(HANDLE h, std::int64_t& size) {
    LARGE_INTEGER s{};
    if (!::GetFileSizeEx(h, &s))
        return false;
    size = s.QuadPart;
    return true;
}

bool setFileSize(HANDLE h, std::int64_t size) {
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = size;
    return ::SetFileInformationByHandle(h, FileEndOfFileInfo, &info, sizeof info);
}

// Disks only: a device (NUL, CON, COM1 ...) or a pipe cannot hold a data file.
bool isDiskFile(HANDLE h) {
    return ::GetFileType(h) == FILE_TYPE_DISK;
}

// The file rewritten where it is: for a folder that takes no new file while the file
// itself may be written. Gives the Win32 error, or 0; ERROR_ACCESS_DENIED when the file
// cannot be opened for writing either.
DWORD rewriteInPlace(const std::wstring& path, std::string_view bytes) {
    Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return ERROR_ACCESS_DENIED;
    // Written over the old bytes first and cut after, so a failure never leaves it empty.
    if (!writeAll(file.get(), bytes, 0) ||
        !setFileSize(file.get(), static_cast<std::int64_t>(bytes.size())) ||
        !::FlushFileBuffers(file.get()))
        return ::GetLastError();
    return file.close() ? 0 : ::GetLastError();
}

} // namespace

RecordFile::RecordFile(std::string path, int recordLength)
    : path_(std::move(path)), recordLength_(recordLength) {
    const std::wstring wpath = win32::wide(path_);
    // Other programs may open the register too; the locks keep them apart.
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    // A file marked read-only is not opened for writing: Windows refuses that itself, but
    // Wine run as root does not.
    const DWORD attributes = ::GetFileAttributesW(wpath.c_str());
    HANDLE h = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_ACCESS_DENIED;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) {
        h = ::CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        error = h == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
    }
    if ((error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) && !isFolder(wpath)) {
        // A file that may be read but not written can still be searched and listed;
        // writing to it then fails with the reason the first open gave.
        writeErrno_ = errnoOf(error);
        h = ::CreateFileW(wpath.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            error = 0;
    }
    if (h == INVALID_HANDLE_VALUE)
        throw FileError(FileError::Action::Open, path_, errnoOf(error, wpath));
    if (!isDiskFile(h)) {
        ::CloseHandle(h);
        throw FileError(FileError::Action::Open, path_, EINVAL);
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
}

RecordFile::~RecordFile() {
    if (toHandle(handle_) != INVALID_HANDLE_VALUE)
        ::CloseHandle(toHandle(handle_));
}

std::string RecordFile::read(std::int64_t n) {
    std::string bytes(static_cast<std::size_t>(recordLength_), '\0');
    std::size_t got = 0;
    if (DWORD error =
            readAt(toHandle(handle_), bytes.data(), bytes.size(), (n - 1) * recordLength_, got))
        throw FileError(FileError::Action::Read, path_, errnoOf(error));
    eof_ = got < bytes.size();
    return bytes;
}

void RecordFile::write(std::int64_t n, std::string_view bytes) {
    const std::string record = startWrite(bytes);
    const HANDLE h = toHandle(handle_);
    std::int64_t size = 0;
    if (!fileSize(h, size))
        throw FileError(FileError::Action::Write, path_, errnoOf(::GetLastError()));
    const std::int64_t offset = (n - 1) * recordLength_;
    // The bytes the record replaces, put back if the write fails half-way.
    std::string old;
    if (offset < size) {
        old.resize(static_cast<std::size_t>(std::min<std::int64_t>(recordLength_, size - offset)));
        std::size_t got = 0;
        DWORD error = readAt(h, old.data(), old.size(), offset, got);
        if (error != 0 || got != old.size())
            throw FileError(FileError::Action::Read, path_, error ? errnoOf(error) : EIO);
    }
    // The record must have reached the disk before a command reports success; some
    // failures (a full disk among them) only show when the data is flushed.
    if (!writeAll(h, record, offset) || !::FlushFileBuffers(h)) {
        const DWORD error = ::GetLastError();
        // Best effort: the write error is what the user needs to know, whatever follows.
        if (!old.empty() && writeAll(h, old, offset))
            ::FlushFileBuffers(h);
        if (offset + recordLength_ > size && setFileSize(h, size))
            ::FlushFileBuffers(h);
        throw FileError(FileError::Action::Write, path_, errnoOf(error));
    }
}

std::int64_t RecordFile::length() const {
    std::int64_t size = 0;
    if (!fileSize(toHandle(handle_), size))
        throw FileError(FileError::Action::Read, path_, errnoOf(::GetLastError()));
    return size;
}

void RecordFile::resize(std::int64_t bytes) {
    if (writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    HANDLE h = toHandle(handle_);
    if (!setFileSize(h, bytes) || !::FlushFileBuffers(h))
        throw FileError(FileError::Action::Write, path_, errnoOf(::GetLastError()));
}

void RecordFile::lock(LockKind kind, std::chrono::milliseconds wait) {
    unlock();
    if (kind == LockKind::Exclusive && writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        OVERLAPPED whole{};
        if (::LockFileEx(toHandle(handle_), flags, 0, MAXDWORD, MAXDWORD, &whole))
            break;
        const DWORD error = ::GetLastError();
        if (error != ERROR_LOCK_VIOLATION)
            throw FileError(FileError::Action::Lock, path_, errnoOf(error));
        if (std::chrono::steady_clock::now() >= deadline)
            throw FileError(FileError::Action::Lock, path_, EBUSY);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    locked_ = true;
}

void RecordFile::unlock() {
    if (!locked_)
        return;
    OVERLAPPED whole{};
    ::UnlockFileEx(toHandle(handle_), 0, MAXDWORD, MAXDWORD, &whole);
    locked_ = false;
}

void writeQuotedLine(const std::string& path, const std::vector<std::string>& values) {
    countWrite();
    const std::string line = quotedLine(values);
    const std::wstring target = win32::wide(path);
    // One fixed temporary name: a second running copy finds it held (no sharing) and fails
    // cleanly, and one left by a crash is simply reused.
    const std::wstring temp = win32::wide(path + ".tmp");
    auto fail = [&](int err) { throw FileError(FileError::Action::Replace, path, err); };

    // What is in the file's place: nothing, a file it may replace, or something it must not.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        fail(EISDIR);
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        fail(EACCES);
    if (exists) {
        // Opened the way the replace will need it, so that a file another program holds is
        // reported before anything is written (Wine's ReplaceFileW leaves a file of its own
        // behind when it fails).
        Handle probe(::CreateFileW(target.c_str(), DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = probe.valid() ? 0 : ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            fail(EBUSY);
        if (probe.valid() && !isDiskFile(probe.get()))
            fail(EINVAL);
    }
    // The new file keeps the old one's attributes (hidden, system, archive).
    DWORD kept =
        exists
            ? attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)
            : 0;
    Handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED && exists && !isFolder(temp)) {
            const DWORD inPlace = rewriteInPlace(target, line);
            if (inPlace == 0)
                return;
            fail(errnoOf(inPlace, target));
        }
        fail(errnoOf(error, temp));
    }
    auto discard = [&](DWORD error) {
        file.close();
        ::DeleteFileW(temp.c_str());
        fail(errnoOf(error));
    };
    if (!writeAll(file.get(), line, 0) || !::FlushFileBuffers(file.get()))
        discard(::GetLastError());
    if (!file.close())
        discard(::GetLastError());

    constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (exists && ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return;
    DWORD error = exists ? ::GetLastError() : 0;
    // Some file systems (shares among them) cannot replace; a move over the old file is
    // still a single step. A file held by another program is reported, not moved over.
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
        error != ERROR_LOCK_VIOLATION) {
        if (::MoveFileExW(temp.c_str(), target.c_str(), kMove))
            return;
        if (error == 0)
            error = ::GetLastError();
    }
    ::DeleteFileW(temp.c_str());
    fail(errnoOf(error, target));
}

std::optional<std::vector<std::string>> readQuotedValues(const std::string& path,
                                                         std::size_t count) {
    const std::wstring wpath = win32::wide(path);
    // Shared for deleting too, so that another copy's replace of the file is not refused.
    Handle file(::CreateFileW(wpath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const int err = errnoOf(::GetLastError(), wpath);
        if (err == ENOENT)
            return std::nullopt;
        throw FileError(FileError::Action::Open, path, err);
    }
    if (!isDiskFile(file.get()))
        throw FileError(FileError::Action::Open, path, EINVAL);
    // The values sit at the start of the file; a huge file is not read to its end.
    constexpr std::size_t kMaxBytes = 1 << 20;
    std::string text;
    char buffer[4096];
    while (text.size() < kMaxBytes) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr))
            throw FileError(FileError::Action::Read, path, errnoOf(::GetLastError()));
        if (n == 0)
            break;
        text.append(buffer, n);
    }
    return parseQuotedValues(text, count);
}

} // namespace platform
