#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The five Japanese eras and the age arithmetic.
namespace core {

struct Era {
    std::string_view name;
    int firstYear; // western year of era year 1
};

// In the order of the era option buttons, which is also the order names are compared in.
inline constexpr std::array kEras{
    Era{"明治", 1868}, Era{"大正", 1912}, Era{"昭和", 1926}, Era{"平成", 1989}, Era{"令和", 2019},
};

// Row (from 0) of the first era whose name equals `name` exactly; nothing otherwise.
std::optional<std::size_t> eraIndex(std::string_view name);

// Western year of era year `eraYear` of era `name`: first year + eraYear − 1.
// An unknown or empty era name gives 0.
double westernBirthYear(std::string_view name, double eraYear);

// Age in completed years on the reference date. A birthday on the reference date
// counts as reached. Months and days are compared as numbers.
double completedYears(double birthYear, double birthMonth, double birthDay, double refYear,
                      double refMonth, double refDay);

// Name of the first era whose option is on, or the empty text when none is.
std::string selectedEraName(const std::array<bool, kEras.size()>& on);

} // namespace core
