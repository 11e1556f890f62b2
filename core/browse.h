#pragma once

#include "core/module1.h"
#include "core/session.h"

#include <cstdint>
#include <string>
#include <string_view>

// The name search and the register listing: both read the register into the working
// tables of Module1 and show it, ten rows to a page, on the display grid.
namespace core {

// What the two commands do to the screens; the display screen implements it over its grid
// and the message boxes.
class DisplayTarget {
public:
    virtual ~DisplayTarget() = default;
    virtual void clear() = 0;                                // empties rows 0 to 9
    virtual void setRow(int row, const RowTexts& texts) = 0; // fills one row
    virtual void show() = 0;                                 // shows the grid in front
    virtual void pagePrompt() = 0;                           // "次へ"
    virtual void notFound() = 0;                             // "ありません"
    // The register holds more records than the working tables; only the first
    // `shown` of `total` are read.
    virtual void tooMany(std::int64_t total, int shown) = 0;
};

// Greatest number of records the working tables hold (slots 1 to 500).
inline constexpr int kMaxTableRecords = RegisterTable::kSlots - 1;

// Searches the names of the register for `term` (exact substring; an empty term matches
// every record) and shows the matches.
void nameSearch(Session& s, std::string_view term, DisplayTarget& display);

// Shows the whole register: records 1 to 10, then 10 to 19, 20 to 29 and so on, with a
// page prompt after the first page and after every page whose row 9 was filled.
void registerListing(Session& s, DisplayTarget& display);

} // namespace core
