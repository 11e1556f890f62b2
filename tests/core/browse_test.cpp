#include "browse.h"

#include "files.h"
#include "kojin_record.h"
#include "module1.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using testing_support::TempFolder;

std::string trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : " ") + p;
    return out;
}

// Logs what the commands do to the screens; row writes show in the grid and in its
// snapshot at every page prompt.
class RecordingDisplay : public core::DisplayTarget {
public:
    explicit RecordingDisplay(const core::Module1& m) : m_(m) {}

    void clear() override {
        note("clear");
        grid = {};
    }
    void setRow(int row, const core::RowTexts& texts) override {
        grid.at(static_cast<std::size_t>(row)) = texts;
    }
    void show() override { note("show"); }
    void pagePrompt() override {
        note("prompt");
        promptScreens.push_back(screen());
        promptGrids.push_back(grid);
    }
    void notFound() override { note("notfound"); }
    void tooMany(std::int64_t total, int shown) override {
        events.push_back("toomany " + std::to_string(total) + "/" + std::to_string(shown));
    }

    // The bangou column of the grid, "-" for an empty row.
    std::string screen() const {
        std::vector<std::string> column;
        for (const core::RowTexts& row : grid)
            column.push_back(row == core::RowTexts{} ? "-" : trimmed(row[0]));
        return joined(column);
    }
    std::string frame() const { return joined(events); }
    long count(const std::string& event) const {
        return std::count(events.begin(), events.end(), event);
    }

    std::vector<std::string> events;
    std::array<core::RowTexts, 10> grid{};
    std::vector<std::string> promptScreens;
    std::vector<std::array<core::RowTexts, 10>> promptGrids;
    int gyouAfterScan = -1; // m.gyou when the scan handed over to the screens

private:
    void note(const std::string& event) {
        if (gyouAfterScan < 0)
            gyouAfterScan = m_.gyou;
        events.push_back(event);
    }
    const core::Module1& m_;
};

std::string recordBytes(const std::string& bangou, const std::string& simei) {
    return core::encodeRecord(core::KojinRecord::assign(bangou, simei, "平成", "5", "4", "1"),
                              "kojinnen.txt");
}

// Writes records 1 to n with bangou i and the name nameOf(i).
void writeRegister(
    const TempFolder& dir, int n, const std::function<std::string(int)>& nameOf = [](int i) {
        return "Name" + std::to_string(i);
    }) {
    std::string bytes;
    for (int i = 1; i <= n; ++i)
        bytes += recordBytes(std::to_string(i), nameOf(i));
    testing_support::writeBytes(dir.file("kojinnen.txt"), bytes);
}

// A fresh folder, Module1, file table and display for one command.
struct Bench {
    TempFolder dir;
    core::Module1 m;
    platform::FileTable files;
    RecordingDisplay display{m};
    void search(std::string_view term) { core::nameSearch(m, files, dir.path(), term, display); }
    void list() { core::registerListing(m, files, dir.path(), display); }
};

// The screen showing `first`, `first + step`, ... up to `last`, then empty rows.
std::string rows(int first, int last, int step = 1) {
    std::vector<std::string> column;
    for (int n = first; n <= last; n += step)
        column.push_back(std::to_string(n));
    column.resize(10, "-");
    return joined(column);
}

const std::string kEmptyScreen = rows(1, 0);

// ---- Working tables ----

using TableMember = core::RegisterTable core::Module1::*;

class WorkingTable : public testing::TestWithParam<TableMember> {};

TEST_P(WorkingTable, EverySlotReadsEmptyUntilStoredAndLastSlotWorks) {
    core::Module1 m;
    core::RegisterTable& table = m.*GetParam();
    for (int slot = 0; slot <= 500; ++slot)
        EXPECT_EQ(table(slot), "") << slot;
    table.store(500, "last");
    EXPECT_EQ(table(500), "last");
}

TEST_P(WorkingTable, SlotOutsideRangeThrowsAndStoresNothing) {
    core::Module1 m;
    core::RegisterTable& table = m.*GetParam();
    for (int slot : {501, -1, 65537}) {
        EXPECT_THROW(table.store(slot, "x"), std::out_of_range) << slot;
        EXPECT_THROW(table(slot), std::out_of_range) << slot;
    }
    for (int slot = 0; slot <= 500; ++slot)
        EXPECT_EQ(table(slot), "") << slot;
}

