#include "core/kojin_record.h"

#include "core/errors.h"
#include "core/file_text.h"
#include "platform/utf8.h"

namespace core {

KojinRecord assign(const std::array<std::string_view, kFieldCount>& texts) {
    KojinRecord r;
    for (std::size_t i = 0; i < kFieldCount; ++i)
        r.*kFields[i].member = fitChars(texts[i], kFields[i].width);
    return r;
}

KojinRecord fitted(KojinRecord record) {
    for (const Field& f : kFields)
        record.*f.member = fitChars(record.*f.member, f.width);
    return record;
}

FieldTexts fieldTexts(const KojinRecord& record) {
    FieldTexts texts;
    for (std::size_t i = 0; i < kFieldCount; ++i)
        texts[i] = record.*kFields[i].member;
    return texts;
}

std::string fitChars(std::string_view text, int width) {
    std::string out(platform::utf8::left(text, static_cast<std::size_t>(width)));
    std::size_t length = platform::utf8::length(out);
    out.append(static_cast<std::size_t>(width) - length, ' ');
    return out;
}

std::string encodeRecord(const KojinRecord& record, const std::string& path) {
    std::string bytes;
    bytes.reserve(kRecordLength);
    std::vector<std::string> unencodable;
    for (const Field& f : kFields)
        bytes += storedField(record.*f.member, f.width, unencodable);
    if (!unencodable.empty())
        throw UnencodableError(path, std::move(unencodable));
    return bytes;
}

KojinRecord decodeRecord(std::string_view bytes) {
    std::string full(bytes.substr(0, kRecordLength));
    full.resize(kRecordLength, '\0');
    KojinRecord r;
    for (std::size_t i = 0; i < kFieldCount; ++i)
        r.*kFields[i].member = decodeStored(std::string_view(full).substr(
            static_cast<std::size_t>(fieldOffset(i)), static_cast<std::size_t>(kFields[i].width)));
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
