#include "tests/gui/gui_fixture.h"

#include <QAccessible>
#include <QAccessibleInterface>

#include <set>

namespace {

class AccessibilityTest : public GuiFixture {};

QString spokenName(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

// What a screen reader says for each control, read through Qt's accessibility interface;
// and on every screen, every control that takes the focus has a name of its own.
TEST_F(AccessibilityTest, ScreenReadersTellEveryControlApart) {
    QWidget& k = program().keisanForm();
    QWidget& m = program().menyuForm();
    QWidget& g = program().hyoujiForm();
    QWidget& u = program().kousinForm();
    const struct {
        QWidget& screen;
        const char* control;
        const char* name;
    } rows[] = {
        {k, "Text7", "氏名"},          {k, "Text1", "生年 年"},
        {k, "Text3", "生年 日"},       {k, "Text4", "基準日 年"},
        {k, "Text6", "基準日 日"},     {k, "Text8", "西暦生年"},
        {k, "Text9", "満年齢"},        {k, "Text10", "番号"},
        {k, "touroku", "登録"},        {k, "Command1", "年齢計算実行"},
        {k, "Option3", "昭和"},        {m, "Command1", "更新"},
        {m, "Command3", "検索"},       {g, "Text2(2)", "3行目 氏名"},
        {g, "Text6(10)", "11行目 日"}, {g, "Command1", "メニューへ"},
        {u, "Text1(0)", "番号"},       {u, "Text3(0)", "元号"},
        {u, "Command2", "更新"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(spokenName(control<QWidget>(row.screen, row.control)), QString(row.name))
            << row.screen.objectName().toStdString() << " " << row.control;
    // A label that names a box on the screen is its buddy.
    EXPECT_EQ(label(k, "Label8")->buddy(), box(k, "Text10"));
    EXPECT_EQ(label(k, "Label1(1)")->buddy(), box(k, "Text4"));
    EXPECT_EQ(label(u, "Label2")->buddy(), box(u, "Text2(0)"));

    for (QWidget* screen : {&k, &m, &g, &u}) {
        std::set<QString> names;
        for (QWidget* w : screen->findChildren<QWidget*>()) {
            if (!(w->focusPolicy() & Qt::ClickFocus))
                continue;
            QString name = spokenName(w);
            EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
            EXPECT_TRUE(names.insert(name).second) << name.toStdString();
        }
    }
}

} // namespace
