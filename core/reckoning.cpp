#include "core/reckoning.h"

#include <utility>

namespace core {
namespace {

bool isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month) {
    constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

// Month and day as one number that orders the days of a year: 401 for 1 April.
int monthDay(int month, int day) {
    return month * 100 + day;
}

// Both dates are calendar dates and the person is born by `on`.
bool bornBy(const BirthDate& birth, const platform::Date& on) {
    return isCalendarDate(birth.year, birth.month, birth.day) &&
           isCalendarDate(on.year, on.month, on.day) &&
           std::pair(birth.year, monthDay(birth.month, birth.day)) <=
               std::pair(on.year, monthDay(on.month, on.day));
}

// A whole number from 1 to `last`, or nothing; also nothing for infinities and NaN.
std::optional<int> wholeFrom1To(double value, int last) {
    if (!(value >= 1 && value <= last))
        return std::nullopt;
    auto whole = static_cast<int>(value);
    return whole == value ? std::optional(whole) : std::nullopt;
}

struct Celebration {
    int countedAge;
    std::string_view name;
};

constexpr std::array<Celebration, 8> kCelebrations{{
    {61, "還暦"},
    {70, "古希"},
    {77, "喜寿"},
    {80, "傘寿"},
    {88, "米寿"},
    {90, "卒寿"},
    {99, "白寿"},
    {100, "百寿"},
}};

} // namespace

bool isCalendarDate(int year, int month, int day) {
    // The year range keeps every sum below far from the limits of int.
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

std::optional<BirthDate> birthDate(double westernYear, double month, double day) {
    auto y = wholeFrom1To(westernYear, 9999);
    auto m = wholeFrom1To(month, 12);
    if (!y || !m)
        return std::nullopt;
    auto d = wholeFrom1To(day, daysInMonth(*y, *m));
    if (!d)
        return std::nullopt;
    return BirthDate{*y, *m, *d};
}

std::optional<int> legalAge(const BirthDate& birth, const platform::Date& on) {
    if (!bornBy(birth, on))
        return std::nullopt;
    platform::Date next{on.year, on.month, on.day + 1};
    if (next.day > daysInMonth(on.year, on.month))
        next = on.month == 12 ? platform::Date{on.year + 1, 1, 1}
                              : platform::Date{on.year, on.month + 1, 1};
    // A 29 February birthday counts as reached on 1 March when the year has no 29th.
    bool reached = monthDay(next.month, next.day) >= monthDay(birth.month, birth.day);
    return next.year - birth.year - (reached ? 0 : 1);
}

std::optional<int> countedAge(const BirthDate& birth, const platform::Date& on) {
    if (!bornBy(birth, on))
        return std::nullopt;
    return on.year - birth.year + 1;
}

std::optional<std::size_t> schoolClassRow(const BirthDate& birth, const platform::Date& on) {
    if (!bornBy(birth, on))
        return std::nullopt;
    constexpr int firstApril = 401;
    // Year of the 2 April that starts the person's birth group: one born on 1 April has
    // legally turned 6 by the end of 31 March and so enters with those born before it.
    int group = monthDay(birth.month, birth.day) <= firstApril ? birth.year - 1 : birth.year;
    int schoolYear = monthDay(on.month, on.day) >= firstApril ? on.year : on.year - 1;
    int row = schoolYear - group - 4; // 0 in the school year of 年少, 3 in that of 小1
    if (row < 0 || row >= static_cast<int>(kSchoolClasses.size()))
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

std::optional<std::string_view> schoolClass(const BirthDate& birth, const platform::Date& on) {
    auto row = schoolClassRow(birth, on);
    return row ? std::optional(kSchoolClasses[*row]) : std::nullopt;
}

std::optional<int> sexagenaryRow(const BirthDate& birth, const platform::Date& on) {
    if (!bornBy(birth, on))
        return std::nullopt;
    // Year 4 is 甲子, the first of the sixty; years 1 to 3 end the cycle before it.
    return (birth.year - 4 + 60) % 60;
}

std::string sexagenaryName(int row) {
    constexpr std::array<std::string_view, 10> stems{"甲", "乙", "丙", "丁", "戊",
                                                     "己", "庚", "辛", "壬", "癸"};
    constexpr std::array<std::string_view, 12> branches{"子", "丑", "寅", "卯", "辰", "巳",
                                                        "午", "未", "申", "酉", "戌", "亥"};
    auto n = static_cast<std::size_t>(row);
    return std::string(stems[n % 10]) + std::string(branches[n % 12]);
}

std::optional<std::string> sexagenaryYear(const BirthDate& birth, const platform::Date& on) {
    auto row = sexagenaryRow(birth, on);
    return row ? std::optional(sexagenaryName(*row)) : std::nullopt;
}

std::optional<std::string_view> longevityCelebration(const BirthDate& birth,
                                                     const platform::Date& on) {
    auto age = countedAge(birth, on);
    if (!age)
        return std::nullopt;
    for (const auto& c : kCelebrations)
        if (c.countedAge == *age)
            return c.name;
    return std::nullopt;
}

} // namespace core
