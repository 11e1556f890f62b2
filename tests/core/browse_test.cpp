#include "core/browse.h"
#include "datafiles/browse.h"
#include "datafiles/commands.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// Logs what a command does to the screens, and the grid's bangou column at every prompt.
struct RecordingDisplay : core::DisplayTarget {
    std::string events;
    std::vector<std::string> prompts;
    std::array<std::string, 10> grid{"-", "-", "-", "-", "-", "-", "-", "-", "-", "-"};

    void log(const std::string& event) { events += (events.empty() ? "" : " ") + event; }
    void clear() override {
        log("clear");
        grid.fill("-");
    }
    void setRow(int row, const core::RowTexts& texts) override {
        std::string bangou = texts[0].substr(0, texts[0].find_last_not_of(' ') + 1);
        grid.at(static_cast<std::size_t>(row)) = bangou.empty() ? "-" : bangou;
    }
    void show() override { log("show"); }
    void pagePrompt() override {
        log("prompt");
        prompts.push_back(screen());
    }
    void notFound() override { log("notfound"); }
    void tooMany(std::int64_t total, int shown) override {
        log("toomany " + std::to_string(total) + "/" + std::to_string(shown));
    }
    // The bangou column up to its last filled row.
    std::string screen() const {
        std::string out;
        for (const std::string& bangou : grid)
            out += bangou + " ";
        return out.substr(0, out.find_last_not_of("- ") + 1);
    }
};

// A fresh folder, session and display for one command.
struct Scene {
    testing_support::TempFolder dir;
    std::string path = dir.file("kojinnen.txt");
    datafiles::Session session = [this] {
        datafiles::Session s;
        s.folder = dir.path();
        return s;
    }();
    core::Module1& m = session.m;
    RecordingDisplay display;

    // Writes records 1 to n: bangou i, name nameOf(i), 平成 5 4 1.
    void write(int n, const std::function<std::string(int)>& nameOf) {
        std::string bytes;
        for (int i = 1; i <= n; ++i)
            bytes += core::encodeRecord(
                core::assign({std::to_string(i), nameOf(i), "平成", "5", "4", "1"}), "");
        testing_support::writeBytes(path, bytes);
    }
    // The name search for `term` (the empty term shows every record) or the listing.
    void run(bool searching, std::string_view term = "") {
        searching ? datafiles::nameSearch(session, term, display)
                  : datafiles::registerListing(session, display);
    }
};

// The screen showing `first`, `first + step`, ... up to `last`.
std::string rows(int first, int last, int step = 1) {
    std::string out;
    for (int n = first; n <= last; n += step)
        out += (n == first ? "" : " ") + std::to_string(n);
    return out;
}

TEST(WorkingTables, HoldSlotsZeroTo500AndRejectOthersStoringNothing) {
    core::RegisterTable t;
    t.store(500, "last");
    for (int slot : {501, -1, 65537}) {
        EXPECT_THROW(t.store(slot, "x"), std::out_of_range) << slot;
        EXPECT_THROW(t(slot), std::out_of_range) << slot;
    }
    EXPECT_EQ(t(500), "last");
    for (int slot = 0; slot < 500; ++slot)
        ASSERT_EQ(t(slot), "") << slot;
}

TEST(SearchAndListing, ShowTenRowsToAPage) {
    struct Case {
        bool searching;
        int count; // hits of the search, records of the listing
        std::string events;
        std::vector<std::string> prompts;
        std::string last;    // the screen at the end
        int earlierRead = 0; // records of a bigger register listed before
    };
    const std::string s1 = "clear show show", s2 = "clear show prompt clear show",
                      s3 = "clear show prompt clear prompt clear show",
                      l1 = "show clear prompt clear", l2 = l1 + " prompt clear";
    const Case cases[] = {
        {true, 0, "clear show prompt clear notfound show", {""}, ""},
        {true, 1, s1, {}, rows(1, 1)},
        {true, 9, s1, {}, rows(1, 17, 2)},
        {true, 10, s2, {rows(1, 19, 2)}, ""},
        {true, 11, s2, {rows(1, 19, 2)}, rows(21, 21)},
        {true, 25, s3, {rows(1, 19, 2), rows(21, 39, 2)}, rows(41, 49, 2)},
        // The listing shows entry 10 again on its second screen.
        {false, 0, l1, {""}, ""},
        {false, 4, l1, {rows(1, 4)}, ""},
        {false, 9, l1, {rows(1, 9)}, ""},
        {false, 10, l1, {rows(1, 10)}, rows(10, 10)},
        {false, 14, l1, {rows(1, 10)}, rows(10, 14)},
        {false, 19, l2, {rows(1, 10), rows(10, 19)}, ""},
        {false, 25, l2, {rows(1, 10), rows(10, 19)}, rows(20, 25)},
        // Entries past the register show what the earlier read left in the tables.
        {false, 3, l1, {rows(1, 10)}, "", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + (c.searching ? " hits" : " records"));
        // The hits are odd-numbered records, so a hit's bangou is not its position.
        auto name = [&](int i) {
            return !c.searching || (i % 2 && i < 2 * c.count) ? "Hit" : "Miss";
        };
        Scene b;
        if (c.earlierRead) {
            b.write(c.earlierRead, name);
            b.run(false);
            b.display = {};
        }
        b.write(c.searching ? 2 * c.count + 2 : c.count, name);
        b.run(c.searching, "Hit");
        EXPECT_EQ(b.display.events, c.events);
        EXPECT_EQ(b.display.prompts, c.prompts);
        EXPECT_EQ(b.display.screen(), c.last);
    }
}

