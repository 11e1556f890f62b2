#include "forms/ui/layout.h"
#include "tests/gui/gui_fixture.h"

#include <QApplication>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <memory>

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

    QInputDialog search; // the name search asks through an input box
    search.setTextValue(QStringLiteral("0"));
    expectTakesJapanese(search.findChild<QLineEdit*>());
}

// The boxes speak Japanese like the rest of the program.
TEST_F(JapaneseDesktopTest, StandardButtonsAreInJapanese) {
    // Deleting the translator takes it out of the application again for later tests.
    std::unique_ptr<QTranslator> translator(forms::ui::useJapaneseStandardTexts());
    ASSERT_TRUE(translator);
    QMessageBox box(QMessageBox::NoIcon, {}, QStringLiteral("次へ"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

} // namespace
