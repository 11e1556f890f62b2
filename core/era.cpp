#include "core/era.h"

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

std::string selectedEraName(const std::array<bool, kEras.size()>& on) {
    for (std::size_t i = 0; i < kEras.size(); ++i)
        if (on[i])
            return std::string(kEras[i].name);
    return {};
}

} // namespace core
