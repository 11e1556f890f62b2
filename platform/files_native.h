#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The system's own file calls, one small step each: POSIX calls in posix/files_posix.cpp,
// Win32 calls in win32/files_win32.cpp. The storage engine (storage/) builds the record file,
// its journal, its locks and the small files from them, so that both systems keep the same
// promises. Every call gives 0 or an errno value (Win32 errors are mapped to the errno value
// of the same meaning). Paths are UTF-8; Windows gets them in UTF-16.
namespace platform::native {

struct OpenMode {
    enum Kind {
        ReadWrite, // an existing file, or a new one (`created` tells)
        ReadOnly,  // an existing file
        CreateNew, // a new file only (EEXIST otherwise); a link in its place is not followed
        Existing,  // an existing plain file, to read and write; a link in its place is refused
        Stream,    // an existing file to read from start to end: a pipe or a device too
        Rewrite,   // an existing file, for writing only (links followed)
    } kind;
    bool* created = nullptr;  // ReadWrite: set when the file did not exist before
    bool allowDevice = false; // POSIX: a character or block device is taken too
};

// An open file: a file descriptor or a Windows HANDLE, closed with the object.
class File {
public:
    File() = default;
    explicit File(std::intptr_t handle) : handle_(handle) {}
    ~File();
    File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpen() const { return handle_ != kNone; }
    // The descriptor or HANDLE, for the system's own calls.
    std::intptr_t handle() const { return handle_; }

    // Up to `size` bytes at `offset` into `out`; `got` tells how many (fewer at the end).
    int readAt(std::int64_t offset, char* out, std::size_t size, std::size_t& got) const;
    // Up to `size` bytes from where the last read ended; `got` is 0 at the end.
    int read(char* out, std::size_t size, std::size_t& got);
    // All of `bytes` at `offset`, short writes retried.
    int writeAt(std::int64_t offset, std::string_view bytes);
    int setLength(std::int64_t length);
    int length(std::int64_t& out) const;
    // The file's data on the disk (fdatasync, FlushFileBuffers).
    int flush();
    // Tries once to lock `length` bytes from `start` (also past the end of the file) against
    // other open files of it; EAGAIN when another holds a lock that conflicts.
    int tryLock(std::int64_t start, std::int64_t length, bool exclusive);
    void unlock(std::int64_t start, std::int64_t length);
    int close();

private:
    static constexpr std::intptr_t kNone = -1; // INVALID_HANDLE_VALUE is -1 too
    std::intptr_t handle_ = kNone;
};

// Opens `path`. Refuses with EINVAL what cannot hold a data file: a pipe, a socket or a
// device, and for CreateNew and Existing anything but a plain file; a Stream may be
// anything that is not a folder (EISDIR).
int open(const std::string& path, OpenMode mode, File& file);

// The program's standard input, as a file of its own.
int openStandardInput(File& file);

// What a name holds once links are followed.
enum class Kind { None, Folder, File, Other };
int inspect(const std::string& path, Kind& kind);

// Whether the existing file `path` may be opened for writing (and, on Windows, replaced):
// EACCES for a file marked read-only, EBUSY for one another program holds.
int checkWritable(const std::string& path);

// Makes the new file `path` (EEXIST when the name is taken; a link is not followed) that no
// other copy of the program can remove or use until `file` is closed. EAGAIN when another
// copy removing a file of that name came in the way: try again.
int createPrivate(const std::string& path, File& file);

// Removes the file `path` left by a copy of the program that stopped, once no copy uses it
// any more: 0 when the name is free (also when nothing had it), EAGAIN while a copy still
// holds it, EEXIST when it is not such a file (a link, a folder, a file with more than one
// name or another user's), which is never removed.
int tryRemoveLeftover(const std::string& path);

// The new file gets the permissions (POSIX) or the attributes (Windows: hidden, system,
// archive) of the file `like`, or the defaults for a new file when there is none.
int takeAttributes(File& file, const std::string& like);

// Puts the file made at `temp` (open as `file`, closed by this call) in the place of
// `target` in one step, whether or not `target` exists.
int replace(File& file, const std::string& temp, const std::string& target);

// Whether the name `path` still gives the open file (not another made since, nor nothing).
int sameFile(const File& file, const std::string& path, bool& same);

// Gives the file `from` the name `to`, which must be free (EEXIST otherwise).
int rename(const std::string& from, const std::string& to);

// Removes the file `path` names (a link, not its target).
int remove(const std::string& path);

// Whether anything (a file, a folder, a link) has the name `path`.
bool exists(const std::string& path);

// Makes the creation, renaming or removal of files in the folder of `path` durable. A
// system or file system that offers no such call gives 0.
int syncFolderOf(const std::string& path);

// The file that `path` names once symbolic links are followed (also a link that points to
// a file not yet made); on Windows, `path` itself.
std::string resolvedPath(const std::string& path);

} // namespace platform::native
