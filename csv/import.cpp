#include "csv/csv_tool.h"

#include "core/era.h"
#include "core/file_text.h"
#include "core/kojin_record.h"
#include "datafiles/register.h"
#include "platform/cp932.h"
#include "platform/utf8.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace csvtool {

namespace {

// Most bytes a row may take, and most values of a row that are kept: a CSV of any size, or
// an endless one, is read in little memory.
constexpr std::size_t kMaxRowBytes = std::size_t{1} << 20;
constexpr std::size_t kMaxRowValues = 4096;

// Position just past the line break that ends the line starting at `from` (LF, CR LF or
// a lone CR), or the end of the text.
std::size_t nextLine(std::string_view text, std::size_t from) {
    std::size_t end = text.find_first_of("\r\n", from);
    if (end == std::string_view::npos)
        return text.size();
    return text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
}

std::size_t lineBreaks(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; (pos = text.find_first_of("\r\n", pos)) != std::string_view::npos;
         ++count)
        pos = nextLine(text, pos);
    return count;
}

// A row as the reader hands it over: the line it starts on, from 1, its number of values
// and the first kMaxRowValues of them.
struct Row {
    std::size_t line = 0;
    std::size_t count = 0;
    const std::vector<std::string>* values = nullptr;
};

// The rows of a CSV read a piece at a time by libcsv in strict RFC 4180 mode: spaces belong
// to the values, a quote may only open a value or be doubled inside a quoted one. Each
// piece is fed a line at a time, so that each row knows the line it starts on.
class Reader {
public:
    Reader(const std::string& csvName, std::function<void(const Row&)> onRow)
        : name_(csvName), onRow_(std::move(onRow)) {
        if (csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) != 0)
            throw platform::UserError("CSV を読む準備ができません。");
        csv_set_space_func(&parser_, [](unsigned char) { return 0; });
    }
    ~Reader() { csv_free(&parser_); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // The next piece of the text.
    void feed(std::string_view text) {
        std::string joined;
        if (!carry_.empty()) {
            joined = std::exchange(carry_, "") + std::string(text);
            text = joined;
        }
        if (!started_ && text.size() < 3 && std::string_view("\xEF\xBB\xBF").starts_with(text)) {
            carry_ = text; // perhaps the start of a byte-order mark
            return;
        }
        if (!started_ && text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        started_ = true;
        // A CR at the end may be the first half of a CR LF: it waits for the next piece.
        if (!text.empty() && text.back() == '\r') {
            carry_ = "\r";
            text.remove_suffix(1);
        }
        for (std::size_t pos = 0; pos < text.size();) {
            std::size_t end = nextLine(text, pos);
            parse(text.substr(pos, end - pos), text[end - 1] == '\n' || text[end - 1] == '\r');
            pos = end;
        }
    }

    // The end of the text.
    void finish() {
        started_ = true;
        if (!carry_.empty())
            feed(std::exchange(carry_, "") + "\n");
        line_ = std::max<std::size_t>(line_ - 1, 1);
        if (csv_fini(&parser_, onValue, onRowEnd, this) != 0)
            fail(line_, "ファイルの終わりで引用符（\"）が閉じていません。");
    }

    // Refuses the text from the line given on.
    [[noreturn]] void fail(std::size_t line, const std::string& reason) const {
        throw platform::UserError("CSV「" + name_ + "」の " + std::to_string(line) +
                                  " 行目: " + reason + "\n名簿には何も書き込んでいません。");
    }

private:
    void parse(std::string_view piece, bool lineEnds) {
        rowBytes_ += piece.size();
        if (rowBytes_ > kMaxRowBytes)
            fail(line_ - breaks_, "1 行が " + std::to_string(kMaxRowBytes >> 20) +
                                      " MB を超えています。CSV のファイルか確かめてください。");
        if (csv_parse(&parser_, piece.data(), piece.size(), onValue, onRowEnd, this) !=
            piece.size())
            fail(line_, csv_error(&parser_) == CSV_EPARSE
                            ? "引用符（\"）の使い方が正しくありません。"
                            : "値が大きすぎます。");
        if (lineEnds)
            ++line_;
    }
    static void onValue(void* bytes, std::size_t size, void* self) {
        auto* r = static_cast<Reader*>(self);
        std::string_view value(static_cast<const char*>(bytes), bytes ? size : 0);
        if (r->count_ < kMaxRowValues) {
            if (r->count_ == r->values_.size())
                r->values_.emplace_back();
            r->values_[r->count_].assign(value);
        }
        ++r->count_;
        if (value.find_first_of("\r\n") != std::string_view::npos)
            r->breaks_ += lineBreaks(value);
    }
    static void onRowEnd(int, void* self) {
        auto* r = static_cast<Reader*>(self);
        r->onRow_({r->line_ - r->breaks_, r->count_, &r->values_});
        r->count_ = 0;
        r->breaks_ = 0;
        r->rowBytes_ = 0;
    }

    std::string name_;
    std::function<void(const Row&)> onRow_;
    csv_parser parser_{};
    bool started_ = false;
    std::string carry_;
    std::size_t line_ = 1;     // line being fed
    std::size_t breaks_ = 0;   // line breaks inside the values of the row being read
    std::size_t rowBytes_ = 0; // bytes fed since the row began
    std::size_t count_ = 0;    // values of the row being read
    std::vector<std::string> values_;
};

// The columns a row must have: the record's fields after its number.
struct Column {
    std::string_view name;
    bool era;
    int width; // of the field, bytes
};

constexpr std::array<Column, core::kFieldCount - 1> columns() {
    std::array<Column, core::kFieldCount - 1> out{};
    for (std::size_t i = 1; i < core::kFieldCount; ++i) {
        const core::Field& f = core::kFields[i];
        out[i - 1] = {f.heading, f.member == &core::KojinRecord::gengou, f.width};
    }
    return out;
}

constexpr std::array<Column, core::kFieldCount - 1> kColumns = columns();

// The bytes of the number, the first field, which the import gives each record as it writes.
constexpr auto kNumberBytes = static_cast<std::size_t>(core::fieldOffset(1));

// The columns' names joined by `separator`: 氏名,元号,年,月,日.
std::string columnNames(std::string_view separator) {
    std::string names;
    for (const Column& c : kColumns)
        names += (names.empty() ? "" : std::string(separator)) + std::string(c.name);
    return names;
}

std::string eraNames() {
    std::string names;
    for (const core::Era& era : core::kEras)
        names += (names.empty() ? "" : "・") + std::string(era.name);
    return names;
}

// Why a value cannot be stored in its field unchanged, or nothing when it can; `bytes`
// gets the value in code page 932.
std::optional<std::string> problem(const Column& column, std::string_view value,
                                   std::string& bytes) {
    if (column.era && !core::eraIndex(value))
        return value.empty() ? "元号が空です。" + eraNames() + " のどれかを書いてください。"
                             : "「" + std::string(value) + "」は元号ではありません。" + eraNames() +
                                   " のどれかを書いてください。";
    platform::cp932::Encoded encoded = platform::cp932::encode(value);
    bytes = std::move(encoded.bytes);
    if (!encoded.ok()) {
        std::string list;
        for (const std::string& ch : encoded.unencodable)
            list += "「" + ch + "」";
        return "次の文字は名簿（コードページ 932）に保存できません: " + list;
    }
    // A zero byte ends the value wherever the register is shown.
    if (bytes.find('\0') != std::string::npos)
        return std::string("NUL 文字は名簿に保存できません。");
    if (bytes.size() > static_cast<std::size_t>(column.width))
        return std::to_string(column.width) + " バイトの欄に入りません（" +
               std::to_string(bytes.size()) + " バイトあります）。";
    return std::nullopt;
}

// The rows of a CSV as records to append: the header row finds the columns, and each data
// row is checked and kept as the fields of its record after the number, in code page 932.
// Problems are collected, the first kMaxListed of them in full.
class Rows {
public:
    static constexpr std::size_t kMaxListed = 100;

    Rows(const std::string& csvName, const std::string& registerPath)
        : name_(csvName), registerPath_(registerPath) {}

    void take(const Row& row, const Reader& reader) {
        const auto values = std::span(*row.values).first(std::min(row.count, kMaxRowValues));
        if (auto bad = std::find_if(
                values.begin(), values.end(),
                [](const std::string& v) { return platform::utf8::firstMalformed(v).has_value(); });
            bad != values.end())
            reader.fail(row.line + lineBreaks(std::string_view(*bad).substr(
                                       0, *platform::utf8::firstMalformed(*bad))),
                        "UTF-8 として読めないバイトがあります。CSV は UTF-8 で保存してください。");
        if (!header_)
            return takeHeader(row, values);
        if (++people_ > static_cast<std::size_t>(core::kMostRecords))
            throw platform::UserError(
                "名簿「" + registerPath_ + "」は " + std::to_string(core::kMostRecords) +
                " 件までですが、CSV のデータ行はそれより多くあります（" + std::to_string(row.line) +
                " 行目で読むのをやめました）。\n名簿には何も書き込んでいません。");
        const std::string where = std::to_string(row.line) + " 行目";
        if (row.count != columns_) {
            add(where + ": 値が " + std::to_string(row.count) + " 個あり、ヘッダー行の列の数 " +
                std::to_string(columns_) + " と合いません。");
            return;
        }
        const std::size_t before = problems_;
        core::KojinRecord record;
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            const std::string_view value = unguardedCell(values[at_[c]]);
            if (auto why = problem(kColumns[c], value, bytes_))
                add(where + "「" + std::string(kColumns[c].name) + "」: " + *why);
            record.*core::kFields[c + 1].member = value;
        }
        // The record after its number, as the codec stores it, once for the whole import.
        if (problems_ == before)
            records_ += core::encodeRecord(record, registerPath_).substr(kNumberBytes);
    }

    // The records after their numbers, each kRecordLength − kNumberBytes bytes, once every
    // row is in; platform::UserError listing the problems otherwise.
    const std::string& records() const {
        if (!header_)
            throw headerError("ありません。1 行目に列の名前（" + columnNames(",") +
                              "）を書いてください。");
        if (problems_ == 0)
            return records_;
        std::string more =
            problems_ > kMaxListed
                ? "ほかに " + std::to_string(problems_ - kMaxListed) + " 件の誤りがあります。\n"
                : "";
        throw platform::UserError("CSV「" + name_ + "」を取り込めません。\n" + listed_ + more +
                                  "名簿には何も書き込んでいません。");
    }
    std::size_t people() const { return people_; }

    // The register, holding `records` now, cannot take the rows.
    platform::UserError tooMany(std::int64_t records) const {
        return platform::UserError("名簿「" + registerPath_ + "」は " +
                                   std::to_string(core::kMostRecords) + " 件までです。今 " +
                                   std::to_string(records) + " 件あり、CSV の " +
                                   std::to_string(people_) +
                                   " 件は入りません。\n名簿には何も書き込んで"
                                   "いません。");
    }

private:
    platform::UserError headerError(const std::string& reason) const {
        return platform::UserError("CSV「" + name_ + "」のヘッダー行: " + reason +
                                   "\n名簿には何も書き込んでいません。");
    }
    void takeHeader(const Row& row, std::span<const std::string> names) {
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            auto count = std::count(names.begin(), names.end(), kColumns[c].name);
            if (count != 1)
                throw headerError("列「" + std::string(kColumns[c].name) + "」が" +
                                  (count == 0 ? "ありません。" : " 2 つ以上あります。") +
                                  columnNames("・") + "の列が 1 つずつ要ります。");
            at_[c] = static_cast<std::size_t>(
                std::find(names.begin(), names.end(), kColumns[c].name) - names.begin());
        }
        columns_ = row.count;
        header_ = true;
    }
    void add(const std::string& problem) {
        if (++problems_ <= kMaxListed)
            listed_ += problem + "\n";
    }

    std::string name_, registerPath_;
    bool header_ = false;
    std::size_t columns_ = 0;
    std::array<std::size_t, kColumns.size()> at_{};
    std::size_t people_ = 0;
    std::size_t problems_ = 0;
    std::string listed_;
    std::string bytes_;
    std::string records_;
};

} // namespace

