#include "kousin.h"

#include "menyu.h"
#include "program.h"
#include "register.h"
#include "ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace forms {

using platform::ui::Face;
using platform::ui::makeFont;
using platform::ui::place;
using platform::ui::twipsRect;

kousin::kousin(Program& program) : Form(program, OnClose::BackToMenu) {
    setObjectName("kousin");
    setWindowTitle(QStringLiteral("更新"));
    setFixedSize(platform::ui::twips(7410), platform::ui::twips(2460));
    const QFont plain = makeFont(Face::PGothic, 9, false);
    setFont(plain);

    auto label = [&](const char* name, const QRect& r, const char* caption) {
        auto* l = place<QLabel>(this, name, r, plain);
        l->setText(QString::fromUtf8(caption));
        return l;
    };
    Label7 = label("Label7", twipsRect(480, 240, 6375, 375),
                   "更新データ入力後更新ボタンをクリックしてください");
    Label7->setFont(makeFont(Face::Gothic, 11.25, true));
    Label1 = label("Label1", twipsRect(360, 720, 735, 375), "番号");
    Label2 = label("Label2", twipsRect(1200, 720, 2175, 375), "氏名");
    Label3 = label("Label3", twipsRect(3480, 720, 855, 375), "元号");
    Label4 = label("Label4", twipsRect(4440, 720, 855, 375), "年");
    Label5 = label("Label5", twipsRect(5400, 720, 855, 495), "月");
    Label6 = label("Label6", twipsRect(6360, 720, 855, 495), "日");

    Text1[0] = place<QLineEdit>(this, "Text1(0)", twipsRect(360, 1200, 735, 375), plain);
    Text2[0] = place<QLineEdit>(this, "Text2(0)", twipsRect(1200, 1200, 2175, 375), plain);
    Text3[0] = place<QLineEdit>(this, "Text3(0)", twipsRect(3480, 1200, 855, 375), plain);
    Text4[0] = place<QLineEdit>(this, "Text4(0)", twipsRect(4440, 1200, 855, 375), plain);
    Text5[0] = place<QLineEdit>(this, "Text5(0)", twipsRect(5400, 1200, 855, 375), plain);
    Text6[0] = place<QLineEdit>(this, "Text6(0)", twipsRect(6360, 1200, 855, 375), plain);

    Command2 = place<QPushButton>(this, "Command2", twipsRect(4560, 1800, 1095, 375), plain);
    Command2->setText(QStringLiteral("更　新"));
    Command1 = place<QPushButton>(this, "Command1", twipsRect(6000, 1800, 1215, 375), plain);
    Command1->setText(QStringLiteral("メニューへ"));

    platform::ui::applyTabOrder({{0, Command2},
                                 {1, Text1[0]},
                                 {2, Text2[0]},
                                 {3, Text3[0]},
                                 {4, Text4[0]},
                                 {5, Text5[0]},
                                 {6, Text6[0]},
                                 {7, Command1}});

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void kousin::Command1_Click() {
    hide();
    program_.menyuForm().show();
}

void kousin::Command2_Click() {
    std::array<std::string, 6> texts;
    const std::array<QLineEdit*, 6> boxes{Text1[0], Text2[0], Text3[0],
                                          Text4[0], Text5[0], Text6[0]};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        texts[i] = boxes[i]->text().toStdString();
    program_.guarded([&] {
        core::updateRecord(program_.m(), program_.files(), program_.folder(), texts);
        program_.dialogs().message("更新しました。");
    });
}

void kousin::firstShow() {
    Command2->setFocus();
}

} // namespace forms
