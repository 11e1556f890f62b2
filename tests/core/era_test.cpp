#include "core/calculation.h"
#include "core/era.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

TEST(WesternBirthYear, IsFirstYearPlusEraYearMinusOneForExactEraNames) {
    const struct {
        std::string era;
        double eraYear, western;
    } cases[] = {{"明治", 1, 1868}, {"大正", 1, 1912},  {"昭和", 1, 1926},  {"平成", 1, 1989},
                 {"令和", 1, 2019}, {"昭和", 70, 1995}, {"平成", 31, 2019}, {"昭和", 0, 1925},
                 {"", 31, 0},       {"西暦", 31, 0},    {"昭和 ", 31, 0},   {"昭", 31, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(core::westernBirthYear(c.era, c.eraYear), c.western) << c.era << c.eraYear;
}

TEST(CompletedYears, CountsBirthdayOnReferenceDateAsReached) {
    const struct {
        double year, month, day, refYear, refMonth, refDay, age;
    } cases[] = {{1956, 8, 26, 2019, 8, 26, 63}, {1956, 8, 26, 2019, 8, 25, 62},
                 {1956, 8, 26, 2019, 9, 1, 63},  {1956, 8, 26, 2019, 7, 31, 62},
                 {1956, 8, 26, 1950, 1, 1, -7},  {1956, 13, 1, 2019, 12, 31, 62},
                 {0, 8, 26, 2019, 9, 1, 2019},   {1868.5, 1, 1, 2019, 6, 1, 150.5},
                 {2000, 2, 29, 2019, 2, 28, 18}, {2000, 2, 29, 2019, 3, 1, 19}};
    for (const auto& c : cases)
        EXPECT_EQ(core::completedYears(c.year, c.month, c.day, c.refYear, c.refMonth, c.refDay),
                  c.age)
            << "row " << &c - cases;
}

TEST(CalculateAge, ReadsEraYearMonthAndDayTexts) {
    const struct {
        std::string era, year, month, day;
        double birthYear, age;
    } cases[] = {
        {"令和", "元", "5", "1", 2019, 0},        {"平成", "元年", "1", "8", 1989, 30},
        {"昭和", "３１", "８", "２６", 1956, 63}, {"昭和", " 3 1年", "8月", "27日", 1956, 62},
        {"平成", "", "1", "1", 1988, 31},         {"明治", "1.5", "1", "1", 1868.5, 150.5}};
    for (const auto& c : cases) {
        core::Module1 m;
        std::tie(m.kgengou, m.knen, m.ktuki, m.khi) = std::tie(c.era, c.year, c.month, c.day);
        std::tie(m.gnen, m.gtuki, m.ghi) = std::tuple("2019", "08", "26");
        const core::AgeResult r = core::calculateAge(m);
        EXPECT_EQ(std::pair(r.birthYear, r.age), std::pair(c.birthYear, c.age)) << c.era << c.year;
    }
}

TEST(ReferenceDateTexts, PadsMonthAndDayToTwoDigits) {
    EXPECT_EQ(core::referenceDateTexts({2019, 8, 5}),
              (std::array<std::string, 3>{"2019", "08", "05"}));
}

TEST(EraDateText, WritesTheEraOfTheDayWithItsFirstYearAsGannen) {
    const struct {
        platform::Date date;
        std::string text;
    } cases[] = {{{2026, 12, 8}, "令和8年12月8日"},  {{2019, 5, 1}, "令和元年5月1日"},
                 {{2019, 4, 30}, "平成31年4月30日"}, {{1989, 1, 8}, "平成元年1月8日"},
                 {{1989, 1, 7}, "昭和64年1月7日"},   {{1926, 12, 25}, "昭和元年12月25日"},
                 {{1912, 7, 29}, "明治45年7月29日"}, {{1868, 1, 1}, "明治元年1月1日"},
                 {{1867, 12, 31}, "1867年12月31日"}};
    for (const auto& c : cases)
        EXPECT_EQ(core::eraDateText(c.date), c.text);
}

} // namespace
