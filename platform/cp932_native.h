#pragma once

#include <optional>
#include <string>
#include <string_view>

// The system's own code page 932 converter, one piece at a time: glibc iconv "CP932" on
// POSIX, MultiByteToWideChar / WideCharToMultiByte on Windows. cp932::decode and
// cp932::encode decide which pieces to hand it, so that both give the same results; the
// differential check of the code page compares the two converters through these calls.
namespace platform::cp932::native {

// The text (UTF-8) the converter makes of `bytes`, or nothing when it refuses them.
std::optional<std::string> decode(std::string_view bytes);

// The bytes the converter writes for the character `c`, or nothing when it has no code
// for it (no best-fit substitutes). May be empty: some converters drop a character
// without a word.
std::optional<std::string> encode(char32_t c);

} // namespace platform::cp932::native
