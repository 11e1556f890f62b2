#include "menyu.h"

#include "browse.h"
#include "hyouji.h"
#include "keisan.h"
#include "kousin.h"
#include "program.h"
#include "ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace forms {

using platform::ui::Face;
using platform::ui::makeFont;
using platform::ui::place;
using platform::ui::twipsRect;

namespace {

// The search and the listing shown on the display grid, with the boxes of the program.
class GridDisplay : public core::DisplayTarget {
public:
    GridDisplay(Program& program, menyu& menu) : program_(program), menu_(menu) {}
    void clear() override { menu_.hcls(); }
    void setRow(int row, const core::RowTexts& texts) override {
        program_.hyoujiForm().fillRow(row, texts);
    }
    void show() override { program_.hyoujiForm().showInFront(); }
    void pagePrompt() override { program_.dialogs().message("次へ"); }
    void notFound() override { program_.dialogs().message("ありません", "誤り警告"); }
    void tooMany(std::int64_t total, int shown) override {
        program_.dialogs().message("名簿には " + std::to_string(total) +
                                   " 件ありますが、表示できるのは最初の " + std::to_string(shown) +
                                   " 件までです。");
    }

private:
    Program& program_;
    menyu& menu_;
};

} // namespace

menyu::menyu(Program& program) : Form(program, OnClose::EndProgram) {
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
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
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

void menyu::Command3_Click() {
    std::string term = program_.dialogs().input("検索する氏名", "検索氏名入力", "0");
    GridDisplay display(program_, *this);
    program_.guarded([&] {
        core::nameSearch(program_.m(), program_.files(), program_.folder(), term, display);
    });
}

void menyu::Command4_Click() {
    GridDisplay display(program_, *this);
    program_.guarded(
        [&] { core::registerListing(program_.m(), program_.files(), program_.folder(), display); });
}

void menyu::hcls() {
    hyouji& grid = program_.hyoujiForm();
    for (int r = 0; r <= 9; ++r)
        for (auto* column : grid.columns())
            (*column)[static_cast<std::size_t>(r)]->clear();
}

void menyu::Command5_Click() {
    program_.end();
}

void menyu::firstShow() {
    platform::ui::centreOnScreen(this);
    Command2->setFocus();
}

} // namespace forms
