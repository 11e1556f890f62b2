#include "core/number.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct TextCase {
    std::string text;
    double value;
};

TEST(LeadingNumber, ReadsNumberAtStartIgnoringBlanks) {
    const TextCase cases[] = {{"08", 8},
                              {"31年", 31},
                              {"1 2", 12},
                              {"\t4\n2\n", 42},
                              {"", 0},
                              {"abc", 0},
                              {"年31", 0},
                              {"元", 0},
                              {"-7", -7},
                              {"- 7", -7},
                              {"+5", 5},
                              {"-.5", -0.5},
                              {"1.2.3", 1.2},
                              {"1e3", 1000},
                              {"1E-2", 0.01},
                              {"1e", 1},
                              {"&H1F", 31},
                              {"&o17", 15},
                              {"&O18", 1},
                              {"&HZ", 0},
                              {"３１", 31},
                              {"１.５", 1.5},
                              {"1e-400", 0},
                              // Full-width forms of every character the rule reads; other
                              // dashes are no minus sign.
                              {"－１", -1},
                              {"３．５", 3.5},
                              {"．５", 0.5},
                              {"＋２", 2},
                              {"１Ｅ２", 100},
                              {"１ｅ２", 100},
                              {"＆Ｈ１Ｆ", 31},
                              {"＆ｈｆ", 15},
                              {"＆Ｏ１７", 15},
                              {"\u22121", 0},
                              {"\u30FC1", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(core::leadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(EraYearNumber, ReadsGannenAtStartAsOne) {
    const TextCase cases[] = {{"元", 1}, {"元年", 1}, {" 元", 1}, {"３１年", 31}, {"年元", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(core::eraYearNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(WholeNumber, AcceptsOnlyOneNumberWithBlanksAround) {
    const std::pair<std::string, std::optional<double>> cases[] = {
        {" 2.5 ", 2.5},       {"\t-3\t", -3},        {"１２", 12},
        {"", std::nullopt},   {"－２．５", -2.5},    {"abc", std::nullopt},
        {"3x", std::nullopt}, {"1 2", std::nullopt}, {"1e", std::nullopt}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(core::wholeNumber(text), value) << '"' << text << '"';
}

TEST(RoundHalfEven, RoundsHalvesToEvenNeighbour) {
    const std::pair<double, double> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {2.6, 3}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(core::roundHalfEven(value), rounded) << value;
}

TEST(NumberText, WritesPlainDecimalWithFifteenDigits) {
    const double inexact = (1868 + 1.1) - 1; // 1868.0999999999999
    const std::pair<double, std::string> cases[] = {{1956, "1956"},   {-7, "-7"},
                                                    {150.5, "150.5"}, {inexact, "1868.1"},
                                                    {0, "0"},         {-0.0, "0"},
                                                    {0.25, "0.25"},   {1e15, "1E+15"},
                                                    {1e-16, "1E-16"}, {1234567.5, "1234567.5"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(core::numberText(value), text) << value;
}

} // namespace
