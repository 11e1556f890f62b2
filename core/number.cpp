#include "core/number.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace core {
namespace {

// Turns the full-width forms of ASCII characters (U+FF01 to U+FF5E: ０, ＋, －, ．, Ｅ, ＆, Ｈ
// ...) into those characters, as input methods type them, and, with `dropBlanks`, removes
// the blanks that the leading-number rule ignores. Other dashes (U+2212, U+30FC) stay.
std::string normalise(std::string_view text, bool dropBlanks = true) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (dropBlanks && (c == ' ' || c == '\t' || c == '\n'))
            continue;
        // U+FF01..U+FF3F are EF BC 81..BF, U+FF40..U+FF5E are EF BD 80..9E.
        if (i + 2 < text.size() && static_cast<unsigned char>(c) == 0xEF) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            const auto third = static_cast<unsigned char>(text[i + 2]);
            const unsigned code = (second == 0xBC && third >= 0x81 && third <= 0xBF) ? third - 0x60u
                                  : (second == 0xBD && third >= 0x80 && third <= 0x9E)
                                      ? third - 0x20u
                                      : 0u;
            if (code != 0) {
                out += static_cast<char>(code);
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads an integer in `base` from the start of `digits`, stopping at the first character
// that is not a digit of that base.
double readRadix(std::string_view digits, int base) {
    double value = 0;
    for (char c : digits) {
        int d;
        if (isDigit(c))
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        if (d >= base)
            break;
        value = value * base + d;
    }
    return value;
}

// Length of the decimal number at the start of `s` (sign, digits, one point, exponent);
// 0 when `s` does not start with one.
std::size_t decimalPrefix(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// Whether a decimal number too far from 1 for a double is too large rather than too small:
// its first significant digit and its exponent put it above 1.
bool tooLarge(std::string_view s) {
    std::size_t e = s.find_first_of("eE");
    std::string_view mantissa = s.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = s.substr(e + 1);
        bool negative = !digits.empty() && digits[0] == '-';
        for (char c : digits)
            if (isDigit(c))
                exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
        exponent = negative ? -exponent : exponent;
    }
    std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    std::size_t first = mantissa.find_first_of("123456789");
    auto before = static_cast<long long>(point) - static_cast<long long>(first);
    return (first < point ? before : before + 1) + exponent > 0;
}

// Parses a decimal number text whose form decimalPrefix() accepted, the same in every
// locale and correctly rounded, as strtod does in the "C" locale: a magnitude past the
// range of a double gives infinity, one below it 0.
double parseDecimal(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1); // from_chars takes no sign of its own
    }
    double value = 0;
    if (std::from_chars(s.data(), s.data() + s.size(), value).ec == std::errc::result_out_of_range)
        value = tooLarge(s) ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

// Value of a normalised text: the number at its start, and how many bytes it took.
std::pair<double, std::size_t> readNumber(std::string_view s) {
    if (s.size() >= 2 && s[0] == '&') {
        char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H' || kind == 'O') {
            std::string_view digits = s.substr(2);
            int base = kind == 'H' ? 16 : 8;
            return {readRadix(digits, base), s.size()};
        }
    }
    std::size_t n = decimalPrefix(s);
    if (n == 0)
        return {0.0, 0};
    return {parseDecimal(s.substr(0, n)), n};
}

} // namespace

double leadingNumber(std::string_view text) {
    return readNumber(normalise(text)).first;
}

double eraYearNumber(std::string_view text) {
    std::string s = normalise(text);
    if (s.rfind("元", 0) == 0)
        return 1;
    return readNumber(s).first;
}

std::optional<double> wholeNumber(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    std::string s = normalise(text, false);
    std::size_t n = decimalPrefix(s);
    if (n == 0 || n != s.size())
        return std::nullopt;
    return parseDecimal(s);
}

double roundHalfEven(double value) {
    double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        r = 2.0 * std::round(value / 2.0);
    return r;
}

std::string numberText(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0)
        return "0";
    // Round to 15 significant digits: d.dddddddddddddde±x
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    bool negative = sci.front() == '-';
    if (negative)
        sci.remove_prefix(1);
    std::size_t ePos = sci.find('e');
    int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (isDigit(c))
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -15) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        out += exponent < 0 ? "E-" : "E+";
        std::string e = std::to_string(std::abs(exponent));
        out += (e.size() < 2 ? "0" : "") + e;
        return out;
    }
    if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        return out;
    }
    auto intLen = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intLen)
        return out + digits + std::string(intLen - digits.size(), '0');
    return out + digits.substr(0, intLen) + "." + digits.substr(intLen);
}

} // namespace core
