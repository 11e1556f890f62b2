#pragma once

#include "platform/date.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The five Japanese eras and the age arithmetic.
namespace core {

struct Era {
    std::string_view name;
    int firstYear;  // western year of era year 1
    int firstMonth; // the first day of the era in that year
    int firstDay;
};

// In the order of the era option buttons, which is also the order names are compared in.
// 明治 counts from the start of 1868, the year its era year 1 is reckoned from.
inline constexpr std::array<Era, 5> kEras{{
    {"明治", 1868, 1, 1},
    {"大正", 1912, 7, 30},
    {"昭和", 1926, 12, 25},
    {"平成", 1989, 1, 8},
    {"令和", 2019, 5, 1},
}};

// Row (from 0) of the first era whose name equals `name` exactly; nothing otherwise.
std::optional<std::size_t> eraIndex(std::string_view name);

// Western year of era year `eraYear` of era `name`: first year + eraYear − 1.
// An unknown or empty era name gives 0.
double westernBirthYear(std::string_view name, double eraYear);

// Age in completed years on the reference date. A birthday on the reference date
// counts as reached. Months and days are compared as numbers.
double completedYears(double birthYear, double birthMonth, double birthDay, double refYear,
                      double refMonth, double refDay);

// A date written in the era it falls in: 令和8年12月8日, 令和元年5月1日 (year 1 is 元年).
// A date before 明治 is written in the western calendar: 1867年12月31日.
std::string eraDateText(const platform::Date& date);

// Name of the first era whose option is on, or the empty text when none is.
std::string selectedEraName(const std::array<bool, kEras.size()>& on);

} // namespace core
