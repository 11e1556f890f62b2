#include "forms/ui/layout.h"
#include "forms/ui/qt_dialogs.h"
#include "tests/gui/gui_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>
#include <string>

namespace {

class JapaneseDesktopTest : public GuiFixture {};

// Japanese is typed through an input method: the text boxes must take its composition
// and its committed text, and none may ask for Latin-only or digits-only input, which
// turns the input method off.
void expectTakesJapanese(QLineEdit* box) {
    SCOPED_TRACE(box->objectName().toStdString());
    EXPECT_TRUE(box->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(box->inputMethodHints() &
                  (Qt::ImhLatinOnly | Qt::ImhDigitsOnly | Qt::ImhFormattedNumbersOnly |
                   Qt::ImhHiddenText | Qt::ImhPreferLatin | Qt::ImhEmailCharactersOnly),
              Qt::ImhNone);
    box->clear();
    QInputMethodEvent composing(QStringLiteral("たかはし"), {});
    QApplication::sendEvent(box, &composing);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("髙橋"));
    QApplication::sendEvent(box, &commit);
    EXPECT_EQ(box->text(), QStringLiteral("髙橋"));
}

TEST_F(JapaneseDesktopTest, EveryTextBoxTakesInputMethodText) {
    std::vector<QWidget*> screens{&program().keisanForm(), &program().menyuForm(),
                                  &program().hyoujiForm(), &program().kousinForm()};
    int boxes = 0;
    for (QWidget* screen : screens)
        for (QLineEdit* box : screen->findChildren<QLineEdit*>()) {
            expectTakesJapanese(box);
            ++boxes;
        }
    EXPECT_EQ(boxes, 10 + 66 + 6); // calculation, display (11 rows of 6), update
}

// Runs `open`, which shows one of the program's modal boxes, and `inspect` on the box while
// it is shown; then closes the box as its OK button does, or its Cancel button.
void whileShown(const std::function<void()>& open, const std::function<void(QDialog&)>& inspect,
                bool cancel = false) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            inspect(*box);
            cancel ? box->reject() : box->accept();
        }
    });
    poll.start(10);
    open();
}

// The program's message and input boxes speak Japanese like the rest of the program, and
// the input box (the name search) takes and gives back what the input method typed.
TEST_F(JapaneseDesktopTest, ProgramBoxesSpeakAndTakeJapanese) {
    // As the program starts. Deleting the translator takes it out of the application again
    // for later tests.
    std::unique_ptr<QTranslator> translator(forms::ui::useJapaneseStandardTexts());
    forms::ui::QtDialogs boxes;
    std::string entered;
    const std::function<void()> opens[] = {
        [&] { boxes.message("保存しました。"); },
        [&] { entered = boxes.input("検索する氏名", "検索氏名入力", "0"); },
    };
    for (const auto& open : opens)
        whileShown(open, [](QDialog& box) {
            SCOPED_TRACE(box.windowTitle().toStdString());
            auto* buttons = box.findChild<QDialogButtonBox*>();
            ASSERT_TRUE(buttons && buttons->button(QDialogButtonBox::Cancel));
            EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(),
                      QStringLiteral("キャンセル"));
            if (auto* field = box.findChild<QLineEdit*>())
                expectTakesJapanese(field);
        });
    EXPECT_EQ(entered, "髙橋");
}

// Intended: Cancel on the input box of the name search gives the empty text, which finds
// every record, whatever the field shows; Cancel on a message box ("次へ" among them) goes
// on as OK does, as no caller is told which button closed it.
TEST_F(JapaneseDesktopTest, CancelOnTheSearchBoxGivesTheEmptyTextAndOnMessagesActsAsOk) {
    forms::ui::QtDialogs boxes;
    std::string entered = "(none)";
    bool cancelShown = false, wentOn = false;
    whileShown(
        [&] {
            boxes.message("次へ");
            wentOn = true;
        },
        [&](QDialog& box) {
            auto* buttons = box.findChild<QDialogButtonBox*>();
            cancelShown = buttons && buttons->button(QDialogButtonBox::Cancel);
        },
        true);
    EXPECT_TRUE(cancelShown);
    EXPECT_TRUE(wentOn);
    whileShown([&] { entered = boxes.input("検索する氏名", "検索氏名入力", "0"); }, [](QDialog&) {},
               true);
    EXPECT_EQ(entered, "");
}

} // namespace
