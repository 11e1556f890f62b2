#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Texts on their way into a data file. platform/cp932 converts and reports what it could
// not convert; this is where such a report becomes the user's error for that file, so a
// data file never gets a text stored altered.
namespace core {

// Each text converted to code page 932 bytes. Throws UnencodableError, naming `path` and
// every character that has no CP932 form, when any text cannot be converted whole
// (beyond the JIS equivalents that cp932::encode describes).
std::vector<std::string> encodeAll(const std::vector<std::string_view>& texts,
                                   const std::string& path);

// A text as the data files give it back once stored: characters kept as an equivalent
// read back as that (〜 as ～). Nothing when the code page cannot hold the text.
std::optional<std::string> asStored(std::string_view text);

// CP932 bytes filled up with spaces, or cut, to `width` bytes. A double-byte character
// that would straddle the end is left out and its place filled with a space.
std::string fitBytes(std::string_view cp932, int width);

// What a field of `width` bytes stores of `text`: its code page 932 bytes, cut to the
// width (a double-byte character that would straddle the end is left out) and filled up
// with spaces. Only the characters that would be stored count: those that the code page
// cannot hold are added to `unencodable` (each once) while there is room left before
// them, and are cut away with the rest otherwise.
std::string storedField(std::string_view text, int width, std::vector<std::string>& unencodable);

// Bytes of a data file as text. A value that ends with the first half of a double-byte
// character (another program cut it there, having no room for the second) reads that half
// as the space this program writes in its place; any other byte that is no character
// reads as U+FFFD.
std::string decodeStored(std::string_view bytes);

} // namespace core
