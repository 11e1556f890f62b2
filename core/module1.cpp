#include "core/module1.h"

#include <stdexcept>

namespace core {

std::size_t RegisterTable::checked(std::int32_t slot) {
    // Compared without sign, so a negative slot is refused as well.
    if (static_cast<std::uint32_t>(slot) >= static_cast<std::uint32_t>(kSlots))
        throw std::out_of_range("作業表の範囲（0～500）を超える番号 " + std::to_string(slot) +
                                " が使われました。");
    return static_cast<std::size_t>(slot);
}

void Module1::storeRecord(std::int32_t slot, const KojinRecord& record) {
    for (std::size_t i = 0; i < kFieldCount; ++i)
        tables[i].store(slot, record.*kFields[i].member);
}

RowTexts Module1::row(std::int32_t slot) const {
    RowTexts texts;
    for (std::size_t i = 0; i < kFieldCount; ++i)
        texts[i] = tables[i](slot);
    return texts;
}

} // namespace core
