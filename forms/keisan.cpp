#include "forms/keisan.h"

#include "core/calculation.h"
#include "core/era.h"
#include "core/number.h"
#include "datafiles/commands.h"
#include "datafiles/last_entry.h"
#include "forms/menyu.h"
#include "forms/ui/layout.h"
#include "forms/ui/option_group.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace forms {

using ui::Face;
using ui::makeFont;
using ui::place;
using ui::q;
using ui::text;
using ui::twipsRect;

namespace {

// The year, month and day boxes of the birth date (in Frame1) and of the reference date
// (in Frame2), each followed by its unit label 年, 月, 日: members of the control arrays
// Label1, Label2 and Label3.
struct DatePart {
    const char* box;
    int left, top, width;
    const char* label;
    int labelLeft, labelTop;
};
constexpr std::array<DatePart, 6> kDateParts{{
    {"Text1", 1560, 1200, 615, "Label1(0)", 2280, 1320},
    {"Text2", 3120, 1200, 615, "Label2(0)", 3840, 1320},
    {"Text3", 4800, 1200, 615, "Label3(0)", 5520, 1320},
    {"Text4", 1320, 555, 855, "Label1(1)", 2280, 600},
    {"Text5", 3360, 555, 495, "Label2(2)", 3960, 600},
    {"Text6", 5040, 555, 495, "Label3(1)", 5520, 600},
}};

// Places the date row of kDateParts from `first` into `frame`; `spoken` is what a screen
// reader calls it (生年, 基準日).
std::array<QLineEdit*, 3> placeDateRow(QWidget* frame, std::size_t first, const char* spoken) {
    const QFont boxFont = makeFont(Face::Gothic, 14.25, true);
    const QFont labelFont = makeFont(Face::Gothic, 11.25, true);
    constexpr std::array<const char*, 3> units{"年", "月", "日"};
    std::array<QLineEdit*, 3> boxes{};
    for (std::size_t i = 0; i < units.size(); ++i) {
        const DatePart& p = kDateParts[first + i];
        auto* unit = place<QLabel>(frame, p.label, twipsRect(p.labelLeft, p.labelTop, 615, 615),
                                   labelFont, units[i]);
        boxes[i] = ui::placeBox(frame, p.box, twipsRect(p.left, p.top, p.width, 420), boxFont,
                                QString("%1 %2").arg(q(spoken), q(units[i])), unit);
    }
    return boxes;
}

} // namespace

keisan::keisan(Screens& program) : Form(program, OnClose::EndProgram) {
    buildUi();
    Form_Load();
}

