#include "files.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using platform::FileError;
using platform::FileTable;
using platform::RecordFile;
using testing_support::readBytes;
using testing_support::TempFolder;
using testing_support::writeBytes;

const std::string kZeros(42, '\0');

// Record n of a test file: 42 bytes of one letter, A for record 1.
std::string record(int n) {
    return std::string(42, static_cast<char>('A' + n - 1));
}

std::string records(int count) {
    std::string bytes;
    for (int n = 1; n <= count; ++n)
        bytes += record(n);
    return bytes;
}

class RecordFileTest : public testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.file("records.dat");
};

TEST_F(RecordFileTest, OpeningCreatesAnEmptyFileWithoutEndCondition) {
    RecordFile file(path, 42);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_FALSE(file.eof());
    EXPECT_EQ(file.wholeRecords(), 0);
}

TEST_F(RecordFileTest, OpeningNeverTruncates) {
    writeBytes(path, records(3));
    RecordFile file(path, 42);
    EXPECT_FALSE(file.eof());
    EXPECT_EQ(readBytes(path), records(3));
}

struct ReadCase {
    std::string content;
    int n;
    std::string bytes;
    bool eof;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << "record " << c.n << " of " << c.content.size() << " bytes";
}

class RecordFileRead : public RecordFileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(RecordFileRead, GivesTheRecordZeroFilledAndSetsEndConditionWhenShort) {
    writeBytes(path, GetParam().content);
    RecordFile file(path, 42);
    EXPECT_EQ(file.read(GetParam().n), GetParam().bytes);
    EXPECT_EQ(file.eof(), GetParam().eof);
    EXPECT_EQ(readBytes(path), GetParam().content); // reading never changes the file
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordFileRead,
                         testing::Values(ReadCase{records(3), 1, record(1), false},
                                         ReadCase{records(3), 3, record(3), false},
                                         ReadCase{records(3), 4, kZeros, true},
                                         ReadCase{records(3), 7, kZeros, true},
                                         ReadCase{"", 1, kZeros, true},
                                         ReadCase{records(3).substr(0, 100), 3,
                                                  record(3).substr(0, 16) + kZeros.substr(16),
                                                  true}));

TEST_F(RecordFileTest, WholeReadAfterEndConditionClearsIt) {
    writeBytes(path, records(3));
    RecordFile file(path, 42);
    file.read(7);
    ASSERT_TRUE(file.eof());
    EXPECT_EQ(file.read(2), record(2));
    EXPECT_FALSE(file.eof());
}

TEST_F(RecordFileTest, WritingPastTheEndExtendsWithBlankRecords) {
    writeBytes(path, records(3));
    RecordFile file(path, 42);
    file.write(10, record(10));
    // Visible at once to other readers: commands leave the file open.
    EXPECT_EQ(readBytes(path).size(), 420u);
    EXPECT_EQ(file.wholeRecords(), 10);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(file.read(n), n <= 3 || n == 10 ? record(n) : kZeros) << "record " << n;
        EXPECT_FALSE(file.eof());
    }
}

TEST_F(RecordFileTest, WritingInsideOverwritesOnlyThatRecord) {
    writeBytes(path, records(3));
    RecordFile file(path, 42);
    file.write(2, record(9));
    EXPECT_EQ(readBytes(path), record(1) + record(9) + record(3));
}

TEST_F(RecordFileTest, WriteZeroFillsShortBytesAndCutsLongOnes) {
    RecordFile file(path, 42);
    file.write(1, "abc");
    EXPECT_EQ(readBytes(path), "abc" + kZeros.substr(3));
    file.write(1, records(2));
    EXPECT_EQ(readBytes(path), record(1));
}

TEST_F(RecordFileTest, WritingCompletesAPartialLastRecord) {
    writeBytes(path, records(3).substr(0, 100));
    RecordFile file(path, 42);
    file.write(3, record(5));
    EXPECT_EQ(readBytes(path), records(2) + record(5));
}

class RecordFileLength : public RecordFileTest,
                         public testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(RecordFileLength, CountsWholeRecordsRoundingDown) {
    writeBytes(path, std::string(static_cast<std::size_t>(GetParam().first), 'x'));
    EXPECT_EQ(RecordFile(path, 42).wholeRecords(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RecordFileLength,
                         testing::Values(std::pair{0, 0}, std::pair{41, 0}, std::pair{42, 1},
                                         std::pair{100, 2}, std::pair{126, 3}));

TEST_F(RecordFileTest, OpeningADirectoryThrowsNamingThePath) {
    std::filesystem::create_directory(path);
    try {
        RecordFile file(path, 42);
        FAIL() << "expected FileError";
    } catch (const FileError& e) {
        EXPECT_EQ(e.action(), FileError::Action::Open);
        EXPECT_EQ(e.path(), path);
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
}

TEST_F(RecordFileTest, OpeningInAMissingFolderThrows) {
    EXPECT_THROW(RecordFile(folder.file("none/records.dat"), 42), FileError);
    EXPECT_FALSE(std::filesystem::exists(folder.file("none")));
}

TEST_F(RecordFileTest, OpeningAReadOnlyFileThrowsAndLeavesIt) {
    if (testing_support::runningAsRoot())
        GTEST_SKIP() << "root may open read-only files for writing";
    writeBytes(path, records(1));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_THROW(RecordFile(path, 42), FileError);
    EXPECT_EQ(readBytes(path), records(1));
}

TEST_F(RecordFileTest, TableOpensReplacesAndClosesFilesByNumber) {
    FileTable files;
    files.closeAll(); // nothing open: no failure
    RecordFile& first = files.openRecord(2, path, 42);
    files.openRecord(1, folder.file("other.dat"), 10);
    EXPECT_EQ(files.record(2), &first);
    EXPECT_EQ(files.record(3), nullptr);
    EXPECT_EQ(files.openCount(), 2u);

    RecordFile& again = files.openRecord(2, folder.file("third.dat"), 42);
    EXPECT_EQ(files.record(2), &again);
    EXPECT_EQ(again.path(), folder.file("third.dat"));
    EXPECT_EQ(files.openCount(), 2u);

    files.closeAll();
    EXPECT_EQ(files.openCount(), 0u);
    EXPECT_EQ(files.record(1), nullptr);
    files.closeAll();
    EXPECT_EQ(files.openCount(), 0u);
}

TEST_F(RecordFileTest, FailedOpenLeavesNothingUnderThatNumber) {
    FileTable files;
    files.openRecord(2, path, 42);
    std::filesystem::create_directory(folder.file("dir"));
    EXPECT_THROW(files.openRecord(2, folder.file("dir"), 42), FileError);
    EXPECT_EQ(files.record(2), nullptr);
    EXPECT_EQ(files.openCount(), 0u);
}

} // namespace
