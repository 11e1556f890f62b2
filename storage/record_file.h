#pragma once

#include "platform/files_native.h"
#include "storage/file_error.h"
#include "storage/range_lock.h"
#include "storage/share_lock.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace storage {

// A file of fixed-length records addressed by number from 1, with writes that are all or
// nothing (storage/journal.h tells how) and a lock that other programs respect.
class RecordFile {
public:
    using LockKind = storage::LockKind;
    static constexpr std::chrono::milliseconds kLockWait{5000};

    // Opens for reading and writing a file of records of `recordLength` bytes, of which no
    // write goes past record `maxRecords` (nor does any journal say so). Creates an empty
    // file when none exists and `mayCreate` allows (its folder flushed, so that the new
    // file survives a power cut), and never truncates an existing one. A file that may only
    // be read is opened for reading, and writes then fail.
    RecordFile(std::string path, int recordLength, std::int64_t maxRecords, bool mayCreate = true);
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

    // Locks the file against other programs (and other RecordFiles of this one), waiting
    // at most `wait` for them to let go; throws FileError(Action::Lock, path, EBUSY) when
    // the wait runs out. Shared locks go together; an exclusive one stands alone; a program
    // waiting for an exclusive lock is let in first (storage/range_lock.h). Held until
    // unlock() or the file is closed; a lock already held is let go first. A journal left
    // behind is dealt with before lock() returns (storage/journal.h; JournalError when it
    // stops the command). A file opened for reading only cannot be locked exclusively: that
    // throws the reason it could not be opened for writing, as a write would. On Windows
    // the locks also bind reads and writes: an exclusive lock keeps every other handle from
    // reading or writing (they fail with the EBUSY reason), and a shared lock keeps everyone
    // from writing, its own holder included; so write only under an exclusive lock.
    void lock(LockKind kind, std::chrono::milliseconds wait = kLockWait);
    void unlock();

    const std::string& path() const { return path_; }
    // The journal beside the file: its name with ".journal" added.
    const std::string& journalPath() const { return journal_; }

private:
    // Deals with a journal left behind, if any, under the exclusive lock. Gives 0, or the
    // reason a journal had to stay though the file holds its old bytes (a folder that takes
    // no change): a reader may then go on, a writer may not.
    int recover();
    // Moves an unfit journal out of the way and throws the JournalError that says so.
    [[noreturn]] void setAside(JournalError::Unfit why);

    std::string path_;
    std::string journal_;
    int recordLength_;
    std::int64_t maxRecords_;
    platform::native::File file_;
    RangeLock lock_{file_};
    ShareLock share_;
    int writeErrno_ = 0; // why the file could not be opened for writing
    bool eof_ = false;
};

} // namespace storage
