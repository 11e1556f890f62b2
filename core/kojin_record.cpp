#include "core/kojin_record.h"

#include "core/errors.h"
#include "core/file_text.h"
#include "platform/cp932.h"
#include "platform/utf8.h"

#include <algorithm>

namespace core {

namespace {} // namespace

KojinRecord KojinRecord::assign(std::string_view bangou, std::string_view simei,
                                std::string_view gengou, std::string_view nen,
                                std::string_view tuki, std::string_view hi) {
    const std::array<std::string_view, 6> texts{bangou, simei, gengou, nen, tuki, hi};
    KojinRecord r;
    for (std::size_t i = 0; i < kFields.size(); ++i)
        r.*kFields[i].member = fitChars(texts[i], kFields[i].width);
    return r;
}

std::string fitChars(std::string_view text, int width) {
    std::string out(platform::utf8::left(text, static_cast<std::size_t>(width)));
    std::size_t length = platform::utf8::length(out);
    out.append(static_cast<std::size_t>(width) - length, ' ');
    return out;
}

std::string encodeRecord(const KojinRecord& record, const std::string& path) {
    std::string bytes;
    bytes.reserve(KojinRecord::kLength);
    std::vector<std::string> unencodable;
    for (const Field& f : kFields)
        bytes += storedField(record.*f.member, f.width, unencodable);
    if (!unencodable.empty())
        throw UnencodableError(path, std::move(unencodable));
    return bytes;
}

KojinRecord decodeRecord(std::string_view bytes) {
    std::string full(bytes.substr(0, KojinRecord::kLength));
    full.resize(KojinRecord::kLength, '\0');
    KojinRecord r;
    for (const Field& f : kFields)
        r.*f.member = decodeStored(std::string_view(full).substr(
            static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.width)));
    return r;
}

std::string storedEraName(const KojinRecord& record) {
    return std::string(platform::utf8::left(record.gengou, 2));
}

std::string_view shownText(std::string_view field) {
    return field.substr(0, field.find('\0'));
}

std::string_view shownValue(std::string_view field) {
    std::string_view shown = shownText(field);
    return shown.substr(0, shown.find_last_not_of(' ') + 1);
}

} // namespace core
