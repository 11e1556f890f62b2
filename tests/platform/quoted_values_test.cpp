#include "files.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Values = std::vector<std::string>;

struct ParseCase {
    std::string text;
    std::size_t count;
    Values values;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text);
}

class ParseQuotedValues : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseQuotedValues, SplitsByReadingRule) {
    EXPECT_EQ(platform::parseQuotedValues(GetParam().text, GetParam().count), GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseQuotedValues,
    testing::Values(ParseCase{"\"a,b\",\"c\"\r\n", 5, {"a,b", "c"}},
                    ParseCase{" x , y ", 5, {"x", "y"}}, ParseCase{"\"a\"\r\n\"b\"", 2, {"a", "b"}},
                    ParseCase{"a\nb\rc", 3, {"a", "b", "c"}},
                    ParseCase{"\" a \",\t\"b\"", 2, {" a ", "b"}},
                    ParseCase{"\"\",\"\",\"x\"", 3, {"", "", "x"}},
                    ParseCase{"a,,b", 3, {"a", "", "b"}}, ParseCase{"\"a\" junk,b", 2, {"a", "b"}},
                    ParseCase{"a b,c", 2, {"a b", "c"}}, ParseCase{"\"a,b", 2, {"a,b"}},
                    ParseCase{"\"1\",\"2\",\"3\"\r\nrest", 2, {"1", "2"}},
                    ParseCase{"\"1\",\"2\"", 0, {}}, ParseCase{"", 5, {}}));

class QuotedFile : public testing::Test {
protected:
    testing_support::TempFolder folder;
    std::string file = folder.file("values.txt");
};

TEST_F(QuotedFile, WritesQuotedValuesEndedByCrLf) {
    platform::writeQuotedLine(file, {"a", "", "b c", "d,e"});
    EXPECT_EQ(testing_support::readBytes(file), "\"a\",\"\",\"b c\",\"d,e\"\r\n");
    EXPECT_EQ(platform::readQuotedValues(file, 4), (Values{"a", "", "b c", "d,e"}));
}

TEST_F(QuotedFile, ReplacesOldContentAndLeavesNoTemporaryFile) {
    testing_support::writeBytes(file, "\"old\",\"old\"\r\n\"more\"\r\n");
    platform::writeQuotedLine(file, {"new"});
    EXPECT_EQ(testing_support::readBytes(file), "\"new\"\r\n");
    auto entries = std::distance(std::filesystem::directory_iterator(folder.path()),
                                 std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);
}

TEST_F(QuotedFile, ReadingFolderThrowsFileErrorNamingIt) {
    std::filesystem::create_directory(file);
    try {
        platform::readQuotedValues(file, 5);
        FAIL() << "no exception";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.path(), file);
        EXPECT_NE(std::string(e.what()).find(file), std::string::npos);
    }
}

TEST_F(QuotedFile, WritingToMissingFolderThrowsFileError) {
    EXPECT_THROW(platform::writeQuotedLine(folder.file("no/such.txt"), {"a"}), platform::FileError);
}

} // namespace
