#pragma once

#include <cstddef>
#include <optional>
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

// The code point of one UTF-8 character (`ch` holds it and nothing else), or nothing when
// it is malformed: cut off, an overlong form, a surrogate or beyond U+10FFFF.
inline std::optional<char32_t> codePoint(std::string_view ch) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(ch[i]); };
    const std::size_t n = ch.size();
    if (n == 0 || n != sequenceLength(byte(0)))
        return std::nullopt;
    if (n == 1)
        return byte(0) < 0x80 ? std::optional<char32_t>(byte(0)) : std::nullopt;
    char32_t c = byte(0) & (0x7Fu >> n);
    for (std::size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return std::nullopt;
        c = c << 6 | (byte(i) & 0x3Fu);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    return c;
}

// Where `text` stops being well-formed UTF-8 (see codePoint()), or nothing when it is.
inline std::optional<std::size_t> firstMalformed(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t n = charLength(text, pos);
        if (!codePoint(text.substr(pos, n)))
            return pos;
        pos += n;
    }
    return std::nullopt;
}

// Appends the UTF-8 form of the code point `c` (at most U+10FFFF).
inline void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace platform::utf8