INSTANTIATE_TEST_SUITE_P(AllSix, WorkingTable,
                         testing::Values(&core::Module1::tbangou, &core::Module1::tsimei,
                                         &core::Module1::tgengou, &core::Module1::tnen,
                                         &core::Module1::ttuki, &core::Module1::thi));

TEST(WorkingTables, StoreRecordFillsSixTablesAndRowFetchesThemInColumnOrder) {
    core::Module1 m;
    m.storeRecord(7, core::KojinRecord{"7", "Sato", "昭和", "40", "3", "15"});
    EXPECT_EQ(m.row(7), (core::RowTexts{"7", "Sato", "昭和", "40", "3", "15"}));
    EXPECT_EQ(m.row(6), core::RowTexts{});
    EXPECT_EQ(m.row(8), core::RowTexts{});
}

// ---- Behaviour shared by both commands ----

enum class Command { Search, Listing };

class BothCommands : public testing::TestWithParam<Command>, protected Bench {
protected:
    // The search uses the empty term, so it shows every record.
    void run() { GetParam() == Command::Search ? search("") : list(); }
};

TEST_P(BothCommands, ReadsRecordsIntoSlotsOneToNAndLeavesSlotZeroAlone) {
    writeRegister(dir, 3);
    m.storeRecord(0, core::KojinRecord{"0", "zero", "", "", "", ""});
    run();
    EXPECT_EQ(display.gyouAfterScan, 4);
    EXPECT_EQ(m.tsimei(0), "zero");
    EXPECT_EQ(m.row(3),
              (core::RowTexts{"3    ", "Name3               ", "平成 ", "5   ", "4   ", "1   "}));
}

TEST_P(BothCommands, PartialRecordAtEndIsNotRead) {
    writeRegister(dir, 3);
    std::filesystem::resize_file(dir.file("kojinnen.txt"), 100);
    run();
    EXPECT_EQ(display.gyouAfterScan, 3);
    EXPECT_EQ(m.tsimei(2), "Name2               ");
    EXPECT_EQ(m.tsimei(3), "");
}

TEST_P(BothCommands, ClosesOtherFilesAndKeepsRegisterOpen) {
    writeRegister(dir, 1);
    files.openRecord(5, dir.file("other.txt"), 10);
    run();
    EXPECT_EQ(files.record(5), nullptr);
    ASSERT_NE(files.record(2), nullptr);
    EXPECT_EQ(files.openCount(), 1u);
}

TEST_P(BothCommands, MissingRegisterIsCreatedEmpty) {
    run();
    ASSERT_TRUE(std::filesystem::exists(dir.file("kojinnen.txt")));
    EXPECT_EQ(std::filesystem::file_size(dir.file("kojinnen.txt")), 0u);
    EXPECT_EQ(display.promptScreens, std::vector<std::string>{kEmptyScreen});
    EXPECT_EQ(display.screen(), kEmptyScreen);
}

TEST_P(BothCommands, FiveHundredRecordsAreAllReadWithoutWarning) {
    writeRegister(dir, 500);
    run();
    EXPECT_EQ(display.frame().find("toomany"), std::string::npos);
    EXPECT_EQ(display.gyouAfterScan, 501);
    EXPECT_EQ(m.tsimei(500), "Name500             ");
}

TEST_P(BothCommands, MoreThanFiveHundredRecordsReadsFirstFiveHundredAndWarnsOnce) {
    writeRegister(dir, 500);
    std::filesystem::resize_file(dir.file("kojinnen.txt"), 600 * 42);
    run();
    ASSERT_FALSE(display.events.empty());
    EXPECT_EQ(display.events.front(), "toomany 600/500");
    EXPECT_EQ(display.count("toomany 600/500"), 1);
    EXPECT_EQ(display.gyouAfterScan, 501);
    EXPECT_EQ(m.tsimei(500), "Name500             ");
    EXPECT_EQ(display.promptScreens.size(), 50u);
    EXPECT_EQ(display.promptScreens.back(),
              GetParam() == Command::Search ? rows(491, 500) : rows(490, 499));
}

