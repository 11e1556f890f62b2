// Writes every result of a code page 932 converter as text that reads the same whatever
// system wrote it, so that two converters can be compared line by line:
//   D <bytes>    <code points of the text, or - when refused>
//   E U+<code>   <bytes, or - when refused>
// for every single byte, every lead byte (81-9F, E0-FC) with every second byte, and every
// code point of the Basic Multilingual Plane but the surrogates.
// Usage: cp932_table native|program FILE
//   native:  the system's converter as it is (glibc iconv, or the Win32 conversion)
//   program: the program's converter, cp932::decode and cp932::encode

#include "platform/cp932.h"
#include "platform/cp932_native.h"
#include "platform/utf8.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

namespace cp932 = platform::cp932;

std::string hexBytes(std::string_view bytes) {
    std::string out;
    char b[4];
    for (char c : bytes) {
        std::snprintf(b, sizeof b, "%s%02X", out.empty() ? "" : " ",
                      static_cast<unsigned>(static_cast<unsigned char>(c)));
        out += b;
    }
    return out;
}

std::string codePoints(std::string_view utf8) {
    std::string out;
    char b[12];
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t n = platform::utf8::charLength(utf8, pos);
        const auto c = platform::utf8::codePoint(utf8.substr(pos, n));
        pos += n;
        if (c)
            std::snprintf(b, sizeof b, "%sU+%04X", out.empty() ? "" : " ",
                          static_cast<unsigned>(*c));
        else
            std::snprintf(b, sizeof b, "%s(bad)", out.empty() ? "" : " ");
        out += b;
    }
    return out.empty() ? "(none)" : out;
}

std::optional<std::string> decode(bool native, std::string_view bytes) {
    return native ? cp932::native::decode(bytes) : cp932::decode(bytes);
}

std::optional<std::string> encode(bool native, char32_t c) {
    if (native)
        return cp932::native::encode(c);
    std::string utf8;
    platform::utf8::append(utf8, c);
    cp932::Encoded e = cp932::encode(utf8);
    return e.ok() ? std::optional<std::string>(e.bytes) : std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "native" && mode != "program") {
        std::fprintf(stderr, "usage: cp932_table native|program FILE\n");
        return 2;
    }
    const bool native = mode == "native";
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        return 1;
    }
    auto writeDecode = [&](std::string_view bytes) {
        const auto text = decode(native, bytes);
        std::fprintf(out, "D %s\t%s\n", hexBytes(bytes).c_str(),
                     text ? codePoints(*text).c_str() : "-");
    };
    for (unsigned b = 0; b < 0x100; ++b)
        writeDecode(std::string(1, static_cast<char>(b)));
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (unsigned trail = 0; trail < 0x100; ++trail)
            writeDecode(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const auto bytes = encode(native, c);
        std::fprintf(out, "E U+%04X\t%s\n", static_cast<unsigned>(c),
                     bytes ? (bytes->empty() ? "(none)" : hexBytes(*bytes).c_str()) : "-");
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