TEST(NameSearch, MatchesTheExactTermInsideTheTwentyCharacterNameField) {
    const char* names[] = {"Yamada Taro", "ABCDEFGHIJKLMNOPQRST", "ヤマダ", "ﾔﾏﾀﾞ", "波〜線"};
    const std::pair<const char*, const char*> cases[] = {
        {"da Ta", "1"},
        {"taro", ""}, // case matters
        {"", "1 2 3 4 5"},
        {"〜", "5"}, // typed as U+301C, stored as ～ (81 60): compared as stored
        {"～", "5"},
        {"😀", ""},
        {"Taro   ", "1"},              // the field's trailing spaces match
        {"Yamada Taro          ", ""}, // 21 characters never match
        {"ABCDEFGHIJKLMNOPQRST", "2"},
        {"マダ", "3"},
        {"ﾏﾀﾞ", "4"},
        {"ヤマダ", "3"},
        {"ﾔﾏﾀﾞ", "4"}};
    Scene b;
    b.write(5, [&](int i) { return names[i - 1]; });
    for (auto [term, hits] : cases) {
        b.display = {};
        b.run(true, term);
        EXPECT_EQ(b.display.screen(), hits) << "term " << term;
    }
}

TEST(SearchAndListing, ReadWholeRecordsUpTo500WarningOnceBeforeTheFirstPageOrThrowShowingNothing) {
    for (bool searching : {true, false}) {
        for (auto [bytes, read] : {std::pair{100, 2}, {500 * 42, 500}, {600 * 42, 500}}) {
            SCOPED_TRACE(std::to_string(bytes) + (searching ? " bytes searched" : " bytes listed"));
            Scene b;
            b.write(std::min(bytes / 42 + 1, 500), [](int) { return "Hit"; });
            std::filesystem::resize_file(b.path, static_cast<std::uintmax_t>(bytes));
            b.run(searching); // a store into slot 501 would throw
            std::string warning = bytes > 500 * 42 ? "toomany 600/500 " : "";
            EXPECT_EQ(b.display.events.substr(0, warning.size()), warning);
            EXPECT_EQ(b.display.events.find("toomany", warning.size()), std::string::npos);
            EXPECT_EQ(b.m.row(2), (core::RowTexts{"2    ", "Hit                 ", "平成 ", "5   ",
                                                  "4   ", "1   "}));
            EXPECT_EQ(b.m.thi(read), "1   ");
            if (read < 500) {
                EXPECT_EQ(b.m.row(read + 1), core::RowTexts{}); // the partial record
            }
        }
        Scene b; // a register that cannot be opened is never shown
        std::filesystem::create_directory(b.path);
        EXPECT_THROW(b.run(searching), storage::FileError);
        EXPECT_EQ(b.display.events.find("show"), std::string::npos);
    }
}

// Every command holds the register's lock while it uses it and lets go when it is done:
// while another program holds the register, a command that reads waits for a writer only,
// one that writes for anyone, and gives up after its wait with a message; afterwards the
// register is free, although it stays open.
TEST(RegisterLock, CommandsWaitForOtherProgramsAndLetGoWhenDone) {
    using Kind = storage::RecordFile::LockKind;
    const struct {
        const char* name;
        std::function<void(Scene&)> command;
        bool writes;
    } commands[] = {
        {"search", [](Scene& s) { s.run(true, "P"); }, false},
        {"listing", [](Scene& s) { s.run(false); }, false},
        {"load", [](Scene& s) { datafiles::loadRecord(s.session, "1"); }, false},
        {"register",
         [](Scene& s) {
             datafiles::Transaction held = datafiles::countRegister(s.session);
             datafiles::appendPerson(s.session, held, {"P", "1", "1", "1"});
         },
         true},
        {"update",
         [](Scene& s) {
             datafiles::updateRecord(s.session, {"1", "P", "", "", "", ""});
         },
         true},
    };
    constexpr std::chrono::milliseconds kWait{100};
    for (const auto& c : commands) {
        for (Kind held : {Kind::Shared, Kind::Exclusive}) {
            SCOPED_TRACE(testing::Message() << c.name << ", held " << static_cast<int>(held));
            Scene scene;
            scene.write(3, [](int i) { return "P" + std::to_string(i); });
            scene.session.lockWait = kWait;
            {
                storage::RecordFile other(scene.path, 42, testing_support::kRecords);
                other.lock(held);
                std::string refused;
                try {
                    c.command(scene);
                } catch (const storage::FileError& e) {
                    refused = e.what();
                }
                EXPECT_EQ(refused.find("別のプログラムが使用中") != std::string::npos,
                          c.writes || held == Kind::Exclusive)
                    << refused;
            }
            c.command(scene);
            storage::RecordFile other(scene.path, 42, testing_support::kRecords);
            EXPECT_NO_THROW(other.lock(Kind::Exclusive, kWait));
        }
    }
}

} // namespace
