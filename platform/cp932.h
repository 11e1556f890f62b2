#pragma once

#include <string>
#include <string_view>
#include <vector>

// The Japanese Windows code page 932, with its extension characters (髙, 﨑, ①, ～ ...),
// through the system's converter: glibc iconv on POSIX, the Win32 conversion on Windows.
// Both give the same results (see docs/cp932-differences.md).
namespace platform::cp932 {

// The first byte of a double-byte code (81-9F, E0-FC).
bool isLeadByte(unsigned char b);

// Bytes to UTF-8. Never fails: a byte sequence that is not CP932 gives U+FFFD.
std::string decode(std::string_view bytes);

struct Encoded {
    std::string bytes;
    // Characters (UTF-8, each once, in order of appearance) that have no CP932 form;
    // they are left out of `bytes`.
    std::vector<std::string> unencodable;
    bool ok() const { return unencodable.empty(); }
};

// UTF-8 to bytes, telling which characters could not be converted. Nine characters that
// have no code of their own are written as the code page's character for the same JIS
// character, the way input methods on Linux type them and Windows programs show them:
// 〜 U+301C, − U+2212, — U+2014, ‖ U+2016, ¢ U+00A2, £ U+00A3, ¬ U+00AC as ～ － ―
// ∥ ￠ ￡ ￢ (81 60, 81 7C, 81 5C, 81 61, 81 91, 81 92, 81 CA), ¥ U+00A5 as byte 5C and
// ‾ U+203E as byte 7E. They read back as those characters and as \ and ~.
Encoded encode(std::string_view utf8);

} // namespace platform::cp932
