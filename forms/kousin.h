#pragma once

#include "core/kojin_record.h"
#include "forms/form.h"

#include <array>

class QLineEdit;
class QPushButton;

namespace forms {

// The update screen: overwrites one register record, found by its number, with what is
// typed into its row of six boxes.
class kousin : public Form {
public:
    explicit kousin(Screens& program);

    void Command1_Click(); // back to the menu
    void Command2_Click(); // update

private:
    void firstShow() override;

    // Text1(0) to Text6(0): control arrays of one member each, one per field of the record
    // in field order (the record number, also stored as bangou; name; era; year; month; day).
    std::array<QLineEdit*, core::kFieldCount> boxes_{};
    QPushButton* Command1;
    QPushButton* Command2;
};

} // namespace forms
