// Decoding arbitrary bytes as CP932 and encoding the result again, checked against a
// model of the converter built from every one- and two-byte code (see fuzz_support.cpp).

#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

namespace cp932 = platform::cp932;
using fuzz::hex;

void checkDecodeEncode(std::string_view input) {
    const std::string decoded = cp932::decode(input);
    FUZZ_CHECK(fuzz::isUtf8(decoded), hex(input));
    // One character per code, U+FFFD per invalid byte, nothing carried across codes.
    FUZZ_CHECK(decoded == fuzz::expectedDecode(input), hex(input) + " → " + hex(decoded) +
                                                           ", expected " +
                                                           hex(fuzz::expectedDecode(input)));

    const bool clean = decoded.find(fuzz::kReplacement) == std::string::npos;
    const cp932::Encoded e = cp932::encode(decoded);
    // The same bytes again, duplicate codes turned canonical, invalid bytes left out.
    FUZZ_CHECK(e.bytes == fuzz::canonicalBytes(input), hex(input) + " → " + hex(e.bytes) +
                                                           ", expected " +
                                                           hex(fuzz::canonicalBytes(input)));
    FUZZ_CHECK(e.ok() == clean, hex(input));
    if (clean)
        FUZZ_CHECK(cp932::decode(e.bytes) == decoded, hex(input));
    else
        FUZZ_CHECK(e.unencodable.size() == 1 && e.unencodable[0] == fuzz::kReplacement, hex(input));
}

// Text taken as UTF-8: whatever it holds, the encoder gives canonical CP932 and names
// only characters of the text as unencodable, each once. Of well-formed text, every
// character is either named or gives one character back: none is silently dropped.
void checkEncode(std::string_view input) {
    const cp932::Encoded e = cp932::encode(input);
    const std::string back = cp932::decode(e.bytes);
    FUZZ_CHECK(back.find(fuzz::kReplacement) == std::string::npos,
               hex(input) + " → " + hex(e.bytes));
    FUZZ_CHECK(fuzz::canonicalBytes(e.bytes) == e.bytes, hex(input) + " → " + hex(e.bytes));
    if (!fuzz::isUtf8(input))
        FUZZ_CHECK(!e.ok(), hex(input));
    for (std::size_t i = 0; i < e.unencodable.size(); ++i) {
        const std::string& ch = e.unencodable[i];
        FUZZ_CHECK(!ch.empty() && input.find(ch) != std::string_view::npos, hex(input));
        for (std::size_t j = 0; j < i; ++j)
            FUZZ_CHECK(e.unencodable[j] != ch, hex(input));
    }
    if (e.ok())
        FUZZ_CHECK(cp932::encode(back).bytes == e.bytes, hex(input) + " → " + hex(e.bytes));
    if (fuzz::isUtf8(input)) {
        std::size_t kept = 0;
        for (std::string_view ch : fuzz::characters(input))
            kept +=
                std::find(e.unencodable.begin(), e.unencodable.end(), ch) == e.unencodable.end();
        FUZZ_CHECK(fuzz::characters(back).size() == kept,
                   hex(input) + " → " + hex(e.bytes) + (e.ok() ? " (reported as whole)" : ""));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkDecodeEncode(input);
    checkEncode(input);
    fuzz::ByteReader in(data, size);
    checkEncode(in.unicodeText(size));
    return 0;
}
