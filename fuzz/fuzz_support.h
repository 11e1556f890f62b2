#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Helpers shared by the fuzz targets: property checks, byte formatting, a reader that
// draws values from the fuzz input, and a model of the CP932 decoder.
namespace fuzz {

// Prints the failed property with its details and aborts, so that the fuzzer keeps the
// input as a crash and a replay run fails.
[[noreturn]] void fail(const char* file, int line, const char* property, const std::string& detail);

// Bytes as hexadecimal, e.g. "8E 52 22".
std::string hex(std::string_view bytes);

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isUtf8(std::string_view text);

// The characters of well-formed UTF-8 text, each as its bytes.
std::vector<std::string_view> characters(std::string_view utf8);

inline constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Draws values from the fuzz input, front to back; once the input is used up every
// value is zero or empty.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}
    std::uint8_t byte();
    bool flag() { return (byte() & 1) != 0; }
    // A text of up to `maxLength` bytes: a length byte, then that many bytes.
    std::string text(std::size_t maxLength);
    // Well-formed UTF-8 of up to `maxLength` characters, each drawn from three bytes: most
    // from the Basic Multilingual Plane, the others from anywhere up to U+10FFFF.
    std::string unicodeText(std::size_t maxLength);
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

// One piece of a byte string as the CP932 decoder reads it.
struct Code {
    std::string_view bytes; // one or two bytes
    bool valid;             // false: a byte that starts no CP932 character
};

// Splits bytes the way the decoder reads them, left to right: a valid double-byte code,
// else a valid single byte, else one invalid byte.
std::vector<Code> splitCodes(std::string_view bytes);

// The text the decoder should give: each valid code's character, U+FFFD for each invalid
// byte.
std::string expectedDecode(std::string_view bytes);

// The bytes the encoder should give for the decoded text: each valid code replaced by its
// canonical code (itself unless it is one of CP932's duplicate codes), invalid bytes left
// out.
std::string canonicalBytes(std::string_view bytes);

// `text` as it reads back from CP932: the nine characters that the encoder writes as a
// JIS equivalent (〜 − — ‖ ¢ £ ¬ ¥ ‾) replaced by the characters their codes decode to.
std::string asReadBack(std::string_view text);

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::fail(__FILE__, __LINE__, #condition, (detail));                                \
    } while (false)
