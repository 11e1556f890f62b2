#include "fuzz/fuzz_support.h"

#include "platform/utf8.h"

#include "platform/cp932.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz {

void fail(const char* file, int line, const char* property, const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: property failed: %s\n%s\n", file, line, property,
                 detail.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string hex(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        if (!out.empty())
            out += ' ';
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
    return out;
}

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        std::size_t n;
        char32_t c;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 2, c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 3, c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 4, c = b & 0x07;
        } else {
            return false;
        }
        if (i + n > text.size())
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            auto t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (t & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

std::vector<std::string_view> characters(std::string_view utf8) {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[i]);
        std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        out.push_back(utf8.substr(i, n));
        i += n;
    }
    return out;
}

std::uint8_t ByteReader::byte() {
    if (rest_.empty())
        return 0;
    auto b = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
}

std::string ByteReader::text(std::size_t maxLength) {
    const std::size_t wanted = byte() % (maxLength + 1);
    const std::size_t length = std::min(wanted, rest_.size());
    std::string out(rest_.substr(0, length));
    rest_.remove_prefix(length);
    return out;
}

std::string ByteReader::unicodeText(std::size_t maxLength) {
    std::size_t count = byte() % (maxLength + 1);
    std::string out;
    for (std::size_t i = 0; i < count && !rest_.empty(); ++i) {
        const std::uint8_t plane = byte();
        const std::uint8_t high = byte();
        char32_t c = static_cast<char32_t>(high << 8 | byte());
        if (plane >= 0xF0)
            c = (static_cast<char32_t>(plane & 0x0F) + 1) << 16 | c; // U+10000 to U+10FFFF
        if (c >= 0xD800 && c <= 0xDFFF)
            continue; // surrogates are not characters
        platform::utf8::append(out, c);
    }
    return out;
}

namespace {

// What glibc's CP932 converter does, found by decoding every one- and two-byte sequence:
// - Single bytes 00-7F are ASCII (5C is the backslash and 7E the tilde, not yen sign and
//   overline) and A1-DF are the half-width katakana U+FF61-U+FF9F. The single bytes 80,
//   A0 and FD-FF are invalid and give U+FFFD; they are not read as U+0080, U+00A0 or
//   private-use characters.
// - Lead bytes are 81-9F and E0-FC, trail bytes 40-7E and 80-FC. A lead byte at the end
//   of the input, before a byte that cannot trail, or forming an unassigned code (85 40,
//   EB 40, FC 4C ...) is invalid on its own: it gives U+FFFD and the next byte is read
//   afresh. F040-F9FC are the user-defined area U+E000-U+E757 and convert both ways.
// - Every code decodes to one character that encodes again, but not always to the same
//   code (the duplicates): NEC row 13 8790-879C (≒ ≡ ∫ √ ⊥ ∠ ∵ ∩ ∪) give their JIS X
//   0208 codes in row 2; the NEC-selected IBM extensions ED40-EEFC give the IBM
//   extensions FA40-FC4B; and some IBM extensions give NEC row 13 or JIS X 0208 codes:
//   Ⅰ-Ⅹ FA4A-FA53 → 8754-875D, ￢ FA54 → 81CA, ㈱ FA58 → 878A, № FA59 → 8782,
//   ℡ FA5A → 8784, ∵ FA5B → 81E6.
// The table below is built from the converter itself; it aborts when a code outside those
// ranges fails to come back, so a changed converter is noticed rather than modelled.

constexpr unsigned kCodes = 0x10000;
constexpr std::uint16_t kInvalid = 0xFFFF;

bool inDuplicateRange(unsigned code) {
    return (code >= 0x8790 && code <= 0x879C) || (code >= 0xED40 && code <= 0xEEFC) ||
           (code >= 0xFA40 && code <= 0xFC4B);
}

std::string codeBytes(unsigned code) {
    if (code < 0x100)
        return std::string(1, static_cast<char>(code));
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

[[noreturn]] void tableFault(unsigned code, const char* what) {
    std::fprintf(stderr, "CP932 code %s: %s\n", hex(codeBytes(code)).c_str(), what);
    std::abort();
}

struct Table {
    // Indexed by the code: a single byte as itself, a double-byte code as lead * 256 + trail.
    std::array<std::string, kCodes> text;             // its character; empty when invalid
    std::array<std::uint16_t, kCodes> canonical = {}; // the code the encoder gives for it

    Table() {
        canonical.fill(kInvalid);
        namespace cp932 = platform::cp932;
        for (unsigned code = 0; code < kCodes; ++code) {
            // A double-byte code needs a lead byte that is not a character by itself.
            if (code >= 0x100 && !text[code >> 8].empty())
                continue;
            if (code >= 0x100 && code < 0x8000)
                continue;
            std::string decoded = cp932::decode(codeBytes(code));
            if (decoded.find(kReplacement) != std::string::npos)
                continue;
            if (!isUtf8(decoded) || decoded.empty())
                tableFault(code, "decodes to malformed text");
            text[code] = decoded;
        }
        for (unsigned code = 0; code < kCodes; ++code) {
            if (text[code].empty())
                continue;
            cp932::Encoded e = cp932::encode(text[code]);
            if (!e.ok() || e.bytes.empty() || e.bytes.size() > 2)
                tableFault(code, "its character does not encode to one code");
            unsigned back = static_cast<unsigned char>(e.bytes[0]);
            if (e.bytes.size() == 2)
                back = back << 8 | static_cast<unsigned char>(e.bytes[1]);
            if (back != code && !inDuplicateRange(code))
                tableFault(code, "does not come back and is not a known duplicate");
            if (e.bytes.size() != codeBytes(code).size() || text[back] != text[code])
                tableFault(code, "its canonical code differs in length or character");
            canonical[code] = static_cast<std::uint16_t>(back);
        }
        for (unsigned code = 0; code < kCodes; ++code)
            if (canonical[code] != kInvalid && canonical[canonical[code]] != canonical[code])
                tableFault(code, "its canonical code is itself a duplicate");
    }
};

const Table& table() {
    static const std::unique_ptr<Table> t = std::make_unique<Table>();
    return *t;
}

unsigned codeOf(std::string_view bytes) {
    auto b = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[i]));
    };
    return bytes.size() == 1 ? b(0) : b(0) << 8 | b(1);
}

} // namespace

