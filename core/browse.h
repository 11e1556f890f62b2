#pragma once

#include "core/module1.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The pages of the name search and the register listing: records read into the working
// tables of Module1 go onto the display grid, ten rows to a page.
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

// Whether the name in slot `slot` holds `term` as the search compares it (the term in the
// form the register stores it: 〜 typed, ～ stored; a term the register cannot hold
// matches nothing; an empty term matches every record).
class NameMatch {
public:
    explicit NameMatch(std::string_view term);
    bool operator()(const Module1& m, int slot) const;

private:
    std::optional<std::string> stored_;
};

// Shows the hits of a search (the slots that matched, in order): hit k in row k mod 10, a
// page prompt after every full page, and when nothing matched, the prompt and "ありません".
void showSearchHits(Module1& m, const std::vector<int>& hits, DisplayTarget& display);

// Shows the listing of slots 1 to m.gyou − 1: slots 1 to 10, then 10 to 19, 20 to 29 and
// so on, with a page prompt after the first page and after every page whose row 9 was filled.
void showListing(Module1& m, DisplayTarget& display);

} // namespace core
