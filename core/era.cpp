#include "core/era.h"

#include <tuple>

namespace core {

std::optional<std::size_t> eraIndex(std::string_view name) {
    for (std::size_t i = 0; i < kEras.size(); ++i)
        if (kEras[i].name == name)
            return i;
    return std::nullopt;
}

double westernBirthYear(std::string_view name, double eraYear) {
    auto i = eraIndex(name);
    return i ? kEras[*i].firstYear + eraYear - 1 : 0;
}

double completedYears(double birthYear, double birthMonth, double birthDay, double refYear,
                      double refMonth, double refDay) {
    double d = refYear - birthYear;
    if (refMonth < birthMonth)
        return d - 1;
    if (refMonth != birthMonth)
        return d;
    return refDay < birthDay ? d - 1 : d;
}

std::string eraDateText(const platform::Date& date) {
    auto day = std::to_string(date.month) + "月" + std::to_string(date.day) + "日";
    for (auto era = kEras.rbegin(); era != kEras.rend(); ++era) {
        if (std::tie(date.year, date.month, date.day) <
            std::tie(era->firstYear, era->firstMonth, era->firstDay))
            continue;
        int year = date.year - era->firstYear + 1;
        return std::string(era->name) + (year == 1 ? "元" : std::to_string(year)) + "年" + day;
    }
    return std::to_string(date.year) + "年" + day;
}

std::string selectedEraName(const std::array<bool, kEras.size()>& on) {
    for (std::size_t i = 0; i < kEras.size(); ++i)
        if (on[i])
            return std::string(kEras[i].name);
    return {};
}

} // namespace core
