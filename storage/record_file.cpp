#include "storage/record_file.h"

#include "platform/system.h"
#include "storage/journal.h"
#include "storage/seam.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace storage {

namespace native = platform::native;

namespace {

// Removes the journal and flushes its folder: from then on the change it would undo is
// final. Gives 0 once that is on the disk.
int discardJournal(native::File& journal, const std::string& path) {
    journal.close();
    int err = call("journal remove", [&] { return native::remove(path); });
    if (!err)
        err = call("folder flush", [&] { return native::syncFolderOf(path); });
    return err;
}

} // namespace

RecordFile::RecordFile(std::string path, int recordLength, std::int64_t maxRecords, bool mayCreate)
    : path_(std::move(path)), journal_(native::resolvedPath(path_) + ".journal"),
      recordLength_(recordLength), maxRecords_(maxRecords),
      share_(native::resolvedPath(path_), path_) {
    if (!mayCreate) {
        native::File probe;
        if (native::open(path_, {native::OpenMode::ReadOnly}, probe) == ENOENT)
            throw FileError(FileError::Action::Open, path_, ENOENT);
    }
    bool created = false;
    int err = native::open(path_, {native::OpenMode::ReadWrite, &created}, file_);
    if (err == EACCES || err == EPERM || err == EROFS) {
        // A file that may be read but not written can still be searched and listed;
        // writing to it then fails with the reason the first open gave.
        writeErrno_ = err;
        if (native::open(path_, {native::OpenMode::ReadOnly}, file_) == 0)
            err = 0;
    }
    if (err)
        throw FileError(FileError::Action::Open, path_, err);
    // A new file is only there for good once its folder is on the disk too.
    if (created)
        if (int e = call("folder flush",
                         [&] { return native::syncFolderOf(native::resolvedPath(path_)); }))
            throw FileError(FileError::Action::Write, path_, e);
}

RecordFile::~RecordFile() = default;

std::string RecordFile::read(std::int64_t n) {
    std::string bytes(static_cast<std::size_t>(recordLength_), '\0');
    std::size_t got = 0;
    if (int err = file_.readAt((n - 1) * recordLength_, bytes.data(), bytes.size(), got))
        throw FileError(FileError::Action::Read, path_, err);
    eof_ = got < bytes.size();
    return bytes;
}

std::string RecordFile::readRecords(std::int64_t first, std::int64_t count) {
    const std::int64_t whole =
        std::max<std::int64_t>(0, std::min(count, wholeRecords() - first + 1));
    std::string bytes(static_cast<std::size_t>(whole * recordLength_), '\0');
    std::size_t got = 0;
    if (int err = file_.readAt((first - 1) * recordLength_, bytes.data(), bytes.size(), got))
        throw FileError(FileError::Action::Read, path_, err);
    bytes.resize(got - got % static_cast<std::size_t>(recordLength_));
    return bytes;
}

void RecordFile::write(std::int64_t n, std::string_view bytes) {
    std::string record(bytes.substr(0, static_cast<std::size_t>(recordLength_)));
    record.resize(static_cast<std::size_t>(recordLength_), '\0');
    writeRecords(n, record);
}

