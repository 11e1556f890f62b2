#include "platform/files_native.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <cerrno>

// The system's file calls over Win32, with the promises of the POSIX ones.
namespace platform {

namespace {

bool isFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

using win32::errnoOf;

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

bool setFileSize(HANDLE h, std::int64_t size) {
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = size;
    return ::SetFileInformationByHandle(h, FileEndOfFileInfo, &info, sizeof info);
}

// Disks only: a device (NUL, CON, COM1 ...) or a pipe cannot hold a data file.
bool isDiskFile(HANDLE h) {
    return ::GetFileType(h) == FILE_TYPE_DISK;
}

// A plain file: not a folder, not a link (a reparse point), one name only.
bool isPlainFile(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(h, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
           info.nNumberOfLinks == 1;
}

} // namespace

int win32::errnoOf(DWORD error, const std::wstring& path) {
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
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    default:
        return EIO;
    }
}

namespace native {

int File::readAt(std::int64_t offset, char* out, std::size_t size, std::size_t& got) const {
    got = 0;
    while (got < size) {
        OVERLAPPED o = at(offset + static_cast<std::int64_t>(got));
        DWORD n = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size - got, 1u << 30));
        if (!::ReadFile(toHandle(handle_), out + got, chunk, &n, &o)) {
            const DWORD error = ::GetLastError();
            return error == ERROR_HANDLE_EOF ? 0 : errnoOf(error);
        }
        if (n == 0)
            break;
        got += n;
    }
    return 0;
}

int File::read(char* out, std::size_t size, std::size_t& got) {
    DWORD n = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    got = 0;
    if (!::ReadFile(toHandle(handle_), out, chunk, &n, nullptr)) {
        const DWORD error = ::GetLastError();
        // The writer of a pipe has closed its end: the end of the input.
        return error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF ? 0 : errnoOf(error);
    }
    got = n;
    return 0;
}

int File::writeAt(std::int64_t offset, std::string_view bytes) {
    return writeAll(toHandle(handle_), bytes, offset) ? 0 : errnoOf(::GetLastError());
}

int File::setLength(std::int64_t length) {
    return setFileSize(toHandle(handle_), length) ? 0 : errnoOf(::GetLastError());
}

int File::length(std::int64_t& out) const {
    LARGE_INTEGER s{};
    if (!::GetFileSizeEx(toHandle(handle_), &s))
        return errnoOf(::GetLastError());
    out = s.QuadPart;
    return 0;
}

int File::flush() {
    return ::FlushFileBuffers(toHandle(handle_)) ? 0 : errnoOf(::GetLastError());
}

int File::tryLock(std::int64_t start, std::int64_t length, bool exclusive) {
    OVERLAPPED o = at(start);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    const auto bytes = static_cast<std::uint64_t>(length);
    if (::LockFileEx(toHandle(handle_), flags, 0, static_cast<DWORD>(bytes & 0xFFFFFFFFu),
                     static_cast<DWORD>(bytes >> 32), &o))
        return 0;
    const DWORD error = ::GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? EAGAIN : errnoOf(error);
}

void File::unlock(std::int64_t start, std::int64_t length) {
    OVERLAPPED o = at(start);
    const auto bytes = static_cast<std::uint64_t>(length);
    ::UnlockFileEx(toHandle(handle_), 0, static_cast<DWORD>(bytes & 0xFFFFFFFFu),
                   static_cast<DWORD>(bytes >> 32), &o);
}

int File::close() {
    if (handle_ == kNone)
        return 0;
    const bool ok = ::CloseHandle(toHandle(handle_));
    handle_ = kNone;
    return ok ? 0 : errnoOf(::GetLastError());
}

