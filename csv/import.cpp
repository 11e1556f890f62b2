#include "csv/csv_tool.h"

#include "core/era.h"
#include "core/kojin_record.h"
#include "core/register.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/utf8.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace csvtool {

namespace {

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

struct Row {
    std::size_t line; // where the row starts, from 1
    std::vector<std::string> values;
};

// The rows of a CSV text, read by libcsv in strict RFC 4180 mode: spaces belong to the
// values, a quote may only open a value or be doubled inside a quoted one. The text is
// fed a line at a time so that each row knows the line it starts on.
class Reader {
public:
    explicit Reader(const std::string& csvName) : name_(csvName) {
        if (csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) != 0)
            throw DataError("CSV を読む準備ができません。");
        csv_set_space_func(&parser_, [](unsigned char) { return 0; });
    }
    ~Reader() { csv_free(&parser_); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    std::vector<Row> read(std::string_view text) {
        for (std::size_t pos = 0; pos < text.size(); ++line_) {
            std::size_t end = nextLine(text, pos);
            if (csv_parse(&parser_, text.data() + pos, end - pos, onValue, onRowEnd, this) !=
                end - pos)
                fail(line_, csv_error(&parser_) == CSV_EPARSE
                                ? "引用符（\"）の使い方が正しくありません。"
                                : "値が大きすぎます。");
            pos = end;
        }
        line_ = std::max<std::size_t>(line_ - 1, 1);
        if (csv_fini(&parser_, onValue, onRowEnd, this) != 0)
            fail(line_, "ファイルの終わりで引用符（\"）が閉じていません。");
        return std::move(rows_);
    }

private:
    [[noreturn]] void fail(std::size_t line, const std::string& reason) const {
        throw DataError("CSV「" + name_ + "」の " + std::to_string(line) + " 行目: " + reason +
                        "\n名簿には何も書き込んでいません。");
    }
    static void onValue(void* bytes, std::size_t size, void* self) {
        auto* r = static_cast<Reader*>(self);
        r->values_.push_back(size ? std::string(static_cast<const char*>(bytes), size) : "");
        r->breaks_ += lineBreaks(r->values_.back());
    }
    static void onRowEnd(int, void* self) {
        auto* r = static_cast<Reader*>(self);
        r->rows_.push_back({r->line_ - r->breaks_, std::move(r->values_)});
        r->values_.clear();
        r->breaks_ = 0;
    }

    std::string name_;
    csv_parser parser_{};
    std::size_t line_ = 1;   // line being fed
    std::size_t breaks_ = 0; // line breaks inside the values of the row being read
    std::vector<std::string> values_;
    std::vector<Row> rows_;
};

// The columns a row must have, with the field each goes to.
struct Column {
    std::string_view name;
    bool era;
    int width; // of the field, bytes
};

constexpr std::array<Column, 5> kColumns{{
    {"氏名", false, 20},
    {"元号", true, 5},
    {"年", false, 4},
    {"月", false, 4},
    {"日", false, 4},
}};

// A row's five values in code page 932, in column order, each checked to fit its field.
using Person = std::array<std::string, 5>;

std::string eraNames() {
    std::string names;
    for (const core::Era& era : core::kEras)
        names += (names.empty() ? "" : "・") + std::string(era.name);
    return names;
}

// Why a value cannot be stored in its field unchanged, or nothing when it can; `bytes`
// gets the value in code page 932.
std::optional<std::string> problem(const Column& column, const std::string& value,
                                   std::string& bytes) {
    if (column.era && !core::eraIndex(value))
        return value.empty() ? "元号が空です。" + eraNames() + " のどれかを書いてください。"
                             : "「" + value + "」は元号ではありません。" + eraNames() +
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

// The people of the data rows, or DataError listing every problem.
std::vector<Person> checkedPeople(const std::vector<Row>& rows, const std::string& csvName) {
    auto header = [&](const std::string& reason) {
        return DataError("CSV「" + csvName + "」のヘッダー行: " + reason +
                         "\n名簿には何も書き込んでいません。");
    };
    if (rows.empty())
        throw header("ありません。1 行目に列の名前（氏名,元号,年,月,日）を書いてください。");
    const std::vector<std::string>& names = rows.front().values;
    std::array<std::size_t, kColumns.size()> at{};
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        auto count = std::count(names.begin(), names.end(), kColumns[c].name);
        if (count != 1)
            throw header("列「" + std::string(kColumns[c].name) + "」が" +
                         (count == 0 ? "ありません。" : " 2 つ以上あります。") +
                         "氏名・元号・年・月・日の列が 1 つずつ要ります。");
        at[c] = static_cast<std::size_t>(std::find(names.begin(), names.end(), kColumns[c].name) -
                                         names.begin());
    }

    std::vector<Person> people;
    std::string problems;
    for (auto row = rows.begin() + 1; row != rows.end(); ++row) {
        std::string where = std::to_string(row->line) + " 行目";
        if (row->values.size() != names.size()) {
            problems += where + ": 値が " + std::to_string(row->values.size()) +
                        " 個あり、ヘッダー行の列の数 " + std::to_string(names.size()) +
                        " と合いません。\n";
            continue;
        }
        Person p;
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            if (auto why = problem(kColumns[c], row->values[at[c]], p[c]))
                problems += where + "「" + std::string(kColumns[c].name) + "」: " + *why + "\n";
        }
        people.push_back(std::move(p));
    }
    if (!problems.empty())
        throw DataError("CSV「" + csvName + "」を取り込めません。\n" + problems +
                        "名簿には何も書き込んでいません。");
    return people;
}

} // namespace

