#pragma once

#include "platform/files_native.h"
#include "platform/user_error.h"

#include <chrono>
#include <cstdint>
#include <functional>
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
    enum class Action { Open, Read, Write, Replace, Lock, Recover };
    FileError(Action action, const std::string& path, int errnum);

protected:
    explicit FileError(const std::string& message) : UserError(message) {}
};

// A write of a record file that failed, and what became of the bytes it had changed; the
// message says which, so that a failure is never told as a clean one.
class WriteError : public FileError {
public:
    enum class Undo {
        Unchanged, // nothing had been changed
        Restored,  // what was written is taken back: the file holds its old bytes
        Journaled, // not taken back yet: the journal will, when the file is next locked
        Unknown,   // not taken back: the new bytes may be in the file
    };
    // `failed`: the file whose call failed when it is not `path` (the journal).
    WriteError(const std::string& path, int errnum, Undo undo, int undoErrnum = 0,
               const std::string& journal = {}, const std::string& failed = {});
    Undo undo() const { return undo_; }

private:
    Undo undo_;
};

// The reason for an errno value, in Japanese.
std::string reasonText(int errnum);

// A file opened for fixed-length record access. Record numbers count from 1.
//
// Writes are all or nothing. A write that changes more than one record's place, or
// overwrites bytes already in the file, first saves what it replaces (the old length and
// the old bytes) in a journal beside the file, flushed with its folder; then it writes and
// flushes the file, and removes the journal, flushing the folder. Whoever next locks the file and
// finds a journal (its writer died or lost its disk half-way) puts those bytes back
// first, so no one reads, counts or builds on a half-done change. One record appended
// after the whole records needs no journal: cut short, it leaves a partial record, which
// counts as nothing and is overwritten by the next append.
class RecordFile {
public:
    // Opens for reading and writing; creates an empty file when none exists (its folder
    // flushed, so that the new file survives a power cut) and never truncates an existing
    // one. A file that may only be read is opened for reading, and writes then fail.
    RecordFile(std::string path, int recordLength);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // The bytes of record n. Bytes missing at the end of the file are zero, and then the
    // end condition turns true; a read that returns a whole record turns it false.
    std::string read(std::int64_t n);
    bool eof() const { return eof_; }
    // The bytes of the whole records from record `first` on, at most `count` of them, in
    // one read.
    std::string readRecords(std::int64_t first, std::int64_t count);

    // Writes record n (bytes cut or zero-filled to the record length), as writeRecords().
    void write(std::int64_t n, std::string_view bytes);

    // Writes `records` (whole records; a short last one is zero-filled) from record `first`
    // on, as one change. Writing past the end extends the file with zero bytes before the
    // records. The change is on the disk before it returns. On any failure, and when
    // `abandon` (asked once all is written, before the change is made final) says so, the
    // change is taken back and WriteError tells how far that went; `abandon` gives the
    // reason EINTR.
    void writeRecords(std::int64_t first, std::string_view records,
                      const std::function<bool()>& abandon = {});

    // File length divided by the record length, rounded down.
    std::int64_t wholeRecords() const;
    // File length in bytes.
    std::int64_t length() const;

    enum class LockKind { Shared, Exclusive };
    static constexpr std::chrono::milliseconds kLockWait{5000};
    // Locks the file against other programs (and other RecordFiles of this one), waiting
    // at most `wait` for them to let go; throws FileError(Action::Lock, path, EBUSY) when
    // the wait runs out. Shared locks go together; an exclusive one stands alone. A program
    // waiting for an exclusive lock is let in first: readers that come after it wait until
    // it has had its turn, so a stream of readers cannot keep a writer out. Held until
    // unlock() or the file is closed; a lock already held is let go first. A journal left
    // behind is played back before lock() returns (which needs the file writable; without
    // that it throws FileError(Action::Recover)). A file opened for reading only cannot be
    // locked exclusively: that throws the reason it could not be opened for writing, as a
    // write would. On Windows the locks also bind reads and writes: an exclusive lock
    // keeps every other handle from reading or writing (they fail with the EBUSY reason),
    // and a shared lock keeps everyone from writing, its own holder included; so write only
    // under an exclusive lock.
    void lock(LockKind kind, std::chrono::milliseconds wait = kLockWait);
    void unlock();

    const std::string& path() const { return path_; }
    // The journal beside the file: its name with ".journal" added.
    const std::string& journalPath() const { return journal_; }

private:
    // Plays back a journal left behind, if any; the file must be locked exclusively.
    void recover();
    // Takes the lock of `kind` on the records, letting a waiting writer in first; gives 0,
    // or the errno value that stopped it (EBUSY when the wait ran out).
    int takeLock(LockKind kind, std::chrono::steady_clock::time_point deadline);

    std::string path_;
    std::string journal_;
    int recordLength_;
    native::File file_;
    int writeErrno_ = 0; // why the file could not be opened for writing
    bool eof_ = false;
    bool locked_ = false;
};

// A seam for the crash and fault tests: when a hook is set, it is called with the name of
// each call to the system that the record files make (the register and its journal),
// before the call. It may end the process there, as a crash would, or give an errno value
// that the call then fails with, as a failing disk would; 0 lets the call go ahead. For a
// write it may give kTear: half of the bytes are then written and the hook is called
// again with "torn" (where it may end the process, as a power cut would leave the disk).
// The program itself never sets one.
namespace faults {
using Hook = int (*)(const char* call);
inline constexpr int kTear = -1;
void setHook(Hook hook);
// What the hook says of `call`: 0 when none is set.
int check(const char* call);
} // namespace faults

// A file read once from its start to its end, a piece at a time: a file by name (a pipe or
// a device too), or standard input by the name "-".
class InputStream {
public:
    // Throws FileError naming the file when it cannot be opened.
    explicit InputStream(const std::string& path);
    // Up to `size` bytes; 0 at the end. Throws FileError naming the file.
    std::size_t read(char* out, std::size_t size);

private:
    std::string path_;
    native::File file_;
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

// The part of a quoted-values file that is read: the values sit at its start, and a huge
// file is not read to its end.
inline constexpr std::size_t kMaxQuotedFileBytes = std::size_t{1} << 20;

// Reads up to `count` values of a comma-separated text file, from its first
// kMaxQuotedFileBytes: blanks before a value are
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
