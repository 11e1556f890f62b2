#include "files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

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
    }
    return "を扱えません。";
}

// Writes all of `bytes` at `offset`, retrying short writes.
bool writeAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

// An errno value for an open file that cannot hold data files: a pipe or a socket.
int unusableKind(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) ? EINVAL : 0;
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
    : std::runtime_error("ファイル「" + path + "」" + actionText(action) +
                         "\n理由: " + reasonText(errnum)) {}

std::string reasonText(int errnum) {
    switch (errnum) {
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました。";
    case EROFS:
        return "読み取り専用の場所です。";
    case ENOSPC:
    case EDQUOT:
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
        return "通常のファイルではありません。";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます。";
    default:
        return std::string("システムエラー（") + std::strerror(errnum) + "）";
    }
}

RecordFile::RecordFile(std::string path, int recordLength)
    : path_(std::move(path)), recordLength_(recordLength) {
    // Non-blocking, so that a named pipe in the file's place cannot hang the program.
    constexpr int kFlags = O_CLOEXEC | O_NONBLOCK;
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    if (fd_ < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // A file that may be read but not written can still be searched and listed;
        // writing to it then fails with the reason the first open gave.
        writeErrno_ = errno;
        fd_ = ::open(path_.c_str(), O_RDONLY | kFlags);
        if (fd_ < 0)
            errno = writeErrno_;
    }
    if (fd_ < 0)
        throw FileError(FileError::Action::Open, path_, errno);
    if (int err = unusableKind(fd_)) {
        ::close(fd_);
        fd_ = -1;
        throw FileError(FileError::Action::Open, path_, err);
    }
}

RecordFile::~RecordFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string RecordFile::read(std::int64_t n) {
    std::string bytes(static_cast<std::size_t>(recordLength_), '\0');
    off_t offset = static_cast<off_t>(n - 1) * recordLength_;
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t r =
            ::pread(fd_, bytes.data() + got, bytes.size() - got, offset + static_cast<off_t>(got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(FileError::Action::Read, path_, errno);
        }
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    eof_ = got < bytes.size();
    return bytes;
}

void RecordFile::write(std::int64_t n, std::string_view bytes) {
    if (writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    std::string record(bytes.substr(0, static_cast<std::size_t>(recordLength_)));
    record.resize(static_cast<std::size_t>(recordLength_), '\0');
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw FileError(FileError::Action::Write, path_, errno);
    off_t offset = static_cast<off_t>(n - 1) * recordLength_;
    // The bytes the record replaces, put back if the write fails half-way.
    std::string old;
    if (offset < st.st_size) {
        old.resize(static_cast<std::size_t>(
            std::min<off_t>(recordLength_, static_cast<off_t>(st.st_size) - offset)));
        if (::pread(fd_, old.data(), old.size(), offset) != static_cast<ssize_t>(old.size()))
            throw FileError(FileError::Action::Read, path_, errno ? errno : EIO);
    }
    // The record must have reached the disk before a command reports success; some
    // failures (a full disk among them) only show when the data is flushed.
    if (!writeAll(fd_, record, offset) || ::fdatasync(fd_) != 0) {
        int err = errno;
        // Best effort: the write error is what the user needs to know, whatever follows.
        if (!old.empty() && writeAll(fd_, old, offset))
            ::fdatasync(fd_);
        if (offset + recordLength_ > st.st_size && ::ftruncate(fd_, st.st_size) == 0)
            ::fdatasync(fd_);
        throw FileError(FileError::Action::Write, path_, err);
    }
}

std::int64_t RecordFile::wholeRecords() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw FileError(FileError::Action::Read, path_, errno);
    return static_cast<std::int64_t>(st.st_size) / recordLength_;
}

std::int64_t RecordFile::length() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw FileError(FileError::Action::Read, path_, errno);
    return static_cast<std::int64_t>(st.st_size);
}

void RecordFile::resize(std::int64_t bytes) {
    if (writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    if (::ftruncate(fd_, static_cast<off_t>(bytes)) != 0 || ::fdatasync(fd_) != 0)
        throw FileError(FileError::Action::Write, path_, errno);
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

void writeQuotedLine(const std::string& path, const std::vector<std::string>& values) {
    std::string line = quotedLine(values);

    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw FileError(FileError::Action::Replace, path, errno);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw FileError(FileError::Action::Replace, path, err);
    };
    // mkstemp creates the file private to the owner; give it the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0)
        fail(errno);
    if (!writeAll(fd, line, 0))
        fail(errno);
    if (::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        throw FileError(FileError::Action::Replace, path, err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        throw FileError(FileError::Action::Replace, path, err);
    }
    // Make the rename itself durable. Some file systems cannot sync a folder; the data
    // is on the disk already, so that is not reported.
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::optional<std::vector<std::string>> readQuotedValues(const std::string& path,
                                                         std::size_t count) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw FileError(FileError::Action::Open, path, errno);
    }
    if (int err = unusableKind(fd)) {
        ::close(fd);
        throw FileError(FileError::Action::Open, path, err);
    }
    // The values sit at the start of the file; a huge file is not read to its end.
    constexpr std::size_t kMaxBytes = 1 << 20;
    std::string text;
    char buffer[4096];
    while (text.size() < kMaxBytes) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            throw FileError(FileError::Action::Read, path, err);
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return parseQuotedValues(text, count);
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