int importCsv(std::string_view csv, const std::string& csvName, const std::string& registerPath) {
    if (csv.substr(0, 3) == "\xEF\xBB\xBF")
        csv.remove_prefix(3);
    if (auto bad = platform::utf8::firstMalformed(csv))
        throw DataError("CSV「" + csvName + "」の " +
                        std::to_string(lineBreaks(csv.substr(0, *bad)) + 1) +
                        " 行目: UTF-8 として読めないバイトがあります。CSV は UTF-8 で保存してく"
                        "ださい。\n名簿には何も書き込んでいません。");
    std::vector<Person> people = checkedPeople(Reader(csvName).read(csv), csvName);
    if (people.empty())
        return 0;
    auto tooMany = [&](const std::string& now) {
        return DataError("名簿「" + registerPath + "」は " + std::to_string(kMaxRecords) +
                         " 件までです。" + now + "CSV の " + std::to_string(people.size()) +
                         " 件は入りません。\n名簿には何も書き込んでいません。");
    };
    if (people.size() > static_cast<std::size_t>(kMaxRecords))
        throw tooMany("");

    // The records, built whole before the register is touched.
    platform::StopRequests stop;
    std::string records;
    records.reserve(people.size() * core::KojinRecord::kLength);

    platform::RecordFile file(registerPath, core::KojinRecord::kLength);
    // Held for the whole import, so that no other program appends meanwhile.
    std::optional<core::RegisterLock> lock;
    try {
        lock.emplace(file, platform::RecordFile::LockKind::Exclusive);
    } catch (const platform::FileError& e) {
        throw DataError(std::string(e.what()) + "\n名簿は取り込む前のままです。");
    }
    const std::int64_t first = file.wholeRecords() + 1;
    if (first - 1 + static_cast<std::int64_t>(people.size()) > kMaxRecords)
        throw tooMany("今 " + std::to_string(first - 1) + " 件あり、");
    // Like a registration, the first record goes over a partial record at the end.
    auto n = static_cast<int>(first);
    for (const Person& p : people) {
        if (stop.asked())
            throw DataError("取り込みを中断しました。\n名簿は取り込む前のままです。");
        const std::string number = std::to_string(n++);
        records += core::recordBytes({number, p[0], p[1], p[2], p[3], p[4]});
    }
    try {
        // One write: all the records land, or none (a journal covers a program that dies
        // half-way); a stop asked for meanwhile takes them back.
        file.writeRecords(first, records, [&] { return stop.asked(); });
    } catch (const platform::FileError& e) {
        throw DataError(e.what());
    }
    return static_cast<int>(people.size());
}

} // namespace csvtool
