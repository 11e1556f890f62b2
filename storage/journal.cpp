#include "storage/journal.h"

#include <algorithm>

namespace storage {

namespace {

constexpr std::string_view kMagic = "nenrei journal 2\n";
constexpr std::size_t kFields = 5;
constexpr std::size_t kHeader = kMagic.size() + 8 * kFields + 8;
constexpr std::size_t kTrailer = 8;

void appendNumber(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t numberAt(std::string_view bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 8; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint64_t checksum(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

// Where the byte at `position` of the file stands in the range given to fits().
std::int64_t rangeStart(const Journal& j) {
    return std::min(j.offset, j.oldLength);
}

} // namespace

std::int64_t Journal::newLength() const {
    return std::max(oldLength, offset + static_cast<std::int64_t>(written.size()));
}

std::string encode(const Journal& j) {
    std::string out(kMagic);
    for (std::uint64_t field :
         {static_cast<std::uint64_t>(j.recordLength), static_cast<std::uint64_t>(j.oldLength),
          static_cast<std::uint64_t>(j.offset), std::uint64_t{j.old.size()},
          std::uint64_t{j.written.size()}})
        appendNumber(out, field);
    appendNumber(out, checksum(out));
    const std::size_t body = out.size();
    out += j.old;
    out += j.written;
    appendNumber(out, checksum(std::string_view(out).substr(body)));
    return out;
}

std::int64_t maxJournalBytes(int recordLength, std::int64_t maxRecords) {
    return static_cast<std::int64_t>(kHeader + kTrailer) + 2 * maxRecords * recordLength;
}

JournalKind classify(std::string_view bytes, int recordLength, std::int64_t maxRecords,
                     Journal& out) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; }))
        return JournalKind::Torn; // made, but nothing of it reached the disk
    if (bytes.size() < kHeader)
        return kMagic.starts_with(bytes.substr(0, kMagic.size())) ? JournalKind::Torn
                                                                  : JournalKind::Foreign;
    if (!bytes.starts_with(kMagic) ||
        static_cast<std::int64_t>(bytes.size()) > maxJournalBytes(recordLength, maxRecords))
        return JournalKind::Foreign;
    if (numberAt(bytes, kHeader - 8) != checksum(bytes.substr(0, kHeader - 8)))
        return JournalKind::Damaged;

    auto field = [&](std::size_t i) { return numberAt(bytes, kMagic.size() + 8 * i); };
    const std::uint64_t length = field(0), oldLength = field(1), offset = field(2),
                        oldCount = field(3), newCount = field(4);
    // What a write of this program can make: whole records from a record's start, within the
    // largest file, over at most the old bytes below the old length.
    const auto record = static_cast<std::uint64_t>(recordLength);
    const auto largest = static_cast<std::uint64_t>(maxRecords) * record;
    if (length != record || newCount == 0 || newCount % record != 0 || offset % record != 0 ||
        offset > largest || newCount > largest - offset || oldLength >= (std::uint64_t{1} << 62) ||
        oldCount != std::min(newCount, oldLength - std::min(oldLength, offset)))
        return JournalKind::Damaged;
    const std::size_t body = static_cast<std::size_t>(oldCount + newCount);
    if (bytes.size() < kHeader + body + kTrailer)
        return JournalKind::Torn; // its writer died before all of it was on the disk
    if (bytes.size() > kHeader + body + kTrailer ||
        numberAt(bytes, kHeader + body) != checksum(bytes.substr(kHeader, body)))
        return JournalKind::Damaged;

    out.recordLength = recordLength;
    out.oldLength = static_cast<std::int64_t>(oldLength);
    out.offset = static_cast<std::int64_t>(offset);
    out.old = bytes.substr(kHeader, static_cast<std::size_t>(oldCount));
    out.written = bytes.substr(kHeader + static_cast<std::size_t>(oldCount),
                               static_cast<std::size_t>(newCount));
    return JournalKind::Whole;
}

bool fits(const Journal& j, std::int64_t length, std::string_view range) {
    if (length < j.oldLength || length > j.newLength())
        return false;
    const std::int64_t start = rangeStart(j);
    const std::int64_t end =
        std::min(length, j.offset + static_cast<std::int64_t>(j.written.size()));
    if (static_cast<std::int64_t>(range.size()) < end - start)
        return false;
    for (std::int64_t p = start; p < end; ++p) {
        const char now = range[static_cast<std::size_t>(p - start)];
        if (p < j.offset) {
            // The gap before a write past the end: zeros.
            if (now != '\0')
                return false;
            continue;
        }
        const auto i = static_cast<std::size_t>(p - j.offset);
        const bool isNew = now == j.written[i];
        const bool isOld = p < j.oldLength ? now == j.old[i] : now == '\0';
        if (!isNew && !isOld)
            return false;
    }
    return true;
}

bool holdsOld(const Journal& j, std::int64_t length, std::string_view range) {
    if (length != j.oldLength)
        return false;
    const auto at = static_cast<std::size_t>(j.offset - rangeStart(j));
    return range.size() >= at + j.old.size() && range.substr(at, j.old.size()) == j.old;
}

} // namespace storage
