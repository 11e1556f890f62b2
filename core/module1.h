#pragma once

#include "core/int16.h"
#include "core/kojin_record.h"

#include <array>
#include <cstdint>
#include <string>

// The state shared by the screens, kept from program start to program end.
namespace core {

// One working table of the search and the listing: slots 0 to 500, one field of the
// record with the same number. Every store and fetch is bounds-checked.
class RegisterTable {
public:
    static constexpr int kSlots = 501;

    const std::string& operator()(std::int32_t slot) const { return slots_[checked(slot)]; }
    void store(std::int32_t slot, std::string text) { slots_[checked(slot)] = std::move(text); }

private:
    // Throws std::out_of_range for a slot outside 0 to 500 (a negative slot included).
    static std::size_t checked(std::int32_t slot);
    std::array<std::string, kSlots> slots_;
};

// The six texts of one row of the display grid, in column order.
using RowTexts = std::array<std::string, 6>;

struct Module1 {
    // The calculation screen's entry: texts as typed, and their numeric values.
    std::string ksimei, kgengou, knen, ktuki, khi;
    std::string gnen, gtuki, ghi;
    double knenv = 0, ktukiv = 0, khiv = 0;
    double gnenv = 0, gtukiv = 0, ghiv = 0;

    // Number of the register record being read or written.
    Int16 recno;

    // Counters of the name search and the listing.
    int gyou = 0;
    int hgyou = 0;
    int kensu = 0;

    // Fields of the register's records by record number, as last read.
    RegisterTable tbangou, tsimei, tgengou, tnen, ttuki, thi;

    // Stores the six fields of `record` into slot `slot` of the six tables.
    void storeRecord(std::int32_t slot, const KojinRecord& record);
    // Slot `slot` of the six tables, in column order.
    RowTexts row(std::int32_t slot) const;
};

} // namespace core
