#include "tests/gui/gui_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testing_support::readBytes;
using testing_support::recordBytes;
using testing_support::writeBytes;

namespace {

// CP932 bytes of the names used below.
const std::string kTakahashi = "\xFB\xFC\x8B\xB4"; // 髙橋
const std::string kShowa = "\x8F\xBA\x98\x61";     // 昭和

class RegisterScreensTest : public GuiFixture {
protected:
    forms::keisan& k() { return program().keisanForm(); }
    void enterTakahashi() {
        box(k(), "Text7")->setText("髙橋");
        option(k(), "Option3")->setChecked(true);
        box(k(), "Text1")->setText("31");
        box(k(), "Text2")->setText("8");
        box(k(), "Text3")->setText("26");
    }
};

TEST_F(RegisterScreensTest, RegisterAppendsNumberedRecordsAndSaysSaved) {
    enterTakahashi();
    box(k(), "Text10")->setText("1"); // ignored by registration
    std::size_t bytesAtMessage = 0;
    dialogs.onShow = [&](const auto&) {
        bytesAtMessage = readBytes(folder.file("kojinnen.txt")).size();
    };
    click(k(), "touroku");
    EXPECT_EQ(bytesAtMessage, 42u); // written before the message appears
    click(k(), "touroku");
    EXPECT_EQ(readBytes(folder.file("kojinnen.txt")),
              recordBytes("1", kTakahashi, kShowa, "31", "8", "26") +
                  recordBytes("2", kTakahashi, kShowa, "31", "8", "26"));
    ASSERT_EQ(dialogs.calls().size(), 2u);
    EXPECT_EQ(dialogs.calls()[0].text, "保存しました。");
    EXPECT_EQ(dialogs.calls()[0].title, "");
    EXPECT_EQ(dialogs.calls()[0].kind, testing_support::ScriptedDialogs::Kind::Message);
    // The register stays open after the command.
    EXPECT_NE(program().session().open, nullptr);
    EXPECT_EQ(program().session().m.recno.value(), 2);
}

TEST_F(RegisterScreensTest, FullRegisterWritesNothingAndSaysSo) {
    writeBytes(folder.file("kojinnen.txt"), "");
    std::filesystem::resize_file(folder.file("kojinnen.txt"), 32766 * 42);
    enterTakahashi();
    click(k(), "touroku");
    EXPECT_EQ(std::filesystem::file_size(folder.file("kojinnen.txt")), 32766u * 42);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.errors().size(), 1u);
    EXPECT_NE(dialogs.calls()[0].text.find("満杯"), std::string::npos);
}

TEST_F(RegisterScreensTest, SetLoadsRecordWithTrailingSpacesAndKeepsResults) {
    writeBytes(folder.file("kojinnen.txt"),
               recordBytes("1", "A", "", "1", "1", "1") +
                   recordBytes("2", kTakahashi, kShowa, "31", "8", "26"));
    box(k(), "Text8")->setText("result");
    box(k(), "Text10")->setText("2");
    click(k(), "Command4");
    EXPECT_EQ(box(k(), "Text7")->text(), QString("髙橋") + QString(16, ' '));
    EXPECT_TRUE(option(k(), "Option3")->isChecked());
    EXPECT_EQ(box(k(), "Text1")->text(), "31  ");
    EXPECT_EQ(box(k(), "Text2")->text(), "8   ");
    EXPECT_EQ(box(k(), "Text3")->text(), "26  ");
    for (const char* name : {"Text7", "Text1", "Text2", "Text3"})
        EXPECT_TRUE(showsFromStart(box(k(), name))) << name;
    EXPECT_EQ(box(k(), "Text8")->text(), "result");
    EXPECT_EQ(box(k(), "Text10")->text(), "2");
    EXPECT_TRUE(dialogs.calls().empty());
    // The loaded entry computes as it was registered.
    click(k(), "Command1");
    EXPECT_EQ(box(k(), "Text8")->text(), "1956");
}

