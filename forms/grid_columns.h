#pragma once

#include "core/kojin_record.h"

#include <array>

namespace forms {

// Where the display and update screens lay out a register record: one column per field of
// the record, in field order, each with its heading (the field's) in a label named
// Label1, Label2 ... and its text boxes under it named Text1, Text2 ..., at these places on
// the display screen in twips. The update screen stands its one row 240 twips further right.
// Both screens are as wide as their columns need.
struct GridColumn {
    int left;
    int width;
    int headingHeight;
};

inline constexpr int kHeadingTop = 720;
inline constexpr int kBoxHeight = 375;

inline constexpr std::array<GridColumn, core::kFieldCount> kGridColumns{{
    {120, 735, 375},
    {960, 2175, 375},
    {3240, 855, 375},
    {4200, 855, 375},
    {5160, 855, 495},
    {6120, 855, 495},
}};

// A field added to the record needs its column here.
constexpr bool everyFieldHasAColumn() {
    for (const GridColumn& c : kGridColumns)
        if (c.width <= 0)
            return false;
    return true;
}
static_assert(everyFieldHasAColumn(), "every field of the record needs a column on the grid");

// The right edge of the last column, in twips.
inline constexpr int kColumnsEnd = kGridColumns.back().left + kGridColumns.back().width;

} // namespace forms
