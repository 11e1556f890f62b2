#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// Each text converted to code page 932 bytes. Throws UnencodableError, naming `path` and
// every character that has no CP932 form, when any text cannot be converted whole, so
// that nothing is ever stored altered (beyond the JIS equivalents that cp932::encode
// describes).
std::vector<std::string> encodeAll(const std::vector<std::string_view>& texts,
                                   const std::string& path);

} // namespace core