TEST_F(RegisterScreensTest, SetRoundsHalvesToEvenAndRefusesNonRecords) {
    std::string bytes;
    for (int n = 1; n <= 4; ++n)
        bytes += recordBytes(std::to_string(n), "N" + std::to_string(n));
    writeBytes(folder.file("kojinnen.txt"), bytes);
    struct {
        const char* text;
        const char* name; // nullptr: refused with a message, boxes kept
    } cases[] = {{"2.5", "N2"},    {"3.5", "N4"},      {"", nullptr},
                 {"abc", nullptr}, {"32768", nullptr}, {"9", ""}}; // past the end: the blank record
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        dialogs.reset();
        option(k(), "Option3")->setChecked(true);
        box(k(), "Text7")->setText("before");
        box(k(), "Text10")->setText(c.text);
        click(k(), "Command4");
        EXPECT_EQ(box(k(), "Text7")->text().trimmed(), QString(c.name ? c.name : "before"));
        EXPECT_EQ(dialogs.errors().size(), c.name ? 0u : 1u);
        EXPECT_TRUE(
            option(k(), "Option3")->isChecked()); // no era in these records: the choice stays
    }
}

class KousinTest : public RegisterScreensTest {
protected:
    forms::kousin& openUpdate() {
        k().show();
        click(k(), "Command2");
        click(program().menyuForm(), "Command1");
        return program().kousinForm();
    }
    void type(forms::kousin& u, std::array<QString, 6> texts) {
        std::array<QLineEdit*, 6> boxes{box(u, "Text1", 0), box(u, "Text2", 0), box(u, "Text3", 0),
                                        box(u, "Text4", 0), box(u, "Text5", 0), box(u, "Text6", 0)};
        for (std::size_t i = 0; i < 6; ++i)
            boxes[i]->setText(texts[i]);
    }
};

TEST_F(KousinTest, UpdateOverwritesRecordInPlaceKeepingTypedNumber) {
    std::string bytes;
    for (int n = 1; n <= 3; ++n)
        bytes += recordBytes(std::to_string(n), "X", "", "", "", "");
    writeBytes(folder.file("kojinnen.txt"), bytes);
    auto& u = openUpdate();
    EXPECT_TRUE(u.isVisible());
    EXPECT_FALSE(program().menyuForm().isVisible());
    EXPECT_EQ(u.focusWidget(), button(u, "Command2"));
    type(u, {" 2", "髙橋", "昭和", "31", "8", "26"});
    click(u, "Command2");
    EXPECT_EQ(readBytes(folder.file("kojinnen.txt")),
              recordBytes("1", "X", "", "", "", "") +
                  recordBytes(" 2", kTakahashi, kShowa, "31", "8", "26") +
                  recordBytes("3", "X", "", "", "", ""));
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, "更新しました。");
}

TEST_F(KousinTest, UpdateWithNoRecordNumberWritesNothing) {
    writeBytes(folder.file("kojinnen.txt"), recordBytes("1", "X", "", "", "", ""));
    auto& u = openUpdate();
    for (const char* number : {"", "40000"}) {
        dialogs.reset();
        type(u, {number, "Y", "", "", "", ""});
        click(u, "Command2");
        EXPECT_EQ(readBytes(folder.file("kojinnen.txt")), recordBytes("1", "X", "", "", "", ""));
        EXPECT_EQ(dialogs.errors().size(), 1u) << number;
    }
}

TEST_F(KousinTest, MenuButtonAndCloseBoxReturnToMenuKeepingTexts) {
    auto& u = openUpdate();
    type(u, {"7", "Z", "", "", "", ""});
    button(u, "Command1")->setFocus();
    QTest::keyClick(button(u, "Command1"), Qt::Key_Enter); // Enter presses a focused button
    EXPECT_FALSE(u.isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
    click(program().menyuForm(), "Command1");
    EXPECT_EQ(box(u, "Text1", 0)->text(), "7");
    EXPECT_EQ(box(u, "Text2", 0)->text(), "Z");
    u.close();
    EXPECT_FALSE(u.isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
    EXPECT_EQ(quits, 0);
}

} // namespace
