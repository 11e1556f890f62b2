#pragma once

#include <array>

namespace forms {

// The six columns in which the display and update screens lay out a register record, in
// field order: the heading label and its caption, the text boxes under it, and the place
// on the display screen in twips. The update screen stands its one row 240 twips further
// right.
struct GridColumn {
    const char* label;
    const char* heading;
    const char* box;
    int left;
    int width;
    int headingHeight;
};

inline constexpr int kHeadingTop = 720;
inline constexpr int kBoxHeight = 375;

inline constexpr std::array<GridColumn, 6> kGridColumns{{
    {"Label1", "番号", "Text1", 120, 735, 375},
    {"Label2", "氏名", "Text2", 960, 2175, 375},
    {"Label3", "元号", "Text3", 3240, 855, 375},
    {"Label4", "年", "Text4", 4200, 855, 375},
    {"Label5", "月", "Text5", 5160, 855, 495},
    {"Label6", "日", "Text6", 6120, 855, 495},
}};

} // namespace forms
