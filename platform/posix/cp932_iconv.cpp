#include "platform/cp932_native.h"

#include "platform/utf8.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

// The code page through glibc iconv. "CP932" rather than "SHIFT_JIS": files written on
// Windows hold its extension characters (髙, 﨑, ①, ～ ...).
namespace platform::cp932::native {
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

    // All of `in` converted, or nothing when iconv stops at an invalid or cut-off sequence.
    std::optional<std::string> convert(std::string_view in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        char buffer[64];
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
                return std::nullopt;
        }
        return out;
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

std::optional<std::string> decode(std::string_view bytes) {
    return decoder().convert(bytes);
}

std::optional<std::string> encode(char32_t c) {
    std::string utf8;
    utf8::append(utf8, c);
    return encoder().convert(utf8);
}

} // namespace platform::cp932::native
