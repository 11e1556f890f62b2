#include "core/meibo.h"

#include "core/era.h"
#include "core/file_text.h"
#include "core/number.h"
#include "core/reckoning.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <tuple>

namespace core {

namespace {

constexpr std::array<std::string_view, 2> kComputedHeadings{"生年月日", "年齢"};

std::size_t at(MeiboColumn column) {
    return static_cast<std::size_t>(column);
}

template <typename T> std::string text(const std::optional<T>& value) {
    return value ? std::to_string(*value) : std::string();
}

// How a cell sorts: numbers and ranks first, then texts, empty cells last.
struct CellKey {
    enum Group { Number, Text, Empty } group = Empty;
    double number = 0;
    std::string_view text;
};

CellKey numberKey(double value) {
    return std::isfinite(value) ? CellKey{CellKey::Number, value, {}} : CellKey{};
}

// A field that holds a number sorts as that number (元 and 元年 as 1 in the year field);
// any other text after the numbers.
CellKey fieldKey(std::string_view field, bool eraYear) {
    std::string_view shown = shownValue(field);
    if (shown.empty())
        return {};
    if (auto n = wholeNumber(shown); n && std::isfinite(*n))
        return numberKey(*n);
    if (eraYear && (shown == "元" || shown == "元年"))
        return numberKey(1.0);
    return {CellKey::Text, 0, shown};
}

int compare(const CellKey& a, const CellKey& b) {
    if (a.group != b.group)
        return a.group < b.group ? -1 : 1;
    if (a.group == CellKey::Number)
        return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    return a.text.compare(b.text);
}

int weekday(int year, int month, int day) { // 0 for Sunday
    constexpr std::array<int, 12> offsets{0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        --year;
    return (year + year / 4 - year / 100 + year / 400 +
            offsets[static_cast<std::size_t>(month - 1)] + day) %
           7;
}

// How record `i` sorts in `column`; `ranks` are the names' ranks when sorting by name.
CellKey sortKey(const MeiboRecords& records, const MeiboKeys& k, const std::vector<int>& ranks,
                std::size_t i, MeiboColumn column) {
    auto whenSet = [](int value) {
        return value < 0 ? CellKey{} : numberKey(static_cast<double>(value));
    };
    switch (column) {
    case MeiboColumn::Name:
        return records.field(i, at(column)).empty() ? CellKey{}
                                                    : numberKey(static_cast<double>(ranks[i]));
    case MeiboColumn::Era:
        if (auto era = eraIndex(storedEraName(records[i])))
            return numberKey(static_cast<double>(*era));
        return fieldKey(records.field(i, at(column)), false);
    case MeiboColumn::BirthDate:
        return k.birth == 0 ? CellKey{} : numberKey(static_cast<double>(k.birth));
    case MeiboColumn::Age:
        return numberKey(k.age);
    case MeiboColumn::LegalAge:
        return whenSet(k.legalAge);
    case MeiboColumn::CountedAge:
        return whenSet(k.countedAge);
    case MeiboColumn::SchoolClass:
        return whenSet(k.schoolClass);
    case MeiboColumn::Sexagenary:
        return whenSet(k.sexagenary);
    case MeiboColumn::Celebration:
        // The celebrations in the order of the ages they mark.
        return k.celebration ? whenSet(k.countedAge) : CellKey{};
    default:
        return fieldKey(records.field(i, at(column)), column == MeiboColumn::Year);
    }
}

} // namespace

std::string_view meiboHeading(MeiboColumn column) {
    std::size_t i = at(column);
    if (i < kFields.size())
        return kFields[i].heading;
    i -= kFields.size();
    if (i < kComputedHeadings.size())
        return kComputedHeadings[i];
    return kReckoningHeadings[i - kComputedHeadings.size()];
}

bool meiboNumeric(MeiboColumn column) {
    switch (column) {
    case MeiboColumn::Number:
    case MeiboColumn::Year:
    case MeiboColumn::Month:
    case MeiboColumn::Day:
    case MeiboColumn::Age:
    case MeiboColumn::LegalAge:
    case MeiboColumn::CountedAge:
        return true;
    default:
        return false;
    }
}

MeiboValues meiboValues(const KojinRecord& record, const platform::Date& on) {
    MeiboValues v;
    v.age = recordAge(record, on);
    if (!v.age || !v.age->birth)
        return v;
    const BirthDate& birth = *v.age->birth;
    v.legalAge = legalAge(birth, on);
    v.countedAge = countedAge(birth, on);
    v.schoolClass = schoolClassRow(birth, on);
    v.sexagenary = sexagenaryRow(birth, on);
    v.celebration = longevityCelebration(birth, on);
    return v;
}

std::string dateText(const BirthDate& date) {
    return dateText(platform::Date{date.year, date.month, date.day});
}

std::string dateText(const platform::Date& date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", date.year, date.month, date.day);
    return buf;
}

std::string countText(std::size_t total, std::size_t shown) {
    return "全 " + std::to_string(total) + " 件中 " + std::to_string(shown) + " 件";
}

std::string meiboCell(const KojinRecord& record, const MeiboValues& v, MeiboColumn column) {
    if (at(column) < kFields.size())
        return std::string(shownValue(record.*kFields[at(column)].member));
    switch (column) {
    case MeiboColumn::BirthDate:
        return v.age && v.age->birth ? dateText(*v.age->birth) : std::string();
    case MeiboColumn::Age:
        return v.age ? numberText(v.age->result.age) : std::string();
    case MeiboColumn::LegalAge:
        return text(v.legalAge);
    case MeiboColumn::CountedAge:
        return text(v.countedAge);
    case MeiboColumn::SchoolClass:
        return v.schoolClass ? std::string(kSchoolClasses[*v.schoolClass]) : std::string();
    case MeiboColumn::Sexagenary:
        return v.sexagenary ? sexagenaryName(*v.sexagenary) : std::string();
    case MeiboColumn::Celebration:
        return std::string(v.celebration.value_or(""));
    default:
        return {};
    }
}

std::string describeFilter(const MeiboFilter& f) {
    std::vector<std::string> parts;
    if (!f.name.empty())
        parts.push_back("氏名に「" + f.name + "」を含む");
    if (f.ageFrom || f.ageTo) {
        std::string basis = f.ageBasis == AgeBasis::Age ? "年齢 " : "法定年齢 ";
        if (f.ageFrom && f.ageTo)
            parts.push_back(basis + std::to_string(*f.ageFrom) +
                            (*f.ageFrom == *f.ageTo ? "" : "〜" + std::to_string(*f.ageTo)) +
                            " 歳");
        else if (f.ageFrom)
            parts.push_back(basis + std::to_string(*f.ageFrom) + " 歳以上");
        else
            parts.push_back(basis + std::to_string(*f.ageTo) + " 歳以下");
    }
    if (f.birthMonth)
        parts.push_back("誕生月 " + std::to_string(*f.birthMonth) + " 月");
    if (f.schoolClass)
        parts.push_back("学年 " + std::string(kSchoolClasses[*f.schoolClass]));
    if (f.celebrationOnly)
        parts.push_back("今年の長寿祝い");
    if (parts.empty())
        return "条件なし";
    std::string out = parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i)
        out += "、" + parts[i];
    return out;
}

std::vector<int> byteOrderRanks(const std::vector<std::string_view>& names) {
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return names[a] < names[b]; });
    std::vector<int> ranks(names.size());
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && names[order[i]] != names[order[i - 1]])
            rank = static_cast<int>(i);
        ranks[order[i]] = rank;
    }
    return ranks;
}