int open(const std::string& path, OpenMode mode, File& file) {
    const std::wstring wpath = win32::wide(path);
    // Other programs may open the register too; the locks keep them apart. A journal may be
    // removed by name while it is open.
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE h = INVALID_HANDLE_VALUE;
    switch (mode.kind) {
    case OpenMode::ReadWrite: {
        // A file marked read-only is not opened for writing: Windows refuses that itself,
        // but Wine run as root does not.
        const DWORD attributes = ::GetFileAttributesW(wpath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
            !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return EACCES;
        h = ::CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE && mode.created)
            *mode.created = ::GetLastError() != ERROR_ALREADY_EXISTS;
        break;
    }
    case OpenMode::ReadOnly:
        // Shared for deleting too, so that another copy's replace of the file is not refused.
        h = ::CreateFileW(wpath.c_str(), GENERIC_READ, kShare | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    case OpenMode::Rewrite:
        h = ::CreateFileW(wpath.c_str(), GENERIC_WRITE, kShare, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    case OpenMode::CreateNew:
        h = ::CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, kShare | FILE_SHARE_DELETE,
                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    case OpenMode::Existing:
        h = ::CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, kShare | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        break;
    case OpenMode::Stream:
        h = ::CreateFileW(wpath.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    }
    if (h == INVALID_HANDLE_VALUE)
        return errnoOf(::GetLastError(), wpath);
    File opened(reinterpret_cast<std::intptr_t>(h));
    if (mode.kind == OpenMode::Stream) {
        file = std::move(opened);
        return 0;
    }
    if (!isDiskFile(h))
        return EINVAL;
    if ((mode.kind == OpenMode::CreateNew || mode.kind == OpenMode::Existing) && !isPlainFile(h))
        return EINVAL;
    file = std::move(opened);
    return 0;
}

int openStandardInput(File& file) {
    HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    HANDLE copy = INVALID_HANDLE_VALUE;
    if (in == nullptr || in == INVALID_HANDLE_VALUE ||
        !::DuplicateHandle(::GetCurrentProcess(), in, ::GetCurrentProcess(), &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
        return EBADF;
    file = File(reinterpret_cast<std::intptr_t>(copy));
    return 0;
}

int inspect(const std::string& path, Kind& kind) {
    const std::wstring wpath = win32::wide(path);
    const DWORD attributes = ::GetFileAttributesW(wpath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        kind = Kind::None;
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : errnoOf(error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        kind = Kind::Folder;
        return 0;
    }
    // A device (NUL, CON, COM1 ...) has attributes too: only a disk file is a file.
    Handle probe(::CreateFileW(wpath.c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    kind = !probe.valid() || isDiskFile(probe.get()) ? Kind::File : Kind::Other;
    return 0;
}

int checkWritable(const std::string& path) {
    const std::wstring wpath = win32::wide(path);
    // A file marked read-only is not written: Windows refuses that itself, but Wine run as
    // root does not.
    const DWORD attributes = ::GetFileAttributesW(wpath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return EACCES;
    // Opened the way a replace needs it, so that a file another program holds is reported
    // before anything is written (Wine's ReplaceFileW leaves a file of its own behind when
    // it fails).
    Handle probe(::CreateFileW(wpath.c_str(), GENERIC_WRITE | DELETE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) {
        const DWORD error = ::GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                   ? EBUSY
                   : errnoOf(error, wpath);
    }
    return isDiskFile(probe.get()) ? 0 : EINVAL;
}

int createPrivate(const std::string& path, File& file) {
    const std::wstring wpath = win32::wide(path);
    // Not shared for deleting or writing: another copy cannot take it for a leftover while
    // it is open.
    HANDLE h = ::CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return errnoOf(::GetLastError(), wpath);
    file = File(reinterpret_cast<std::intptr_t>(h));
    return 0;
}

int tryRemoveLeftover(const std::string& path) {
    const std::wstring wpath = win32::wide(path);
    // The copy writing it holds it without sharing until it has put it in place.
    Handle file(::CreateFileW(wpath.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return 0;
        return error == ERROR_SHARING_VIOLATION ? EAGAIN : errnoOf(error, wpath);
    }
    if (!isDiskFile(file.get()) || !isPlainFile(file.get()))
        return EEXIST;
    FILE_DISPOSITION_INFO remove{};
    remove.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &remove, sizeof remove)
               ? 0
               : errnoOf(::GetLastError());
}

int takeAttributes(File& file, const std::string& like) {
    // Hidden, system and archive stay as they were.
    const DWORD old = ::GetFileAttributesW(win32::wide(like).c_str());
    const DWORD kept =
        old == INVALID_FILE_ATTRIBUTES
            ? 0
            : old & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    FILE_BASIC_INFO info{};
    info.FileAttributes = kept ? kept : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(toHandle(file.handle()), FileBasicInfo, &info, sizeof info)
               ? 0
               : errnoOf(::GetLastError());
}

int replace(File& file, const std::string& temp, const std::string& target) {
    // Closed first: a file open without sharing cannot be moved.
    if (int err = file.close())
        return err;
    const std::wstring from = win32::wide(temp), to = win32::wide(target);
    const bool exists = ::GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (exists && ::ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                 nullptr, nullptr))
        return 0;
    DWORD error = exists ? ::GetLastError() : 0;
    // Some file systems (shares among them) cannot replace; a move over the old file is
    // still a single step. A file held by another program is reported, not moved over.
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
        error != ERROR_LOCK_VIOLATION) {
        if (::MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        if (error == 0)
            error = ::GetLastError();
    }
    return errnoOf(error, to);
}

int rename(const std::string& from, const std::string& to) {
    return ::MoveFileExW(win32::wide(from).c_str(), win32::wide(to).c_str(), MOVEFILE_WRITE_THROUGH)
               ? 0
               : errnoOf(::GetLastError());
}

int sameFile(const File& file, const std::string& path, bool& same) {
    same = false;
    BY_HANDLE_FILE_INFORMATION opened{}, named{};
    if (!::GetFileInformationByHandle(toHandle(file.handle()), &opened))
        return errnoOf(::GetLastError());
    Handle probe(::CreateFileW(win32::wide(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    // A file whose removal is pending cannot be opened: it is no longer the one the name gives.
    if (probe.valid() && ::GetFileInformationByHandle(probe.get(), &named))
        same = opened.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
               opened.nFileIndexHigh == named.nFileIndexHigh &&
               opened.nFileIndexLow == named.nFileIndexLow;
    return 0;
}

int remove(const std::string& path) {
    return ::DeleteFileW(win32::wide(path).c_str()) ? 0 : errnoOf(::GetLastError());
}

bool exists(const std::string& path) {
    return ::GetFileAttributesW(win32::wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int syncFolderOf(const std::string&) {
    // Windows has no call that flushes a folder: NTFS keeps its folders in its own log.
    return 0;
}

std::string resolvedPath(const std::string& path) {
    return path;
}

} // namespace native

} // namespace platform
