#pragma once

#include "module1.h"

#include "form.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace forms {

// The display screen: a grid of six columns by eleven rows of text boxes that the name
// search and the listing fill, ten rows to a page. Row 10 stands apart and no command
// writes or clears it.
class hyouji : public Form {
public:
    static constexpr int kRows = 11;
    using Column = std::array<QLineEdit*, kRows>;

    explicit hyouji(Program& program);

    void Command1_Click(); // back to the menu

    // Puts one working-table entry into row `row` (0 to 9), column by column.
    void fillRow(int row, const core::RowTexts& texts);
    // Shows the screen modeless and brings it to the front.
    void showInFront();
    std::array<Column*, 6> columns();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    Column Text1{}; // number
    Column Text2{}; // name
    Column Text3{}; // era
    Column Text4{}; // year
    Column Text5{}; // month
    Column Text6{}; // day
    QPushButton* Command1;
};

} // namespace forms
