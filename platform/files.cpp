#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>

// The file services' platform-neutral part: the record file with its journal and locks,
// messages, the file table and the quoted-values text, built on the system calls of
// posix/files_posix.cpp and win32/files_win32.cpp.
namespace platform {

namespace {

std::atomic<std::uint64_t> writes{0};
std::atomic<faults::Hook> hook{nullptr};

// One call to the system, through the seam of the fault tests.
template <typename Call> int call(const char* name, Call&& system) {
    if (int err = faults::check(name))
        return err;
    return system();
}

// A write through the seam, which may also cut it short: half of the bytes are written and
// the hook is told so ("torn"), as a power cut in the middle of it would leave the disk.
int writeCall(const char* name, native::File& file, std::int64_t offset, std::string_view bytes) {
    if (faults::Hook h = hook.load()) {
        const int err = h(name);
        if (err == faults::kTear) {
            file.writeAt(offset, bytes.substr(0, bytes.size() / 2));
            h("torn");
            return EIO;
        }
        if (err)
            return err;
    }
    return file.writeAt(offset, bytes);
}

// Where the locks go: the records under one range, and past any record a "pending" byte
// that a program waiting for an exclusive lock holds, so that new readers, who must pass
// it, let that program in.
constexpr std::int64_t kPendingByte = std::int64_t{1} << 62;

// The journal of a change: the file's old length and the old bytes at `offset`, in a file
// that ends with a checksum of all before it, so that a journal cut short (its writer died
// before it was flushed, and so before the file changed) is told from a whole one:
//   "nenrei journal 1\n", old length, offset, count (8 bytes each, little-endian),
//   the old bytes, FNV-1a checksum (8 bytes)
constexpr std::string_view kJournalMagic = "nenrei journal 1\n";

struct Journal {
    std::int64_t oldLength = 0;
    std::int64_t offset = 0;
    std::string old;
};

void appendNumber(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t numberAt(std::string_view bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 8; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint64_t checksum(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

std::string journalBytes(const Journal& j) {
    std::string out(kJournalMagic);
    appendNumber(out, static_cast<std::uint64_t>(j.oldLength));
    appendNumber(out, static_cast<std::uint64_t>(j.offset));
    appendNumber(out, j.old.size());
    out += j.old;
    appendNumber(out, checksum(out));
    return out;
}

enum class JournalKind {
    Whole,  // to be played back
    Torn,   // this program's, cut short before the file changed: removed
    Foreign // not this program's: left alone
};

JournalKind parseJournal(std::string_view bytes, Journal& j) {
    if (bytes.size() < kJournalMagic.size())
        return kJournalMagic.starts_with(bytes) ? JournalKind::Torn : JournalKind::Foreign;
    if (!bytes.starts_with(kJournalMagic))
        return JournalKind::Foreign;
    const std::size_t head = kJournalMagic.size() + 24;
    if (bytes.size() < head + 8)
        return JournalKind::Torn;
    const std::uint64_t count = numberAt(bytes, head - 8);
    if (count != bytes.size() - head - 8 ||
        numberAt(bytes, bytes.size() - 8) != checksum(bytes.substr(0, bytes.size() - 8)))
        return JournalKind::Torn;
    j.oldLength = static_cast<std::int64_t>(numberAt(bytes, kJournalMagic.size()));
    j.offset = static_cast<std::int64_t>(numberAt(bytes, kJournalMagic.size() + 8));
    j.old = bytes.substr(head, static_cast<std::size_t>(count));
    return j.oldLength >= 0 && j.offset >= 0 ? JournalKind::Whole : JournalKind::Torn;
}

// A file in the journal's place that this program did not write: it is never removed.
class ForeignJournalError : public FileError {
public:
    ForeignJournalError(const std::string& journal, const std::string& path)
        : FileError("ファイル「" + journal + "」は、「" + path +
                    "」への書き込みを取り消すためにこのプログラムが使う名前ですが、別の"
                    "ファイルがあります。\nそのファイルの名前を変えるか、別の場所に移してから"
                    "もう一度操作してください。") {}
};

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

namespace native {

File::~File() {
    close();
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = kNone;
    }
    return *this;
}

} // namespace native

RecordFile::RecordFile(std::string path, int recordLength)
    : path_(std::move(path)), journal_(native::resolvedPath(path_) + ".journal"),
      recordLength_(recordLength) {
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
    std::string bytes(records);
    bytes.resize(std::max<std::size_t>(1, (bytes.size() + length - 1) / length) * length, '\0');
    const std::int64_t offset = (first - 1) * recordLength_;

    std::int64_t size = 0;
    if (int err = call("length", [&] { return file_.length(size); }))
        throw WriteError(path_, err, Undo::Unchanged);
    // What the change replaces: the old bytes it overwrites, and the old length.
    Journal undo{size, offset, {}};
    if (offset < size) {
        undo.old.resize(
            std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(size - offset)));
        std::size_t got = 0;
        int err = call("read",
                       [&] { return file_.readAt(offset, undo.old.data(), undo.old.size(), got); });
        if (err || got != undo.old.size())
            throw WriteError(path_, err ? err : EIO, Undo::Unchanged);
    }
    const bool journaled = !(offset == size && size % recordLength_ == 0 && bytes.size() == length);
    native::File journal;
    if (journaled) {
        const std::string saved = journalBytes(undo);
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
            throw WriteError(path_, err, Undo::Unchanged, 0, {}, err == EEXIST ? journal_ : path_);
        }
    }

    int err = writeCall("write", file_, offset, bytes);
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
        undoErr = writeCall("write", file_, offset, undo.old);
    if (!undoErr)
        undoErr = call("truncate", [&] { return file_.setLength(size); });
    if (!undoErr)
        undoErr = call("flush", [&] { return file_.flush(); });
    if (!undoErr) {
        // Should the journal stay, the next lock plays it back again, which changes nothing.
        if (journaled && !journalGone)
            discardJournal(journal, journal_);
        throw WriteError(path_, err, Undo::Restored);
    }
    throw WriteError(path_, err, journaled && !journalGone ? Undo::Journaled : Undo::Unknown,
                     undoErr, journal_);
}

void RecordFile::recover() {
    native::File journal;
    int err = call("journal open",
                   [&] { return native::open(journal_, {native::OpenMode::Existing}, journal); });
    if (err == ENOENT)
        return;
    if (err == ELOOP || err == EINVAL || err == EISDIR)
        throw ForeignJournalError(journal_, path_);
    std::string bytes;
    std::int64_t size = 0;
    if (!err)
        err = call("journal length", [&] { return journal.length(size); });
    if (!err) {
        bytes.resize(static_cast<std::size_t>(size));
        std::size_t got = 0;
        err = call("journal read",
                   [&] { return journal.readAt(0, bytes.data(), bytes.size(), got); });
        bytes.resize(got);
    }
    if (err)
        throw FileError(FileError::Action::Recover, journal_, err);
    Journal undo;
    switch (parseJournal(bytes, undo)) {
    case JournalKind::Foreign:
        throw ForeignJournalError(journal_, path_);
    case JournalKind::Torn:
        // Its writer died before the journal was whole, so before the file changed.
        journal.close();
        if (int e = call("journal remove", [&] { return native::remove(journal_); }))
            throw FileError(FileError::Action::Recover, journal_, e);
        return;
    case JournalKind::Whole:
        break;
    }
    if (writeErrno_ != 0)
        throw FileError(FileError::Action::Recover, path_, writeErrno_);
    if (!undo.old.empty())
        err = writeCall("write", file_, undo.offset, undo.old);
    if (!err)
        err = call("truncate", [&] { return file_.setLength(undo.oldLength); });
    if (!err)
        err = call("flush", [&] { return file_.flush(); });
    if (!err)
        err = discardJournal(journal, journal_);
    if (err)
        throw FileError(FileError::Action::Recover, path_, err);
}

int RecordFile::takeLock(LockKind kind, std::chrono::steady_clock::time_point deadline) {
    const bool exclusive = kind == LockKind::Exclusive;
    auto pause = std::chrono::milliseconds(1);
    // Waits a little before the next try; false once the wait has run out.
    auto waited = [&] {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(25));
        return true;
    };
    auto tryLock = [&](std::int64_t start, std::int64_t length) {
        return call("lock", [&] { return file_.tryLock(start, length, exclusive); });
    };
    if (exclusive) {
        // The pending byte first, held while the readers inside finish, so that no new
        // reader comes in meanwhile.
        int err = 0;
        while ((err = tryLock(kPendingByte, 1)) == EAGAIN && waited())
            ;
        if (err)
            return err == EAGAIN ? EBUSY : err;
        while ((err = tryLock(0, kPendingByte)) == EAGAIN && waited())
            ;
        file_.unlock(kPendingByte, 1);
        return err == EAGAIN ? EBUSY : err;
    }
    // A reader passes the pending byte (shared, for a moment) on each try, and so waits
    // while a writer holds it.
    for (;;) {
        int err = tryLock(kPendingByte, 1);
        if (!err) {
            err = tryLock(0, kPendingByte);
            file_.unlock(kPendingByte, 1);
        }
        if (err != EAGAIN)
            return err;
        if (!waited())
            return EBUSY;
    }
}

void RecordFile::lock(LockKind kind, std::chrono::milliseconds wait) {
    unlock();
    if (kind == LockKind::Exclusive && writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (int err = takeLock(kind, deadline))
            throw FileError(FileError::Action::Lock, path_, err);
        locked_ = true;
        // Its writer would hold the lock, so a journal found now was left by a writer that
        // died or failed half-way: its change is taken back before anything is read.
        if (!native::exists(journal_))
            return;
        if (kind == LockKind::Shared) {
            // A reader plays it back under a writer's lock, then comes in again.
            unlock();
            if (writeErrno_ != 0)
                throw FileError(FileError::Action::Recover, path_, writeErrno_);
            if (int err = takeLock(LockKind::Exclusive, deadline))
                throw FileError(FileError::Action::Lock, path_, err);
            locked_ = true;
        }
        try {
            recover();
        } catch (...) {
            unlock();
            throw;
        }
        if (kind == LockKind::Exclusive)
            return;
        unlock();
    }
}

void RecordFile::unlock() {
    if (!locked_)
        return;
    file_.unlock(0, kPendingByte);
    locked_ = false;
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

InputStream::InputStream(const std::string& path) : path_(path) {
    const int err = path == "-" ? native::openStandardInput(file_)
                                : native::open(path, {native::OpenMode::Stream}, file_);
    if (err)
        throw FileError(FileError::Action::Open, path == "-" ? "標準入力" : path, err);
}

std::size_t InputStream::read(char* out, std::size_t size) {
    std::size_t got = 0;
    if (int err = file_.read(out, size, got))
        throw FileError(FileError::Action::Read, path_ == "-" ? "標準入力" : path_, err);
    return got;
}

std::uint64_t writesStarted() {
    return writes;
}

void countWrite() {
    ++writes;
}

void faults::setHook(Hook h) {
    hook = h;
}

int faults::check(const char* name) {
    const Hook h = hook.load();
    return h ? h(name) : 0;
}

namespace {

std::string actionText(FileError::Action action) {
    switch (action) {
    case FileError::Action::Open:
        return "を開けません。";
    case FileError::Action::Read:
        return "を読み込めません。";
    case FileError::Action::Write:
        return "に書き込めません。";
    case FileError::Action::Replace:
        return "を保存できません。";
    case FileError::Action::Lock:
        return "を使用できません。";
    case FileError::Action::Recover:
        return "への前回の書き込みが途中で止まっていますが、それを取り消せません。";
    }
    return "を扱えません。";
}

// What became of the bytes a failed write had changed.
std::string undoText(WriteError::Undo undo, const std::string& path, int undoErrnum,
                     const std::string& journal) {
    switch (undo) {
    case WriteError::Undo::Unchanged:
        return "ファイル「" + path + "」は書き込む前のままです。";
    case WriteError::Undo::Restored:
        return "書き込んだ分を取り消し、ファイル「" + path + "」を書き込む前の状態に戻しました。";
    case WriteError::Undo::Journaled:
        return "書き込んだ分を取り消せませんでした（理由: " + reasonText(undoErrnum) +
               "）。\nファイル「" + path +
               "」は書きかけのままですが、取り消しに使う記録をファイル「" + journal +
               "」に残しました。次にこのファイルを使うときに、書き込む前の状態に戻します。"
               "ディスクやネットワークの接続を確かめてください。";
    case WriteError::Undo::Unknown:
        break;
    }
    return "書き込んだ分を取り消せませんでした（理由: " + reasonText(undoErrnum) +
           "）。\nファイル「" + path +
           "」の末尾に、書きかけのレコードが残っているかもしれません。ディスクやネットワークの"
           "接続を確かめてから、内容を確かめてください。";
}

// The quote that closes a quoted value opened before `from`: the first one followed, after
// blanks, by a comma, a line end or the end of the text, so that a quote written inside a
// value reads back as part of it. Without such a quote, the first quote closes the value;
// without any, the value runs to the end of the text.
std::size_t closingQuote(std::string_view text, std::size_t from) {
    std::size_t first = text.find('"', from);
    for (std::size_t q = first; q != std::string_view::npos; q = text.find('"', q + 1)) {
        std::size_t next = text.find_first_not_of(" \t", q + 1);
        if (next == std::string_view::npos || text[next] == ',' || text[next] == '\r' ||
            text[next] == '\n')
            return q;
    }
    return first == std::string_view::npos ? text.size() : first;
}

} // namespace

FileError::FileError(Action action, const std::string& path, int errnum)
    : UserError("ファイル「" + path + "」" + actionText(action) + "\n理由: " + reasonText(errnum)) {
}

WriteError::WriteError(const std::string& path, int errnum, Undo undo, int undoErrnum,
                       const std::string& journal, const std::string& failed)
    : FileError(
          std::string(FileError(Action::Write, failed.empty() ? path : failed, errnum).what()) +
          "\n" + undoText(undo, path, undoErrnum, journal)),
      undo_(undo) {}

std::string reasonText(int errnum) {
    switch (errnum) {
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました。";
    case EROFS:
        return "読み取り専用の場所です。";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "ディスクの空き容量が足りません。";
    case EISDIR:
        return "同じ名前のフォルダーがあります。";
    case ENOENT:
        return "ファイルまたはフォルダーが見つかりません。";
    case ENOTDIR:
        return "パスの途中がフォルダーではありません。";
    case EFBIG:
        return "ファイルが大きすぎます。";
    case EIO:
        return "入出力エラーが発生しました。";
    case EINVAL:
    case ENXIO: // a socket or a device without its driver
    case ENODEV:
        return "通常のファイルではありません。";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます。";
    case EBUSY:
    case EAGAIN:
#if defined(EWOULDBLOCK) && EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case ETXTBSY:
        return "別のプログラムが使用中です。しばらくしてからもう一度操作してください。";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます。";
    case ELOOP:
        return "シンボリックリンクが多すぎるか、循環しています。";
    case EEXIST:
        return "同じ名前のファイルがあります。";
    case ENOMEM:
        return "メモリが足りません。";
    case EOVERFLOW:
        return "ファイルが大きすぎます。";
    case EINTR:
        return "操作が中断されました。";
    case EBADF:
        return "開かれていないか、この使い方では開かれていません。";
    default:
        return "システムエラーが発生しました（エラー番号 " + std::to_string(errnum) + "）。";
    }
}

RecordFile& FileTable::openRecord(int number, const std::string& path, int recordLength) {
    close(number);
    auto file = std::make_unique<RecordFile>(path, recordLength);
    RecordFile& ref = *file;
    files_[number] = std::move(file);
    return ref;
}

RecordFile* FileTable::record(int number) {
    auto it = files_.find(number);
    return it == files_.end() ? nullptr : it->second.get();
}

void FileTable::close(int number) {
    files_.erase(number);
}

void FileTable::closeAll() {
    files_.clear();
}

std::string quotedLine(const std::vector<std::string>& values) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        line += '"';
        line += values[i];
        line += '"';
    }
    line += "\r\n";
    return line;
}

std::vector<std::string> parseQuotedValues(std::string_view text, std::size_t count) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    std::vector<std::string> values;
    std::size_t pos = 0;
    while (values.size() < count && pos < text.size()) {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
        std::string value;
        if (pos < text.size() && text[pos] == '"') {
            std::size_t close = closingQuote(text, pos + 1);
            value = text.substr(pos + 1, close - pos - 1);
            pos = std::min(close + 1, text.size());
            // Anything between the closing quote and the separator is not part of a value.
            while (pos < text.size() && text[pos] != ',' && !isLineEnd(text[pos]))
                ++pos;
        } else {
            std::size_t end = pos;
            while (end < text.size() && text[end] != ',' && !isLineEnd(text[end]))
                ++end;
            std::size_t last = end;
            while (last > pos && isBlank(text[last - 1]))
                --last;
            value = text.substr(pos, last - pos);
            pos = end;
        }
        values.push_back(std::move(value));
        // Move past the separator: a comma, or a line end (CR LF counts as one).
        if (pos < text.size()) {
            if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
                pos += 2;
            else
                ++pos;
        }
    }
    return values;
}

} // namespace platform
