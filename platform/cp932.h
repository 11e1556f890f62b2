#pragma once

#include <string>
#include <string_view>
#include <vector>

// The Japanese Windows code page 932, over glibc iconv. "CP932" rather than "SHIFT_JIS":
// files written on Windows hold its extension characters (髙, 﨑, ①, ～ ...).
namespace platform::cp932 {

// Bytes to UTF-8. Never fails: a byte sequence that is not CP932 gives U+FFFD.
std::string decode(std::string_view bytes);

struct Encoded {
    std::string bytes;
    // Characters (UTF-8, each once, in order of appearance) that have no CP932 form;
    // they are left out of `bytes`.
    std::vector<std::string> unencodable;
    bool ok() const { return unencodable.empty(); }
};

// UTF-8 to bytes, telling which characters could not be converted.
Encoded encode(std::string_view utf8);

} // namespace platform::cp932
