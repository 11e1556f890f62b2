#pragma once

#include "platform/date.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Other ways of reckoning a person's age on a date, and the customs that go with them.
namespace core {

// Headings of the columns the values below fill, in the order they follow the age.
inline constexpr std::array<std::string_view, 5> kReckoningHeadings{"法定年齢", "数え年", "学年",
                                                                    "干支", "長寿祝い"};

// A date of the western (Gregorian) calendar.
struct BirthDate {
    int year;
    int month;
    int day;
};

// Whether the date is one of the calendar, with a year from 1 to 9999 (29 February only in
// leap years).
bool isCalendarDate(int year, int month, int day);

// The date when year, month and day are whole numbers forming a calendar date with a year
// from 1 to 9999 (29 February only in leap years); nothing otherwise.
std::optional<BirthDate> birthDate(double westernYear, double month, double day);

// Each value below is nothing when the person is born after `on` (not yet born), or when
// either date is not a calendar date with a year from 1 to 9999.

// Age under the law: the next age is reached at the end of the day before the birthday,
// so one born on 2 April is already 6 on 1 April, and one born on 29 February turns a
// year older on 28 February. This is the completed years on the day after `on`.
std::optional<int> legalAge(const BirthDate& birth, const platform::Date& on);

// Counted age: 1 in the calendar year of birth, one more every 1 January.
std::optional<int> countedAge(const BirthDate& birth, const platform::Date& on);

// The classes of the school years, in school order.
inline constexpr std::array<std::string_view, 12> kSchoolClasses{
    "年少", "年中", "年長", "小1", "小2", "小3", "小4", "小5", "小6", "中1", "中2", "中3"};

// Class in the school year (1 April to 31 March) containing `on`: 年少, 年中, 年長, then 小1
// to 小6 and 中1 to 中3; nothing for other ages. A child enters 小1 on the first 1 April after
// the day it legally turns 6, so those born from 2 April to the next 1 April share a class.
std::optional<std::string_view> schoolClass(const BirthDate& birth, const platform::Date& on);
// The same class as its row of kSchoolClasses.
std::optional<std::size_t> schoolClassRow(const BirthDate& birth, const platform::Date& on);

// Sexagenary name of the calendar year of birth: 甲子 for 1984, 丙申 for 1956.
std::optional<std::string> sexagenaryYear(const BirthDate& birth, const platform::Date& on);
// The same year as its place in the sixty-year cycle, 0 (甲子) to 59 (癸亥), and the name of
// a place.
std::optional<int> sexagenaryRow(const BirthDate& birth, const platform::Date& on);
std::string sexagenaryName(int row);

// Longevity celebration held in the calendar year of `on`, by counted age: 還暦 (61),
// 古希 (70), 喜寿 (77), 傘寿 (80), 米寿 (88), 卒寿 (90), 白寿 (99), 百寿 (100); nothing in
// other years.
std::optional<std::string_view> longevityCelebration(const BirthDate& birth,
                                                     const platform::Date& on);

} // namespace core
