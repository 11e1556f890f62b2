#include "forms/kousin.h"

#include "datafiles/commands.h"
#include "forms/grid_columns.h"
#include "forms/menyu.h"
#include "forms/ui/layout.h"
#include "platform/dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace forms {

namespace {
// The row stands where the display screen has its columns, moved right.
constexpr int kShift = 240;
constexpr int kRowTop = 1200;
} // namespace

kousin::kousin(Screens& program) : Form(program, OnClose::BackToMenu) {
    setObjectName("kousin");
    setWindowTitle(QStringLiteral("更新"));
    setFixedSize(ui::twips(kColumnsEnd + kShift + 195), ui::twips(2460));
    const QFont plain = ui::makeFont(ui::Face::PGothic, 9, false);
    setFont(plain);

    ui::place<QLabel>(this, "Label7", ui::twipsRect(480, 240, 6375, 375),
                      ui::makeFont(ui::Face::Gothic, 11.25, true),
                      "更新データ入力後更新ボタンをクリックしてください");
    for (std::size_t c = 0; c < core::kFieldCount; ++c) {
        const GridColumn& p = kGridColumns[c];
        const std::string_view caption = core::kFields[c].heading;
        auto* heading = ui::place<QLabel>(
            this, QString("Label%1").arg(c + 1),
            ui::twipsRect(p.left + kShift, kHeadingTop, p.width, p.headingHeight), plain, caption);
        boxes_[c] = ui::placeBox(this, QString("Text%1(0)").arg(c + 1),
                                 ui::twipsRect(p.left + kShift, kRowTop, p.width, kBoxHeight),
                                 plain, ui::q(caption), heading);
    }
    Command2 = ui::place<QPushButton>(this, "Command2", ui::twipsRect(4560, 1800, 1095, 375), plain,
                                      "更　新");
    Command1 = ui::place<QPushButton>(this, "Command1", ui::twipsRect(6000, 1800, 1215, 375), plain,
                                      "メニューへ");

    // The button first, then the boxes, then back to the menu.
    std::vector<std::pair<int, QWidget*>> order{
        {0, Command2}, {static_cast<int>(core::kFieldCount) + 1, Command1}};
    for (std::size_t c = 0; c < boxes_.size(); ++c)
        order.emplace_back(static_cast<int>(c) + 1, boxes_[c]);
    ui::applyTabOrder(order);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void kousin::Command1_Click() {
    switchTo(program_.menyuForm());
}

void kousin::Command2_Click() {
    core::FieldTexts texts;
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        texts[i] = ui::text(boxes_[i]);
    run([&] {
        datafiles::updateRecord(program_.session(), texts);
        program_.dialogs().message("更新しました。");
    });
}

void kousin::firstShow() {
    Command2->setFocus();
}

} // namespace forms
