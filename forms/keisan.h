#pragma once

#include "core/era.h"
#include "datafiles/register.h"
#include "forms/form.h"

#include <array>
#include <string>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace forms {

// The calculation screen: the birth entry, the age and western birth year, and the
// register commands.
class keisan : public Form {
public:
    explicit keisan(Screens& program);

    // Commands behind the buttons.
    void Command1_Click(); // execute the calculation
    void Command2_Click(); // to the menu
    void touroku_Click();  // append the person to the register
    void Command4_Click(); // load the record numbered in Text10
    // Counts the register for touroku_Click; leaves N + 2 in recno, and gives the hold on the
    // register that the registration writes under.
    datafiles::Transaction read();

private:
    void enterElsewhere() override; // Enter anywhere but on a button runs Command1
    void firstShow() override;
    void buildUi();
    void Form_Load();
    // Turns on the option of the era named `name`; leaves the options as they are when
    // no era has that name.
    void selectEra(const std::string& name);
    std::string selectedEra() const;

    std::array<QRadioButton*, core::kEras.size()> options_{}; // Option1 to Option5, era order
    QLineEdit* Text1;                                         // era year of birth
    QLineEdit* Text2;                                         // month of birth
    QLineEdit* Text3;                                         // day of birth
    QLineEdit* Text4;                                         // reference year
    QLineEdit* Text5;                                         // reference month
    QLineEdit* Text6;                                         // reference day
    QLineEdit* Text7;                                         // name
    QLineEdit* Text8;                                         // western birth year
    QLineEdit* Text9;                                         // age
    QLineEdit* Text10;                                        // record number to load
    QPushButton* Command1;                                    // execute; the default button
    QPushButton* Command2;                                    // to the menu
    QPushButton* Command4;                                    // load by number
    QPushButton* touroku;                                     // register
};

} // namespace forms
