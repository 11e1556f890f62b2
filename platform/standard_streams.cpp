#include "platform/standard_streams.h"

#include <array>
#include <streambuf>

namespace platform {

namespace {

// Collects what is written and hands it to the system in pieces.
class StandardBuffer : public std::streambuf {
public:
    explicit StandardBuffer(StandardStream which) : which_(which) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    ~StandardBuffer() override { drain(); }
    StandardBuffer(const StandardBuffer&) = delete;
    StandardBuffer& operator=(const StandardBuffer&) = delete;

protected:
    int_type overflow(int_type c) override {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return pending.empty() || native::writeStandard(which_, pending) == 0;
    }

    StandardStream which_;
    std::array<char, 1 << 16> buffer_{};
};

} // namespace

std::ostream& standardStream(StandardStream which) {
    static StandardBuffer outBuffer(StandardStream::Output), errorBuffer(StandardStream::Error);
    static std::ostream out(&outBuffer), error(&errorBuffer);
    // Messages go out at once, as the C runtime's standard error does.
    error.setf(std::ios::unitbuf);
    return which == StandardStream::Output ? out : error;
}

} // namespace platform
