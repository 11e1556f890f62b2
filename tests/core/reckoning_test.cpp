#include "core/reckoning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <type_traits>

namespace {

struct Case {
    int birth, on; // yyyymmdd
    std::string value;
};

// Checks each case's value as its column shows it, nothing being the empty text.
template <typename F, std::size_t N> void check(F column, const Case (&cases)[N]) {
    for (const Case& c : cases) {
        auto value = column(core::BirthDate{c.birth / 10000, c.birth / 100 % 100, c.birth % 100},
                            platform::Date{c.on / 10000, c.on / 100 % 100, c.on % 100});
        std::string shown;
        if constexpr (std::is_same_v<decltype(value), std::optional<int>>)
            shown = value ? std::to_string(*value) : "";
        else
            shown = value ? std::string(*value) : "";
        EXPECT_EQ(shown, c.value) << c.birth << " on " << c.on;
    }
}

TEST(BirthDate, OnlyWholeNumbersFormingACalendarDate) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const struct {
        double year, month, day;
        bool valid;
    } cases[] = {{2000, 2, 29, true},   {1900, 2, 29, false}, {2019, 2, 29, false},
                 {2019, 4, 31, false},  {2019, 12, 31, true}, {2019, 13, 1, false},
                 {2019, 0, 1, false},   {2019, 1, 0, false},  {2019.5, 1, 1, false},
                 {2019, 1, 1.5, false}, {0, 1, 1, false},     {1e300, 1, 1, false},
                 {nan, 1, 1, false},    {2019, inf, 1, false}};
    for (const auto& c : cases)
        EXPECT_EQ(core::birthDate(c.year, c.month, c.day).has_value(), c.valid)
            << "row " << &c - cases;
    auto d = core::birthDate(1956, 8, 26);
    EXPECT_EQ(std::tuple(d->year, d->month, d->day), std::tuple(1956, 8, 26));
}

TEST(LegalAge, ReachesNextAgeOnTheDayBeforeTheBirthday) {
    const Case cases[] = {
        {20100402, 20160331, "5"},  {20100402, 20160401, "6"},  {20100401, 20160331, "6"},
        {20100401, 20160330, "5"},  {20000229, 20190227, "18"}, {20000229, 20190228, "19"},
        {20000229, 20200227, "19"}, {20000229, 20200228, "20"}, {20000101, 20001230, "0"},
        {20000101, 20001231, "1"},  {19991231, 19991231, "0"},  {20000101, 19991231, ""},
        {19560826, 20190230, ""},   {19560230, 20190826, ""}};
    check(core::legalAge, cases);
}

TEST(CountedAge, OneInTheBirthYearAndOneMoreEachFirstOfJanuary) {
    const Case cases[] = {{20191231, 20191231, "1"},
                          {20191231, 20200101, "2"},
                          {19560826, 20190825, "64"},
                          {20200101, 20191231, ""}};
    check(core::countedAge, cases);
}

TEST(SchoolClass, GroupsBirthsFromSecondAprilToFirstApril) {
    const Case cases[] = {
        {20090402, 20160401, "小1"},  {20100401, 20160401, "小1"}, {20100401, 20170331, "小1"},
        {20100402, 20160401, "年長"}, {20090401, 20160401, "小2"}, {20100101, 20151231, "年長"},
        {20120401, 20150401, "年少"}, {20120401, 20150331, ""},    {20120402, 20150401, ""},
        {20100101, 20210401, "小6"},  {20100101, 20220401, "中1"}, {20000402, 20160331, "中3"},
        {20000402, 20160401, ""},     {20200101, 20191231, ""}};
    check(core::schoolClass, cases);
}

TEST(SexagenaryYear, FollowsTheSixtyYearCycleByCalendarYear) {
    const Case cases[] = {{19560826, 20190101, "丙申"}, {19840101, 20190101, "甲子"},
                          {19831231, 20190101, "癸亥"}, {19240601, 20190101, "甲子"},
                          {20240101, 20240101, "甲辰"}, {10101, 20190101, "辛酉"},
                          {20240102, 20240101, ""}};
    check(core::sexagenaryYear, cases);
}

TEST(LongevityCelebration, HeldInTheCalendarYearOfTheCountedAge) {
    const Case cases[] = {
        {19591231, 20190101, "還暦"}, {19590101, 20181231, ""},     {19590101, 20200101, ""},
        {19500505, 20190501, "古希"}, {19430505, 20190501, "喜寿"}, {19400505, 20190501, "傘寿"},
        {19320505, 20190501, "米寿"}, {19300505, 20190501, "卒寿"}, {19210505, 20190501, "白寿"},
        {19200505, 20190501, "百寿"}, {19190505, 20190501, ""},     {19220505, 20190501, ""}};
    check(core::longevityCelebration, cases);
}

} // namespace
