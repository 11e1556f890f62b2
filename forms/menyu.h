#pragma once

#include "forms/form.h"

class QPushButton;

namespace forms {

// The menu: the hub between the screens, and the way to end the program.
class menyu : public Form {
public:
    explicit menyu(Screens& program);

    void Command1_Click(); // to the update screen
    void Command2_Click(); // to the calculation screen
    void Command3_Click(); // name search
    void Command4_Click(); // register listing
    void Command5_Click(); // end the program
    // Empties rows 0 to 9 of the display grid (creating the display screen unshown).
    void hcls();

private:
    void firstShow() override;

    QPushButton* Command1; // update
    QPushButton* Command2; // age calculation
    QPushButton* Command3; // name search
    QPushButton* Command4; // listing
    QPushButton* Command5; // end
};

} // namespace forms