void keisan::buildUi() {
    setObjectName("keisan");
    setWindowTitle(QStringLiteral("年齢計算　Ver 1.0"));
    setFixedSize(ui::twips(7980), ui::twips(9900));
    setFont(makeFont(Face::Gothic, 9, false));
    ui::setBackground(this, QColor(128, 255, 128));

    const QFont g12 = makeFont(Face::Gothic, 12, true);
    const QFont g11 = makeFont(Face::Gothic, 11.25, true);
    const QFont g14 = makeFont(Face::Gothic, 14.25, true);
    const QFont g9 = makeFont(Face::Gothic, 9, true);
    const QFont p9 = makeFont(Face::PGothic, 9, false);

    auto* Frame3 =
        place<QGroupBox>(this, "Frame3", twipsRect(360, 120, 3975, 1095), g12, "氏名の入力");
    Text7 = ui::placeBox(Frame3, "Text7", twipsRect(840, 480, 2535, 375), g12, "氏名");
    touroku = place<QPushButton>(this, "touroku", twipsRect(4560, 480, 1095, 495), p9, "登　　録");
    Command2 =
        place<QPushButton>(this, "Command2", twipsRect(6120, 480, 1335, 495), p9, "メニューへ");
    Command4 = place<QPushButton>(this, "Command4", twipsRect(120, 1560, 975, 375), g9, "セット");
    Text10 =
        ui::placeBox(this, "Text10", twipsRect(240, 2640, 855, 375), g9, "番号",
                     place<QLabel>(this, "Label8", twipsRect(240, 2280, 855, 255), g11, "番　号"));

    auto* Frame1 =
        place<QGroupBox>(this, "Frame1", twipsRect(1200, 1320, 6615, 2895), g14, "生年月日入力");
    ui::setBackground(Frame1, QColor(255, 255, 128));
    const std::array<QRect, core::kEras.size()> optionPlaces{
        twipsRect(240, 480, 975, 495), twipsRect(240, 840, 1095, 615),
        twipsRect(240, 1320, 975, 495), twipsRect(240, 1800, 855, 495),
        twipsRect(240, 2280, 975, 375)};
    for (std::size_t i = 0; i < options_.size(); ++i)
        options_[i] = place<QRadioButton>(Frame1, QString("Option%1").arg(i + 1), optionPlaces[i],
                                          g11, core::kEras[i].name);
    std::tie(Text1, Text2, Text3) = std::tuple_cat(placeDateRow(Frame1, 0, "生年"));

    // One line, with room to spare in the fonts of other desktops.
    place<QLabel>(this, "Label5", twipsRect(1680, 4440, 5775, 495),
                  makeFont(Face::Gothic, 9.75, true),
                  "生年月日を入れてEnterか「年齢計算実行」を押します");
    Command1 = place<QPushButton>(this, "Command1", twipsRect(3360, 5040, 2535, 495), g12,
                                  " 年齢計算実行");
    Command1->setDefault(true);

    auto* Frame5 =
        place<QGroupBox>(this, "Frame5", twipsRect(1200, 5640, 6495, 855), g12, "年齢計算");
    Text9 = ui::placeBox(
        Frame5, "Text9", twipsRect(3000, 240, 975, 375), g12, "満年齢",
        place<QLabel>(Frame5, "Label4", twipsRect(4080, 360, 1095, 375), g12, "歳です。"));

    auto* Frame4 =
        place<QGroupBox>(this, "Frame4", twipsRect(1200, 6720, 6495, 975), g12, "生年の西暦年出力");
    Text8 =
        ui::placeBox(Frame4, "Text8", twipsRect(3000, 360, 975, 375), g12, "西暦生年",
                     place<QLabel>(Frame4, "Label7", twipsRect(2280, 480, 615, 255), g12, "西暦"));
    place<QLabel>(Frame4, "Label6", twipsRect(4080, 480, 1215, 255), g12, "年です。");

    auto* Frame2 = place<QGroupBox>(this, "Frame2", twipsRect(1200, 8040, 6495, 1335), g14,
                                    "現在の西暦年月日入力");
    ui::setBackground(Frame2, QColor(128, 255, 255));
    std::tie(Text4, Text5, Text6) = std::tuple_cat(placeDateRow(Frame2, 3, "基準日"));

    // Each era option has its own place; the group below lets Tab stop only at the one
    // that is on.
    ui::applyTabOrder({{0, Command1},
                       {2, options_[0]},
                       {3, options_[1]},
                       {4, options_[2]},
                       {5, options_[3]},
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
                       {34, options_[4]}});

    new ui::OptionGroup({options_.begin(), options_.end()}, this);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(touroku, &QPushButton::clicked, this, [this] { touroku_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
}

void keisan::selectEra(const std::string& name) {
    if (auto i = core::eraIndex(name))
        options_[*i]->setChecked(true);
}

std::string keisan::selectedEra() const {
    std::array<bool, core::kEras.size()> on{};
    for (std::size_t i = 0; i < options_.size(); ++i)
        on[i] = options_[i]->isChecked();
    return core::selectedEraName(on);
}

void keisan::Form_Load() {
    core::Module1& m = program_.session().m;
    run([&] { datafiles::readLastEntry(m, program_.session().folder); });
    ui::fill(Text7, m.ksimei);
    selectEra(m.kgengou);
    ui::fill(Text1, m.knen);
    ui::fill(Text2, m.ktuki);
    ui::fill(Text3, m.khi);
    auto date = core::referenceDateTexts(program_.clock().today());
    ui::fill(Text4, date[0]);
    ui::fill(Text5, date[1]);
    ui::fill(Text6, date[2]);
}

void keisan::Command1_Click() {
    core::Module1& m = program_.session().m;
    m.ksimei = text(Text7);
    m.knen = text(Text1);
    m.ktuki = text(Text2);
    m.khi = text(Text3);
    m.gnen = text(Text4);
    m.gtuki = text(Text5);
    m.ghi = text(Text6);
    m.kgengou = selectedEra();
    const core::AgeResult r = core::calculateAge(m);
    // A result box never shows an infinity or "not a number".
    ui::fill(Text8, r.finite() ? core::numberText(r.birthYear) : std::string());
    ui::fill(Text9, r.finite() ? core::numberText(r.age) : std::string());
    run([&] { datafiles::writeLastEntry(m, program_.session().folder); });
    if (!r.finite())
        program_.dialogs().error(core::tooLargeMessage(m));
}

void keisan::Command2_Click() {
    switchTo(program_.menyuForm());
}

datafiles::Transaction keisan::read() {
    return datafiles::countRegister(program_.session());
}

void keisan::touroku_Click() {
    run([this] {
        datafiles::Transaction held = read();
        datafiles::Session& s = program_.session();
        s.m.kgengou = selectedEra();
        datafiles::appendPerson(s, held, {text(Text7), text(Text1), text(Text2), text(Text3)});
        program_.dialogs().message("保存しました。");
    });
}

void keisan::Command4_Click() {
    run([this] {
        core::KojinRecord r = datafiles::loadRecord(program_.session(), text(Text10));
        selectEra(core::storedEraName(r));
        ui::fill(Text7, core::shownText(r.simei));
        ui::fill(Text1, core::shownText(r.nen));
        ui::fill(Text2, core::shownText(r.tuki));
        ui::fill(Text3, core::shownText(r.hi));
    });
}

void keisan::enterElsewhere() {
    Command1->click();
}

void keisan::firstShow() {
    ui::centreOnScreen(this);
    Command1->setFocus();
}

} // namespace forms
