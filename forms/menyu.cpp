#include "menyu.h"

#include "keisan.h"
#include "kousin.h"
#include "program.h"
#include "ui.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace forms {

using platform::ui::Face;
using platform::ui::makeFont;
using platform::ui::place;
using platform::ui::twipsRect;

menyu::menyu(Program& program) : program_(program) {
    setObjectName("menyu");
    setWindowTitle(QStringLiteral("年齢計算メニュー　Ver 1.0"));
    setFixedSize(platform::ui::twips(5085), platform::ui::twips(4980));
    const QColor paleYellow(255, 255, 192);
    platform::ui::setBackground(this, paleYellow);

    Label1 = place<QLabel>(this, "Label1", twipsRect(1080, 480, 2895, 375),
                           makeFont(Face::Gothic, 15.75, true));
    Label1->setText(QStringLiteral("年齢計算メニュー"));

    const QFont buttonFont = makeFont(Face::Gothic, 9.75, true);
    auto button = [&](const char* name, int top, const char* caption) {
        auto* b = place<QPushButton>(this, name, twipsRect(1440, top, 1815, 495), buttonFont);
        b->setText(QString::fromUtf8(caption));
        b->setAutoDefault(false);
        return b;
    };
    Command2 = button("Command2", 1200, "年　齢　計　算");
    Command3 = button("Command3", 1920, "検　　　索");
    Command4 = button("Command4", 2640, "読　　　出");
    // Two ordinary spaces, then two ideographic ones.
    Command1 = button("Command1", 3360, "更  　　新");
    Command5 = button("Command5", 4080, "終　　　了");

    platform::ui::applyTabOrder(
        {{1, Command2}, {2, Command3}, {3, Command4}, {5, Command1}, {4, Command5}});

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
}

void menyu::Command1_Click() {
    hide();
    program_.kousinForm().show();
}

void menyu::Command2_Click() {
    hide();
    program_.keisanForm().show();
}

void menyu::Command5_Click() {
    program_.end();
}

void menyu::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        platform::ui::centreOnScreen(this);
        Command2->setFocus();
    }
    QWidget::showEvent(event);
}

void menyu::closeEvent(QCloseEvent* event) {
    // The close box ends the program the way "終　　　了" does.
    event->accept();
    program_.end();
}

} // namespace forms
