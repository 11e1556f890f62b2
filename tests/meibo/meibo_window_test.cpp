#include "csv/csv_tool.h"
#include "datafiles/commands.h"
#include "meibo/meibo_window.h"
#include "meibo/register_snapshot.h"
#include "meibo/table_model.h"
#include "tests/meibo/meibo_support.h"
#include "tests/support/test_support.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

using meibo_testing::ScriptedBoxes;
using testing_support::readBytes;
using testing_support::writeBytes;

std::string text(const QVariant& v) {
    return v.toString().toStdString();
}

// The cells of one row that the export writes, each quoted.
std::vector<std::string> exportCells(const core::KojinRecord& r, const platform::Date& on) {
    std::string row;
    csvtool::appendRow(row, csvtool::exportRow(r, on, true));
    std::vector<std::string> cells;
    for (std::size_t at = 0; (at = row.find('"', at)) != std::string::npos;) {
        const std::size_t end = row.find('"', at + 1);
        cells.push_back(row.substr(at + 1, end - at - 1));
        at = end + 1;
    }
    return cells;
}

// Births on either side of 1 April, on 29 February, 31 December and 1 January, one on no
// calendar date and one in an era that is none of the five; the birth date each shows.
const std::vector<std::pair<core::KojinRecord, std::string>> kBoundaryBirths{
    {core::assign({"1", "四月一日", "平成", "31", "4", "1"}), "2019/04/01"},
    {core::assign({"2", "四月二日", "平成", "31", "4", "2"}), "2019/04/02"},
    {core::assign({"3", "閏日", "平成", "12", "2", "29"}), "2000/02/29"},
    {core::assign({"4", "大晦日", "平成", "11", "12", "31"}), "1999/12/31"},
    {core::assign({"5", "元日", "平成", "12", "1", "1"}), "2000/01/01"},
    {core::assign({"6", "二月三十日", "平成", "31", "2", "30"}), ""},
    {core::assign({"7", "西暦", "西暦", "2000", "1", "1"}), ""}};

class ModelOnBoundaryDates : public testing::TestWithParam<platform::Date> {};

