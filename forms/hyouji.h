#pragma once

#include "core/browse.h"
#include "forms/form.h"

#include <array>
#include <memory>

class QLineEdit;
class QPushButton;

namespace forms {

// The display screen: a grid of six columns by eleven rows of text boxes that the name
// search and the listing fill, ten rows to a page. Row 10 stands apart and no command
// writes or clears it.
class hyouji : public Form {
public:
    static constexpr int kRows = 11;

    explicit hyouji(Screens& program);

    void Command1_Click(); // back to the menu

    // Puts one working-table entry into row `row` (0 to 9), column by column.
    void fillRow(int row, const core::RowTexts& texts);
    // Empties rows 0 to 9.
    void clearRows();
    // Shows the screen modeless and brings it to the front.
    void showInFront();

private:
    void firstShow() override;

    using Column = std::array<QLineEdit*, kRows>;

    // Text1 to Text6: one column of boxes per field of the record (number, name, era, year,
    // month, day).
    std::array<Column, core::kFieldCount> columns_{};
    QPushButton* Command1;
};

// What the search and the listing write their pages and messages to: this grid, created
// the first time either touches it, and the program's boxes.
std::unique_ptr<core::DisplayTarget> gridDisplay(Screens& program);

} // namespace forms
