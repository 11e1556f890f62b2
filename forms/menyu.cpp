#include "forms/menyu.h"

#include "datafiles/browse.h"
#include "forms/hyouji.h"
#include "forms/keisan.h"
#include "forms/kousin.h"
#include "forms/ui/layout.h"
#include "platform/dialogs.h"

#include <QLabel>
#include <QPushButton>

namespace forms {

using ui::Face;
using ui::makeFont;
using ui::place;
using ui::twipsRect;

menyu::menyu(Screens& program) : Form(program, OnClose::EndProgram) {
    setObjectName("menyu");
    setWindowTitle(QStringLiteral("年齢計算メニュー　Ver 1.0"));
    setFixedSize(ui::twips(5085), ui::twips(4980));
    ui::setBackground(this, QColor(255, 255, 192)); // pale yellow

    place<QLabel>(this, "Label1", twipsRect(1080, 480, 2895, 375),
                  makeFont(Face::Gothic, 15.75, true), "年齢計算メニュー");

    const QFont buttonFont = makeFont(Face::Gothic, 9.75, true);
    auto button = [&](const char* name, int top, const char* caption) {
        auto* b =
            place<QPushButton>(this, name, twipsRect(1440, top, 1815, 495), buttonFont, caption);
        b->setAutoDefault(false);
        return b;
    };
    Command2 = button("Command2", 1200, "年　齢　計　算");
    Command3 = button("Command3", 1920, "検　　　索");
    Command4 = button("Command4", 2640, "読　　　出");
    // Two ordinary spaces, then two ideographic ones.
    Command1 = button("Command1", 3360, "更  　　新");
    Command5 = button("Command5", 4080, "終　　　了");

    ui::applyTabOrder({{1, Command2}, {2, Command3}, {3, Command4}, {5, Command1}, {4, Command5}});

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
}

void menyu::Command1_Click() {
    switchTo(program_.kousinForm());
}

void menyu::Command2_Click() {
    switchTo(program_.keisanForm());
}

void menyu::Command3_Click() {
    std::string term = program_.dialogs().input("検索する氏名", "検索氏名入力", "0");
    run([&] { datafiles::nameSearch(program_.session(), term, *gridDisplay(program_)); });
}

void menyu::Command4_Click() {
    run([&] { datafiles::registerListing(program_.session(), *gridDisplay(program_)); });
}

void menyu::hcls() {
    program_.hyoujiForm().clearRows();
}

void menyu::Command5_Click() {
    program_.end();
}

void menyu::firstShow() {
    ui::centreOnScreen(this);
    Command2->setFocus();
}

} // namespace forms