// Every cell the model shows is the export's for that record and date, whatever the order.
TEST_P(ModelOnBoundaryDates, ShowsTheExportsValuesInEveryOrder) {
    testing_support::TempFolder folder;
    std::vector<core::KojinRecord> records;
    for (const auto& b : kBoundaryBirths)
        records.push_back(b.first);
    writeBytes(folder.file("kojinnen.txt"), meibo_testing::registerBytes(records));
    meibo::TableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setAsOf(GetParam());
    model.setRecords(meibo::readRegister(folder.file("kojinnen.txt")).records);
    for (int column = -1; column < model.columnCount(); ++column) {
        model.sort(column, column % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
        ASSERT_EQ(model.rowCount(), 7);
        for (int row = 0; row < model.rowCount(); ++row) {
            const int n =
                model.data(model.index(row, 0), meibo::TableModel::kRecordNumberRole).toInt();
            const auto& [record, birth] = kBoundaryBirths[static_cast<std::size_t>(n - 1)];
            const std::vector<std::string> cells = exportCells(record, GetParam());
            ASSERT_EQ(cells.size(), 13u);
            auto cell = [&](int c) {
                return text(model.data(model.index(row, c), Qt::DisplayRole));
            };
            for (int c = 0; c < 6; ++c)
                EXPECT_EQ(cell(c), cells[static_cast<std::size_t>(c)]) << "record " << n;
            // 生年月日, in the place of the export's 西暦生年, is the date that year is of.
            EXPECT_EQ(cell(6), birth) << "record " << n;
            EXPECT_EQ(cell(6).substr(0, 4), birth.empty() ? "" : cells[6]) << "record " << n;
            for (int c = 7; c < 13; ++c)
                EXPECT_EQ(cell(c), cells[static_cast<std::size_t>(c)]) << "record " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Days, ModelOnBoundaryDates,
                         testing::Values(platform::Date{2025, 3, 31}, platform::Date{2025, 4, 1},
                                         platform::Date{2025, 4, 2}, platform::Date{2023, 2, 28},
                                         platform::Date{2023, 3, 1}, platform::Date{2024, 2, 28},
                                         platform::Date{2024, 2, 29}, platform::Date{2024, 12, 31},
                                         platform::Date{2025, 1, 1}, platform::Date{2019, 3, 31}));

// The window over a register of six people, as of 2025-04-01.
class MeiboWindowTest : public testing::Test {
protected:
    void SetUp() override {
        auto r = [](auto... texts) { return core::assign({texts...}); };
        writeBytes(reg, meibo_testing::registerBytes({r("1", "山田太郎", "昭和", "31", "8", "26"),
                                                      r("2", "佐藤花子", "昭和", "13", "2", "11"),
                                                      r("3", "鈴木一郎", "平成", "31", "4", "1"),
                                                      r("4", "鈴木二郎", "平成", "31", "4", "2"),
                                                      r("5", "高橋さくら", "令和", "元", "5", "1"),
                                                      r("6", "田中健", "昭和", "22", "1", "15")}));
        window = std::make_unique<meibo::MeiboWindow>(
            meibo::Services{&boxes, &clock, reg, folder.path()});
    }

    template <class W> W* child(const char* name) {
        W* w = window->findChild<W*>(QLatin1String(name));
        if (!w)
            throw std::runtime_error(std::string("no control ") + name);
        return w;
    }
    void trigger(const char* action) { child<QAction>(action)->trigger(); }
    QTableView* table() { return child<QTableView>("table"); }
    std::string count() { return child<QLabel>("count")->text().toStdString(); }
    std::vector<int> shown() {
        std::vector<int> out;
        for (int row = 0; row < table()->model()->rowCount(); ++row)
            out.push_back(
                table()
                    ->model()
                    ->data(table()->model()->index(row, 0), meibo::TableModel::kRecordNumberRole)
                    .toInt());
        return out;
    }

    testing_support::TempFolder folder;
    std::string reg = folder.file("kojinnen.txt");
    ScriptedBoxes boxes;
    testing_support::FixedClock clock{{2025, 4, 1}};
    std::unique_ptr<meibo::MeiboWindow> window;
};

TEST_F(MeiboWindowTest, SavesTheRowsShownAsTheExportsRowsInTheirOrder) {
    child<QLineEdit>("nameFilter")->setText(QStringLiteral("田"));
    table()->sortByColumn(static_cast<int>(core::MeiboColumn::Age), Qt::DescendingOrder);
    ASSERT_EQ(shown(), (std::vector<int>{6, 1}));
    boxes.files = {folder.file("out")};
    trigger("saveCsv");

    std::ostringstream exported;
    csvtool::exportRegister(reg, {2025, 4, 1}, true, exported);
    std::vector<std::string> lines;
    std::string all = exported.str();
    for (std::size_t at = 0; at < all.size(); at = all.find("\r\n", at) + 2)
        lines.push_back(all.substr(at, all.find("\r\n", at) + 2 - at));
    EXPECT_EQ(readBytes(folder.file("out.csv")), lines[0] + lines[6] + lines[1]);
    EXPECT_EQ(boxes.starts, (std::vector<std::string>{folder.file("名簿表.csv")}));
    EXPECT_EQ(boxes.messages.back(), "2 件を「" + folder.file("out.csv") + "」に保存しました。");
}

TEST_F(MeiboWindowTest, ImportsAllOrNothingWithTheMessagesOfNenreiCsv) {
    const std::string before = readBytes(reg);
    const std::string bad = "氏名,元号,年,月,日\r\n伊藤,平成,1,2,3\r\n加藤,西暦,1990,1,1\r\n";
    writeBytes(folder.file("bad.csv"), bad);
    std::string refused;
    {
        testing_support::TempFolder other;
        writeBytes(other.file("kojinnen.txt"), before);
        try {
            csvtool::importCsv(bad, folder.file("bad.csv"), other.file("kojinnen.txt"));
        } catch (const platform::UserError& e) {
            refused = e.what();
        }
    }
    ASSERT_FALSE(refused.empty());
    boxes.files = {folder.file("bad.csv")};
    trigger("importCsv");
    EXPECT_EQ(boxes.errors, std::vector<std::string>{refused});
    EXPECT_EQ(readBytes(reg), before);
    EXPECT_EQ(count(), "全 6 件中 6 件");

    writeBytes(folder.file("good.csv"), "氏名,元号,年,月,日\r\n伊藤,平成,1,2,3\r\n");
    boxes.files = {folder.file("good.csv")};
    trigger("importCsv");
    EXPECT_EQ(boxes.messages.back(), "1 件を追加しました。");
    EXPECT_EQ(count(), "全 7 件中 7 件");
    EXPECT_EQ(boxes.starts.front(), folder.path());
}

TEST_F(MeiboWindowTest, KeepsSortFilterAndSelectionWhenARegistrationLandsElsewhere) {
    table()->sortByColumn(static_cast<int>(core::MeiboColumn::Name), Qt::DescendingOrder);
    child<QComboBox>("birthMonth")->setCurrentIndex(4); // April: 鈴木一郎 and 鈴木二郎
    const std::vector<int> before = shown();
    table()->selectRow(
        static_cast<int>(std::find(before.begin(), before.end(), 4) - before.begin()));

    datafiles::Session s;
    s.folder = folder.path();
    {
        datafiles::Transaction held = datafiles::countRegister(s);
        s.m.kgengou = "平成";
        datafiles::appendPerson(s, held, {"鈴木三郎", "30", "4", "20"});
    }
    s.closeAll();

    ASSERT_TRUE(meibo_testing::waitFor([&] { return count() == "全 7 件中 3 件"; })) << count();
    const QModelIndexList selected = table()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].data(meibo::TableModel::kRecordNumberRole).toInt(), 4);
    EXPECT_EQ(table()->horizontalHeader()->sortIndicatorSection(),
              static_cast<int>(core::MeiboColumn::Name));
    std::vector<std::string_view> names;
    std::vector<std::string> held;
    for (int r = 0; r < 3; ++r)
        held.push_back(text(table()->model()->index(r, 1).data()));
    names.assign(held.begin(), held.end());
    const std::vector<int> ranks = meibo::japaneseNameRanks(names);
    EXPECT_TRUE(std::is_sorted(ranks.rbegin(), ranks.rend())) << held[0] << held[1] << held[2];
}

TEST_F(MeiboWindowTest, AViewSetsItsDayAndConditionsUntilOneIsChangedByHand) {
    clock.set({2025, 4, 2});
    window =
        std::make_unique<meibo::MeiboWindow>(meibo::Services{&boxes, &clock, reg, folder.path()});
    trigger("view-new-pupils");
    EXPECT_EQ(child<QDateEdit>("asOfDate")->date(), QDate(2026, 4, 1));
    EXPECT_EQ(child<QLabel>("asOfEra")->text(), QStringLiteral("令和8年4月1日"));
    EXPECT_EQ(child<QComboBox>("schoolClass")->currentText(), QStringLiteral("小1"));
    EXPECT_EQ(shown(), (std::vector<int>{4, 5}));
    EXPECT_EQ(child<QComboBox>("view")->currentText(), QStringLiteral("来年 4 月の新 1 年生"));
    child<QLineEdit>("nameFilter")->setText(QStringLiteral("二郎"));
    EXPECT_EQ(shown(), std::vector<int>{4});
    EXPECT_EQ(child<QComboBox>("view")->currentIndex(), 0);
}

TEST_F(MeiboWindowTest, KeyboardReachesTheNameFilterAndPrintAndEveryControlHasAName) {
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>("nameFilter"));
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(boxes.printDialogs, 1);
    // Every control that Tab stops at (the boxes inside the date and number boxes aside).
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window.get()) &&
            !qobject_cast<QAbstractSpinBox*>(w->parentWidget())) {
            EXPECT_FALSE(w->accessibleName().isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
    }
}

} // namespace
