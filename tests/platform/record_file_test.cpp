#include "platform/files.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace platform;
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
    EXPECT_FALSE(RecordFile(path, 42).eof());
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    writeBytes(path, record(1) + record(2));
    EXPECT_FALSE(RecordFile(path, 42).eof());
    EXPECT_EQ(readBytes(path), record(1) + record(2));
}

TEST_F(RecordFileTest, ReadingPastTheEndGivesZerosAndEndConditionUntilAWholeRead) {
    const std::string content = record(1) + record(2) + record(3).substr(0, 16); // 100 bytes
    writeBytes(path, content);
    RecordFile file(path, 42);
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
    RecordFile file(path, 42);
    file.write(10, record(10));
    file.write(2, "abc");                 // short bytes are zero-filled
    file.write(3, record(3) + record(9)); // long bytes are cut: record 4 stays blank
    // Checked through another reader at once: commands leave the file open.
    EXPECT_EQ(readBytes(path), record(1) + "abc" + std::string(39, '\0') + record(3) +
                                   std::string(6 * 42, '\0') + record(10));
}

TEST_F(RecordFileTest, TableReplacesFilesByNumberDropsFailedOpensAndClosesThemAll) {
    FileTable files;
    files.closeAll(); // nothing open: no failure
    files.openRecord(1, folder.file("other.dat"), 10);
    files.openRecord(2, path, 42);
    RecordFile& again = files.openRecord(2, folder.file("third.dat"), 42);
    EXPECT_EQ(files.record(2), &again);
    EXPECT_EQ(files.openCount(), 2u);
    try {
        files.openRecord(2, folder.path(), 42); // a directory
        ADD_FAILURE() << "expected FileError";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(folder.path()), std::string::npos);
    }
    EXPECT_EQ(files.record(2), nullptr);
    files.closeAll();
    EXPECT_EQ(files.openCount(), 0u);
    EXPECT_EQ(files.record(1), nullptr);
}

} // namespace
