#pragma once

#include "core/calculation.h"
#include "core/kojin_record.h"
#include "platform/date.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The register table (名簿表): every record of the register with its ages as of one date,
// its columns ordered by what they mean, its filters and its ready-made views.
namespace core {

enum class MeiboColumn {
    // The record's fields, in the order of kFields.
    Number,
    Name,
    Era,
    Year,
    Month,
    Day,
    // Worked out on the as-of date.
    BirthDate,
    Age,
    LegalAge,
    CountedAge,
    SchoolClass,
    Sexagenary,
    Celebration,
};
inline constexpr std::size_t kMeiboColumnCount = 13;

// A field's heading from kFields, then 生年月日, 年齢 and those of kReckoningHeadings.
std::string_view meiboHeading(MeiboColumn column);

// Columns of numbers, shown aligned to the right.
bool meiboNumeric(MeiboColumn column);

// A record's values as of a date, from the functions the CSV export uses: nothing where the
// export leaves its cell empty.
struct MeiboValues {
    std::optional<RecordAge> age;
    std::optional<int> legalAge;
    std::optional<int> countedAge;
    std::optional<std::size_t> schoolClass; // row of kSchoolClasses
    std::optional<int> sexagenary;          // place in the sixty-year cycle
    std::optional<std::string_view> celebration;
};
MeiboValues meiboValues(const KojinRecord& record, const platform::Date& on);

// A western date as the table writes it: 1956/08/26.
std::string dateText(const BirthDate& date);
std::string dateText(const platform::Date& date);

// The line under the table: 「全 N 件中 M 件」.
std::string countText(std::size_t total, std::size_t shown);

// A cell as shown: the fields and 年齢 to the reckonings as the CSV export writes them, and
// 生年月日 the calendar birth date that those are worked out from.
std::string meiboCell(const KojinRecord& record, const MeiboValues& values, MeiboColumn column);

enum class AgeBasis { Age, LegalAge };

// The conditions a record must meet to be shown; an unset one lets every record through.
struct MeiboFilter {
    std::string name; // a part of the name, compared as the name search compares it
    AgeBasis ageBasis = AgeBasis::Age;
    std::optional<int> ageFrom; // both bounds included
    std::optional<int> ageTo;
    std::optional<int> birthMonth;          // of the calendar birth date
    std::optional<std::size_t> schoolClass; // row of kSchoolClasses
    bool celebrationOnly = false;           // a 長寿祝い in the year of the as-of date
    bool operator==(const MeiboFilter&) const = default;
};

// The filter in words, for the head of a printed page: 「氏名に「山」を含む、年齢 75 歳以上」,
// or 「条件なし」.
std::string describeFilter(const MeiboFilter& filter);

struct SortKey {
    MeiboColumn column = MeiboColumn::Number;
    bool descending = false;
    bool operator==(const SortKey&) const = default;
};

// The rank of each name in the order names sort, equal names sharing one. The window ranks
// with a collator for Japanese; byteOrderRanks compares the UTF-8 bytes.
using NameRanker = std::function<std::vector<int>(const std::vector<std::string_view>& names)>;
std::vector<int> byteOrderRanks(const std::vector<std::string_view>& names);

// The ready-made views for the recurring jobs of the people who keep a register.
enum class MeiboView { Birthdays, RespectForTheAged, Longevity, NewPupils };
struct MeiboViewInfo {
    MeiboView view;
    std::string_view id;    // its name on the command line
    std::string_view label; // its name in the window
};
inline constexpr std::array<MeiboViewInfo, 4> kMeiboViews{{
    {MeiboView::Birthdays, "birthdays", "今月の誕生日"},
    {MeiboView::RespectForTheAged, "keirou", "敬老の日に 75 歳以上"},
    {MeiboView::Longevity, "longevity", "今年の長寿祝い"},
    {MeiboView::NewPupils, "new-pupils", "来年 4 月の新 1 年生"},
}};
// The view with this id or label.
std::optional<MeiboView> findMeiboView(std::string_view name);
std::string_view meiboViewLabel(MeiboView view);

// What a view sets: the as-of date (moved to the day the view names), the filter and the
// sort. "This month" and "this year" are those of the as-of date.
struct MeiboSettings {
    platform::Date on;
    MeiboFilter filter;
    std::vector<SortKey> sort;
};
MeiboSettings meiboView(MeiboView view, const platform::Date& asOf);

// The conditions at the head of a printed page: the filter in words, after the label of the
// ready-made view it comes from, if any: 「敬老の日に 75 歳以上（年齢 75 歳以上）」.
std::string describeConditions(const MeiboFilter& filter, std::optional<MeiboView> view);

// 敬老の日: the third Monday of September.
platform::Date respectForTheAgedDay(int year);
// The first 1 April on or after `date`, the day a school year starts.
platform::Date firstAprilFrom(const platform::Date& date);

// The records of a register, each kept as its six decoded fields in one shared text: a third
// of the memory that as many KojinRecords take.
class MeiboRecords {
public:
    void reserve(std::size_t records, std::size_t textBytes);
    void push_back(const KojinRecord& record);
    std::size_t size() const { return ends_.size() / kFields.size(); }
    // A field as decoded, up to its filling spaces and any NUL characters.
    std::string_view field(std::size_t index, std::size_t field) const;
    KojinRecord operator[](std::size_t index) const;

private:
    std::string text_;
    std::vector<std::uint32_t> ends_; // where each field ends in text_
};

// What sorting and filtering need of a record's values on the as-of date, kept for every
// record in little memory.
struct MeiboKeys {
    double age = 0;         // NaN for an empty cell
    std::int32_t birth = 0; // yyyymmdd of the calendar birth date, 0 for none
    std::int16_t legalAge = -1, countedAge = -1;
    std::int8_t schoolClass = -1, sexagenary = -1;
    bool celebration = false;
};

// The table: the records, their values on the as-of date, and the records shown, filtered
// and in order. A sort orders the rows it leaves equal by the sorts before it (the last
// kSortDepth in all), then by record number, so the order never depends on the order
// before; a column with empty cells puts them last either way.
class MeiboTable {
public:
    static constexpr std::size_t kSortDepth = 3;

