// The 42-byte register record decoded from arbitrary bytes, and encoded again.

#include "core/errors.h"
#include "core/kojin_record.h"
#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using core::KojinRecord;
using fuzz::hex;

bool hasReplacement(std::string_view text) {
    return text.find(fuzz::kReplacement) != std::string_view::npos;
}

// What a field of `width` bytes should hold after `text` was fitted to it: the longest
// run of whole characters from its start whose CP932 bytes fit, then spaces.
std::string fittedField(std::string_view text, std::size_t width) {
    const std::string encoded = platform::cp932::encode(text).bytes;
    std::string kept;
    std::size_t bytes = 0;
    for (const fuzz::Code& c : fuzz::splitCodes(encoded)) {
        if (bytes + c.bytes.size() > width)
            break;
        bytes += c.bytes.size();
        kept += c.bytes;
    }
    return platform::cp932::decode(kept) + std::string(width - bytes, ' ');
}

// The record's bytes as the reader takes them: a field that ends with the first byte of a
// double-byte character has a space there.
std::string asRead(std::string bytes) {
    for (std::size_t field = 0; field < core::kFieldCount; ++field) {
        const auto start = static_cast<std::size_t>(core::fieldOffset(field));
        const auto end = static_cast<std::size_t>(core::fieldOffset(field + 1));
        for (auto i = start; i < end; ++i)
            if (platform::cp932::isLeadByte(static_cast<unsigned char>(bytes[i])) && ++i == end)
                bytes[end - 1] = ' ';
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    constexpr auto kLength = static_cast<std::size_t>(core::kRecordLength);
    std::string full(input.substr(0, kLength));
    full.resize(kLength, '\0');
    const std::string read = asRead(full);

    const KojinRecord r = core::decodeRecord(input);
    const KojinRecord padded = core::decodeRecord(full);
    bool clean = true;
    for (std::size_t i = 0; i < core::kFieldCount; ++i) {
        const core::Field& f = core::kFields[i];
        const std::string& field = r.*f.member;
        FUZZ_CHECK(field == padded.*f.member, hex(input));
        FUZZ_CHECK(fuzz::isUtf8(field), hex(input) + " → " + hex(field));
        clean = clean && !hasReplacement(field);

        // A text box shows the field's bytes up to the first zero byte.
        const std::string_view shown = core::shownText(field);
        const std::string_view bytes = std::string_view(read).substr(
            static_cast<std::size_t>(core::fieldOffset(i)), static_cast<std::size_t>(f.width));
        FUZZ_CHECK(field.compare(0, shown.size(), shown) == 0, hex(field));
        FUZZ_CHECK(shown.find('\0') == std::string_view::npos, hex(field));
        FUZZ_CHECK(shown == platform::cp932::decode(bytes.substr(0, bytes.find('\0'))),
                   hex(bytes) + " shows " + hex(shown));
    }

    // Encoded again: the same bytes with CP932's duplicate codes made canonical; a record
    // that held bytes with no character must be refused, not stored altered.
    try {
        const std::string encoded = core::encodeRecord(r, "x");
        FUZZ_CHECK(clean, "stored a record that held invalid bytes: " + hex(full));
        FUZZ_CHECK(encoded == fuzz::canonicalBytes(read), hex(full) + " → " + hex(encoded) +
                                                              ", expected " +
                                                              hex(fuzz::canonicalBytes(read)));
    } catch (const core::UnencodableError& e) {
        FUZZ_CHECK(!clean, "refused a valid record: " + hex(full));
        FUZZ_CHECK(e.characters().size() == 1 && e.characters()[0] == fuzz::kReplacement,
                   hex(full));
    }
    if (!clean)
        return 0;

    // The fields typed into the boxes (filled up with spaces to their width in
    // characters) and stored: 42 bytes, each field cut before a double-byte character
    // that would straddle its end.
    const KojinRecord typed = core::fitted(r);
    const std::string stored = core::encodeRecord(typed, "x");
    FUZZ_CHECK(stored.size() == kLength, hex(full));
    const KojinRecord back = core::decodeRecord(stored);
    for (const core::Field& f : core::kFields) {
        const std::string expected =
            fittedField(typed.*f.member, static_cast<std::size_t>(f.width));
        FUZZ_CHECK(back.*f.member == expected, hex(full) + " → " + hex(stored) + ": field " +
                                                   hex(back.*f.member) + ", expected " +
                                                   hex(expected));
    }
    return 0;
}
