// How typed text becomes a number, and how a number is shown, on arbitrary bytes and on
// numbers built from them.

#include "core/number.h"
#include "fuzz/fuzz_support.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

using fuzz::hex;

constexpr std::string_view kGan = "元";

std::string show(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool startsCharacter(std::string_view text, std::size_t pos) {
    return pos == text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80;
}

// `text` with blanks put before some characters (chosen by the bytes themselves) and at
// both ends; never inside a multi-byte character.
std::string withBlanks(std::string_view text) {
    static constexpr char blanks[] = {' ', '\t', '\n'};
    std::string out = "\n";
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (startsCharacter(text, i) && i < text.size() && (text[i] & 0x21) == 0x21)
            out += blanks[static_cast<unsigned char>(text[i]) % 3];
        if (i < text.size())
            out += text[i];
    }
    return out + " \t";
}

// Properties of any text.
void checkText(std::string_view text) {
    const double lead = core::leadingNumber(text);
    const double era = core::eraYearNumber(text);
    FUZZ_CHECK(!std::isnan(lead) && !std::isnan(era), hex(text));

    // Blanks between characters are ignored wherever they are.
    const std::string spaced = withBlanks(text);
    FUZZ_CHECK(core::leadingNumber(spaced) == lead, hex(text) + " gives " + show(lead) +
                                                        ", with blanks " + hex(spaced) + " gives " +
                                                        show(core::leadingNumber(spaced)));
    FUZZ_CHECK(core::eraYearNumber(spaced) == era, hex(text) + " / " + hex(spaced));

    // 元 first (blanks aside) reads as 1; otherwise an era year is the leading number.
    std::string squeezed;
    for (char c : text)
        if (!isBlank(c))
            squeezed += c;
    const bool gan = squeezed.compare(0, kGan.size(), kGan) == 0;
    FUZZ_CHECK(era == (gan ? 1 : lead), hex(text) + ": " + show(era) + " / " + show(lead));
    FUZZ_CHECK(core::eraYearNumber(std::string(kGan) + std::string(text)) == 1, hex(text));

    // A text that is one whole number: the same value as its leading number, and blanks
    // or tabs around it change nothing.
    const std::optional<double> whole = core::wholeNumber(text);
    if (whole)
        FUZZ_CHECK(*whole == lead, hex(text) + ": " + show(*whole) + " / " + show(lead));
    const std::string padded = " \t" + std::string(text) + "\t ";
    FUZZ_CHECK(core::wholeNumber(padded) == whole, hex(text));
}

// `value` rounded to 15 significant digits, as printf rounds.
double roundedTo15(double value) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    return std::strtod(buf, nullptr);
}

// Significant digits of a finite numberText result, or -1 when it is not of the form
// -?D+(.D*[1-9])?(E[+-]DD+)?
int significantDigits(std::string_view t) {
    std::size_t i = t.size() > 0 && t[0] == '-' ? 1 : 0;
    std::string digits;
    bool point = false;
    for (; i < t.size() && t[i] != 'E'; ++i) {
        if (t[i] == '.' && !point && !digits.empty())
            point = true;
        else if (t[i] >= '0' && t[i] <= '9')
            digits += t[i];
        else
            return -1;
    }
    if (digits.empty() || (point && (t[i - 1] == '0' || t[i - 1] == '.')))
        return -1;
    if (i < t.size()) {
        std::string_view e = t.substr(i + 1);
        if (e.size() < 3 || (e[0] != '+' && e[0] != '-') ||
            e.substr(1).find_first_not_of("0123456789") != std::string_view::npos)
            return -1;
    }
    std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? 1 : static_cast<int>(digits.size() - first);
}

