#include "platform/files.h"

#include <atomic>

#include <algorithm>
#include <cerrno>
#include <memory>

// The file services' platform-neutral part: messages, the file table and the quoted-values
// text. Opening, reading and writing files is in posix/files_posix.cpp and
// win32/files_win32.cpp.
namespace platform {

namespace {
std::atomic<std::uint64_t> writes{0};
} // namespace

std::int64_t RecordFile::wholeRecords() const {
    return length() / recordLength_;
}

std::string RecordFile::startWrite(std::string_view bytes) {
    countWrite();
    if (writeErrno_ != 0)
        throw FileError(FileError::Action::Write, path_, writeErrno_);
    std::string record(bytes.substr(0, static_cast<std::size_t>(recordLength_)));
    record.resize(static_cast<std::size_t>(recordLength_), '\0');
    return record;
}

std::uint64_t writesStarted() {
    return writes;
}

void countWrite() {
    ++writes;
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
    }
    return "を扱えません。";
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
