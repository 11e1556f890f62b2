#include "hyouji.h"

#include "kojin_record.h"
#include "menyu.h"
#include "program.h"
#include "ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <string>

namespace forms {

using platform::ui::Face;
using platform::ui::makeFont;
using platform::ui::place;
using platform::ui::twipsRect;

namespace {

struct ColumnPlace {
    const char* label;
    const char* heading;
    const char* name;
    int left;
    int width;
    int headingHeight;
};

constexpr std::array<ColumnPlace, 6> kColumns{{
    {"Label1", "番号", "Text1", 120, 735, 375},
    {"Label2", "氏名", "Text2", 960, 2175, 375},
    {"Label3", "元号", "Text3", 3240, 855, 375},
    {"Label4", "年", "Text4", 4200, 855, 375},
    {"Label5", "月", "Text5", 5160, 855, 495},
    {"Label6", "日", "Text6", 6120, 855, 495},
}};

// Rows 0 to 9 stand 480 twips apart from 1200; row 10 stands apart at 6120.
constexpr int rowTop(int row) {
    return row < 10 ? 1200 + 480 * row : 6120;
}

} // namespace

hyouji::hyouji(Program& program) : Form(program, OnClose::BackToMenu) {
    setObjectName("hyouji");
    setWindowTitle(QStringLiteral("表示"));
    setFixedSize(platform::ui::twips(7095), platform::ui::twips(7155));
    const QFont plain = makeFont(Face::PGothic, 9, false);
    setFont(plain);

    std::array<QLabel**, 6> labels{&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
    auto cols = columns();
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        const ColumnPlace& p = kColumns[c];
        *labels[c] =
            place<QLabel>(this, p.label, twipsRect(p.left, 720, p.width, p.headingHeight), plain);
        (*labels[c])->setText(QString::fromUtf8(p.heading));
        for (int r = 0; r < kRows; ++r) {
            std::string name = std::string(p.name) + "(" + std::to_string(r) + ")";
            (*cols[c])[static_cast<std::size_t>(r)] = place<QLineEdit>(
                this, name.c_str(), twipsRect(p.left, rowTop(r), p.width, 375), plain);
        }
    }
    Command1 = place<QPushButton>(this, "Command1", twipsRect(5520, 6720, 1215, 375),
                                  makeFont(Face::PGothic, 9.75, true));
    Command1->setText(QStringLiteral("メニューへ"));

    // Tab order: the button; rows 9 down to 1 left to right; then rows 0 and 10 right to
    // left.
    std::vector<std::pair<int, QWidget*>> order{{0, Command1}};
    auto add = [&](int row, std::size_t column) {
        order.emplace_back(static_cast<int>(order.size()),
                           (*cols[column])[static_cast<std::size_t>(row)]);
    };
    for (int r = 9; r >= 1; --r)
        for (std::size_t c = 0; c < 6; ++c)
            add(r, c);
    for (int r : {0, 10})
        for (std::size_t c = 6; c-- > 0;)
            add(r, c);
    platform::ui::applyTabOrder(order);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

std::array<hyouji::Column*, 6> hyouji::columns() {
    return {&Text1, &Text2, &Text3, &Text4, &Text5, &Text6};
}

void hyouji::fillRow(int row, const core::RowTexts& texts) {
    auto cols = columns();
    for (std::size_t c = 0; c < cols.size(); ++c)
        (*cols[c])[static_cast<std::size_t>(row)]->setText(
            QString::fromStdString(std::string(core::shownText(texts[c]))));
}

void hyouji::showInFront() {
    show();
    raise();
    activateWindow();
}

void hyouji::Command1_Click() {
    hide();
    program_.menyuForm().show();
}

} // namespace forms
