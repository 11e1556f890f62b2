#include "core/meibo.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using core::MeiboColumn;

// As of 2025-04-01. Record 3 is empty; 5 has a number field that is no number and a ～ in its
// name; 4 and 7 are born on 1 and 2 April; 1, 6 and 8 have a 長寿祝い this year.
core::MeiboRecords people() {
    auto r = [](auto... texts) { return core::assign({texts...}); };
    core::MeiboRecords records;
    for (const core::KojinRecord& record :
         {r("10", "やまだ", "昭和", "31", "8", "26"), r("9", "あべ", "令和", "元", "5", "1"),
          r("", "", "", "", "", ""), r("11", "いとう", "平成", "31", "4", "1"),
          r("x", "う～だ", "明治", "45", "7", "29"), r("2", "えもと", "大正", "15", "12", "24"),
          r("3", "あべ", "平成", "31", "4", "2"), r("4", "おの", "昭和", "13", "2", "11")})
        records.push_back(record);
    return records;
}

// Record numbers of the rows shown, in order.
std::vector<std::size_t> numbers(const core::MeiboTable& t) {
    std::vector<std::size_t> out;
    for (std::size_t i : t.shown())
        out.push_back(i + 1);
    return out;
}

struct SortCase {
    std::vector<core::SortKey> sorts; // in the order they are made
    std::vector<std::size_t> rows;
};

class MeiboSort : public testing::TestWithParam<SortCase> {};

