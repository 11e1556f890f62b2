#pragma once

#include <optional>
#include <string>
#include <string_view>

// How typed text becomes a number, and how a number is shown.
namespace core {

// The leading-number rule: blanks, tabs and line feeds anywhere are ignored; the number
// at the start of what remains is read (sign, digits with one decimal point, exponent;
// &H hexadecimal and &O octal integers); anything that does not start a number gives 0.
// Full-width digits ０ to ９ count as the digits 0 to 9, as input methods type them.
double leadingNumber(std::string_view text);

// An era year: the leading-number rule, except that 元 (as in 元年, the first year of an
// era) at the start reads as 1.
double eraYearNumber(std::string_view text);

// A whole text that is one number, with blanks around it allowed; nothing otherwise.
std::optional<double> wholeNumber(std::string_view text);

// Rounds to the nearest integer, a half going to the even neighbour (2.5 → 2, 3.5 → 4).
double roundHalfEven(double value);

// Plain decimal text with at most 15 significant digits: 1956, -7, 150.5, 1868.1.
// No thousands separator, no trailing zeros; an exponent only for very large or very
// small magnitudes.
std::string numberText(double value);

} // namespace core