std::optional<MeiboView> findMeiboView(std::string_view name) {
    for (const MeiboViewInfo& v : kMeiboViews)
        if (v.id == name || v.label == name)
            return v.view;
    return std::nullopt;
}

std::string_view meiboViewLabel(MeiboView view) {
    for (const MeiboViewInfo& v : kMeiboViews)
        if (v.view == view)
            return v.label;
    return {};
}

MeiboSettings meiboView(MeiboView view, const platform::Date& asOf) {
    MeiboSettings s{asOf, {}, {}};
    switch (view) {
    case MeiboView::Birthdays:
        s.filter.birthMonth = asOf.month;
        s.sort = {{MeiboColumn::Day}};
        break;
    case MeiboView::RespectForTheAged:
        s.on = respectForTheAgedDay(asOf.year);
        s.filter.ageFrom = 75;
        s.sort = {{MeiboColumn::Age, true}};
        break;
    case MeiboView::Longevity:
        s.filter.celebrationOnly = true;
        s.sort = {{MeiboColumn::Celebration}};
        break;
    case MeiboView::NewPupils:
        constexpr std::size_t firstGrade = 3;
        static_assert(kSchoolClasses[firstGrade] == "小1");
        s.on = firstAprilFrom(asOf);
        s.filter.schoolClass = firstGrade;
        s.sort = {{MeiboColumn::BirthDate}};
        break;
    }
    return s;
}

