#include "gui_fixture.h"

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
        "\"\x8E\x52\x93\x63\x91\xBE\x98\x59\",\"\x8F\xBA\x98\x61\",\"31\",\"08\",\"26\"\r\n");
    clock.set({2024, 3, 5});
    auto& k = program().keisanForm();
    EXPECT_EQ(k.Text7->text(), QString("山田太郎"));
    EXPECT_TRUE(k.Option3->isChecked());
    EXPECT_EQ(k.Text1->text(), "31");
    EXPECT_EQ(k.Text2->text(), "08");
    EXPECT_EQ(k.Text3->text(), "26");
    EXPECT_EQ(k.Text4->text(), "2024");
    EXPECT_EQ(k.Text5->text(), "03");
    EXPECT_EQ(k.Text6->text(), "05");
    EXPECT_TRUE(k.Text8->text().isEmpty());
    EXPECT_TRUE(k.Text9->text().isEmpty());
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(KeisanTest, FirstRunOpensEmptyWithoutMessage) {
    auto& k = program().keisanForm();
    EXPECT_TRUE(k.Text7->text().isEmpty());
    EXPECT_FALSE(k.Option1->isChecked() || k.Option3->isChecked() || k.Option5->isChecked());
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(KeisanTest, EnterInTextBoxRunsCalculationAndStoresEntry) {
    auto& k = program().keisanForm();
    k.show();
    k.Text7->setText("山田太郎");
    k.Option3->setChecked(true);
    k.Text1->setText("31");
    k.Text2->setText("8");
    k.Text3->setText("26");
    k.Text4->setText("2019");
    k.Text5->setText("08");
    k.Text6->setText("25");
    k.Text3->setFocus();
    QTest::keyClick(k.Text3, Qt::Key_Return);
    EXPECT_EQ(k.Text8->text(), "1956");
    EXPECT_EQ(k.Text9->text(), "62");
    EXPECT_EQ(readBytes(folder.file("kojinfl.txt")),
              "\"\x8E\x52\x93\x63\x91\xBE\x98\x59\",\"\x8F\xBA\x98\x61\",\"31\",\"8\",\"26\"\r\n");
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(KeisanTest, UnstorableEntryShowsResultsKeepsFileAndSaysWhy) {
    writeBytes(folder.file("kojinfl.txt"), "\"a\",\"\",\"1\",\"2\",\"3\"\r\n");
    auto& k = program().keisanForm();
    k.Text7->setText(QString::fromUtf8("山田😀"));
    k.Option4->setChecked(true);
    k.Text1->setText("元");
    QTest::mouseClick(k.Command1, Qt::LeftButton);
    EXPECT_EQ(k.Text8->text(), "1989");
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_NE(dialogs.errors()[0].text.find("😀"), std::string::npos);
    EXPECT_EQ(readBytes(folder.file("kojinfl.txt")), "\"a\",\"\",\"1\",\"2\",\"3\"\r\n");
}

TEST_F(KeisanTest, MenuAndBackKeepsEveryBox) {
    auto& k = program().keisanForm();
    k.show();
    k.Text7->setText("佐藤");
    k.Option2->setChecked(true);
    k.Text1->setText("5");
    k.Text10->setText("3");
    QTest::mouseClick(k.Command1, Qt::LeftButton);
    QString age = k.Text9->text();

    QTest::mouseClick(k.Command2, Qt::LeftButton);
    auto& menu = program().menyuForm();
    EXPECT_FALSE(k.isVisible());
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.focusWidget(), menu.Command2);

    QTest::mouseClick(menu.Command2, Qt::LeftButton);
    EXPECT_TRUE(k.isVisible());
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(k.Text7->text(), QString("佐藤"));
    EXPECT_TRUE(k.Option2->isChecked());
    EXPECT_EQ(k.Text1->text(), "5");
    EXPECT_EQ(k.Text9->text(), age);
    EXPECT_EQ(k.Text10->text(), "3");
}

TEST_F(KeisanTest, QuitClosesFilesAndEndsProgram) {
    auto& k = program().keisanForm();
    k.show();
    QTest::mouseClick(k.Command2, Qt::LeftButton);
    program().files().openRecord(2, folder.file("kojinnen.txt"), 42);
    QTest::mouseClick(program().menyuForm().Command5, Qt::LeftButton);
    EXPECT_EQ(program().files().openCount(), 0u);
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
    EXPECT_EQ(k.Command1->text(), " 年齢計算実行");
    EXPECT_EQ(k.touroku->text(), "登　　録");
    EXPECT_EQ(k.Frame1->geometry(), QRect(80, 88, 441, 193));
    EXPECT_EQ(k.Text1->parentWidget(), k.Frame1);
    EXPECT_EQ(k.Text9->parentWidget(), k.Frame5);
    EXPECT_EQ(k.Label2[2]->text(), "月");
    EXPECT_EQ(k.Label2[2]->alignment(), Qt::AlignLeft | Qt::AlignTop); // level with its box
    EXPECT_EQ(k.Option5->text(), "令和");
    EXPECT_EQ(k.Command1->nextInFocusChain(), k.Option1);
    auto& menu = program().menyuForm();
    EXPECT_EQ(menu.Command1->text(), QString::fromUtf8("更  　　新"));
    EXPECT_EQ(menu.Command5->nextInFocusChain(), menu.Command1);
}

} // namespace