TEST_P(MeiboSort, OrdersByMeaningWithEarlierSortsAsTiesAndEmptyCellsLast) {
    core::MeiboTable t;
    t.setAsOf({2025, 4, 1});
    t.setRecords(people());
    for (const core::SortKey& k : GetParam().sorts)
        t.sortBy(k);
    EXPECT_EQ(numbers(t), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, MeiboSort,
    testing::Values(
        // Numbers as numbers (9 before 10), a text after them, the empty cell last.
        SortCase{{{MeiboColumn::Number}}, {6, 7, 8, 2, 1, 4, 5, 3}},
        SortCase{{{MeiboColumn::Number, true}}, {5, 4, 1, 2, 8, 7, 6, 3}},
        // 元 is year 1.
        SortCase{{{MeiboColumn::Year}}, {2, 8, 6, 1, 4, 7, 5, 3}},
        SortCase{{{MeiboColumn::Era}}, {5, 6, 1, 8, 4, 7, 2, 3}},
        SortCase{{{MeiboColumn::SchoolClass}}, {2, 7, 4, 1, 3, 5, 6, 8}},
        SortCase{{{MeiboColumn::Sexagenary}}, {6, 8, 1, 2, 4, 7, 5, 3}},
        SortCase{{{MeiboColumn::Celebration}}, {1, 8, 6, 2, 3, 4, 5, 7}},
        SortCase{{{MeiboColumn::BirthDate, true}}, {2, 7, 4, 1, 8, 6, 5, 3}},
        // Equal ages keep the order of the register.
        SortCase{{{MeiboColumn::Age, true}}, {5, 6, 8, 1, 4, 2, 7, 3}},
        // The name sort orders each era's records.
        SortCase{{{MeiboColumn::Name}, {MeiboColumn::Era}}, {5, 6, 8, 1, 7, 4, 2, 3}},
        SortCase{{{MeiboColumn::Name}, {MeiboColumn::Name, true}}, {1, 8, 6, 5, 4, 2, 7, 3}},
        // Only the last three sorts count: by number, 7 would come before 2.
        SortCase{{{MeiboColumn::Number},
                  {MeiboColumn::Name},
                  {MeiboColumn::Age},
                  {MeiboColumn::SchoolClass}},
                 {2, 7, 4, 1, 8, 6, 5, 3}}));

struct FilterCase {
    core::MeiboFilter filter;
    std::vector<std::size_t> rows;
    std::string words;
};

class MeiboFilterRows : public testing::TestWithParam<FilterCase> {};

TEST_P(MeiboFilterRows, ShowsTheRecordsThatMeetEveryCondition) {
    core::MeiboTable t;
    t.setAsOf({2025, 4, 1});
    t.setRecords(people());
    t.setFilter(GetParam().filter);
    EXPECT_EQ(numbers(t), GetParam().rows);
    EXPECT_EQ(core::describeFilter(GetParam().filter), GetParam().words);
}

core::MeiboFilter ages(core::AgeBasis basis, std::optional<int> from, std::optional<int> to) {
    core::MeiboFilter f;
    f.ageBasis = basis;
    f.ageFrom = from;
    f.ageTo = to;
    return f;
}

core::MeiboFilter only(std::string name, std::optional<int> month = {},
                       std::optional<std::size_t> schoolClass = {}, bool celebration = false) {
    core::MeiboFilter f;
    f.name = std::move(name);
    f.birthMonth = month;
    f.schoolClass = schoolClass;
    f.celebrationOnly = celebration;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, MeiboFilterRows,
    testing::Values(FilterCase{{}, {1, 2, 3, 4, 5, 6, 7, 8}, "条件なし"},
                    FilterCase{only("あべ"), {2, 7}, "氏名に「あべ」を含む"},
                    // 〜 as typed by an input method is stored, and so found, as ～.
                    FilterCase{only("う〜"), {5}, "氏名に「う〜」を含む"},
                    FilterCase{only("😀"), {}, "氏名に「😀」を含む"},
                    FilterCase{ages(core::AgeBasis::Age, 75, {}), {5, 6, 8}, "年齢 75 歳以上"},
                    FilterCase{ages(core::AgeBasis::Age, {}, 5), {2, 7}, "年齢 5 歳以下"},
                    // Born on 2 April: legally 6 on 1 April, a day before the 年齢.
                    FilterCase{ages(core::AgeBasis::Age, 6, 6), {4}, "年齢 6 歳"},
                    FilterCase{ages(core::AgeBasis::LegalAge, 6, 6), {4, 7}, "法定年齢 6 歳"},
                    FilterCase{
                        ages(core::AgeBasis::LegalAge, 80, 99), {6, 8}, "法定年齢 80〜99 歳"},
                    FilterCase{only("", 4), {4, 7}, "誕生月 4 月"},
                    FilterCase{only("", {}, 2), {2, 7}, "学年 年長"},
                    FilterCase{only("", {}, {}, true), {1, 6, 8}, "今年の長寿祝い"},
                    FilterCase{only("あべ", 4), {7}, "氏名に「あべ」を含む、誕生月 4 月"}));

struct ViewCase {
    core::MeiboView view;
    platform::Date asOf, on;
    std::vector<std::size_t> rows;
};

class MeiboViews : public testing::TestWithParam<ViewCase> {};

TEST_P(MeiboViews, SetTheirDayFilterAndOrder) {
    const ViewCase& c = GetParam();
    core::MeiboTable t;
    t.setRecords(people());
    t.apply(core::meiboView(c.view, c.asOf));
    EXPECT_EQ(std::tie(t.asOf().year, t.asOf().month, t.asOf().day),
              std::tie(c.on.year, c.on.month, c.on.day));
    EXPECT_EQ(numbers(t), c.rows);
    // Applied again from its own day, a view stays where it is.
    t.apply(core::meiboView(c.view, t.asOf()));
    EXPECT_EQ(std::tie(t.asOf().year, t.asOf().month, t.asOf().day),
              std::tie(c.on.year, c.on.month, c.on.day));
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, MeiboViews,
    testing::Values(
        ViewCase{core::MeiboView::Birthdays, {2025, 4, 30}, {2025, 4, 30}, {4, 7}},
        // 敬老の日 2025 is 15 September, 2026 the 21st: the third Monday.
        ViewCase{core::MeiboView::RespectForTheAged, {2025, 4, 1}, {2025, 9, 15}, {5, 6, 8}},
        ViewCase{core::MeiboView::RespectForTheAged, {2026, 9, 30}, {2026, 9, 21}, {5, 6, 8}},
        ViewCase{core::MeiboView::Longevity, {2025, 1, 1}, {2025, 1, 1}, {1, 8, 6}},
        // On 1 April itself the school year starting that day; after it, the next.
        ViewCase{core::MeiboView::NewPupils, {2025, 4, 1}, {2025, 4, 1}, {4}},
        ViewCase{core::MeiboView::NewPupils, {2025, 4, 2}, {2026, 4, 1}, {7, 2}},
        ViewCase{core::MeiboView::NewPupils, {2025, 12, 31}, {2026, 4, 1}, {7, 2}}));

TEST(MeiboViewNames, AreFoundByIdAndByLabel) {
    EXPECT_EQ(core::findMeiboView("keirou"), core::MeiboView::RespectForTheAged);
    EXPECT_EQ(core::findMeiboView("来年 4 月の新 1 年生"), core::MeiboView::NewPupils);
    EXPECT_FALSE(core::findMeiboView("敬老"));
}

} // namespace
