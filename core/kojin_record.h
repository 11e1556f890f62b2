#pragma once

#include <array>
#include <string>
#include <string_view>

// The 42-byte person record of the register file.
namespace core {

struct KojinRecord {
    static constexpr int kLength = 42;

    // Fixed-length texts (UTF-8). After assign() each holds exactly its field's width in
    // characters; a record read from the file holds the decoded bytes of its field.
    std::string bangou; // record number as text, 5
    std::string simei;  // name, 20
    std::string gengou; // era name, 5
    std::string nen;    // era year, 4
    std::string tuki;   // month, 4
    std::string hi;     // day, 4

    // Builds a record from six texts, each filled up with spaces or cut to its width.
    static KojinRecord assign(std::string_view bangou, std::string_view simei,
                              std::string_view gengou, std::string_view nen, std::string_view tuki,
                              std::string_view hi);
};

struct Field {
    std::string KojinRecord::*member;
    int offset; // in the file record, bytes
    int width;  // characters in memory, bytes in the file
};

inline constexpr std::array<Field, 6> kFields{{
    {&KojinRecord::bangou, 0, 5},
    {&KojinRecord::simei, 5, 20},
    {&KojinRecord::gengou, 25, 5},
    {&KojinRecord::nen, 30, 4},
    {&KojinRecord::tuki, 34, 4},
    {&KojinRecord::hi, 38, 4},
}};

// `text` filled up on the right with spaces, or cut, to `width` characters.
std::string fitChars(std::string_view text, int width);

// CP932 bytes filled up with spaces, or cut, to `width` bytes. A double-byte character
// that would straddle the end is left out and its place filled with a space.
std::string fitBytes(std::string_view cp932, int width);

// The record's 42 bytes from its six fields in code page 932, in field order, each filled
// up with spaces or cut to its width in bytes as fitBytes() does.
std::string recordBytes(const std::array<std::string_view, 6>& cp932);

// The record's 42 bytes. Throws UnencodableError (naming `path`) when a field holds
// characters that code page 932 cannot hold.
std::string encodeRecord(const KojinRecord& record, const std::string& path);

// A record from 42 bytes (fewer are taken as zero-filled). Trailing spaces are kept and
// zero bytes become NUL characters. A field that ends with the first half of a double-byte
// character reads it as a space.
KojinRecord decodeRecord(std::string_view bytes);

// A field as a text box shows it: up to its first NUL character.
std::string_view shownText(std::string_view field);

} // namespace core
