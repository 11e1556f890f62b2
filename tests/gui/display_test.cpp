#include "tests/gui/gui_fixture.h"

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
            out.push_back(box(grid(), "Text2", r)->text().trimmed().toStdString());
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
    click(menu(), "Command3");
    ASSERT_FALSE(dialogs.calls().empty());
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::Input);
    EXPECT_EQ(dialogs.calls()[0].text, "検索する氏名");
    EXPECT_EQ(dialogs.calls()[0].title, "検索氏名入力");
    EXPECT_EQ(dialogs.calls()[0].defaultText, "0");
    EXPECT_EQ(dialogs.calls().size(), 1u); // two hits: no prompt, no message
    EXPECT_EQ(names(), rows({"Tanaka", "Tanabe"}));
    EXPECT_EQ(box(grid(), "Text1", 1)->text(), "3    ");
    EXPECT_EQ(box(grid(), "Text2", 0)->text(), "Tanaka              ");
    EXPECT_TRUE(grid().isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
    EXPECT_EQ(grid().focusWidget(), button(grid(), "Command1")); // first in the Tab order
}

TEST_F(DisplayTest, SearchWithoutHitPromptsOnceThenSaysNotFound) {
    click(menu(), "Command3"); // default "0", empty register
    ASSERT_EQ(dialogs.calls().size(), 3u);
    EXPECT_EQ(dialogs.calls()[1].text, "次へ");
    EXPECT_EQ(dialogs.calls()[1].title, "");
    EXPECT_EQ(dialogs.calls()[2].text, "ありません");
    EXPECT_EQ(dialogs.calls()[2].title, "誤り警告");
    EXPECT_EQ(names(), rows({}));
    EXPECT_TRUE(std::filesystem::exists(folder.file("kojinnen.txt")));
}

// Intended: entry 10 closes the first screen and opens the second.
TEST_F(DisplayTest, ListingShowsEntryTenAgainOnSecondScreen) {
    writeRegister(14);
    recordPagesAtPrompts();
    click(menu(), "Command4");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], rows({"N1", "N2", "N3", "N4", "N5", "N6", "N7", "N8", "N9", "N10"}));
    EXPECT_EQ(names(), rows({"N10", "N11", "N12", "N13", "N14"}));
    EXPECT_TRUE(grid().isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
}

// Intended: the empty text, which Cancel on the input box gives, is in every name.
TEST_F(DisplayTest, CancelInSearchBoxSearchesForEmptyTextAndListsEveryRecord) {
    writeRegister(3);
    dialogs.inputAnswers = {""};
    click(menu(), "Command3");
    EXPECT_EQ(names(), rows({"N1", "N2", "N3"}));
}

// Intended: rows past the end of a shorter register show what an earlier listing of a
// longer one left in the working tables.
TEST_F(DisplayTest, ListingRowsPastTheEndKeepWhatAnEarlierReadLeft) {
    writeRegister(12);
    click(menu(), "Command4");
    writeRegister(3);
    recordPagesAtPrompts();
    click(menu(), "Command4");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], rows({"N1", "N2", "N3", "N4", "N5", "N6", "N7", "N8", "N9", "N10"}));
}

TEST_F(DisplayTest, RowTenIsNeverTouched) {
    writeRegister(25);
    box(grid(), "Text2", 10)->setText("typed");
    menu().hcls();
    EXPECT_FALSE(grid().isVisible());
    click(menu(), "Command4");
    dialogs.inputAnswers = {""};
    click(menu(), "Command3");
    EXPECT_EQ(box(grid(), "Text2", 10)->text(), "typed");
}

TEST_F(DisplayTest, MenuButtonAndCloseBoxHideGridKeepingItsRows) {
    writeRegister(3);
    click(menu(), "Command4");
    EXPECT_EQ(names(), rows({})); // three records: the prompt came, then the clear
    dialogs.inputAnswers = {"N2"};
    click(menu(), "Command3");
    click(grid(), "Command1");
    EXPECT_FALSE(grid().isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
    EXPECT_EQ(names(), rows({"N2"}));
    click(menu(), "Command4");
    grid().close();
    EXPECT_FALSE(grid().isVisible());
    EXPECT_TRUE(program().menyuForm().isVisible());
    EXPECT_EQ(quits, 0);
}

TEST_F(DisplayTest, UnopenableRegisterIsReportedWithoutShowingGrid) {
    std::filesystem::create_directory(folder.file("kojinnen.txt"));
    click(menu(), "Command4");
    dialogs.inputAnswers = {""};
    click(menu(), "Command3");
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
    click(menu(), "Command4");
    ASSERT_FALSE(dialogs.calls().empty());
    EXPECT_NE(dialogs.calls()[0].text.find("500"), std::string::npos);
    EXPECT_FALSE(gridShownAtNotice);
    EXPECT_EQ(dialogs.calls().size(), 1u + 50u);
    EXPECT_EQ(program().session().m.kensu, 500);
    EXPECT_EQ(names(), rows({"N500"})); // entry 500 alone opens the last page
}

TEST_F(DisplayTest, GridHasItsHeadingsPlacesAndTabOrder) {
    auto& g = grid();
    EXPECT_EQ(g.windowTitle(), "表示");
    EXPECT_EQ(label(g, "Label3")->text(), "元号");
    EXPECT_EQ(box(g, "Text1", 9)->geometry(), QRect(8, 368, 49, 25));
    EXPECT_EQ(box(g, "Text6", 10)->geometry().top(), 408);
    EXPECT_EQ(button(g, "Command1")->nextInFocusChain(), box(g, "Text1", 9));
    EXPECT_EQ(box(g, "Text6", 1)->nextInFocusChain(), box(g, "Text6", 0));
    EXPECT_EQ(box(g, "Text1", 0)->nextInFocusChain(), box(g, "Text6", 10));
}

} // namespace
