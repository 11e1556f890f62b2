#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The rollback journal of a record file: how a write that changes more than one record's
// place, or bytes already in the file, is made all or nothing, and how one cut short is
// taken back. A plain append of one record needs none: cut short, it leaves less than a
// record at the end, which counts as nothing and is overwritten by the next append.
//
// Invariants
//   1. A journal is on the disk, with its folder entry, before the first byte of the file
//      changes (RecordFile::writeRecords: create, write, flush, flush the folder).
//   2. The write is final exactly when the journal's removal is on the disk; until then it
//      can be taken back from the journal alone.
//   3. While a journal is there, the file holds at every byte of the write's range the old
//      byte or the new one (a zero where the file had no byte before), and its length lies
//      between the old length and the new: a write cut short, a take-back cut short and a
//      power cut in either leave nothing else. fits() checks exactly this.
//   4. Whoever takes the file's lock and finds a journal (its writer died, or lost its disk,
//      since no one sees a journal while its writer holds the lock) deals with it before
//      reading, counting or writing anything (RecordFile::recover).
//   5. A journal is played back only onto a file it fits. One that does not fit, is damaged
//      or is not this program's is never played back and never removed: it is set aside
//      under a dated name and the command stops, saying so; the next command goes on with
//      the file as it is.
//
// A write (RecordFile::writeRecords), with the calls behind each step:
//
//   CLEAN ─ encode(), open CreateNew, writeAt, flush, syncFolderOf ─▶ JOURNALED
//   JOURNALED ─ writeAt (the records), flush ─▶ WRITTEN
//   WRITTEN ─ remove the journal, syncFolderOf ─▶ CLEAN, the new bytes (final)
//   JOURNALED, WRITTEN ─ any call fails ─ writeAt (old bytes), setLength, flush,
//                                          remove the journal ─▶ CLEAN, the old bytes
//   any state ─ the process dies or the power goes ─▶ HOT (a journal without its writer)
//
// A journal found (RecordFile::recover):
//
//   HOT ─ classify() ─┬─ Torn (never whole, so the file never changed) ─ remove ─▶ CLEAN
//                     ├─ Damaged, Foreign ─ setAside ─▶ STOPPED (the message says so)
//                     └─ Whole ─ fits()? ─┬─ no ─ setAside ─▶ STOPPED
//                                         └─ yes ─ writeAt (old bytes), setLength, flush,
//                                                  remove, syncFolderOf ─▶ CLEAN, old bytes
//
// The format: a header that is checked on its own, then the body, checked as a whole.
//   "nenrei journal 2\n"
//   record length, old length, offset, count of old bytes, count of new bytes
//                                               (8 bytes each, little-endian)
//   FNV-1a checksum of the header so far        (8 bytes)
//   the old bytes, the new bytes
//   FNV-1a checksum of the old and new bytes    (8 bytes)
namespace storage {

// What a journaled write replaces and what it writes.
struct Journal {
    int recordLength = 0;
    std::int64_t oldLength = 0; // of the file before the write
    std::int64_t offset = 0;    // where the write starts
    std::string old;            // the bytes it overwrites: those of its range below oldLength
    std::string written;        // the bytes it writes from `offset` on

    std::int64_t newLength() const;
};

// The journal file's bytes.
std::string encode(const Journal& journal);

// The largest journal a write of at most `maxRecords` records of `recordLength` bytes
// makes: nothing longer is read.
std::int64_t maxJournalBytes(int recordLength, std::int64_t maxRecords);

enum class JournalKind {
    Whole,   // as its writer wrote it: it may be played back
    Torn,    // never whole (empty, zeros, or shorter than its header says): its writer died
             // before it was on the disk, and so before the file changed
    Damaged, // whole once and changed since, or with fields no write of this program has
    Foreign, // not a journal of this program's (another format, or too long)
};

// What the bytes of a journal file are, for a record file of `recordLength` bytes a record
// and at most `maxRecords` records; `out` gets a Whole journal. Every field is checked
// before anything is taken from it.
JournalKind classify(std::string_view bytes, int recordLength, std::int64_t maxRecords,
                     Journal& out);

// Whether a file of `length` bytes that holds `range` from the byte min(offset, old length)
// on (as much of it as the file has, up to the end of the write) is in a state the write
// could have left (invariant 3).
bool fits(const Journal& journal, std::int64_t length, std::string_view range);

// Whether such a file already holds its old bytes and length: nothing to put back.
bool holdsOld(const Journal& journal, std::int64_t length, std::string_view range);

} // namespace storage
