#include "gui_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using testing_support::ScriptedDialogs;
using testing_support::writeBytes;

namespace {

std::string record(int n, const std::string& name) {
    return testing_support::recordBytes(std::to_string(n), name, "", "1", "2", "3");
}

class DisplayTest : public GuiFixture {
protected:
    void writeRegister(int count, const std::string& prefix = "N") {
        std::string bytes;
        for (int n = 1; n <= count; ++n)
            bytes += record(n, prefix + std::to_string(n));
        writeBytes(folder.file("kojinnen.txt"), bytes);
    }
    forms::menyu& menu() {
        auto& m = program().menyuForm();
        m.show();
        return m;
    }
    forms::hyouji& grid() { return program().hyoujiForm(); }
    // Trimmed names in rows 0 to 9, empty rows as "".
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (int r = 0; r < 10; ++r)
            out.push_back(
                grid().Text2[static_cast<std::size_t>(r)]->text().trimmed().toStdString());
        return out;
    }
    // Records the grid's names at every "次へ".
    void recordPagesAtPrompts() {
        dialogs.onShow = [this](const ScriptedDialogs::Call& call) {
            if (call.text == "次へ")
                pages.push_back(names());
        };
    }
    std::vector<std::vector<std::string>> pages;
};

std::vector<std::string> rows(std::initializer_list<const char*> filled) {
    std::vector<std::string> out(filled.begin(), filled.end());
    out.resize(10);
    return out;
}

TEST_F(DisplayTest, SearchAsksForNameWithDefaultZeroAndShowsMatchesInFront) {
    writeBytes(folder.file("kojinnen.txt"),
               record(1, "Tanaka") + record(2, "Sato") + record(3, "Tanabe"));
    dialogs.inputAnswers = {"Tana"};
    QTest::mouseClick(menu().Command3, Qt::LeftButton);
    ASSERT_FALSE(dialogs.calls().empty());
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::Input);
    EXPECT_EQ(dialogs.calls()[0].text, "検索する氏名");
    EXPECT_EQ(dialogs.calls()[0].title, "検索氏名入力");
    EXPECT_EQ(dialogs.calls()[0].defaultText, "0");
    EXPECT_EQ(dialogs.calls().size(), 1u); // two hits: no prompt, no message
    EXPECT_EQ(names(), rows({"Tanaka", "Tanabe"}));
    EXPECT_EQ(grid().Text1[1]->text(), "3    ");
    EXPECT_EQ(grid().Text2[0]->text(), "Tanaka              ");
    EXPECT_TRUE(grid().isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
}

TEST_F(DisplayTest, SearchWithoutHitPromptsOnceThenSaysNotFound) {
    QTest::mouseClick(menu().Command3, Qt::LeftButton); // default "0", empty register
    ASSERT_EQ(dialogs.calls().size(), 3u);
    EXPECT_EQ(dialogs.calls()[1].text, "次へ");
    EXPECT_EQ(dialogs.calls()[1].title, "");
    EXPECT_EQ(dialogs.calls()[2].text, "ありません");
    EXPECT_EQ(dialogs.calls()[2].title, "誤り警告");
    EXPECT_EQ(names(), rows({}));
    EXPECT_TRUE(std::filesystem::exists(folder.file("kojinnen.txt")));
}

TEST_F(DisplayTest, ListingShowsEntryTenAgainOnSecondScreen) {
    writeRegister(14);
    recordPagesAtPrompts();
    QTest::mouseClick(menu().Command4, Qt::LeftButton);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], rows({"N1", "N2", "N3", "N4", "N5", "N6", "N7", "N8", "N9", "N10"}));
    EXPECT_EQ(names(), rows({"N10", "N11", "N12", "N13", "N14"}));
    EXPECT_TRUE(grid().isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
}

TEST_F(DisplayTest, RowTenIsNeverTouched) {
    writeRegister(25);
    grid().Text2[10]->setText("typed");
    menu().hcls();
    EXPECT_FALSE(grid().isVisible());
    QTest::mouseClick(menu().Command4, Qt::LeftButton);
    dialogs.inputAnswers = {""};
    QTest::mouseClick(menu().Command3, Qt::LeftButton);
    EXPECT_EQ(grid().Text2[10]->text(), "typed");
}

TEST_F(DisplayTest, MenuButtonAndCloseBoxHideGridKeepingItsRows) {
    writeRegister(3);
    QTest::mouseClick(menu().Command4, Qt::LeftButton);
    EXPECT_EQ(names(), rows({})); // three records: the prompt came, then the clear
    dialogs.inputAnswers = {"N2"};
    QTest::mouseClick(menu().Command3, Qt::LeftButton);
    QTest::mouseClick(grid().Command1, Qt::LeftButton);
    EXPECT_FALSE(grid().isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
    EXPECT_EQ(names(), rows({"N2"}));
    QTest::mouseClick(menu().Command4, Qt::LeftButton);
    grid().close();
    EXPECT_FALSE(grid().isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
    EXPECT_EQ(quits, 0);
}

TEST_F(DisplayTest, UnopenableRegisterIsReportedWithoutShowingGrid) {
    std::filesystem::create_directory(folder.file("kojinnen.txt"));
    QTest::mouseClick(menu().Command4, Qt::LeftButton);
    dialogs.inputAnswers = {""};
    QTest::mouseClick(menu().Command3, Qt::LeftButton);
    ASSERT_EQ(dialogs.errors().size(), 2u);
    EXPECT_NE(dialogs.errors()[0].text.find("kojinnen.txt"), std::string::npos);
    EXPECT_FALSE(program().hasHyouji() && grid().isVisible());
}

TEST_F(DisplayTest, LongRegisterIsListedUpTo500WithOneNoticeBeforeFirstPage) {
    writeRegister(501);
    bool gridShownAtNotice = true;
    int prompts = 0;
    dialogs.onShow = [&](const ScriptedDialogs::Call& call) {
        if (call.text == "次へ")
            ++prompts;
        else if (prompts == 0)
            gridShownAtNotice = program().hasHyouji() && grid().isVisible();
    };
    QTest::mouseClick(menu().Command4, Qt::LeftButton);
    ASSERT_FALSE(dialogs.calls().empty());
    EXPECT_NE(dialogs.calls()[0].text.find("500"), std::string::npos);
    EXPECT_FALSE(gridShownAtNotice);
    EXPECT_EQ(dialogs.calls().size(), 1u + 50u);
    EXPECT_EQ(program().m().kensu, 500);
    EXPECT_EQ(names(), rows({"N500"})); // entry 500 alone opens the last page
}

TEST_F(DisplayTest, GridHasItsHeadingsPlacesAndTabOrder) {
    auto& g = grid();
    EXPECT_EQ(g.windowTitle(), "表示");
    EXPECT_EQ(g.Label3->text(), "元号");
    EXPECT_EQ(g.Text1[9]->geometry(), QRect(8, 368, 49, 25));
    EXPECT_EQ(g.Text6[10]->geometry().top(), 408);
    EXPECT_EQ(g.Command1->nextInFocusChain(), g.Text1[9]);
    EXPECT_EQ(g.Text6[1]->nextInFocusChain(), g.Text6[0]);
    EXPECT_EQ(g.Text1[0]->nextInFocusChain(), g.Text6[10]);
}

} // namespace
