#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Small helpers over UTF-8 text; the program keeps all text as UTF-8 in memory.
namespace platform::utf8 {

// Length in bytes of the UTF-8 sequence that starts with this byte (1 for a stray byte).
inline std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Byte length of the character at `pos`, never past the end of `text`.
inline std::size_t charLength(std::string_view text, std::size_t pos) {
    std::size_t n = sequenceLength(static_cast<unsigned char>(text[pos]));
    return pos + n <= text.size() ? n : text.size() - pos;
}

// Number of characters (code points).
inline std::size_t length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += charLength(text, pos))
        ++count;
    return count;
}

// The first `count` characters of `text` (all of it when shorter).
inline std::string_view left(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (; pos < text.size() && count > 0; --count)
        pos += charLength(text, pos);
    return text.substr(0, pos);
}

} // namespace platform::utf8
