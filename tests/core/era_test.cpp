#include "calculation.h"
#include "era.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

TEST(EraIndex, MatchesNamesExactlyInButtonOrder) {
    EXPECT_EQ(core::eraIndex("明治"), 0u);
    EXPECT_EQ(core::eraIndex("大正"), 1u);
    EXPECT_EQ(core::eraIndex("昭和"), 2u);
    EXPECT_EQ(core::eraIndex("平成"), 3u);
    EXPECT_EQ(core::eraIndex("令和"), 4u);
    EXPECT_EQ(core::eraIndex("昭和 "), std::nullopt);
    EXPECT_EQ(core::eraIndex(" 昭和"), std::nullopt);
    EXPECT_EQ(core::eraIndex("昭"), std::nullopt);
    EXPECT_EQ(core::eraIndex(""), std::nullopt);
}

struct BirthYearCase {
    std::string era;
    double eraYear;
    double western;
};

void PrintTo(const BirthYearCase& c, std::ostream* os) {
    *os << c.era << ' ' << c.eraYear;
}

class WesternBirthYear : public testing::TestWithParam<BirthYearCase> {};

TEST_P(WesternBirthYear, IsFirstYearPlusEraYearMinusOne) {
    EXPECT_EQ(core::westernBirthYear(GetParam().era, GetParam().eraYear), GetParam().western);
}

INSTANTIATE_TEST_SUITE_P(
    Eras, WesternBirthYear,
    testing::Values(BirthYearCase{"明治", 1, 1868}, BirthYearCase{"大正", 1, 1912},
                    BirthYearCase{"昭和", 1, 1926}, BirthYearCase{"平成", 1, 1989},
                    BirthYearCase{"令和", 1, 2019}, BirthYearCase{"昭和", 31, 1956},
                    BirthYearCase{"昭和", 70, 1995}, BirthYearCase{"平成", 31, 2019},
                    BirthYearCase{"昭和", 0, 1925}, BirthYearCase{"平成", 0, 1988},
                    BirthYearCase{"明治", 1.5, 1868.5}, BirthYearCase{"", 31, 0},
                    BirthYearCase{"西暦", 31, 0}, BirthYearCase{"昭和 ", 31, 0}));

struct AgeCase {
    double birthYear, birthMonth, birthDay;
    double refYear, refMonth, refDay;
    double age;
};

void PrintTo(const AgeCase& c, std::ostream* os) {
    *os << c.birthYear << '-' << c.birthMonth << '-' << c.birthDay << " on " << c.refYear << '-'
        << c.refMonth << '-' << c.refDay;
}

class CompletedYears : public testing::TestWithParam<AgeCase> {};

TEST_P(CompletedYears, CountsBirthdayOnReferenceDateAsReached) {
    const AgeCase& c = GetParam();
    EXPECT_EQ(core::completedYears(c.birthYear, c.birthMonth, c.birthDay, c.refYear, c.refMonth,
                                   c.refDay),
              c.age);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, CompletedYears,
    testing::Values(AgeCase{1956, 8, 26, 2019, 8, 26, 63}, AgeCase{1956, 8, 26, 2019, 8, 25, 62},
                    AgeCase{1956, 8, 26, 2019, 9, 1, 63}, AgeCase{1956, 8, 26, 2019, 7, 31, 62},
                    AgeCase{1956, 8, 26, 2019, 12, 31, 63}, AgeCase{1956, 8, 26, 2019, 1, 1, 62},
                    AgeCase{1956, 8, 26, 1950, 1, 1, -7}, AgeCase{1956, 8, 26, 1956, 8, 26, 0},
                    AgeCase{1956, 13, 1, 2019, 12, 31, 62}, AgeCase{0, 8, 26, 2019, 9, 1, 2019},
                    AgeCase{0, 8, 26, 2019, 8, 1, 2018}, AgeCase{1868.5, 1, 1, 2019, 6, 1, 150.5},
                    AgeCase{2000, 2, 29, 2019, 2, 28, 18}, AgeCase{2000, 2, 29, 2019, 3, 1, 19},
                    AgeCase{2000, 2, 29, 2020, 2, 29, 20}));

TEST(SelectedEraName, IsFirstSelectedEraOrEmpty) {
    EXPECT_EQ(core::selectedEraName({false, false, true, false, false}), "昭和");
    EXPECT_EQ(core::selectedEraName({true, false, false, false, false}), "明治");
    EXPECT_EQ(core::selectedEraName({false, false, false, false, true}), "令和");
    EXPECT_EQ(core::selectedEraName({false, true, false, true, false}), "大正");
    EXPECT_EQ(core::selectedEraName({false, false, false, false, false}), "");
}

// An entry: era, era year, month and day of birth, then the reference date.
core::Module1 entry(std::array<std::string, 7> t) {
    core::Module1 m;
    std::tie(m.kgengou, m.knen, m.ktuki, m.khi, m.gnen, m.gtuki, m.ghi) =
        std::tie(t[0], t[1], t[2], t[3], t[4], t[5], t[6]);
    return m;
}

TEST(CalculateAge, SetsNumericValuesOfEntryTexts) {
    core::Module1 m = entry({"昭和", "31", "08", "26", "2019", "08", "25"});
    core::AgeResult r = core::calculateAge(m);
    EXPECT_EQ(r.birthYear, 1956);
    EXPECT_EQ(r.age, 62);
    EXPECT_EQ((std::array{m.knenv, m.ktukiv, m.khiv, m.gnenv, m.gtukiv, m.ghiv}),
              (std::array<double, 6>{31, 8, 26, 2019, 8, 25}));
}

struct EntryCase {
    std::string era, year, month, day;
    double birthYear, age;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.era << ' ' << c.year;
}

class CalculateAgeOn20190826 : public testing::TestWithParam<EntryCase> {};

TEST_P(CalculateAgeOn20190826, ReadsEraYearMonthAndDayTexts) {
    const EntryCase& c = GetParam();
    core::Module1 m = entry({c.era, c.year, c.month, c.day, "2019", "08", "26"});
    core::AgeResult r = core::calculateAge(m);
    EXPECT_EQ(r.birthYear, c.birthYear);
    EXPECT_EQ(r.age, c.age);
}

INSTANTIATE_TEST_SUITE_P(Entries, CalculateAgeOn20190826,
                         testing::Values(EntryCase{"令和", "元", "5", "1", 2019, 0},
                                         EntryCase{"平成", "元年", "1", "8", 1989, 30},
                                         EntryCase{"昭和", "３１", "８", "２６", 1956, 63},
                                         EntryCase{"昭和", " 3 1年", "8月", "27日", 1956, 62},
                                         EntryCase{"平成", "", "1", "1", 1988, 31},
                                         EntryCase{"", "31", "9", "1", 0, 2018},
                                         EntryCase{"明治", "1.5", "1", "1", 1868.5, 150.5}));

TEST(ReferenceDateTexts, PadsMonthAndDayToTwoDigits) {
    using Texts = std::array<std::string, 3>;
    EXPECT_EQ(core::referenceDateTexts({2019, 8, 5}), (Texts{"2019", "08", "05"}));
    EXPECT_EQ(core::referenceDateTexts({2019, 12, 31}), (Texts{"2019", "12", "31"}));
}

} // namespace