void RecordFile::writeRecords(std::int64_t first, std::string_view records,
                              const std::function<bool()>& abandon) {
    countWrite();
    using Undo = WriteError::Undo;
    if (writeErrno_ != 0)
        throw WriteError(path_, writeErrno_, Undo::Unchanged);
    const auto length = static_cast<std::size_t>(recordLength_);
    Journal undo;
    undo.recordLength = recordLength_;
    undo.offset = (first - 1) * recordLength_;
    undo.written = records;
    undo.written.resize(
        std::max<std::size_t>(1, (undo.written.size() + length - 1) / length) * length, '\0');
    if (first < 1 ||
        undo.offset + static_cast<std::int64_t>(undo.written.size()) > maxRecords_ * recordLength_)
        throw std::logic_error("a write past the last record number");

    if (int err = call("length", [&] { return file_.length(undo.oldLength); }))
        throw WriteError(path_, err, Undo::Unchanged);
    // What the change replaces: the old bytes it overwrites, and the old length.
    if (undo.offset < undo.oldLength) {
        undo.old.resize(std::min<std::size_t>(
            undo.written.size(), static_cast<std::size_t>(undo.oldLength - undo.offset)));
        std::size_t got = 0;
        int err = call("read", [&] {
            return file_.readAt(undo.offset, undo.old.data(), undo.old.size(), got);
        });
        if (err || got != undo.old.size())
            throw WriteError(path_, err ? err : EIO, Undo::Unchanged);
    }
    const bool journaled = !(undo.offset == undo.oldLength && undo.oldLength % recordLength_ == 0 &&
                             undo.written.size() == length);
    native::File journal;
    if (journaled) {
        const std::string saved = encode(undo);
        int err = call("journal create", [&] {
            return native::open(journal_, {native::OpenMode::CreateNew}, journal);
        });
        if (!err)
            err = writeCall("journal write", journal, 0, saved);
        if (!err)
            err = call("journal flush", [&] { return journal.flush(); });
        if (!err)
            err = call("folder flush", [&] { return native::syncFolderOf(journal_); });
        if (err) {
            // The file is untouched; a journal half made is this program's to remove.
            if (journal.isOpen()) {
                journal.close();
                native::remove(journal_);
            }
            throw WriteError(path_, err, Undo::Unchanged, 0, {}, journal_);
        }
    }

    int err = writeCall("write", file_, undo.offset, undo.written);
    if (!err)
        err = call("flush", [&] { return file_.flush(); });
    if (!err && abandon && abandon())
        err = EINTR;
    if (!err && !journaled)
        return;
    bool journalGone = false;
    if (!err) {
        err = discardJournal(journal, journal_);
        if (!err)
            return;
        journalGone = !native::exists(journal_);
    }

    // Take the change back: the old bytes, then the old length.
    int undoErr = 0;
    if (!undo.old.empty())
        undoErr = writeCall("write", file_, undo.offset, undo.old);
    if (!undoErr)
        undoErr = call("truncate", [&] { return file_.setLength(undo.oldLength); });
    if (!undoErr)
        undoErr = call("flush", [&] { return file_.flush(); });
    if (!undoErr) {
        // Should the journal stay, the next lock finds the old bytes and only removes it.
        if (journaled && !journalGone)
            discardJournal(journal, journal_);
        throw WriteError(path_, err, Undo::Restored);
    }
    throw WriteError(path_, err, journaled && !journalGone ? Undo::Journaled : Undo::Unknown,
                     undoErr, journal_);
}

void RecordFile::setAside(JournalError::Unfit why) {
    // A dated name beside it, never one that is taken.
    const std::string stamp = journal_ + "-" + platform::localTimestamp();
    std::string aside = stamp;
    int err = 0;
    for (int n = 2; n < 100; ++n) {
        err = call("journal rename", [&] { return native::rename(journal_, aside); });
        if (err != EEXIST)
            break;
        aside = stamp + "-" + std::to_string(n);
    }
    if (err)
        throw JournalError::notSetAside(path_, journal_, why, err);
    // Should the new name not survive a power cut, the journal is found and set aside again.
    call("folder flush", [&] { return native::syncFolderOf(journal_); });
    throw JournalError::setAside(path_, journal_, aside, why);
}

