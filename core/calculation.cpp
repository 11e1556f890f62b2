#include "core/calculation.h"

#include "core/era.h"
#include "core/errors.h"
#include "core/file_text.h"
#include "core/number.h"
#include "core/quoted_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <tuple>

namespace core {

namespace {

// The numbers of an entry: era year, birth month and day, reference year, month and day.
struct EntryValues {
    double nen, tuki, hi, gnen, gtuki, ghi;
};

EntryValues entryValues(std::string_view nen, std::string_view tuki, std::string_view hi,
                        std::string_view gnen, std::string_view gtuki, std::string_view ghi) {
    return {eraYearNumber(nen),  leadingNumber(tuki),  leadingNumber(hi),
            leadingNumber(gnen), leadingNumber(gtuki), leadingNumber(ghi)};
}

AgeResult ageOf(std::string_view era, const EntryValues& v) {
    const double birthYear = westernBirthYear(era, v.nen);
    return {birthYear, completedYears(birthYear, v.tuki, v.hi, v.gnen, v.gtuki, v.ghi)};
}

} // namespace

AgeResult calculateAge(Module1& m) {
    const EntryValues v = entryValues(m.knen, m.ktuki, m.khi, m.gnen, m.gtuki, m.ghi);
    std::tie(m.knenv, m.ktukiv, m.khiv, m.gnenv, m.gtukiv, m.ghiv) =
        std::tie(v.nen, v.tuki, v.hi, v.gnen, v.gtuki, v.ghi);
    return ageOf(m.kgengou, v);
}

std::optional<RecordAge> recordAge(const KojinRecord& record, const platform::Date& on) {
    const std::string era = storedEraName(record);
    if (!eraIndex(era))
        return std::nullopt;
    const auto date = referenceDateTexts(on);
    const EntryValues v = entryValues(shownText(record.nen), shownText(record.tuki),
                                      shownText(record.hi), date[0], date[1], date[2]);
    const AgeResult result = ageOf(era, v);
    return RecordAge{result, birthDate(result.birthYear, v.tuki, v.hi)};
}

bool AgeResult::finite() const {
    return std::isfinite(birthYear) && std::isfinite(age);
}

std::string tooLargeMessage(const Module1& m) {
    const std::array<std::pair<double, const char*>, 6> entries{{{m.knenv, "生年月日の年"},
                                                                 {m.ktukiv, "生年月日の月"},
                                                                 {m.khiv, "生年月日の日"},
                                                                 {m.gnenv, "現在の年"},
                                                                 {m.gtukiv, "現在の月"},
                                                                 {m.ghiv, "現在の日"}}};
    auto blamed = std::find_if(entries.begin(), entries.end(),
                               [](const auto& e) { return std::isinf(e.first); });
    if (blamed == entries.end())
        blamed = std::max_element(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return std::fabs(a.first) < std::fabs(b.first);
        });
    return std::string("「") + blamed->second +
           "」の数が大きすぎるため、計算できません。数を確かめてください。";
}

std::array<std::string, 3> referenceDateTexts(const platform::Date& date) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", date.year, date.month, date.day);
    std::string s(buf);
    return {s.substr(0, 4), s.substr(5, 2), s.substr(8, 2)};
}

std::string lastEntryLine(const Module1& m, const std::string& path) {
    const std::array<std::string_view, 5> texts{m.ksimei, m.kgengou, m.knen, m.ktuki, m.khi};
    auto values = encodeAll({texts.begin(), texts.end()}, path);
    // The file format has no escape for quotes: refuse values that would not read back,
    // showing the quote that splits them and what follows it up to the comma or line end.
    std::string line = quotedLine(values);
    if (parseQuotedValues(line, values.size()) != values) {
        for (std::string_view text : texts)
            for (std::size_t q = text.find('"'); q != std::string_view::npos;
                 q = text.find('"', q + 1)) {
                const std::size_t next = text.find_first_not_of(" \t", q + 1);
                if (next != std::string_view::npos &&
                    (text[next] == ',' || text[next] == '\r' || text[next] == '\n'))
                    throw AmbiguousTextError(path, std::string(text.substr(q, next + 1 - q)));
            }
        throw AmbiguousTextError(path, "\"");
    }
    // Nor is a file read past its first part: refuse what would not read back whole.
    if (line.size() > kMaxQuotedFileBytes)
        throw EntryTooLongError(path);
    return line;
}

void takeLastEntry(Module1& m, std::string_view text) {
    std::string* targets[] = {&m.ksimei, &m.kgengou, &m.knen, &m.ktuki, &m.khi};
    const std::vector<std::string> values = parseQuotedValues(text, std::size(targets));
    for (std::size_t i = 0; i < std::size(targets); ++i)
        *targets[i] = i < values.size() ? decodeStored(values[i]) : "";
}

} // namespace core
