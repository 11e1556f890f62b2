#include "core/calculation.h"
#include "core/errors.h"
#include "datafiles/last_entry.h"
#include "storage/record_file.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

using testing_support::readBytes, testing_support::writeBytes;
using Values = std::vector<std::string>;

core::Module1 entry(const Values& v) {
    core::Module1 m;
    std::tie(m.ksimei, m.kgengou, m.knen, m.ktuki, m.khi) = std::tie(v[0], v[1], v[2], v[3], v[4]);
    return m;
}

class LastEntry : public testing::Test {
protected:
    testing_support::TempFolder folder;
    std::string file = folder.file(datafiles::kLastEntryFileName);

    // The values read back, checking that reading gives no message.
    Values read() {
        core::Module1 m = entry(Values(5, "x"));
        EXPECT_NO_THROW(datafiles::readLastEntry(m, folder.path()));
        return {m.ksimei, m.kgengou, m.knen, m.ktuki, m.khi};
    }
    // Files in the folder, temporary ones included.
    std::ptrdiff_t fileCount() {
        return std::distance(std::filesystem::directory_iterator(folder.path()), {});
    }
};

TEST_F(LastEntry, WritesOneCp932LineReplacingTheOldAndReadsItBack) {
    const std::pair<Values, std::string> cases[] = {
        {{"髙橋", "", "08", "08", "01"}, "\"\xFB\xFC\x8B\xB4\",\"\",\"08\",\"08\",\"01\"\r\n"},
        {{"山,太 ", "昭和", "元 ", "8", "26"},
         "\"\x8E\x52,\x91\xBE \",\"\x8F\xBA\x98\x61\",\"\x8C\xB3 \",\"8\",\"26\"\r\n"},
        {{"\"a\"\tb\r\nc\"", "", "1\"", "", ""}, "\"\"a\"\tb\r\nc\"\",\"\",\"1\"\",\"\",\"\"\r\n"}};
    for (const auto& [values, bytes] : cases) {
        datafiles::writeLastEntry(entry(values), folder.path());
        EXPECT_EQ(readBytes(file), bytes);
        EXPECT_EQ(fileCount(), 1);
        EXPECT_EQ(read(), values);
    }
}

TEST_F(LastEntry, UnencodableOrTooLongValueThrowsAndKeepsOldFileOrCreatesNone) {
    const core::Module1 bad = entry({"山田", "昭和", "3😀", "8", "26"});
    EXPECT_THROW(datafiles::writeLastEntry(bad, folder.path()), core::UnencodableError);
    EXPECT_EQ(fileCount(), 0);
    writeBytes(file, "old");
    EXPECT_THROW(datafiles::writeLastEntry(bad, folder.path()), core::UnencodableError);
    // A line longer than the part of the file that is read would not come back whole.
    EXPECT_THROW(datafiles::writeLastEntry(entry({std::string(1100000, 'a'), "", "", "", ""}),
                                           folder.path()),
                 core::EntryTooLongError);
    EXPECT_EQ(readBytes(file), "old");
    EXPECT_EQ(fileCount(), 1);
}

TEST_F(LastEntry, ValueThatWouldReadBackSplitThrowsAndKeepsOldFile) {
    writeBytes(file, "old");
    // The message shows what was typed.
    const std::pair<const char*, const char*> cases[] = {
        {"a\",b", "「\",」"}, {"a\" , b", "「\" ,」"}, {"a\"\r\n", "「\"\r」"}};
    for (const auto& [name, shown] : cases) {
        try {
            datafiles::writeLastEntry(entry({name, "", "1", "2", "3"}), folder.path());
            ADD_FAILURE() << name;
        } catch (const core::AmbiguousTextError& e) {
            EXPECT_NE(std::string(e.what()).find(shown), std::string::npos) << e.what();
        }
        EXPECT_EQ(readBytes(file), "old");
    }
}

TEST_F(LastEntry, MissingFileOrValuesReadAsEmptyWithoutMessage) {
    EXPECT_EQ(read(), Values(5));
    writeBytes(file, "\"\x8F\xBA\x98\x61\",\"\",\"31\"\r\n");
    EXPECT_EQ(read(), (Values{"昭和", "", "31", "", ""}));
    // Half a character at a value's end reads as a space, as at a register field's end.
    writeBytes(file, "\"\x8E\x52\x93\",\"\",\"31\"\r\n");
    EXPECT_EQ(read(), (Values{"山 ", "", "31", "", ""}));
}

} // namespace
