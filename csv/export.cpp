#include "csv/csv_tool.h"

#include "core/calculation.h"
#include "core/kojin_record.h"
#include "core/number.h"
#include "core/reckoning.h"
#include "datafiles/register.h"

#include <algorithm>
#include <array>
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

} // namespace

void appendRow(std::string& out, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCell(out, values[i]);
    }
    out += "\r\n";
}

namespace {

template <typename T> std::string text(const std::optional<T>& value) {
    if (!value)
        return {};
    if constexpr (std::is_same_v<T, int>)
        return std::to_string(*value);
    else
        return std::string(*value);
}

} // namespace

std::vector<std::string> exportHeader(bool more) {
    std::vector<std::string> header;
    header.reserve(core::kFieldCount + kComputed.size() + core::kReckoningHeadings.size());
    for (const core::Field& f : core::kFields)
        header.emplace_back(f.heading);
    header.insert(header.end(), kComputed.begin(), kComputed.end());
    if (more)
        header.insert(header.end(), core::kReckoningHeadings.begin(),
                      core::kReckoningHeadings.end());
    return header;
}

std::vector<std::string> exportRow(const core::KojinRecord& r, const platform::Date& on,
                                   bool more) {
    std::vector<std::string> row(core::kFieldCount + kComputed.size() +
                                 (more ? core::kReckoningHeadings.size() : 0));
    for (std::size_t i = 0; i < core::kFieldCount; ++i)
        row[i] = std::string(core::shownValue(r.*core::kFields[i].member));
    const std::optional<core::RecordAge> a = core::recordAge(r, on);
    if (!a)
        return row;
    auto at = core::kFieldCount;
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

std::string_view unguardedCell(std::string_view cell) {
    return cell.starts_with('\'') && needsGuard(cell.substr(1)) ? cell.substr(1) : cell;
}

std::optional<std::string> exportRegister(const std::string& registerPath, const platform::Date& on,
                                          bool more, std::ostream& out) {
    // A missing register is an error here, not one to make.
    datafiles::Register reg(registerPath, datafiles::Register::Open::Existing);
    // Read whole, in one read, under a hold for reading, which ends before a slow reader of
    // the output could keep other programs waiting.
    std::string records;
    std::int64_t length = 0;
    {
        datafiles::Transaction held = reg.reading();
        length = held.length();
        records = held.readRecords(1, length / core::kRecordLength);
    }

    std::string text = "\xEF\xBB\xBF";
    appendRow(text, exportHeader(more));
    constexpr std::size_t kPiece = std::size_t{1} << 16;
    constexpr auto kLength = static_cast<std::size_t>(core::kRecordLength);
    for (std::size_t at = 0; at < records.size() && out; at += kLength) {
        auto record = core::decodeRecord(std::string_view(records).substr(at, kLength));
        appendRow(text, exportRow(record, on, more));
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

    const std::int64_t rest = length % core::kRecordLength;
    if (rest == 0)
        return std::nullopt;
    return "名簿「" + registerPath + "」の末尾の " + std::to_string(rest) + " バイトは 1 件（" +
           std::to_string(core::kRecordLength) + " バイト）に満たないため、書き出していません。";
}

} // namespace csvtool
