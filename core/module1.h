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

// The texts of one row of the display grid: one per field, in column order.
using RowTexts = FieldTexts;

// The variables of Module1, which a copy of it copies.
struct Module1Variables {
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

    // Fields of the register's records by record number, as last read: one table per field.
    std::array<RegisterTable, kFieldCount> tables;
};

struct Module1 : Module1Variables {
    Module1() = default;
    // A copy takes the values; the tables' names below refer into its own tables.
    Module1(const Module1& other) : Module1Variables(other) {}
    Module1& operator=(const Module1& other) {
        Module1Variables::operator=(other);
        return *this;
    }
    ~Module1() = default;

    RegisterTable& tbangou = tables[fieldIndex(&KojinRecord::bangou)];
    RegisterTable& tsimei = tables[fieldIndex(&KojinRecord::simei)];
    RegisterTable& tgengou = tables[fieldIndex(&KojinRecord::gengou)];
    RegisterTable& tnen = tables[fieldIndex(&KojinRecord::nen)];
    RegisterTable& ttuki = tables[fieldIndex(&KojinRecord::tuki)];
    RegisterTable& thi = tables[fieldIndex(&KojinRecord::hi)];

    // Stores the fields of `record` into slot `slot` of the tables.
    void storeRecord(std::int32_t slot, const KojinRecord& record);
    // Slot `slot` of the tables, in column order.
    RowTexts row(std::int32_t slot) const;
};

} // namespace core
