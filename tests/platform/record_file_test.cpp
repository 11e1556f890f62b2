#include "datafiles/commands.h"
#include "storage/record_file.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace platform;
using namespace storage;
using namespace testing_support;

const std::string kZeros(42, '\0');

// Record n of a test file: 42 bytes of one letter, A for record 1.
std::string record(int n) {
    return std::string(42, static_cast<char>('A' + n - 1));
}

class RecordFileTest : public testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.file("records.dat");
};

TEST_F(RecordFileTest, OpeningCreatesAMissingFileAndNeverTruncates) {
    EXPECT_FALSE(RecordFile(path, 42, kRecords).eof());
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    writeBytes(path, record(1) + record(2));
    EXPECT_FALSE(RecordFile(path, 42, kRecords).eof());
    EXPECT_EQ(readBytes(path), record(1) + record(2));
}

TEST_F(RecordFileTest, ReadingPastTheEndGivesZerosAndEndConditionUntilAWholeRead) {
    const std::string content = record(1) + record(2) + record(3).substr(0, 16); // 100 bytes
    writeBytes(path, content);
    RecordFile file(path, 42, kRecords);
    EXPECT_EQ(file.wholeRecords(), 2);
    EXPECT_EQ(file.read(3), record(3).substr(0, 16) + kZeros.substr(16));
    EXPECT_TRUE(file.eof());
    EXPECT_EQ(file.read(7), kZeros);
    EXPECT_TRUE(file.eof());
    EXPECT_EQ(file.read(2), record(2));
    EXPECT_FALSE(file.eof());
    EXPECT_EQ(readBytes(path), content);
}

TEST_F(RecordFileTest, WritingPastTheEndFillsTheGapWithBlankRecords) {
    writeBytes(path, record(1) + record(2) + record(3));
    RecordFile file(path, 42, kRecords);
    file.write(10, record(10));
    file.write(2, "abc");                 // short bytes are zero-filled
    file.write(3, record(3) + record(9)); // long bytes are cut: record 4 stays blank
    // Checked through another reader at once: commands leave the file open.
    EXPECT_EQ(readBytes(path), record(1) + "abc" + std::string(39, '\0') + record(3) +
                                   std::string(6 * 42, '\0') + record(10));
}

TEST_F(RecordFileTest, TheRegisterOpenedReplacesTheOneLeftOpenAndAFailedOpenLeavesNone) {
    datafiles::Session s;
    s.folder = folder.path();
    s.closeAll(); // nothing open: no failure
    datafiles::Register* first = &datafiles::openRegister(s);
    EXPECT_EQ(first->path(), datafiles::registerPath(folder.path()));
    s.folder = folder.file("kojinnen.txt"); // a file where the folder should be
    try {
        datafiles::openRegister(s);
        ADD_FAILURE() << "expected FileError";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(s.folder), std::string::npos);
    }
    EXPECT_EQ(s.open, nullptr);
}

// Shared locks go together; an exclusive lock keeps out every other, of this program or
// another, for the whole wait with a message naming the file, and lets go on unlock or
// when its program ends.
TEST_F(RecordFileTest, LocksShareOrExcludeForTheWaitAndLetGo) {
    using Kind = RecordFile::LockKind;
    const struct {
        Kind held, wanted;
        bool otherProgram, granted;
    } cases[] = {{Kind::Shared, Kind::Shared, false, true},
                 {Kind::Shared, Kind::Exclusive, false, false},
                 {Kind::Exclusive, Kind::Shared, false, false},
                 {Kind::Shared, Kind::Shared, true, true},
                 {Kind::Shared, Kind::Exclusive, true, false},
                 {Kind::Exclusive, Kind::Exclusive, true, false}};
    constexpr std::chrono::milliseconds kWait{300};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "held " << static_cast<int>(c.held) << ", wanted "
                     << static_cast<int>(c.wanted) << ", other program " << c.otherProgram);
        RecordFile mine(path, 42, kRecords);
        std::optional<RecordFile> held;
        std::optional<LockHolder> other;
        if (c.otherProgram) {
            other.emplace(path, c.held);
        } else {
            held.emplace(path, 42, kRecords);
            held->lock(c.held);
        }
        const auto start = std::chrono::steady_clock::now();
        std::string message = "(no FileError)";
        try {
            mine.lock(c.wanted, kWait);
        } catch (const FileError& e) {
            message = e.what();
        }
        if (c.granted) {
            EXPECT_EQ(message, "(no FileError)");
            continue;
        }
        EXPECT_GE(std::chrono::steady_clock::now() - start, kWait);
        EXPECT_NE(message.find("「" + path + "」を使用できません"), std::string::npos) << message;
        EXPECT_NE(message.find("別のプログラムが使用中です"), std::string::npos) << message;
        held ? held->unlock() : other.reset();
        EXPECT_NO_THROW(mine.lock(c.wanted, kWait));
    }
}

// Readers in other programs that take the file one after another, never all letting go at
// once, still let a waiting writer in within its wait.
TEST_F(RecordFileTest, AWriterGetsInWhileReadersKeepComing) {
    std::vector<std::unique_ptr<LockHolder>> readers;
    for (int i = 0; i < 6; ++i)
        readers.push_back(std::make_unique<LockHolder>(path, RecordFile::LockKind::Shared, true));
    RecordFile writer(path, 42, kRecords);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NO_THROW(writer.lock(RecordFile::LockKind::Exclusive)) << i;
        writer.unlock();
    }
}

} // namespace