TEST_P(BothCommands, UnopenableRegisterThrowsFileErrorWithoutShowingTheGrid) {
    std::filesystem::create_directory(dir.file("kojinnen.txt"));
    EXPECT_THROW(run(), platform::FileError);
    EXPECT_EQ(display.count("show"), 0);
}

INSTANTIATE_TEST_SUITE_P(SearchAndListing, BothCommands,
                         testing::Values(Command::Search, Command::Listing),
                         [](const testing::TestParamInfo<Command>& info) {
                             return info.param == Command::Search ? "Search" : "Listing";
                         });

// ---- Name search: paging ----

// Hits are the odd-numbered records of a register of 2 × hits + 2 records, so the grid
// shows each hit's own bangou, never its position among the hits.
struct SearchPagingCase {
    const char* name;
    int hits;
    const char* frame;
    std::vector<std::string> promptScreens;
    std::string finalScreen;
};

class SearchPaging : public testing::TestWithParam<SearchPagingCase> {};

TEST_P(SearchPaging, ShowsHitsTenToAPage) {
    const SearchPagingCase& c = GetParam();
    Bench b;
    writeRegister(b.dir, 2 * c.hits + 2,
                  [&](int i) { return i % 2 && i < 2 * c.hits ? "Hit" : "Miss"; });
    b.search("Hit");
    EXPECT_EQ(b.display.frame(), c.frame);
    EXPECT_EQ(b.display.promptScreens, c.promptScreens);
    EXPECT_EQ(b.display.screen(), c.finalScreen);
}

INSTANTIATE_TEST_SUITE_P(
    HitCounts, SearchPaging,
    testing::Values(
        SearchPagingCase{"NoHitPromptsOnceThenReportsNotFound",
                         0,
                         "clear show prompt clear notfound show",
                         {kEmptyScreen},
                         kEmptyScreen},
        SearchPagingCase{"OneHitFillsRowZeroWithoutPrompt", 1, "clear show show", {}, rows(1, 1)},
        SearchPagingCase{
            "NineHitsFitOnePageWithoutPrompt", 9, "clear show show", {}, rows(1, 17, 2)},
        SearchPagingCase{"TenHitsPromptAndEndOnEmptyGrid",
                         10,
                         "clear show prompt clear show",
                         {rows(1, 19, 2)},
                         kEmptyScreen},
        SearchPagingCase{"EleventhHitAloneInRowZeroAfterPrompt",
                         11,
                         "clear show prompt clear show",
                         {rows(1, 19, 2)},
                         rows(21, 21)},
        SearchPagingCase{"TwentyFiveHitsShowThreePages",
                         25,
                         "clear show prompt clear prompt clear show",
                         {rows(1, 19, 2), rows(21, 39, 2)},
                         rows(41, 49, 2)}),
    [](const testing::TestParamInfo<SearchPagingCase>& info) { return info.param.name; });

// ---- Name search: matching ----

struct MatchCase {
    const char* name;
    const char* stored;
    const char* term;
    bool matches;
};

class SearchMatching : public testing::TestWithParam<MatchCase> {};

