#include "csv/csv_tool.h"
#include "datafiles/commands.h"
#include "platform/system.h"
#include "storage/journal.h"
#include "storage/seam.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

namespace {

using namespace testing_support;

// Each command stopped at each call to the system it makes, in turn: by a crash there (in
// the middle of a write), or by a disk that fails from there on. Once the next command has
// run, the register holds its old bytes or the whole new ones and no journal; the command
// reported success only if the whole new bytes are there, and a clean take-back only if
// the old ones are.
struct CrashCase {
    const char* name;
    const char* command;
    std::string old;
};

void PrintTo(const CrashCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kRecordsBefore(5 * 42, 'r');
const CrashCase kCrashCases[] = {
    {"a registration appending a record (no journal)", "register", kRecordsBefore},
    {"a registration over a partial record", "register", kRecordsBefore + "partial record"},
    {"an update", "update", kRecordsBefore},
    {"an import", "import", kRecordsBefore + "partial record"}};

std::string crasherProgram() {
#ifdef _WIN32
    return platform::joinPath(platform::executableFolder(), "crasher.exe");
#else
    return platform::joinPath(platform::executableFolder(), "crasher");
#endif
}

class Crash : public testing::TestWithParam<CrashCase> {};

TEST_P(Crash, AtEveryCallLeavesTheOldOrTheWholeNewRegister) {
    const std::string crasher = crasherProgram();
    const CrashCase& c = GetParam();
    {
        auto run = [&](const TempFolder& folder, int stop, const char* mode) {
            writeBytes(folder.file("kojinnen.txt"), c.old);
            return waitForProgram(
                startProgram({crasher, folder.path(), c.command, std::to_string(stop), mode}), 60);
        };
        TempFolder clean;
        ASSERT_EQ(run(clean, 0, "crash"), 0);
        const std::string whole = readBytes(clean.file("kojinnen.txt"));
        const int calls = std::stoi(readBytes(clean.file("said.txt")));
        RecordProperty(c.command + std::string(c.old.size() % 42 ? " over a partial record" : ""),
                       calls);
        for (const char* mode : {"crash", "fail"}) {
            for (int stop = 1; stop <= calls; ++stop) {
                SCOPED_TRACE(testing::Message() << c.command << " " << c.old.size() << " bytes, "
                                                << mode << " at call " << stop << " of " << calls);
                TempFolder folder;
                const std::string path = folder.file("kojinnen.txt");
                const int status = run(folder, stop, mode);
                ASSERT_TRUE(status == 0 || status == 1 || status == 3) << status;
                const std::string said =
                    status == 3 ? std::string() : readBytes(folder.file("said.txt"));
                if (status == 0) {
                    EXPECT_EQ(readBytes(path), whole);
                }
                if (said.find("前のまま") != std::string::npos ||
                    said.find("前の状態に戻しました") != std::string::npos) {
                    EXPECT_EQ(readBytes(path), c.old) << said;
                }
                datafiles::Session next;
                next.folder = folder.path();
                datafiles::loadRecord(next, "1");
                next.closeAll();
                // A plain append cut short leaves part of a record after the whole ones,
                // which counts as nothing and the next registration overwrites.
                const std::string after = readBytes(path);
                const bool partRecord = c.old.size() % 42 == 0 && after.size() < whole.size() &&
                                        whole.starts_with(after);
                EXPECT_TRUE(after == c.old || after == whole || partRecord)
                    << after.size() << " bytes; " << said;
                EXPECT_FALSE(std::filesystem::exists(testing_support::fsPath(path + ".journal")));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Register, Crash, testing::ValuesIn(kCrashCases),
                         [](const testing::TestParamInfo<CrashCase>& param) {
                             return testName(param.param.name);
                         });

// An import that died half-way through writing the register leaves its journal whole and
// the register half written. What the next command does then depends on what happened to
// the folder meanwhile: a journal is played back only onto the register its write left; one
// that does not fit, is damaged or is not the program's is set aside, never applied or
// removed, and the command after goes on.
enum class Found { PlayedBack, SetAside, Dropped, PlayedBackKept };

struct HotJournal {
    const char* name;
    // What the user, the disk or another program did to the folder after the crash.
    void (*after)(const TempFolder& folder);
    Found found;
    const char* command = "export";
    bool posixOnly = false;
};

void PrintTo(const HotJournal& c, std::ostream* os) {
    *os << c.name;
}

const std::string kThree = recordBytes("1", "a") + recordBytes("2", "b") + recordBytes("3", "c");

std::string journalOf(const TempFolder& folder) {
    return folder.file("kojinnen.txt.journal");
}

const HotJournal kHotJournals[] = {
    {"left as it was", [](const TempFolder&) {}, Found::PlayedBack},
    {"a backup put back",
     [](const TempFolder& f) { writeBytes(f.file("kojinnen.txt"), std::string(10 * 42, 'B')); },
     Found::SetAside},
    {"the register deleted",
     [](const TempFolder& f) { std::remove(f.file("kojinnen.txt").c_str()); }, Found::SetAside,
     "import"},
    {"the register changed through a second name",
     [](const TempFolder& f) {
         std::filesystem::create_hard_link(testing_support::fsPath(f.file("kojinnen.txt")),
                                           testing_support::fsPath(f.file("other.txt")));
         storage::RecordFile other(f.file("other.txt"), 42, kRecords);
         other.lock(storage::LockKind::Exclusive);
         other.write(4, recordBytes("4", "written through the other name"));
     },
     Found::SetAside},
    {"a bit flipped in the whole journal",
     [](const TempFolder& f) {
         std::string j = readBytes(journalOf(f));
         j[j.size() - 20] = static_cast<char>(j[j.size() - 20] ^ 0x10);
         writeBytes(journalOf(f), j);
     },
     Found::SetAside},
    {"an old length the register never had",
     [](const TempFolder& f) {
         storage::Journal j{42, 42000, 126, std::string(42, 'x'), std::string(42, 'y')};
         writeBytes(journalOf(f), storage::encode(j));
     },
     Found::SetAside},
    {"a 1 GiB file in the journal's place",
     [](const TempFolder& f) {
         std::filesystem::resize_file(testing_support::fsPath(journalOf(f)),
                                      std::uintmax_t{1} << 30);
     },
     Found::SetAside},
    {"a journal whose data the power cut lost",
     [](const TempFolder& f) {
         writeBytes(journalOf(f), std::string(4096, '\0'));
         writeBytes(f.file("kojinnen.txt"), kThree);
     },
     Found::Dropped},
    {"a file of the user's in the journal's place",
     [](const TempFolder& f) { writeBytes(journalOf(f), "my notes\n"); }, Found::SetAside},
    {"a folder that takes no change",
     [](const TempFolder& f) {
         std::filesystem::permissions(testing_support::fsPath(f.path()),
                                      std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
     },
     Found::PlayedBackKept, "export", true},
};

class HotJournalTest : public testing::TestWithParam<HotJournal> {};

int writesToTheRegister = 0;

TEST_P(HotJournalTest, IsPlayedBackOnlyOntoTheRegisterItsWriteLeft) {
    const HotJournal& c = GetParam();
#ifdef _WIN32
    if (c.posixOnly)
        GTEST_SKIP() << "a read-only folder binds nothing on Windows";
#endif
    const std::string crasher = crasherProgram();
    TempFolder folder;
    const std::string reg = folder.file("kojinnen.txt");
    writeBytes(reg, kThree);
    ASSERT_EQ(
        waitForProgram(startProgram({crasher, folder.path(), "import", "write", "crash"}), 60), 3);
    ASSERT_TRUE(std::filesystem::exists(testing_support::fsPath(journalOf(folder))));
    c.after(folder);
    const std::string arranged = readBytes(reg);
    const auto journalSize = std::filesystem::file_size(testing_support::fsPath(journalOf(folder)));
    const std::string journal = journalSize < (1u << 20) ? readBytes(journalOf(folder)) : "";
    writeBytes(folder.file("in.csv"), "氏名,元号,年,月,日\nd,昭和,1,2,3\n");

    FixedClock clock({2025, 4, 1});
    auto run = [&](std::string& said) {
        std::ostringstream out, err;
        std::optional<PermissionsEnforced> enforced;
        if (c.posixOnly)
            enforced.emplace();
        const int status =
            csvtool::run(std::string(c.command) == "export"
                             ? std::vector<std::string>{"export"}
                             : std::vector<std::string>{"import", folder.file("in.csv")},
                         out, err, clock, [&] { return folder.path(); });
        said = err.str();
        return status;
    };
    std::string said;
    const int status = run(said);
    std::vector<std::string> aside;
    for (const auto& entry :
         std::filesystem::directory_iterator(testing_support::fsPath(folder.path())))
        if (const std::string name = testing_support::utf8Path(entry.path().filename());
            name.starts_with("kojinnen.txt.journal-"))
            aside.push_back(name);
    const std::string quotedJournal = "「" + journalOf(folder) + "」";
    switch (c.found) {
    case Found::PlayedBack:
        EXPECT_EQ(status, 0) << said;
        EXPECT_EQ(readBytes(reg), kThree);
        break;
    case Found::Dropped:
        EXPECT_EQ(status, 0) << said;
        EXPECT_EQ(readBytes(reg), arranged);
        break;
    case Found::SetAside:
        EXPECT_EQ(status, 1) << said;
        EXPECT_NE(said.find(quotedJournal), std::string::npos) << said;
        EXPECT_NE(said.find("という名前に変えて残しました"), std::string::npos) << said;
        EXPECT_EQ(readBytes(reg), arranged);
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(std::filesystem::file_size(testing_support::fsPath(folder.file(aside[0]))),
                  journalSize);
        if (!journal.empty()) {
            EXPECT_EQ(readBytes(folder.file(aside[0])), journal);
        }
        break;
    case Found::PlayedBackKept:
        EXPECT_EQ(status, 1) << said;
        EXPECT_NE(said.find("書き込む前の状態に戻しました"), std::string::npos) << said;
        EXPECT_NE(said.find(quotedJournal + "を消せません"), std::string::npos) << said;
        EXPECT_EQ(readBytes(reg), kThree);
        break;
    }
    EXPECT_EQ(std::filesystem::exists(testing_support::fsPath(journalOf(folder))),
              c.found == Found::PlayedBackKept);

    // The command after goes on, without writing the register again.
    writesToTheRegister = 0;
    storage::faults::setHook([](const char* call) {
        writesToTheRegister +=
            std::string_view(call) == "write" || std::string_view(call) == "truncate";
        return 0;
    });
    const std::string before = readBytes(reg);
    EXPECT_EQ(run(said), 0) << said;
    storage::faults::setHook(nullptr);
    if (std::string(c.command) == "export") {
        EXPECT_EQ(writesToTheRegister, 0);
        EXPECT_EQ(readBytes(reg), before);
    } else {
        EXPECT_EQ(readBytes(reg), recordBytes("1", "d", "\x8F\xBA\x98\x61", "1", "2", "3"));
    }
}

INSTANTIATE_TEST_SUITE_P(Register, HotJournalTest, testing::ValuesIn(kHotJournals),
                         [](const testing::TestParamInfo<HotJournal>& param) {
                             return testName(param.param.name);
                         });

} // namespace
