#include "keisan.h"

#include "calculation.h"
#include "era.h"
#include "menyu.h"
#include "number.h"
#include "program.h"
#include "register.h"
#include "ui.h"
#include "utf8.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace forms {

using platform::ui::Face;
using platform::ui::makeFont;
using platform::ui::place;
using platform::ui::twipsRect;

namespace {
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QLineEdit* edit) {
    return edit->text().toStdString();
}
} // namespace

keisan::keisan(Program& program) : Form(program, OnClose::EndProgram) {
    buildUi();
    Form_Load();
}

void keisan::buildUi() {
    setObjectName("keisan");
    setWindowTitle(q(kProgramTitle));
    setFixedSize(platform::ui::twips(7980), platform::ui::twips(9900));
    setFont(makeFont(Face::Gothic, 9, false));
    platform::ui::setBackground(this, QColor(128, 255, 128));

    const QFont g12 = makeFont(Face::Gothic, 12, true);
    const QFont g11 = makeFont(Face::Gothic, 11.25, true);
    const QFont g14 = makeFont(Face::Gothic, 14.25, true);
    const QFont g9 = makeFont(Face::Gothic, 9, true);
    const QFont p9 = makeFont(Face::PGothic, 9, false);

    auto label = [](QWidget* parent, const char* name, const QRect& r, const QFont& f,
                    const char* caption) {
        auto* l = place<QLabel>(parent, name, r, f);
        l->setText(QString::fromUtf8(caption));
        return l;
    };
    auto frame = [this](const char* name, const QRect& r, const QFont& f, const char* caption) {
        auto* g = place<QGroupBox>(this, name, r, f);
        g->setTitle(QString::fromUtf8(caption));
        return g;
    };
    auto button = [this](const char* name, const QRect& r, const QFont& f, const char* caption) {
        auto* b = place<QPushButton>(this, name, r, f);
        b->setText(QString::fromUtf8(caption));
        return b;
    };

    Frame3 = frame("Frame3", twipsRect(360, 120, 3975, 1095), g12, "氏名の入力");
    Text7 = place<QLineEdit>(Frame3, "Text7", twipsRect(840, 480, 2535, 375), g12);
    touroku = button("touroku", twipsRect(4560, 480, 1095, 495), p9, "登　　録");
    Command2 = button("Command2", twipsRect(6120, 480, 1335, 495), p9, "メニューへ");
    Command4 = button("Command4", twipsRect(120, 1560, 975, 375), g9, "セット");
    Label8 = label(this, "Label8", twipsRect(240, 2280, 855, 255), g11, "番　号");
    Text10 = place<QLineEdit>(this, "Text10", twipsRect(240, 2640, 855, 375), g9);

    Frame1 = frame("Frame1", twipsRect(1200, 1320, 6615, 2895), g14, "生年月日入力");
    platform::ui::setBackground(Frame1, QColor(255, 255, 128));
    auto option = [this, &g11](const char* name, const QRect& r, int era) {
        auto* o = place<QRadioButton>(Frame1, name, r, g11);
        o->setText(q(std::string(core::kEras[static_cast<std::size_t>(era)].name)));
        return o;
    };
    Option1 = option("Option1", twipsRect(240, 480, 975, 495), 0);
    Option2 = option("Option2", twipsRect(240, 840, 1095, 615), 1);
    Option3 = option("Option3", twipsRect(240, 1320, 975, 495), 2);
    Option4 = option("Option4", twipsRect(240, 1800, 855, 495), 3);
    Option5 = option("Option5", twipsRect(240, 2280, 975, 375), 4);
    Text1 = place<QLineEdit>(Frame1, "Text1", twipsRect(1560, 1200, 615, 420), g14);
    Label1[0] = label(Frame1, "Label1(0)", twipsRect(2280, 1320, 615, 615), g11, "年");
    Text2 = place<QLineEdit>(Frame1, "Text2", twipsRect(3120, 1200, 615, 420), g14);
    Label2[0] = label(Frame1, "Label2(0)", twipsRect(3840, 1320, 615, 615), g11, "月");
    Text3 = place<QLineEdit>(Frame1, "Text3", twipsRect(4800, 1200, 615, 420), g14);
    Label3[0] = label(Frame1, "Label3(0)", twipsRect(5520, 1320, 615, 615), g11, "日");

    Label5 =
        label(this, "Label5", twipsRect(1680, 4440, 5775, 495), makeFont(Face::Gothic, 9.75, true),
              "生年月日を入力し、Enterキーを押すか「年齢計算実行」をクリックしてください。");
    Label5->setWordWrap(true);
    Command1 = button("Command1", twipsRect(3360, 5040, 2535, 495), g12, " 年齢計算実行");
    Command1->setDefault(true);

    Frame5 = frame("Frame5", twipsRect(1200, 5640, 6495, 855), g12, "年齢計算");
    Text9 = place<QLineEdit>(Frame5, "Text9", twipsRect(3000, 240, 975, 375), g12);
    Label4 = label(Frame5, "Label4", twipsRect(4080, 360, 1095, 375), g12, "歳です。");

    Frame4 = frame("Frame4", twipsRect(1200, 6720, 6495, 975), g12, "生年の西暦年出力");
    Label7 = label(Frame4, "Label7", twipsRect(2280, 480, 615, 255), g12, "西暦");
    Text8 = place<QLineEdit>(Frame4, "Text8", twipsRect(3000, 360, 975, 375), g12);
    Label6 = label(Frame4, "Label6", twipsRect(4080, 480, 1215, 255), g12, "年です。");

    Frame2 = frame("Frame2", twipsRect(1200, 8040, 6495, 1335), g14, "現在の西暦年月日入力");
    platform::ui::setBackground(Frame2, QColor(128, 255, 255));
    Text4 = place<QLineEdit>(Frame2, "Text4", twipsRect(1320, 555, 855, 420), g14);
    Label1[1] = label(Frame2, "Label1(1)", twipsRect(2280, 600, 615, 615), g11, "年");
    Text5 = place<QLineEdit>(Frame2, "Text5", twipsRect(3360, 555, 495, 420), g14);
    Label2[2] = label(Frame2, "Label2(2)", twipsRect(3960, 600, 615, 615), g11, "月");
    Text6 = place<QLineEdit>(Frame2, "Text6", twipsRect(5040, 555, 495, 420), g14);
    Label3[1] = label(Frame2, "Label3(1)", twipsRect(5520, 600, 615, 615), g11, "日");

    platform::ui::applyTabOrder({{0, Command1},
                                 {2, Option1},
                                 {3, Option2},
                                 {4, Option3},
                                 {5, Option4},
                                 {6, Text1},
                                 {7, Text2},
                                 {8, Text3},
                                 {13, Text4},
                                 {14, Text5},
                                 {15, Text6},
                                 {21, Text8},
                                 {25, Text7},
                                 {27, Text9},
                                 {29, Command2},
                                 {30, touroku},
                                 {31, Command4},
                                 {32, Text10},
                                 {34, Option5}});

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(touroku, &QPushButton::clicked, this, [this] { touroku_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
}

std::array<QRadioButton*, 5> keisan::options() const {
    return {Option1, Option2, Option3, Option4, Option5};
}

void keisan::selectEra(const std::string& name) {
    if (auto i = core::eraIndex(name))
        options()[*i]->setChecked(true);
}

std::string keisan::selectedEra() const {
    std::array<bool, 5> on{};
    auto all = options();
    for (std::size_t i = 0; i < all.size(); ++i)
        on[i] = all[i]->isChecked();
    return core::selectedEraName(on);
}

void keisan::Form_Load() {
    core::Module1& m = program_.m();
    std::optional<std::string> problem = core::readLastEntry(m, program_.folder());
    Text7->setText(q(m.ksimei));
    selectEra(m.kgengou);
    Text1->setText(q(m.knen));
    Text2->setText(q(m.ktuki));
    Text3->setText(q(m.khi));
    auto date = core::referenceDateTexts(program_.clock().today());
    Text4->setText(q(date[0]));
    Text5->setText(q(date[1]));
    Text6->setText(q(date[2]));
    if (problem)
        program_.dialogs().error(*problem + "\n前回の入力は空欄にしました。");
}

void keisan::Command1_Click() {
    core::Module1& m = program_.m();
    m.ksimei = s(Text7);
    m.knen = s(Text1);
    m.ktuki = s(Text2);
    m.khi = s(Text3);
    m.gnen = s(Text4);
    m.gtuki = s(Text5);
    m.ghi = s(Text6);
    m.kgengou = selectedEra();
    core::AgeResult r = core::calculateAge(m);
    Text8->setText(q(core::numberText(r.birthYear)));
    Text9->setText(q(core::numberText(r.age)));
    program_.guarded([&] { core::writeLastEntry(m, program_.folder()); });
}

void keisan::Command2_Click() {
    hide();
    program_.menyuForm().show();
}

void keisan::read() {
    core::countRegister(program_.m(), program_.files(), program_.folder());
}

void keisan::touroku_Click() {
    program_.guarded([this] {
        read();
        core::Module1& m = program_.m();
        m.kgengou = selectedEra();
        core::appendPerson(m, program_.files(), program_.folder(),
                           {s(Text7), s(Text1), s(Text2), s(Text3)});
        program_.dialogs().message("保存しました。");
    });
}

void keisan::Command4_Click() {
    program_.guarded([this] {
        core::KojinRecord r =
            core::loadRecord(program_.m(), program_.files(), program_.folder(), s(Text10));
        // The era field holds the era name and the space that fills it.
        selectEra(std::string(platform::utf8::left(r.gengou, 2)));
        Text7->setText(q(std::string(core::shownText(r.simei))));
        Text1->setText(q(std::string(core::shownText(r.nen))));
        Text2->setText(q(std::string(core::shownText(r.tuki))));
        Text3->setText(q(std::string(core::shownText(r.hi))));
    });
}

void keisan::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A focused button takes Enter itself; anywhere else Enter runs the default button.
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
            focused->click();
        else
            Command1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void keisan::firstShow() {
    platform::ui::centreOnScreen(this);
    Command1->setFocus();
}

} // namespace forms