TEST_P(SearchMatching, MatchesTermInsideStoredNameField) {
    const MatchCase& c = GetParam();
    Bench b;
    writeRegister(b.dir, 1, [&](int) { return c.stored; });
    b.search(c.term);
    EXPECT_EQ(b.display.screen(), c.matches ? rows(1, 1) : kEmptyScreen);
    EXPECT_EQ(b.display.count("notfound"), c.matches ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Terms, SearchMatching,
    testing::Values(
        MatchCase{"PartOfName", "Yamada Taro", "da Ta", true},
        MatchCase{"LowerCaseMissesCapital", "Yamada Taro", "taro", false},
        MatchCase{"EmptyTermMatches", "Yamada Taro", "", true},
        MatchCase{"TrailingSpacesOfFieldMatch", "Yamada Taro", "Taro   ", true},
        MatchCase{"WholeTwentyCharacterName", "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST", true},
        MatchCase{"TermLongerThanFieldNeverMatches", "ABCDEFGHIJ", "ABCDEFGHIJ           ", false},
        MatchCase{"FullWidthKatakana", "ヤマダ", "マダ", true},
        MatchCase{"HalfWidthKatakana", "ﾔﾏﾀﾞ", "ﾏﾀﾞ", true},
        MatchCase{"FullWidthTermMissesHalfWidthName", "ﾔﾏﾀﾞ", "ヤマダ", false},
        MatchCase{"HalfWidthTermMissesFullWidthName", "ヤマダ", "ﾔﾏﾀﾞ", false}),
    [](const testing::TestParamInfo<MatchCase>& info) { return info.param.name; });

TEST(NameSearch, NumberColumnShowsStoredBangouNotPosition) {
    Bench b;
    testing_support::writeBytes(b.dir.file("kojinnen.txt"),
                                recordBytes("99", "Suzuki") + recordBytes("1", "Tanaka"));
    b.search("Suzuki");
    EXPECT_EQ(b.display.screen(), "99 - - - - - - - - -");
    EXPECT_EQ(b.display.grid[0][1], "Suzuki              ");
}

// ---- Register listing ----

struct ListingCase {
    const char* name;
    int records;
    std::vector<std::string> promptScreens;
    std::string finalScreen;
};

class Listing : public testing::TestWithParam<ListingCase> {};

TEST_P(Listing, ShowsEntriesTenToAPageFromEntryTenOn) {
    const ListingCase& c = GetParam();
    Bench b;
    writeRegister(b.dir, c.records);
    b.list();
    EXPECT_EQ(b.m.kensu, c.records);
    std::string frame = "show clear";
    for (std::size_t i = 0; i < c.promptScreens.size(); ++i)
        frame += " prompt clear";
    EXPECT_EQ(b.display.frame(), frame);
    EXPECT_EQ(b.display.promptScreens, c.promptScreens);
    EXPECT_EQ(b.display.screen(), c.finalScreen);
}

INSTANTIATE_TEST_SUITE_P(
    RegisterSizes, Listing,
    testing::Values(
        ListingCase{"EmptyRegisterPromptsOnce", 0, {kEmptyScreen}, kEmptyScreen},
        ListingCase{"FourRecordsOnFirstScreen", 4, {rows(1, 4)}, kEmptyScreen},
        ListingCase{"NineRecordsOnFirstScreen", 9, {rows(1, 9)}, kEmptyScreen},
        ListingCase{"ListingShowsEntryTenAgainOnSecondScreen", 10, {rows(1, 10)}, rows(10, 10)},
        ListingCase{"FourteenRecordsEndWithoutSecondPrompt", 14, {rows(1, 10)}, rows(10, 14)},
        ListingCase{"NineteenRecordsPromptAfterSecondScreen",
                    19,
                    {rows(1, 10), rows(10, 19)},
                    kEmptyScreen},
        ListingCase{
            "TwentyFiveRecordsShowThreeScreens", 25, {rows(1, 10), rows(10, 19)}, rows(20, 25)}),
    [](const testing::TestParamInfo<ListingCase>& info) { return info.param.name; });

TEST(RegisterListing, EntriesPastRegisterShowWhatAnEarlierReadLeft) {
    Bench b;
    writeRegister(b.dir, 12);
    b.list();
    testing_support::writeBytes(b.dir.file("kojinnen.txt"), recordBytes("b1", "B") +
                                                                recordBytes("b2", "B") +
                                                                recordBytes("b3", "B"));
    RecordingDisplay second{b.m};
    core::registerListing(b.m, b.files, b.dir.path(), second);
    EXPECT_EQ(b.m.kensu, 3);
    EXPECT_EQ(second.promptScreens, std::vector<std::string>{"b1 b2 b3 4 5 6 7 8 9 10"});
    EXPECT_EQ(second.screen(), kEmptyScreen);
}

TEST(RegisterListing, RowsCarryRawFieldTextsWithTrailingSpaces) {
    Bench b;
    writeRegister(b.dir, 3);
    b.list();
    EXPECT_EQ(b.m.tsimei(3), "Name3" + std::string(15, ' '));
    ASSERT_EQ(b.display.promptGrids.size(), 1u);
    EXPECT_EQ(b.display.promptGrids[0][2],
              (core::RowTexts{"3    ", "Name3               ", "平成 ", "5   ", "4   ", "1   "}));
}

} // namespace
