#include "number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace {

struct TextCase {
    std::string text;
    double value;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class LeadingNumber : public testing::TestWithParam<TextCase> {};

TEST_P(LeadingNumber, ReadsNumberAtStartIgnoringBlanks) {
    EXPECT_EQ(core::leadingNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumber,
    testing::Values(TextCase{"08", 8}, TextCase{"31年", 31}, TextCase{"1 2", 12},
                    TextCase{" 3 1", 31}, TextCase{"\t4\n2\n", 42}, TextCase{"", 0},
                    TextCase{"abc", 0}, TextCase{"年31", 0}, TextCase{"-7", -7}, TextCase{"+5", 5},
                    TextCase{"- 7", -7}, TextCase{"1.5", 1.5}, TextCase{".5", 0.5},
                    TextCase{"-.5", -0.5}, TextCase{"1.2.3", 1.2}, TextCase{".", 0},
                    TextCase{"-", 0}, TextCase{"1e3", 1000}, TextCase{"1E-2", 0.01},
                    TextCase{"1e", 1}, TextCase{"1e+", 1}, TextCase{"2e3x", 2000},
                    TextCase{"&H1F", 31}, TextCase{"&h1f", 31}, TextCase{"&o17", 15},
                    TextCase{"&O18", 1}, TextCase{"&HZ", 0}, TextCase{"&", 0}, TextCase{"３１", 31},
                    TextCase{"０８", 8}, TextCase{"１.５", 1.5}, TextCase{"1e-400", 0},
                    TextCase{"-1e-400", 0}, TextCase{"0." + std::string(400, '0') + "1", 0},
                    TextCase{"1" + std::string(400, '0') + "e-5", HUGE_VAL},
                    TextCase{"1e400", HUGE_VAL}, TextCase{"-1e400", -HUGE_VAL}));

class EraYearNumber : public testing::TestWithParam<TextCase> {};

TEST_P(EraYearNumber, ReadsGannenAsOneElseLeadingNumber) {
    EXPECT_EQ(core::eraYearNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, EraYearNumber,
                         testing::Values(TextCase{"元", 1}, TextCase{"元年", 1}, TextCase{" 元", 1},
                                         TextCase{"31", 31}, TextCase{"３１年", 31},
                                         TextCase{"", 0}, TextCase{"年元", 0}));

struct WholeCase {
    std::string text;
    std::optional<double> value;
};

void PrintTo(const WholeCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class WholeNumber : public testing::TestWithParam<WholeCase> {};

TEST_P(WholeNumber, AcceptsOnlyOneNumberWithBlanksAround) {
    EXPECT_EQ(core::wholeNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WholeNumber,
    testing::Values(WholeCase{" 2.5 ", 2.5}, WholeCase{"7", 7}, WholeCase{"\t-3\t", -3},
                    WholeCase{"1e2", 100}, WholeCase{"１２", 12}, WholeCase{"", std::nullopt},
                    WholeCase{"  ", std::nullopt}, WholeCase{"abc", std::nullopt},
                    WholeCase{"3x", std::nullopt}, WholeCase{"1 2", std::nullopt},
                    WholeCase{"1.2.3", std::nullopt}, WholeCase{"1e", std::nullopt},
                    WholeCase{"-", std::nullopt}, WholeCase{"&H10", std::nullopt}));

class RoundHalfEven : public testing::TestWithParam<std::pair<double, double>> {};

TEST_P(RoundHalfEven, RoundsHalvesToEvenNeighbour) {
    EXPECT_EQ(core::roundHalfEven(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEven,
                         testing::Values(std::pair{2.5, 2.0}, std::pair{3.5, 4.0},
                                         std::pair{-2.5, -2.0}, std::pair{-3.5, -4.0},
                                         std::pair{2.4, 2.0}, std::pair{2.6, 3.0},
                                         std::pair{-2.6, -3.0}, std::pair{0.5, 0.0},
                                         std::pair{1.5, 2.0}, std::pair{7.0, 7.0}));

class NumberText : public testing::TestWithParam<std::pair<double, std::string>> {};

TEST_P(NumberText, WritesPlainDecimalWithFifteenDigits) {
    EXPECT_EQ(core::numberText(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberText,
    testing::Values(std::pair{1956.0, "1956"}, std::pair{-7.0, "-7"}, std::pair{150.5, "150.5"},
                    std::pair{(1868 + 1.1) - 1, "1868.1"}, std::pair{0.1 + 0.2, "0.3"},
                    std::pair{0.0, "0"}, std::pair{-0.0, "0"}, std::pair{0.25, "0.25"},
                    std::pair{-0.5, "-0.5"}, std::pair{1000.0, "1000"}, std::pair{1e15, "1E+15"},
                    std::pair{-1.5e20, "-1.5E+20"}, std::pair{123456789012345.0, "123456789012345"},
                    std::pair{0.001, "0.001"}, std::pair{1e-16, "1E-16"}));

TEST(NumberText, NeverUsesThousandsSeparatorOrDecimalComma) {
    for (double v : {1234567.5, 98765.25, -4321.125})
        EXPECT_EQ(core::numberText(v).find(','), std::string::npos) << v;
}

} // namespace