std::string describeConditions(const MeiboFilter& filter, std::optional<MeiboView> view) {
    std::string words = describeFilter(filter);
    return view ? std::string(meiboViewLabel(*view)) + "（" + words + "）" : words;
}

platform::Date respectForTheAgedDay(int year) {
    constexpr int monday = 1;
    int firstMonday = 1 + (monday - weekday(year, 9, 1) + 7) % 7;
    return {year, 9, firstMonday + 14};
}

platform::Date firstAprilFrom(const platform::Date& date) {
    bool passed = std::tie(date.month, date.day) > std::make_tuple(4, 1);
    return {passed ? date.year + 1 : date.year, 4, 1};
}

void MeiboRecords::reserve(std::size_t records, std::size_t textBytes) {
    ends_.reserve(records * kFields.size());
    text_.reserve(textBytes);
}

void MeiboRecords::push_back(const KojinRecord& record) {
    for (const Field& f : kFields) {
        text_ += shownValue(record.*f.member);
        ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    }
}

std::string_view MeiboRecords::field(std::size_t index, std::size_t field) const {
    const std::size_t at = index * kFields.size() + field;
    const std::size_t start = at == 0 ? 0 : ends_[at - 1];
    return std::string_view(text_).substr(start, ends_[at] - start);
}

KojinRecord MeiboRecords::operator[](std::size_t index) const {
    KojinRecord r;
    for (std::size_t f = 0; f < kFields.size(); ++f)
        r.*kFields[f].member = std::string(field(index, f));
    return r;
}

MeiboTable::MeiboTable(NameRanker ranker) : ranker_(std::move(ranker)) {}

void MeiboTable::setRecords(MeiboRecords records) {
    records_ = std::move(records);
    nameRanks_.clear();
    keys_.clear();
    reorder();
}

void MeiboTable::setAsOf(const platform::Date& on) {
    on_ = on;
    keys_.clear();
    reorder();
}

void MeiboTable::setFilter(const MeiboFilter& filter) {
    filter_ = filter;
    reorder();
}

void MeiboTable::sortBy(SortKey key) {
    std::erase_if(sort_, [&](const SortKey& k) { return k.column == key.column; });
    sort_.insert(sort_.begin(), key);
    if (sort_.size() > kSortDepth)
        sort_.resize(kSortDepth);
    reorder();
}

void MeiboTable::apply(const MeiboSettings& settings) {
    on_ = settings.on;
    filter_ = settings.filter;
    sort_ = settings.sort;
    keys_.clear();
    reorder();
}

std::string MeiboTable::cell(std::size_t index, MeiboColumn column) const {
    const KojinRecord r = records_[index];
    return meiboCell(r, at(column) < kFields.size() ? MeiboValues{} : meiboValues(r, on_), column);
}

