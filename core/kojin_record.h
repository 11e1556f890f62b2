#pragma once

#include "core/int16.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The person record of the register file, and the one table its fields come from: every
// part of the program that handles all the fields of a record (the codec, the working
// tables, the update screen, the display grid, the CSV columns and their messages) is
// sized and ordered by kFields.
namespace core {

struct KojinRecord {
    // Fixed-length texts (UTF-8). A record made by assign() or fitted() holds each field
    // filled up with spaces or cut to its width in characters; one read from the file holds
    // the decoded bytes of its field.
    std::string bangou; // record number as text
    std::string simei;  // name
    std::string gengou; // era name
    std::string nen;    // era year
    std::string tuki;   // month
    std::string hi;     // day
};

struct Field {
    std::string KojinRecord::*member;
    int width;                // characters in memory, bytes in the file
    std::string_view heading; // its name on the screens and in the CSV
};

// The record's fields in file order, each starting where the one before ends.
inline constexpr std::array kFields{
    Field{&KojinRecord::bangou, 5, "番号"}, Field{&KojinRecord::simei, 20, "氏名"},
    Field{&KojinRecord::gengou, 5, "元号"}, Field{&KojinRecord::nen, 4, "年"},
    Field{&KojinRecord::tuki, 4, "月"},     Field{&KojinRecord::hi, 4, "日"},
};
inline constexpr std::size_t kFieldCount = kFields.size();

// Where field `i` starts in a record of the file; fieldOffset(kFieldCount) is its length.
constexpr int fieldOffset(std::size_t i) {
    int offset = 0;
    for (std::size_t f = 0; f < i; ++f)
        offset += kFields[f].width;
    return offset;
}
inline constexpr int kRecordLength = fieldOffset(kFieldCount);

// The place of a field in the table.
constexpr std::size_t fieldIndex(std::string KojinRecord::*member) {
    for (std::size_t i = 0; i < kFieldCount; ++i)
        if (kFields[i].member == member)
            return i;
    return kFieldCount;
}

// Record numbers are 16-bit: the last is 32767. A registration counts the register to
// N + 2 before it writes record N + 1, so the most records it (or an import) can leave is
// one less.
inline constexpr int kLastRecordNumber = Int16::kMax;
inline constexpr int kMostRecords = kLastRecordNumber - 1;

// One text per field, in table order.
using FieldTexts = std::array<std::string, kFieldCount>;

// A record from one text per field, each filled up with spaces or cut to its width.
KojinRecord assign(const std::array<std::string_view, kFieldCount>& texts);
// The record with each field filled up with spaces or cut to its width.
KojinRecord fitted(KojinRecord record);
// The record's fields in table order.
FieldTexts fieldTexts(const KojinRecord& record);

// The era name a stored record selects when it is loaded into the calculation screen: the
// first two characters of its era field (the name without the space that fills the field).
std::string storedEraName(const KojinRecord& record);

// `text` filled up on the right with spaces, or cut, to `width` characters.
std::string fitChars(std::string_view text, int width);

// The record's bytes. Throws UnencodableError (naming `path`) when a field holds characters
// that code page 932 cannot hold.
std::string encodeRecord(const KojinRecord& record, const std::string& path);

// A record from its bytes (fewer are taken as zero-filled). Trailing spaces are kept and
// zero bytes become NUL characters. A field that ends with the first half of a double-byte
// character reads it as a space.
KojinRecord decodeRecord(std::string_view bytes);

// A field as a text box shows it: up to its first NUL character.
std::string_view shownText(std::string_view field);

// A field as the CSV export and the register table show it: up to its first NUL character,
// without the spaces that fill it.
std::string_view shownValue(std::string_view field);

} // namespace core
