#pragma once

#include "form.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace forms {

// The update screen: overwrites one register record, found by its number, with what is
// typed into its row of six boxes.
class kousin : public Form {
public:
    explicit kousin(Program& program);

    void Command1_Click(); // back to the menu
    void Command2_Click(); // update

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    // Control arrays of one member each.
    std::array<QLineEdit*, 1> Text1{}; // record number, also stored as bangou
    std::array<QLineEdit*, 1> Text2{}; // name
    std::array<QLineEdit*, 1> Text3{}; // era name
    std::array<QLineEdit*, 1> Text4{}; // era year
    std::array<QLineEdit*, 1> Text5{}; // month
    std::array<QLineEdit*, 1> Text6{}; // day
    QPushButton* Command1;
    QPushButton* Command2;

private:
    void firstShow() override;
};

} // namespace forms