void MeiboTable::computeKeys() {
    keys_.resize(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const MeiboValues v = meiboValues(records_[i], on_);
        MeiboKeys& k = keys_[i];
        k = MeiboKeys{};
        k.age = v.age && std::isfinite(v.age->result.age) ? v.age->result.age : std::nan("");
        if (v.age && v.age->birth)
            k.birth = v.age->birth->year * 10000 + v.age->birth->month * 100 + v.age->birth->day;
        // The reckonings are of calendar dates, years 1 to 9999: they fit these types.
        k.legalAge = static_cast<std::int16_t>(v.legalAge.value_or(-1));
        k.countedAge = static_cast<std::int16_t>(v.countedAge.value_or(-1));
        k.schoolClass =
            static_cast<std::int8_t>(v.schoolClass ? static_cast<int>(*v.schoolClass) : -1);
        k.sexagenary = static_cast<std::int8_t>(v.sexagenary.value_or(-1));
        k.celebration = v.celebration.has_value();
    }
}

const std::vector<int>& MeiboTable::nameRanks() {
    if (nameRanks_.size() != records_.size()) {
        std::vector<std::string_view> names(records_.size());
        for (std::size_t i = 0; i < records_.size(); ++i)
            names[i] = records_.field(i, at(MeiboColumn::Name));
        nameRanks_ = ranker_(names);
    }
    return nameRanks_;
}

// Whether the record passes the filter; the name is compared as the name search compares it:
// the typed part as it would be stored (〜 as ～), one the register cannot hold matching none.
bool MeiboTable::passes(std::size_t i, const std::optional<std::string>& name) const {
    const MeiboFilter& f = filter_;
    if (!f.name.empty() &&
        !(name && records_.field(i, at(MeiboColumn::Name)).find(*name) != std::string::npos))
        return false;
    if (keys_.empty())
        return true; // no condition on the values
    const MeiboKeys& k = keys_[i];
    if (f.ageFrom || f.ageTo) {
        const double age = f.ageBasis == AgeBasis::Age ? k.age
                           : k.legalAge < 0            ? std::nan("")
                                                       : k.legalAge;
        if (std::isnan(age) || (f.ageFrom && age < *f.ageFrom) || (f.ageTo && age > *f.ageTo))
            return false;
    }
    if (f.birthMonth && (k.birth == 0 || k.birth / 100 % 100 != *f.birthMonth))
        return false;
    if (f.schoolClass && k.schoolClass != static_cast<int>(*f.schoolClass))
        return false;
    return !f.celebrationOnly || k.celebration;
}

// The values of every record are worked out only when a condition or a sort needs them, so
// that the table shows its first rows without them.
bool MeiboTable::needsKeys() const {
    const MeiboFilter& f = filter_;
    return f.ageFrom || f.ageTo || f.birthMonth || f.schoolClass || f.celebrationOnly ||
           std::any_of(sort_.begin(), sort_.end(),
                       [](const SortKey& k) { return at(k.column) >= kFields.size(); });
}

void MeiboTable::reorder() {
    if (keys_.size() != records_.size() && needsKeys())
        computeKeys();
    shown_.clear();
    const std::optional<std::string> name =
        filter_.name.empty() ? std::nullopt : asStored(filter_.name);
    for (std::size_t i = 0; i < records_.size(); ++i)
        if (passes(i, name))
            shown_.push_back(i);

    // Each sort key of every record shown, worked out once rather than in each comparison.
    std::vector<std::vector<CellKey>> keys(sort_.size());
    for (std::size_t k = 0; k < sort_.size(); ++k) {
        const std::vector<int>& ranks =
            sort_[k].column == MeiboColumn::Name ? nameRanks() : nameRanks_;
        keys[k].resize(records_.size());
        static const MeiboKeys none;
        for (std::size_t i : shown_)
            keys[k][i] =
                sortKey(records_, keys_.empty() ? none : keys_[i], ranks, i, sort_[k].column);
    }
    std::sort(shown_.begin(), shown_.end(), [&](std::size_t a, std::size_t b) {
        for (std::size_t k = 0; k < sort_.size(); ++k) {
            const CellKey& x = keys[k][a];
            const CellKey& y = keys[k][b];
            if (int c = compare(x, y); c != 0) {
                bool reversed =
                    sort_[k].descending && x.group != CellKey::Empty && y.group != CellKey::Empty;
                return reversed ? c > 0 : c < 0;
            }
        }
        return a < b;
    });
}

} // namespace core
