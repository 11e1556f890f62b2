#include "core/file_text.h"

#include "core/errors.h"
#include "platform/cp932.h"
#include "platform/utf8.h"

#include <algorithm>

namespace core {

std::vector<std::string> encodeAll(const std::vector<std::string_view>& texts,
                                   const std::string& path) {
    std::vector<std::string> bytes;
    std::vector<std::string> unencodable;
    bytes.reserve(texts.size());
    for (std::string_view text : texts) {
        platform::cp932::Encoded e = platform::cp932::encode(text);
        for (auto& ch : e.unencodable)
            if (std::find(unencodable.begin(), unencodable.end(), ch) == unencodable.end())
                unencodable.push_back(ch);
        bytes.push_back(std::move(e.bytes));
    }
    if (!unencodable.empty())
        throw UnencodableError(path, std::move(unencodable));
    return bytes;
}

std::optional<std::string> asStored(std::string_view text) {
    platform::cp932::Encoded e = platform::cp932::encode(text);
    if (!e.ok())
        return std::nullopt;
    return platform::cp932::decode(e.bytes);
}

std::string fitBytes(std::string_view cp932, int width) {
    const auto limit = static_cast<std::size_t>(width);
    std::size_t pos = 0;
    while (pos < cp932.size()) {
        std::size_t n = platform::cp932::isLeadByte(static_cast<unsigned char>(cp932[pos])) ? 2 : 1;
        if (pos + n > limit)
            break;
        pos += n;
    }
    std::string out(cp932.substr(0, std::min(pos, cp932.size())));
    out.resize(limit, ' ');
    return out;
}

std::string storedField(std::string_view text, int width, std::vector<std::string>& unencodable) {
    // Characters are taken while the field has room; fitBytes() makes the cut.
    std::string bytes;
    for (std::size_t pos = 0;
         pos < text.size() && bytes.size() < static_cast<std::size_t>(width);) {
        const std::string_view ch = text.substr(pos, platform::utf8::charLength(text, pos));
        pos += ch.size();
        platform::cp932::Encoded e = platform::cp932::encode(ch);
        if (e.ok())
            bytes += e.bytes;
        else if (std::find(unencodable.begin(), unencodable.end(), ch) == unencodable.end())
            unencodable.emplace_back(ch);
    }
    return fitBytes(bytes, width);
}

std::string decodeStored(std::string_view bytes) {
    std::string whole(bytes);
    for (std::size_t pos = 0; pos < whole.size(); ++pos) {
        if (!platform::cp932::isLeadByte(static_cast<unsigned char>(whole[pos])))
            continue;
        if (pos + 1 == whole.size())
            whole[pos] = ' ';
        ++pos;
    }
    return platform::cp932::decode(whole);
}

} // namespace core
