#pragma once

#include <cstdint>
#include <stdexcept>

namespace core {

// A 16-bit signed integer whose overflow is an error, not a wrap: an operation that
// would leave −32768 to 32767 throws std::overflow_error and keeps the old value.
class Int16 {
public:
    static constexpr int kMin = -32768;
    static constexpr int kMax = 32767;

    constexpr Int16() = default;

    constexpr int value() const { return value_; }
    void set(long long v) {
        if (v < kMin || v > kMax)
            throw std::overflow_error("オーバーフローしました。");
        value_ = static_cast<std::int16_t>(v);
    }
    Int16& operator+=(int delta) {
        set(static_cast<long long>(value_) + delta);
        return *this;
    }
    Int16& operator-=(int delta) {
        set(static_cast<long long>(value_) - delta); // -delta would overflow for INT_MIN
        return *this;
    }

private:
    std::int16_t value_ = 0;
};

} // namespace core
