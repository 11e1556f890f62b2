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

// The record's fields in file order: the one table the codec, the CSV columns and every
// field width come from.
struct Field {
    std::string KojinRecord::*member;
    int offset;               // in the file record, bytes
    int width;                // characters in memory, bytes in the file
    std::string_view heading; // its name on the screens and in the CSV
};

inline constexpr std::array<Field, 6> kFields{{
    {&KojinRecord::bangou, 0, 5, "番号"},
    {&KojinRecord::simei, 5, 20, "氏名"},
    {&KojinRecord::gengou, 25, 5, "元号"},
    {&KojinRecord::nen, 30, 4, "年"},
    {&KojinRecord::tuki, 34, 4, "月"},
    {&KojinRecord::hi, 38, 4, "日"},
}};

// Each field starts where the one before ends, and together they make the record.
constexpr bool fieldsFillTheRecord() {
    int end = 0;
    for (const Field& f : kFields) {
        if (f.offset != end || f.width <= 0)
            return false;
        end += f.width;
    }
    return end == KojinRecord::kLength;
}
static_assert(fieldsFillTheRecord(), "the fields must add up to the 42-byte record");

// The era name a stored record selects when it is loaded into the calculation screen: the
// first two characters of its era field (the name without the space that fills the field).
std::string storedEraName(const KojinRecord& record);

// `text` filled up on the right with spaces, or cut, to `width` characters.
std::string fitChars(std::string_view text, int width);

// The record's 42 bytes. Throws UnencodableError (naming `path`) when a field holds
// characters that code page 932 cannot hold.
std::string encodeRecord(const KojinRecord& record, const std::string& path);

// A record from 42 bytes (fewer are taken as zero-filled). Trailing spaces are kept and
// zero bytes become NUL characters. A field that ends with the first half of a double-byte
// character reads it as a space.
KojinRecord decodeRecord(std::string_view bytes);

// A field as a text box shows it: up to its first NUL character.
std::string_view shownText(std::string_view field);

// A field as the CSV export and the register table show it: up to its first NUL character,
// without the spaces that fill it.
std::string_view shownValue(std::string_view field);

} // namespace core
