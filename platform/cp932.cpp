#include "platform/cp932.h"

#include "platform/cp932_native.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

// The rules of the code page that do not depend on the system converter: which bytes form
// a code, what an invalid byte reads as, which UTF-8 is well-formed, and the nine JIS
// equivalents. The converter (posix/cp932_iconv.cpp, win32/cp932_win32.cpp) only maps one
// code to one character and back.
namespace platform::cp932 {

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

bool isTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Bytes that may be a character by themselves: ASCII and the half-width katakana A1-DF.
// 80, A0 and FD-FF are not, whatever a converter makes of them.
bool isSingleByte(unsigned char b) {
    return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

// Whether `bytes` are one code that decode() reads as a character: a single byte of its
// own, or a lead byte and a second byte. A converter's codes for other bytes (Windows
// writes U+0080 as 80 and the private-use U+F8F0-U+F8F3 as A0, FD-FF) would read back
// as U+FFFD, so such characters are refused.
bool isCode(std::string_view bytes) {
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    return (bytes.size() == 1 && isSingleByte(b(0))) ||
           (bytes.size() == 2 && isLeadByte(b(0)) && isTrailByte(b(1)));
}

// Characters with no code of their own, written as the code page's character for the same
// JIS character (see encode() in cp932.h). ¥ and ‾ become the ASCII bytes 5C and 7E.
char32_t jisEquivalent(char32_t c) {
    static constexpr std::pair<char32_t, char32_t> kEquivalents[] = {
        {U'\u301C', U'\uFF5E'}, {U'\u2212', U'\uFF0D'}, {U'\u2014', U'\u2015'},
        {U'\u2016', U'\u2225'}, {U'\u00A2', U'\uFFE0'}, {U'\u00A3', U'\uFFE1'},
        {U'\u00AC', U'\uFFE2'}, {U'\u00A5', U'\\'},     {U'\u203E', U'~'}};
    auto it = std::find_if(std::begin(kEquivalents), std::end(kEquivalents),
                           [c](const auto& e) { return e.first == c; });
    return it == std::end(kEquivalents) ? c : it->second;
}

// The converter is asked about each code once and its answers are kept, so that a whole
// register or CSV costs little more than copying it. Kept per thread, like the converter.
constexpr char32_t kNotAsked = 0xFFFFFFFF;
constexpr char32_t kRefused = 0xFFFFFFFE;
constexpr char32_t kAskAgain = 0xFFFFFFFD; // an answer of other than one character

// What `code` (one or two bytes, a possible code) reads as, as decode() gives it.
std::optional<std::string> decodeCode(std::string_view code) {
    thread_local std::vector<char32_t> known(0x10000, kNotAsked);
    const std::size_t at = code.size() == 1
                               ? static_cast<unsigned char>(code[0])
                               : static_cast<std::size_t>(static_cast<unsigned char>(code[0]) << 8 |
                                                          static_cast<unsigned char>(code[1]));
    char32_t& c = known[at];
    if (c == kNotAsked || c == kAskAgain) {
        std::optional<std::string> text = native::decode(code);
        if (c == kAskAgain)
            return text;
        std::optional<char32_t> one;
        if (text && !text->empty() && utf8::charLength(*text, 0) == text->size())
            one = utf8::codePoint(*text);
        c = !text || text->empty() ? kRefused : one ? *one : kAskAgain;
        return text;
    }
    if (c == kRefused)
        return std::nullopt;
    std::string out;
    utf8::append(out, c);
    return out;
}

// The code encode() writes for `c` (not ASCII), packed as its byte count in the high 16
// bits and its bytes in the low 16; 0 when `c` has none.
std::uint32_t encodedCode(char32_t c) {
    auto ask = [](char32_t ch) -> std::uint32_t {
        std::optional<std::string> bytes = native::encode(ch);
        if (!bytes || !isCode(*bytes))
            return 0;
        std::uint32_t code = static_cast<std::uint32_t>(bytes->size()) << 16;
        for (char b : *bytes)
            code = (code & 0xFFFF0000u) | ((code & 0xFFu) << 8) | static_cast<unsigned char>(b);
        return code;
    };
    if (c >= 0x10000)
        return ask(c);
    constexpr std::uint32_t kNotAskedCode = 0xFFFFFFFF;
    thread_local std::vector<std::uint32_t> known(0x10000, kNotAskedCode);
    std::uint32_t& code = known[c];
    if (code == kNotAskedCode)
        code = ask(c);
    return code;
}

} // namespace

std::string decode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[pos]);
        if (b < 0x80) {
            out += bytes[pos++];
            continue;
        }
        // A lead byte takes the next byte with it when the two form a character; a lead
        // byte on its own, or one that forms no character, is invalid by itself, and the
        // byte after it is read afresh.
        std::size_t length = 0;
        if (isSingleByte(b))
            length = 1;
        else if (isLeadByte(b) && pos + 1 < bytes.size() &&
                 isTrailByte(static_cast<unsigned char>(bytes[pos + 1])))
            length = 2;
        std::optional<std::string> text;
        if (length > 0)
            text = decodeCode(bytes.substr(pos, length));
        if (text && !text->empty()) {
            out += *text;
            pos += length;
        } else {
            out += kReplacement;
            pos += 1;
        }
    }
    return out;
}

Encoded encode(std::string_view utf8) {
    Encoded result;
    result.bytes.reserve(utf8.size());
    // One character at a time, so that every character the converter cannot take is
    // named, also those a converter would drop without a word (the Unicode tag characters).
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
            result.bytes += utf8[pos++];
            continue;
        }
        std::string_view ch = utf8.substr(pos, utf8::charLength(utf8, pos));
        pos += ch.size();
        std::uint32_t code = 0;
        if (std::optional<char32_t> c = utf8::codePoint(ch)) {
            const char32_t stored = jisEquivalent(*c);
            code = stored < 0x80 ? 1u << 16 | stored : encodedCode(stored);
        }
        if (code >> 16 == 2)
            result.bytes += static_cast<char>((code >> 8) & 0xFF);
        if (code != 0) {
            result.bytes += static_cast<char>(code & 0xFF);
            continue;
        }
        if (std::find(result.unencodable.begin(), result.unencodable.end(), ch) ==
            result.unencodable.end())
            result.unencodable.emplace_back(ch);
    }
    return result;
}

} // namespace platform::cp932