// Properties of any number.
void checkValue(double v) {
    const std::string t = core::numberText(v);
    FUZZ_CHECK(!t.empty(), show(v));
    if (std::isnan(v)) {
        FUZZ_CHECK(t == "NaN", show(v) + " → " + t);
        return;
    }
    if (std::isinf(v)) {
        FUZZ_CHECK(t == (v < 0 ? "-Infinity" : "Infinity"), show(v) + " → " + t);
        return;
    }
    const int digits = significantDigits(t);
    FUZZ_CHECK(digits >= 1 && digits <= 15, show(v) + " → " + t);
    // Read back, the text gives the value rounded to 15 digits: the value itself when it
    // has no more digits than that.
    const double expected = roundedTo15(v);
    FUZZ_CHECK(core::leadingNumber(t) == expected,
               show(v) + " → " + t + " → " + show(core::leadingNumber(t)));
    FUZZ_CHECK(core::wholeNumber(t) == expected, show(v) + " → " + t);

    const double r = core::roundHalfEven(v);
    const double off = std::fabs(r - v);
    FUZZ_CHECK(r == std::trunc(r) && off <= 0.5, show(v) + " → " + show(r));
    if (off == 0.5)
        FUZZ_CHECK(std::fmod(r, 2.0) == 0, show(v) + " → " + show(r));
}

constexpr std::array<std::string_view, 6> kTails = {"", "年", "月", "日", "/", "歳"};

// A whole number typed in plain, full-width or mixed digits, with a sign, blanks and a
// word after it: read exactly.
void checkTypedInteger(fuzz::ByteReader& in) {
    static constexpr std::string_view signs[] = {"", "+", "-"};
    const std::string_view sign = signs[in.byte() % 3];
    const std::size_t count = 1 + in.byte() % 15;
    std::string text(sign);
    std::int64_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = in.byte();
        const int digit = b % 10;
        value = value * 10 + digit;
        if (b & 0x40)
            text += ' ';
        if (b & 0x80)
            text += std::string("\xEF\xBC") + static_cast<char>(0x90 + digit); // ０ to ９
        else
            text += static_cast<char>('0' + digit);
    }
    const double expected = static_cast<double>(sign == "-" ? -value : value);
    const std::string tail(kTails[in.byte() % kTails.size()]);
    FUZZ_CHECK(core::leadingNumber(text + tail) == expected, text + tail);
    FUZZ_CHECK(core::eraYearNumber(text + tail) == expected, text + tail);
    if (text.find(' ') == std::string::npos)
        FUZZ_CHECK(core::wholeNumber(text) == expected, text);
}

// &H and &O integers of up to 52 bits: read exactly.
void checkRadixInteger(fuzz::ByteReader& in) {
    static constexpr std::string_view marks[] = {"&H", "&h", "&O", "&o"};
    const std::string_view mark = marks[in.byte() % 4];
    const int base = mark[1] == 'H' || mark[1] == 'h' ? 16 : 8;
    const auto count = static_cast<std::size_t>(in.byte() % (base == 16 ? 14 : 18)); // ≤ 52 bits
    static constexpr char hexDigits[] = "0123456789abcdefABCDEF";
    std::string text(mark);
    std::int64_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = in.byte();
        const char digit = base == 16 ? hexDigits[b % 22] : static_cast<char>('0' + b % 8);
        value = value * base + (base == 16 ? (b % 22 < 16 ? b % 22 : b % 22 - 6) : b % 8);
        text += digit;
    }
    text += kTails[in.byte() % kTails.size()];
    FUZZ_CHECK(core::leadingNumber(text) == static_cast<double>(value), text);
}

// A decimal of up to 15 digits with an exponent, or a double of any bit pattern.
double valueFrom(fuzz::ByteReader& in) {
    if (in.flag()) {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | in.byte();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    std::string text = in.flag() ? "-" : "";
    const std::size_t count = 1 + in.byte() % 15;
    for (std::size_t i = 0; i < count; ++i)
        text += static_cast<char>('0' + in.byte() % 10);
    const int high = in.byte();
    const int exponent = (high << 8 | in.byte()) % 660 - 330;
    text += "e" + std::to_string(exponent);
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkText(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::ByteReader in(data, size);
    checkTypedInteger(in);
    checkRadixInteger(in);
    checkValue(valueFrom(in));
    checkValue(core::leadingNumber(in.rest()));
    return 0;
}
