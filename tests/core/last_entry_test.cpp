#include "calculation.h"
#include "errors.h"
#include "files.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using testing_support::readBytes;
using testing_support::TempFolder;
using testing_support::writeBytes;

// CP932 bytes of the texts used below.
const std::string kYamadaTaro = "\x8E\x52\x93\x63\x91\xBE\x98\x59"; // 山田太郎
const std::string kShowa = "\x8F\xBA\x98\x61";                      // 昭和
const std::string kTakahashi = "\xFB\xFC\x8B\xB4";                  // 髙橋

core::Module1 entry(std::string name, std::string era, std::string year, std::string month,
                    std::string day) {
    core::Module1 m;
    m.ksimei = std::move(name);
    m.kgengou = std::move(era);
    m.knen = std::move(year);
    m.ktuki = std::move(month);
    m.khi = std::move(day);
    return m;
}

std::vector<std::string> values(const core::Module1& m) {
    return {m.ksimei, m.kgengou, m.knen, m.ktuki, m.khi};
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    return names;
}

class LastEntry : public testing::Test {
protected:
    TempFolder folder;
    std::string file = folder.file(core::kLastEntryFileName);
};

struct WriteCase {
    core::Module1 m;
    std::string bytes;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.m.ksimei << '/' << c.m.knen;
}

class LastEntryWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(LastEntryWrite, WritesOneQuotedCp932LineAndReadsItBack) {
    TempFolder folder;
    core::writeLastEntry(GetParam().m, folder.path());
    EXPECT_EQ(readBytes(folder.file(core::kLastEntryFileName)), GetParam().bytes);
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"kojinfl.txt"});

    core::Module1 back;
    EXPECT_EQ(core::readLastEntry(back, folder.path()), std::nullopt);
    EXPECT_EQ(values(back), values(GetParam().m));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, LastEntryWrite,
    testing::Values(WriteCase{entry("山田太郎", "昭和", "31", "8", "26"),
                              "\"" + kYamadaTaro + "\",\"" + kShowa + "\",\"31\",\"8\",\"26\"\r\n"},
                    WriteCase{entry("髙橋", "", "08", "08", "01"),
                              "\"" + kTakahashi + "\",\"\",\"08\",\"08\",\"01\"\r\n"},
                    WriteCase{entry("山田 ", "昭和", "元 ", "8", "26"),
                              "\"\x8E\x52\x93\x63 \",\"" + kShowa +
                                  "\",\"\x8C\xB3 \",\"8\",\"26\"\r\n"},
                    WriteCase{entry("山田,太郎", "昭和", "31", "8", "26"),
                              "\"\x8E\x52\x93\x63,\x91\xBE\x98\x59\",\"" + kShowa +
                                  "\",\"31\",\"8\",\"26\"\r\n"},
                    WriteCase{entry("", "", "", "", ""), "\"\",\"\",\"\",\"\",\"\"\r\n"}));

TEST_F(LastEntry, WritingAgainReplacesTheLine) {
    core::writeLastEntry(entry("山田太郎", "昭和", "31", "8", "26"), folder.path());
    core::writeLastEntry(entry("A", "", "1", "2", "3"), folder.path());
    EXPECT_EQ(readBytes(file), "\"A\",\"\",\"1\",\"2\",\"3\"\r\n");
}

TEST_F(LastEntry, UnencodableCharacterThrowsAndKeepsOldFileOrCreatesNone) {
    const core::Module1 bad = entry("山😀田😀", "昭和", "31", "8", "26");
    EXPECT_THROW(core::writeLastEntry(bad, folder.path()), core::UnencodableError);
    EXPECT_TRUE(folderEntries(folder.path()).empty());

    const std::string old = "\"" + kYamadaTaro + "\",\"\",\"1\",\"2\",\"3\"\r\n";
    writeBytes(file, old);
    try {
        core::writeLastEntry(bad, folder.path());
        FAIL() << "no exception";
    } catch (const core::UnencodableError& e) {
        EXPECT_EQ(e.characters(), std::vector<std::string>{"😀"});
    }
    EXPECT_EQ(readBytes(file), old);
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"kojinfl.txt"});
}

TEST_F(LastEntry, WriteIntoReadOnlyFolderThrowsAndKeepsOldFile) {
    if (testing_support::runningAsRoot())
        GTEST_SKIP() << "root writes regardless of folder permissions";
    writeBytes(file, "old");
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_THROW(core::writeLastEntry(entry("A", "", "1", "2", "3"), folder.path()),
                 platform::FileError);
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(readBytes(file), "old");
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"kojinfl.txt"});
}

TEST_F(LastEntry, WriteOverFolderOfSameNameThrowsAndLeavesNoTemporaryFile) {
    std::filesystem::create_directory(file);
    writeBytes(file + "/keep", "x");
    EXPECT_THROW(core::writeLastEntry(entry("A", "", "1", "2", "3"), folder.path()),
                 platform::FileError);
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_EQ(readBytes(file + "/keep"), "x");
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"kojinfl.txt"});
}

TEST_F(LastEntry, MissingFileGivesEmptyValuesAndNoMessage) {
    core::Module1 m = entry("x", "x", "x", "x", "x");
    EXPECT_EQ(core::readLastEntry(m, folder.path()), std::nullopt);
    EXPECT_EQ(values(m), std::vector<std::string>(5));
}

TEST_F(LastEntry, MissingValuesReadAsEmpty) {
    writeBytes(file, "\"" + kShowa + "\",\"" + kShowa + "\",\"31\"\r\n");
    core::Module1 m = entry("x", "x", "x", "x", "x");
    EXPECT_EQ(core::readLastEntry(m, folder.path()), std::nullopt);
    EXPECT_EQ(values(m), (std::vector<std::string>{"昭和", "昭和", "31", "", ""}));
}

TEST_F(LastEntry, UnreadableFileGivesMessageNamingItAndEmptyValues) {
    std::filesystem::create_directory(file);
    core::Module1 m = entry("x", "x", "x", "x", "x");
    std::optional<std::string> message = core::readLastEntry(m, folder.path());
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find(file), std::string::npos) << *message;
    EXPECT_EQ(values(m), std::vector<std::string>(5));
}

} // namespace