int RecordFile::recover() {
    native::File journal;
    int err = call("journal open",
                   [&] { return native::open(journal_, {native::OpenMode::Existing}, journal); });
    if (err == ENOENT)
        return 0;
    // A link, a folder or a device is not this program's.
    if (err == ELOOP || err == EINVAL || err == EISDIR)
        setAside(JournalError::Unfit::Foreign);
    std::int64_t size = 0;
    if (!err)
        err = call("journal length", [&] { return journal.length(size); });
    if (err)
        throw JournalError::unreadable(path_, journal_, err);
    // Nothing longer than the largest journal a write makes is read.
    if (size > maxJournalBytes(recordLength_, maxRecords_)) {
        journal.close();
        setAside(JournalError::Unfit::Foreign);
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t got = 0;
    err = call("journal read", [&] { return journal.readAt(0, bytes.data(), bytes.size(), got); });
    if (err)
        throw JournalError::unreadable(path_, journal_, err);
    bytes.resize(got);
    Journal undo;
    switch (classify(bytes, recordLength_, maxRecords_, undo)) {
    case JournalKind::Torn:
        // Its writer died before the journal was whole, so before the file changed.
        journal.close();
        err = call("journal remove", [&] { return native::remove(journal_); });
        return err == ENOENT ? 0 : err;
    case JournalKind::Damaged:
        journal.close();
        setAside(JournalError::Unfit::Damaged);
    case JournalKind::Foreign:
        journal.close();
        setAside(JournalError::Unfit::Foreign);
    case JournalKind::Whole:
        break;
    }

    // The file as the write left it: its length and the bytes of the write's range.
    std::int64_t length = 0;
    if (int e = file_.length(length))
        throw FileError(FileError::Action::Read, path_, e);
    const std::int64_t start = std::min(undo.offset, undo.oldLength);
    const std::int64_t end =
        std::min(length, undo.offset + static_cast<std::int64_t>(undo.written.size()));
    std::string range(static_cast<std::size_t>(std::max<std::int64_t>(0, end - start)), '\0');
    if (int e = file_.readAt(start, range.data(), range.size(), got))
        throw FileError(FileError::Action::Read, path_, e);
    range.resize(got);
    if (!fits(undo, length, range)) {
        journal.close();
        setAside(JournalError::Unfit::Mismatch);
    }
    bool changed = false;
    if (!holdsOld(undo, length, range)) {
        if (writeErrno_ != 0)
            throw JournalError::notPlayedBack(path_, journal_, writeErrno_);
        if (!undo.old.empty())
            err = writeCall("write", file_, undo.offset, undo.old);
        if (!err)
            err = call("truncate", [&] { return file_.setLength(undo.oldLength); });
        if (!err)
            err = call("flush", [&] { return file_.flush(); });
        if (err)
            throw JournalError::notPlayedBack(path_, journal_, err);
        changed = true;
    }
    journal.close();
    err = call("journal remove", [&] { return native::remove(journal_); });
    if (err == 0 || err == ENOENT) {
        // The old bytes are on the disk: a journal that comes back after a power cut finds
        // them and is only removed again.
        call("folder flush", [&] { return native::syncFolderOf(journal_); });
        return 0;
    }
    if (changed)
        throw JournalError::playedBackButKept(path_, journal_, err);
    return err;
}

void RecordFile::lock(LockKind kind, std::chrono::milliseconds wait) {
    unlock();
    if (kind == LockKind::Exclusive && writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    const Deadline deadline = std::chrono::steady_clock::now() + wait;
    // The byte-range lock keeps this computer's programs in turn, the lock file the
    // computers on a shared folder.
    auto take = [&](LockKind k) {
        if (int err = lock_.take(k, deadline))
            throw FileError(FileError::Action::Lock, path_, err);
        try {
            share_.take(deadline);
        } catch (...) {
            lock_.release();
            throw;
        }
    };
    take(kind);
    // Its writer would hold the lock, so a journal found now was left by a writer that died
    // or failed half-way: it is dealt with before anything is read.
    while (native::exists(journal_)) {
        if (kind == LockKind::Shared) {
            // A reader deals with it under a writer's lock, then comes in again.
            unlock();
            if (writeErrno_ != 0)
                throw JournalError::notPlayedBack(path_, journal_, writeErrno_);
            take(LockKind::Exclusive);
        }
        int kept = 0;
        try {
            kept = recover();
        } catch (...) {
            unlock();
            throw;
        }
        if (kind == LockKind::Exclusive) {
            if (kept) {
                unlock();
                throw JournalError::keptBlocksWrite(path_, journal_, kept);
            }
            return;
        }
        unlock();
        take(LockKind::Shared);
        // A journal that had to stay beside the old bytes is no reason not to read them.
        if (kept)
            return;
    }
}

void RecordFile::unlock() {
    share_.release();
    lock_.release();
}

std::int64_t RecordFile::length() const {
    std::int64_t size = 0;
    if (int err = file_.length(size))
        throw FileError(FileError::Action::Read, path_, err);
    return size;
}

std::int64_t RecordFile::wholeRecords() const {
    return length() / recordLength_;
}

} // namespace storage
