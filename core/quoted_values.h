#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The text of the last-entry file: one line of double-quoted values separated by commas,
// ended by CR LF, with quotes inside the values not escaped.
namespace core {

// The part of such a file that is read: the values sit at its start, and a huge file is
// not read to its end.
inline constexpr std::size_t kMaxQuotedFileBytes = std::size_t{1} << 20;

// One line of the values, each in double quotes, ended by CR LF.
std::string quotedLine(const std::vector<std::string>& values);

// Up to `count` values of such a text: blanks before a value are skipped; a value in double
// quotes runs to the next double quote that is followed by a comma, a line end or the end
// of the text (commas and other quotes included); any other value runs to the next comma or
// line end with surrounding blanks dropped. Fewer than `count` values come back when the
// text ends first.
std::vector<std::string> parseQuotedValues(std::string_view text, std::size_t count);

} // namespace core
