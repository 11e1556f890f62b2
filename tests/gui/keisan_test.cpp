#include "tests/gui/gui_fixture.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

class KeisanTest : public GuiFixture {};

TEST_F(KeisanTest, FormLoadFillsLastEntryAndTodayWithLeadingZeros) {
    writeBytes(
        folder.file("kojinfl.txt"),
        "\"\x8E\x52\x93\x63\x91\xBE\x98\x59\",\"\x8F\xBA\x98\x61\",\"31  \",\"08\",\"26\"\r\n");
    clock.set({2024, 3, 5});
    auto& k = program().keisanForm();
    EXPECT_EQ(box(k, "Text7")->text(), QString("山田太郎"));
    EXPECT_TRUE(option(k, "Option3")->isChecked());
    EXPECT_EQ(box(k, "Text1")->text(), "31  ");
    EXPECT_TRUE(showsFromStart(box(k, "Text1"))); // wider than its box
    EXPECT_EQ(box(k, "Text2")->text(), "08");
    EXPECT_EQ(box(k, "Text3")->text(), "26");
    EXPECT_EQ(box(k, "Text4")->text(), "2024");
    EXPECT_EQ(box(k, "Text5")->text(), "03");
    EXPECT_EQ(box(k, "Text6")->text(), "05");
    EXPECT_TRUE(box(k, "Text8")->text().isEmpty());
    EXPECT_TRUE(box(k, "Text9")->text().isEmpty());
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(KeisanTest, FirstRunOpensEmptyWithoutMessage) {
    auto& k = program().keisanForm();
    EXPECT_TRUE(box(k, "Text7")->text().isEmpty());
    EXPECT_FALSE(option(k, "Option1")->isChecked() || option(k, "Option3")->isChecked() ||
                 option(k, "Option5")->isChecked());
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(KeisanTest, EnterInTextBoxRunsCalculationAndStoresEntry) {
    auto& k = program().keisanForm();
    k.show();
    box(k, "Text7")->setText("山田太郎");
    option(k, "Option3")->setChecked(true);
    box(k, "Text1")->setText("31");
    box(k, "Text2")->setText("8");
    box(k, "Text3")->setText("26");
    box(k, "Text4")->setText("2019");
    box(k, "Text5")->setText("08");
    box(k, "Text6")->setText("25");
    box(k, "Text3")->setFocus();
    QTest::keyClick(box(k, "Text3"), Qt::Key_Return);
    EXPECT_EQ(box(k, "Text8")->text(), "1956");
    EXPECT_EQ(box(k, "Text9")->text(), "62");
    EXPECT_EQ(readBytes(folder.file("kojinfl.txt")),
              "\"\x8E\x52\x93\x63\x91\xBE\x98\x59\",\"\x8F\xBA\x98\x61\",\"31\",\"8\",\"26\"\r\n");
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(KeisanTest, UnstorableEntryShowsResultsKeepsFileAndSaysWhy) {
    writeBytes(folder.file("kojinfl.txt"), "\"a\",\"\",\"1\",\"2\",\"3\"\r\n");
    auto& k = program().keisanForm();
    box(k, "Text7")->setText(QString::fromUtf8("山田😀"));
    option(k, "Option4")->setChecked(true);
    box(k, "Text1")->setText("元");
    click(k, "Command1");
    EXPECT_EQ(box(k, "Text8")->text(), "1989");
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_NE(dialogs.errors()[0].text.find("😀"), std::string::npos);
    EXPECT_EQ(readBytes(folder.file("kojinfl.txt")), "\"a\",\"\",\"1\",\"2\",\"3\"\r\n");
}

TEST_F(KeisanTest, MenuAndBackKeepsEveryBox) {
    auto& k = program().keisanForm();
    k.show();
    box(k, "Text7")->setText("佐藤");
    option(k, "Option2")->setChecked(true);
    box(k, "Text1")->setText("5");
    box(k, "Text10")->setText("3");
    click(k, "Command1");
    QString age = box(k, "Text9")->text();

    click(k, "Command2");
    auto& menu = program().menyuForm();
    EXPECT_FALSE(k.isVisible());
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.focusWidget(), button(menu, "Command2"));

    QTest::keyClick(button(menu, "Command2"), Qt::Key_Return); // Enter presses a focused button
    EXPECT_TRUE(k.isVisible());
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(box(k, "Text7")->text(), QString("佐藤"));
    EXPECT_TRUE(option(k, "Option2")->isChecked());
    EXPECT_EQ(box(k, "Text1")->text(), "5");
    EXPECT_EQ(box(k, "Text9")->text(), age);
    EXPECT_EQ(box(k, "Text10")->text(), "3");

    // Tab stops at the era group once, on the option that is on, at that option's place:
    // 明治 to 平成 between Command1 and Text1, 令和 after Text10 (and Tab round to Command1).
    // The arrows move the choice round the group, and the Tab stop with it.
    const struct {
        const char* turnOn; // the option to turn on first; "" turns all off
        const char* from;
        Qt::Key key;
        const char* to;
    } steps[] = {
        {nullptr, "Command1", Qt::Key_Tab, "Option2"},
        {"Option3", "Command1", Qt::Key_Tab, "Option3"},
        {nullptr, "Text10", Qt::Key_Tab, "Command1"},
        {"Option5", "Text10", Qt::Key_Tab, "Option5"},
        {nullptr, "Command1", Qt::Key_Tab, "Text1"},
        {nullptr, "Command1", Qt::Key_Backtab, "Option5"},
        {nullptr, "Text1", Qt::Key_Backtab, "Command1"},
        {"", "Command1", Qt::Key_Tab, "Option1"},
        {"Option2", "Option2", Qt::Key_Up, "Option1"},
        {nullptr, "Option1", Qt::Key_Up, "Option5"},
        {nullptr, "Option5", Qt::Key_Down, "Option1"},
        {nullptr, "Option1", Qt::Key_Tab, "Text1"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.turnOn ? step.turnOn : "-") + " " + step.from + " -> " +
                     step.to);
        if (step.turnOn && *step.turnOn)
            option(k, step.turnOn)->setChecked(true);
        if (step.turnOn && !*step.turnOn)
            for (auto* o : k.findChildren<QRadioButton*>()) {
                o->setAutoExclusive(false); // an exclusive option cannot be turned off
                o->setChecked(false);
                o->setAutoExclusive(true);
            }
        control<QWidget>(k, step.from)->setFocus();
        QTest::keyClick(k.focusWidget(), step.key);
        EXPECT_EQ(k.focusWidget() ? k.focusWidget()->objectName() : QString(), step.to);
        if (step.key == Qt::Key_Up || step.key == Qt::Key_Down) {
            EXPECT_TRUE(option(k, step.to)->isChecked());
        }
    }
}

TEST_F(KeisanTest, NumberTooLargeLeavesResultsEmptyNamesItsBoxAndStoresTheEntry) {
    auto& k = program().keisanForm();
    box(k, "Text8")->setText("1");
    box(k, "Text1")->setText("1e999");
    option(k, "Option3")->setChecked(true);
    click(k, "Command1");
    EXPECT_EQ(box(k, "Text8")->text(), "");
    EXPECT_EQ(box(k, "Text9")->text(), "");
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_NE(dialogs.errors().at(0).text.find("「生年月日の年」"), std::string::npos);
    EXPECT_EQ(readBytes(folder.file("kojinfl.txt")),
              "\"\",\"\x8F\xBA\x98\x61\",\"1e999\",\"\",\"\"\r\n");
    box(k, "Text7")->setText(QString(100000, 'x')); // text boxes take text of any length
    EXPECT_EQ(box(k, "Text7")->text().size(), 100000);
}

TEST_F(KeisanTest, QuitClosesFilesAndEndsProgram) {
    auto& k = program().keisanForm();
    k.show();
    click(k, "Command2");
    datafiles::openRegister(program().session());
    click(program().menyuForm(), "Command5");
    EXPECT_EQ(program().session().open, nullptr);
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(program().menyuForm().isVisible());
}

TEST_F(KeisanTest, CloseBoxOfEitherMainWindowEndsProgram) {
    auto& k = program().keisanForm();
    k.show();
    k.close();
    EXPECT_EQ(quits, 1);
    program().menyuForm().show();
    program().menyuForm().close();
    EXPECT_EQ(quits, 2);
}

TEST_F(KeisanTest, ControlsHaveTheirCaptionsAndPlaces) {
    auto& k = program().keisanForm();
    EXPECT_EQ(k.size(), QSize(532, 660));
    EXPECT_EQ(button(k, "Command1")->text(), " 年齢計算実行");
    EXPECT_EQ(button(k, "touroku")->text(), "登　　録");
    EXPECT_EQ(frame(k, "Frame1")->geometry(), QRect(80, 88, 441, 193));
    EXPECT_EQ(box(k, "Text1")->parentWidget(), frame(k, "Frame1"));
    EXPECT_EQ(box(k, "Text9")->parentWidget(), frame(k, "Frame5"));
    EXPECT_EQ(label(k, "Label2(2)")->text(), "月");
    EXPECT_EQ(label(k, "Label2(2)")->alignment(),
              Qt::AlignLeft | Qt::AlignTop); // level with its box
    const char* eras[] = {"明治", "大正", "昭和", "平成", "令和"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(option(k, QString("Option%1").arg(i + 1))->text(), eras[i]);
        EXPECT_EQ(option(k, QString("Option%1").arg(i + 1))->parentWidget(), frame(k, "Frame1"));
    }
    EXPECT_EQ(button(k, "Command1")->nextInFocusChain(), option(k, "Option1"));
    // The instruction fits its one line in the font at hand, and also at 15 pixels to a
    // full-width character: the bold 9.75-point face that Windows (and Wine) make by
    // widening the regular one draws it wider than the font here.
    const QString hint = label(k, "Label5")->text();
    double ems = 0;
    for (QChar c : hint)
        ems += c.unicode() < 0x100 ? 0.5 : 1.0;
    EXPECT_LE(QFontMetrics(label(k, "Label5")->font()).horizontalAdvance(hint),
              label(k, "Label5")->width());
    EXPECT_LE(ems * 15, label(k, "Label5")->width());
    auto& menu = program().menyuForm();
    EXPECT_EQ(button(menu, "Command1")->text(), QString::fromUtf8("更  　　新"));
    EXPECT_EQ(button(menu, "Command5")->nextInFocusChain(), button(menu, "Command1"));
}

} // namespace