int importCsv(const std::function<std::size_t(char*, std::size_t)>& read,
              const std::string& csvName, const std::string& registerPath) {
    Rows rows(csvName, registerPath);
    {
        std::optional<Reader> reader;
        reader.emplace(csvName, [&](const Row& row) { rows.take(row, *reader); });
        std::vector<char> buffer(std::size_t{1} << 16);
        while (std::size_t n = read(buffer.data(), buffer.size()))
            reader->feed(std::string_view(buffer.data(), n));
        reader->finish();
    }
    const std::string& fields = rows.records();
    if (fields.empty())
        return 0;

    datafiles::Register reg(registerPath);
    // Held for the whole import, so that no other program appends meanwhile.
    std::optional<datafiles::Transaction> held;
    try {
        held.emplace(reg.writing());
    } catch (const storage::FileError& e) {
        throw platform::UserError(std::string(e.what()) + "\n名簿は取り込む前のままです。");
    }
    const std::int64_t first = held->wholeRecords() + 1;
    const auto added = static_cast<std::int64_t>(rows.people());
    if (first - 1 + added > core::kMostRecords)
        throw rows.tooMany(first - 1);
    // The records, numbered from the first after the whole records: like a registration,
    // the first goes over a partial record at the end. The number is the codec's too.
    const std::size_t kept = core::kRecordLength - kNumberBytes;
    std::string records;
    records.reserve(static_cast<std::size_t>(added * core::kRecordLength));
    std::vector<std::string> none;
    for (std::int64_t i = 0; i < added; ++i) {
        records += core::storedField(std::to_string(first + i), core::kFields[0].width, none);
        records.append(fields, static_cast<std::size_t>(i) * kept, kept);
    }
    platform::StopRequests stop;
    try {
        // One write: all the records land, or none (a journal covers a program that dies
        // half-way); a stop asked for meanwhile takes them back.
        held->writeRecords(first, records, [&] { return stop.asked(); });
    } catch (const storage::FileError& e) {
        throw platform::UserError(e.what());
    }
    return static_cast<int>(added);
}

int importCsv(std::string_view csv, const std::string& csvName, const std::string& registerPath) {
    return importCsv(
        [&](char* out, std::size_t size) {
            const std::size_t n = std::min(size, csv.size());
            std::copy_n(csv.data(), n, out);
            csv.remove_prefix(n);
            return n;
        },
        csvName, registerPath);
}

} // namespace csvtool
