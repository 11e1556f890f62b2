#include "forms/hyouji.h"

#include "core/kojin_record.h"
#include "forms/grid_columns.h"
#include "forms/menyu.h"
#include "forms/ui/layout.h"
#include "platform/dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <string>

namespace forms {

using ui::Face;
using ui::makeFont;
using ui::place;
using ui::twipsRect;

namespace {

// Rows 0 to 9 stand 480 twips apart from 1200; row 10 stands apart at 6120.
constexpr int rowTop(int row) {
    return row < 10 ? 1200 + 480 * row : 6120;
}

} // namespace

namespace {

class GridDisplay : public core::DisplayTarget {
public:
    explicit GridDisplay(Screens& program) : program_(program) {}
    void clear() override { program_.menyuForm().hcls(); }
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
    Screens& program_;
};

} // namespace

std::unique_ptr<core::DisplayTarget> gridDisplay(Screens& program) {
    return std::make_unique<GridDisplay>(program);
}

hyouji::hyouji(Screens& program) : Form(program, OnClose::BackToMenu) {
    setObjectName("hyouji");
    setWindowTitle(QStringLiteral("表示"));
    setFixedSize(ui::twips(kColumnsEnd + 120), ui::twips(7155));
    const QFont plain = makeFont(Face::PGothic, 9, false);
    setFont(plain);

    for (std::size_t c = 0; c < core::kFieldCount; ++c) {
        const GridColumn& p = kGridColumns[c];
        const std::string_view heading = core::kFields[c].heading;
        place<QLabel>(this, QString("Label%1").arg(c + 1),
                      twipsRect(p.left, kHeadingTop, p.width, p.headingHeight), plain, heading);
        for (int r = 0; r < kRows; ++r)
            columns_[c][static_cast<std::size_t>(r)] =
                ui::placeBox(this, QString("Text%1(%2)").arg(c + 1).arg(r),
                             twipsRect(p.left, rowTop(r), p.width, kBoxHeight), plain,
                             QString("%1行目 %2").arg(r + 1).arg(ui::q(heading)));
    }
    Command1 = place<QPushButton>(this, "Command1", twipsRect(5520, 6720, 1215, 375),
                                  makeFont(Face::PGothic, 9.75, true), "メニューへ");

    // Tab order: the button; rows 9 down to 1 left to right; then rows 0 and 10 right to
    // left.
    std::vector<std::pair<int, QWidget*>> order{{0, Command1}};
    auto add = [&](int row, std::size_t column) {
        order.emplace_back(static_cast<int>(order.size()),
                           columns_[column][static_cast<std::size_t>(row)]);
    };
    for (int r = 9; r >= 1; --r)
        for (std::size_t c = 0; c < core::kFieldCount; ++c)
            add(r, c);
    for (int r : {0, 10})
        for (std::size_t c = core::kFieldCount; c-- > 0;)
            add(r, c);
    ui::applyTabOrder(order);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void hyouji::fillRow(int row, const core::RowTexts& texts) {
    for (std::size_t c = 0; c < core::kFieldCount; ++c)
        ui::fill(columns_[c][static_cast<std::size_t>(row)], core::shownText(texts[c]));
}

void hyouji::clearRows() {
    for (std::size_t r = 0; r <= 9; ++r)
        for (Column& column : columns_)
            column[r]->clear();
}

void hyouji::showInFront() {
    show();
    raise();
    activateWindow();
}

void hyouji::firstShow() {
    Command1->setFocus();
}

void hyouji::Command1_Click() {
    switchTo(program_.menyuForm());
}

} // namespace forms
