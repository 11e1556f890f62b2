#include "platform/cp932.h"

#include "platform/utf8.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace platform::cp932 {
namespace {

// One iconv descriptor per direction, opened once and reset before each use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of `in` as it can, appending to `out`. Stops at the first error
    // and returns errno (0 when all of `in` was converted); `in` is advanced past what
    // was consumed.
    int convert(std::string_view& in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[256];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            std::size_t srcLeft = in.size();
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            int err = r == static_cast<std::size_t>(-1) ? errno : 0;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (err != 0 && err != E2BIG)
                return err;
        }
        return 0;
    }

private:
    iconv_t cd_;
};

Converter& decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

} // namespace

std::string decode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (decoder().convert(bytes, out) != 0) {
        // An invalid or cut-off sequence: one replacement character for its first byte.
        out += "\xEF\xBF\xBD";
        bytes.remove_prefix(1);
    }
    return out;
}

Encoded encode(std::string_view utf8) {
    Encoded result;
    result.bytes.reserve(utf8.size());
    // One character at a time: iconv silently drops some characters (the Unicode tag
    // characters) that it cannot convert, and those must be reported like the others.
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::string_view ch = utf8.substr(pos, utf8::charLength(utf8, pos));
        pos += ch.size();
        std::string_view rest = ch;
        std::size_t before = result.bytes.size();
        if (encoder().convert(rest, result.bytes) == 0 && result.bytes.size() > before)
            continue;
        result.bytes.resize(before);
        if (std::find(result.unencodable.begin(), result.unencodable.end(), ch) ==
            result.unencodable.end())
            result.unencodable.emplace_back(ch);
    }
    return result;
}

} // namespace platform::cp932
