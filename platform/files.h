#pragma once

#include "platform/user_error.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// File services of the program: record access by record number, the quoted-values text
// file, and the table of files open under a file number. All paths are UTF-8. Each
// platform has its own implementation (posix/, win32/) of the same promises.
namespace platform {

// A failed file operation. what() is a complete message in Japanese that names the file
// and the reason, ready to show to the user.
class FileError : public UserError {
public:
    enum class Action { Open, Read, Write, Replace, Lock };
    FileError(Action action, const std::string& path, int errnum);
};

// The reason for an errno value, in Japanese.
std::string reasonText(int errnum);

// A file opened for fixed-length record access. Record numbers count from 1.
class RecordFile {
public:
    // Opens for reading and writing; creates an empty file when none exists and never
    // truncates an existing one. A file that may only be read is opened for reading, and
    // write() then fails.
    RecordFile(std::string path, int recordLength);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // The bytes of record n. Bytes missing at the end of the file are zero, and then the
    // end condition turns true; a read that returns a whole record turns it false.
    std::string read(std::int64_t n);
    bool eof() const { return eof_; }

    // Writes record n (bytes cut or zero-filled to the record length). Writing past the
    // end extends the file with zero bytes before the record. The record is flushed to
    // the disk before write() returns. On failure the file keeps its old length, so no
    // partial record is left at its end.
    void write(std::int64_t n, std::string_view bytes);

    // File length divided by the record length, rounded down.
    std::int64_t wholeRecords() const;
    // File length in bytes.
    std::int64_t length() const;
    // Cuts the file to `bytes` (or extends it with zero bytes), flushed to the disk before
    // it returns; a command that wrote several records uses it to take them back.
    void resize(std::int64_t bytes);

    enum class LockKind { Shared, Exclusive };
    static constexpr std::chrono::milliseconds kLockWait{5000};
    // Locks the whole file against other programs (and other RecordFiles of this one),
    // waiting at most `wait` for them to let go; throws FileError(Action::Lock, path, EBUSY)
    // when the wait runs out. Shared locks go together; an exclusive one stands alone.
    // Held until unlock() or the file is closed; a lock already held is let go first. A
    // file opened for reading only cannot be locked exclusively: that throws the reason it
    // could not be opened for writing, as write() would. On Windows the locks also bind
    // reads and writes: an exclusive lock keeps every other handle from reading or writing
    // (they fail with the EBUSY reason), and a shared lock keeps everyone from writing, its
    // own holder included; so write only under an exclusive lock.
    void lock(LockKind kind, std::chrono::milliseconds wait = kLockWait);
    void unlock();

    const std::string& path() const { return path_; }

private:
    // What every write starts with: counts it, throws when the file may not be written, and
    // gives `bytes` cut or zero-filled to the record length.
    std::string startWrite(std::string_view bytes);

    std::string path_;
    int recordLength_;
    std::intptr_t handle_ = -1; // a file descriptor, or a Windows HANDLE; -1 when none
    int writeErrno_ = 0;        // why the file could not be opened for writing
    bool eof_ = false;
    bool locked_ = false;
};

// How many writes this process has started through these services. A command that
// leaves it as it was has changed no file.
std::uint64_t writesStarted();

// Counts a write that is about to start.
void countWrite();

// Files held open under a file number, as the program's commands use them.
class FileTable {
public:
    // Opens a record file under `number`, closing whatever was open under it first.
    RecordFile& openRecord(int number, const std::string& path, int recordLength);
    // The record file open under `number`, or nullptr.
    RecordFile* record(int number);
    void close(int number);
    // Closes every open file. Never fails, also when nothing is open.
    void closeAll();
    std::size_t openCount() const { return files_.size(); }

private:
    std::map<int, std::unique_ptr<RecordFile>> files_;
};

// One line of double-quoted values separated by commas and ended by CR LF; quotes inside
// the values are not escaped.
std::string quotedLine(const std::vector<std::string>& values);

// Replaces the file with one line of double-quoted values separated by commas and ended
// by CR LF. The values are written as their bytes, quotes inside them unescaped. The
// line goes to a temporary file in the same folder that is then renamed over the old
// file, so the file is never left truncated.
void writeQuotedLine(const std::string& path, const std::vector<std::string>& values);

// Reads up to `count` values of a comma-separated text file: blanks before a value are
// skipped; a value in double quotes runs to the next double quote that is followed by a
// comma, a line end or the end of the text (commas and other quotes included);
// any other value runs to the next comma or line end with surrounding blanks dropped.
// Gives nothing when the file does not exist; throws FileError when it cannot be read.
// Fewer than `count` values come back when the file ends first.
std::optional<std::vector<std::string>> readQuotedValues(const std::string& path,
                                                         std::size_t count);

// Splits text by the reading rule above (the part of readQuotedValues after reading).
std::vector<std::string> parseQuotedValues(std::string_view text, std::size_t count);

} // namespace platform
