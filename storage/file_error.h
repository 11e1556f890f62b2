#pragma once

#include "platform/user_error.h"

#include <optional>
#include <string>

// The failures of the storage engine that the user can act on. what() is a complete message
// in Japanese that names the file and the reason, and says what became of the file.
namespace storage {

// A file operation that failed.
class FileError : public platform::UserError {
public:
    enum class Action { Open, Read, Write, Replace, Lock };
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
    // `failed`: the file whose call failed, when it is not `path` (the journal), and what
    // that file is for is then said too.
    WriteError(const std::string& path, int errnum, Undo undo, int undoErrnum = 0,
               const std::string& journal = {}, const std::string& failed = {});
    Undo undo() const { return undo_; }

private:
    Undo undo_;
};

// A journal found beside a record file (left by a write that stopped half-way) that could not
// simply be played back and removed. The message says what was done with the file and the
// journal, why, and what the user can do.
class JournalError : public FileError {
public:
    // Why a journal was not played back.
    enum class Unfit {
        Mismatch, // the file is in no state its write could have left
        Damaged,  // whole once, changed since (its checks fail, or its fields are impossible)
        Foreign,  // not a journal this program writes
    };

    // Not played back: moved aside, unchanged, under the name `aside`.
    static JournalError setAside(const std::string& path, const std::string& journal,
                                 const std::string& aside, Unfit why);
    // Not played back, and it could not be moved aside either.
    static JournalError notSetAside(const std::string& path, const std::string& journal, Unfit why,
                                    int errnum);
    // The journal could not be read.
    static JournalError unreadable(const std::string& path, const std::string& journal, int errnum);
    // The file could not be put back (it may only be read, or the disk failed).
    static JournalError notPlayedBack(const std::string& path, const std::string& journal,
                                      int errnum);
    // The file was put back, but the journal could not be removed.
    static JournalError playedBackButKept(const std::string& path, const std::string& journal,
                                          int errnum);
    // The file holds its old bytes, but the journal cannot be removed, so no write can start.
    static JournalError keptBlocksWrite(const std::string& path, const std::string& journal,
                                        int errnum);

private:
    using FileError::FileError;
};

// The lock file that keeps computers on a shared folder taking turns (storage/share_lock.h)
// would not let this program in.
class ShareError : public FileError {
public:
    // Another computer holds the file for longer than the wait.
    static ShareError busy(const std::string& path, const std::string& lockPath,
                           const std::optional<std::string>& computer,
                           const std::optional<std::string>& process,
                           const std::optional<std::string>& since);
    // The share cannot make a file only when no other has its name, so it cannot keep
    // computers taking turns.
    static ShareError unsafe(const std::string& path, const std::string& lockPath);

private:
    using FileError::FileError;
};

} // namespace storage
