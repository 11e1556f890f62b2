#include "csv/csv_tool.h"

#include "core/calculation.h"
#include "core/kojin_record.h"
#include "core/number.h"
#include "core/reckoning.h"
#include "core/register.h"
#include "platform/files.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <vector>

namespace csvtool {

namespace {

// After the record's fields.
constexpr std::array<std::string_view, 2> kComputed{"西暦生年", "年齢"};

// -1 or -1.5: a number that a spreadsheet reads as one and never as a formula.
bool plainNegativeNumber(std::string_view value) {
    if (value.size() < 2 || value[0] != '-')
        return false;
    const std::string_view digits = value.substr(1);
    const std::size_t point = digits.find('.');
    auto allDigits = [](std::string_view part) {
        return !part.empty() &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return point == std::string_view::npos
               ? allDigits(digits)
               : allDigits(digits.substr(0, point)) && allDigits(digits.substr(point + 1));
}

bool needsGuard(std::string_view value) {
    if (value.empty())
        return false;
    switch (value[0]) {
    case '=':
    case '+':
    case '@':
    case '\t':
    case '\r':
    case '\'':
        return true;
    case '-':
        return !plainNegativeNumber(value);
    default:
        return false;
    }
}

// One cell in double quotes, quotes inside doubled.
void appendCell(std::string& out, std::string_view value) {
    out += '"';
    if (needsGuard(value))
        out += '\'';
    for (char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendRow(std::string& out, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCell(out, values[i]);
    }
    out += "\r\n";
}

template <typename T> std::string text(const std::optional<T>& value) {
    if (!value)
        return {};
    if constexpr (std::is_same_v<T, int>)
        return std::to_string(*value);
    else
        return std::string(*value);
}

// The record's row: its fields as the screens show them, then the western birth year and
// the age as the calculation screen works them out once the record is loaded into it, and
// with `more` the other reckonings on the same date.
std::vector<std::string> recordRow(const core::KojinRecord& r, const platform::Date& on,
                                   bool more) {
    std::vector<std::string> row(core::kFields.size() + kComputed.size() +
                                 (more ? core::kReckoningHeadings.size() : 0));
    for (std::size_t i = 0; i < core::kFields.size(); ++i)
        row[i] = core::shownValue(r.*core::kFields[i].member);
    const std::optional<core::RecordAge> a = core::recordAge(r, on);
    if (!a)
        return row;
    auto at = core::kFields.size();
    row[at++] = core::numberText(a->result.birthYear);
    row[at++] = core::numberText(a->result.age);
    if (more && a->birth)
        for (std::string value :
             {text(core::legalAge(*a->birth, on)), text(core::countedAge(*a->birth, on)),
              text(core::schoolClass(*a->birth, on)), text(core::sexagenaryYear(*a->birth, on)),
              text(core::longevityCelebration(*a->birth, on))})
            row[at++] = std::move(value);
    return row;
}

} // namespace

std::string csvHead(bool more) {
    std::vector<std::string> header(core::kFields.size());
    std::transform(core::kFields.begin(), core::kFields.end(), header.begin(),
                   [](const core::Field& f) { return std::string(f.heading); });
    header.insert(header.end(), kComputed.begin(), kComputed.end());
    if (more)
        header.insert(header.end(), core::kReckoningHeadings.begin(),
                      core::kReckoningHeadings.end());
    std::string text = "\xEF\xBB\xBF";
    appendRow(text, header);
    return text;
}

void appendCsvRow(std::string& out, const core::KojinRecord& record, const platform::Date& on,
                  bool more) {
    appendRow(out, recordRow(record, on, more));
}

std::string_view unguardedCell(std::string_view cell) {
    return cell.starts_with('\'') && needsGuard(cell.substr(1)) ? cell.substr(1) : cell;
}

std::optional<std::string> exportRegister(const std::string& registerPath, const platform::Date& on,
                                          bool more, std::ostream& out) {
    // Opening would create a missing register; a missing one is an error here. The path is
    // UTF-8, which a narrow path on Windows is not: a folder named in Japanese went unfound.
    std::error_code ec;
    const std::u8string utf8(registerPath.begin(), registerPath.end());
    if (!std::filesystem::exists(std::filesystem::path(utf8), ec))
        throw platform::FileError(platform::FileError::Action::Open, registerPath, ENOENT);
    platform::RecordFile file(registerPath, core::KojinRecord::kLength);
    // Read whole, in one read, under a shared lock, which is let go before a slow reader of
    // the output could keep other programs waiting.
    std::string records;
    std::int64_t length = 0;
    {
        core::RegisterLock lock(file, platform::RecordFile::LockKind::Shared);
        length = file.length();
        records = file.readRecords(1, length / core::KojinRecord::kLength);
    }

    std::string text = csvHead(more);
    constexpr std::size_t kPiece = std::size_t{1} << 16;
    for (std::size_t at = 0; at < records.size() && out; at += core::KojinRecord::kLength) {
        auto record = core::decodeRecord(std::string_view(records).substr(at, 42));
        appendCsvRow(text, record, on, more);
        if (text.size() >= kPiece) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out)
        throw platform::UserError(
            "標準出力に書き込めません。CSV は途中までしか書き出していません。");

    const std::int64_t rest = length % core::KojinRecord::kLength;
    if (rest == 0)
        return std::nullopt;
    return "名簿「" + registerPath + "」の末尾の " + std::to_string(rest) +
           " バイトは 1 件（42 バイト）に満たないため、書き出していません。";
}

} // namespace csvtool