std::vector<Code> splitCodes(std::string_view bytes) {
    const Table& t = table();
    std::vector<Code> codes;
    std::size_t i = 0;
    while (i < bytes.size()) {
        bool mayLead = static_cast<unsigned char>(bytes[i]) >= 0x80;
        if (mayLead && i + 1 < bytes.size() && !t.text[codeOf(bytes.substr(i, 2))].empty()) {
            codes.push_back({bytes.substr(i, 2), true});
            i += 2;
        } else {
            codes.push_back({bytes.substr(i, 1), !t.text[codeOf(bytes.substr(i, 1))].empty()});
            i += 1;
        }
    }
    return codes;
}

std::string expectedDecode(std::string_view bytes) {
    std::string out;
    for (const Code& c : splitCodes(bytes))
        out += c.valid ? std::string_view(table().text[codeOf(c.bytes)]) : kReplacement;
    return out;
}

std::string canonicalBytes(std::string_view bytes) {
    std::string out;
    for (const Code& c : splitCodes(bytes))
        if (c.valid)
            out += codeBytes(table().canonical[codeOf(c.bytes)]);
    return out;
}

std::string asReadBack(std::string_view text) {
    static const std::pair<std::string_view, std::string_view> kEquivalents[] = {
        {"〜", "～"}, {"−", "－"}, {"—", "―"},  {"‖", "∥"}, {"¢", "￠"},
        {"£", "￡"},  {"¬", "￢"}, {"¥", "\\"}, {"‾", "~"}};
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        auto it =
            std::find_if(std::begin(kEquivalents), std::end(kEquivalents),
                         [&](const auto& e) { return text.substr(pos).starts_with(e.first); });
        if (it != std::end(kEquivalents)) {
            out += it->second;
            pos += it->first.size();
        } else {
            out += text[pos++];
        }
    }
    return out;
}

} // namespace fuzz