    explicit MeiboTable(NameRanker ranker = byteOrderRanks);

    // Records 1 to N of the register; the as-of date, the filter and the sort stay.
    void setRecords(MeiboRecords records);
    void setAsOf(const platform::Date& on);
    void setFilter(const MeiboFilter& filter);
    // Sorts by `key` first, the sorts before it after.
    void sortBy(SortKey key);
    // The as-of date, the filter and the sort at once.
    void apply(const MeiboSettings& settings);

    const platform::Date& asOf() const { return on_; }
    const MeiboFilter& filter() const { return filter_; }
    const std::vector<SortKey>& sort() const { return sort_; }

    std::size_t total() const { return records_.size(); }
    // The records shown, by index (record number − 1), in the order shown.
    const std::vector<std::size_t>& shown() const { return shown_; }
    KojinRecord record(std::size_t index) const { return records_[index]; }
    // Worked out when asked for, as the CSV export works out its row.
    std::string cell(std::size_t index, MeiboColumn column) const;

private:
    void computeKeys();
    bool needsKeys() const;
    void reorder();
    bool passes(std::size_t index, const std::optional<std::string>& storedName) const;
    const std::vector<int>& nameRanks();

    NameRanker ranker_;
    MeiboRecords records_;
    std::vector<MeiboKeys> keys_; // empty until a condition or a sort needs them
    std::vector<int> nameRanks_;  // empty until a sort by name needs them
    platform::Date on_{};
    MeiboFilter filter_;
    std::vector<SortKey> sort_;
    std::vector<std::size_t> shown_;
};

} // namespace core
