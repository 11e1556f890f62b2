#include "csv/csv_tool.h"

#include "core/calculation.h"
#include "core/era.h"
#include "core/kojin_record.h"
#include "core/module1.h"
#include "core/number.h"
#include "core/register.h"
#include "platform/files.h"
#include "platform/utf8.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <vector>

namespace csvtool {

namespace {

constexpr std::array<std::string_view, 8> kHeader{"番号", "氏名", "元号",     "年",
                                                  "月",   "日",   "西暦生年", "年齢"};

// One value in double quotes, quotes inside doubled.
void writeValue(std::ostream& out, std::string_view value) {
    out << '"';
    for (char c : value) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

template <typename Values> void writeRow(std::ostream& out, const Values& values) {
    bool first = true;
    for (std::string_view value : values) {
        if (!first)
            out << ',';
        first = false;
        writeValue(out, value);
    }
    out << "\r\n";
}

// A field as the screens show it, without the spaces that fill it.
std::string shownValue(std::string_view field) {
    std::string_view shown = core::shownText(field);
    return std::string(shown.substr(0, shown.find_last_not_of(' ') + 1));
}

// The record's row: its fields, then the western birth year and the age as the
// calculation screen works them out once the record is loaded into it.
std::array<std::string, 8> recordRow(const core::KojinRecord& r, core::Module1& m,
                                     const std::array<std::string, 3>& on) {
    std::array<std::string, 8> row{shownValue(r.bangou), shownValue(r.simei), shownValue(r.gengou),
                                   shownValue(r.nen),    shownValue(r.tuki),  shownValue(r.hi)};
    // Loading a record selects the era named by its field's first two characters.
    m.kgengou = platform::utf8::left(r.gengou, 2);
    if (!core::eraIndex(m.kgengou))
        return row;
    m.knen = core::shownText(r.nen);
    m.ktuki = core::shownText(r.tuki);
    m.khi = core::shownText(r.hi);
    m.gnen = on[0];
    m.gtuki = on[1];
    m.ghi = on[2];
    core::AgeResult result = core::calculateAge(m);
    row[6] = core::numberText(result.birthYear);
    row[7] = core::numberText(result.age);
    return row;
}

} // namespace

std::optional<std::string> exportRegister(const std::string& registerPath, const platform::Date& on,
                                          std::ostream& out) {
    // Opening would create a missing register; a missing one is an error here.
    std::error_code ec;
    if (!std::filesystem::exists(registerPath, ec))
        throw platform::FileError(platform::FileError::Action::Open, registerPath, ENOENT);
    platform::RecordFile file(registerPath, core::KojinRecord::kLength);
    // Read whole under a shared lock, which is let go before a slow reader of the output
    // could keep other programs waiting.
    std::vector<core::KojinRecord> read;
    std::int64_t length = 0;
    {
        core::RegisterLock lock(file, platform::RecordFile::LockKind::Shared);
        length = file.length();
        for (std::int64_t n = 1; n <= length / core::KojinRecord::kLength; ++n)
            read.push_back(core::readRecord(file, static_cast<int>(n)));
    }
    std::int64_t records = length / core::KojinRecord::kLength;

    auto date = core::referenceDateTexts(on);
    core::Module1 m;
    out << "\xEF\xBB\xBF";
    writeRow(out, kHeader);
    for (std::size_t i = 0; i < read.size() && out; ++i)
        writeRow(out, recordRow(read[i], m, date));
    out.flush();
    if (!out)
        throw DataError("標準出力に書き込めません。CSV は途中までしか書き出していません。");

    std::int64_t rest = length - records * core::KojinRecord::kLength;
    if (rest == 0)
        return std::nullopt;
    return "名簿「" + registerPath + "」の末尾の " + std::to_string(rest) +
           " バイトは 1 件（42 バイト）に満たないため、書き出していません。";
}

} // namespace csvtool
