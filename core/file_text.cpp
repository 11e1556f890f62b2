#include "core/file_text.h"

#include "core/errors.h"
#include "platform/cp932.h"

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

} // namespace core
