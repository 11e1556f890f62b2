#include "core/quoted_values.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Values = std::vector<std::string>;

TEST(ParseQuotedValues, SplitsByReadingRule) {
    const struct {
        std::string text;
        std::size_t count;
        Values values;
    } cases[] = {{"\"a,b\",\"c\"\r\n", 5, {"a,b", "c"}},
                 {" x , y ", 5, {"x", "y"}},
                 {"a b,c", 2, {"a b", "c"}},
                 {"\"a\"\r\n\"b\"", 2, {"a", "b"}},
                 {"a\nb\rc", 3, {"a", "b", "c"}},
                 {"\"a\" junk,b", 2, {"a", "b"}},
                 {"\"a,b", 2, {"a,b"}},
                 {"\"1\",\"2\",\"3\"\r\nrest", 2, {"1", "2"}},
                 {"", 5, {}},
                 // A quote closes a value only before a separator or the end.
                 {"\"a\"b\",\"c\"\"\r\n", 5, {"a\"b", "c\""}},
                 {"\"a\" ,\"b\"\t\r\n", 5, {"a", "b"}},
                 {"\"a\"b", 5, {"a"}},
                 {"\"a\r\nb\"", 5, {"a\r\nb"}}};
    for (const auto& c : cases)
        EXPECT_EQ(core::parseQuotedValues(c.text, c.count), c.values) << c.text;
}

TEST(WriteQuotedLine, WritesQuotedValuesEndedByCrLf) {
    testing_support::TempFolder folder;
    testing_support::writeQuotedLine(folder.file("v.txt"), {"a", "", "b c", "d,e"});
    EXPECT_EQ(testing_support::readBytes(folder.file("v.txt")), "\"a\",\"\",\"b c\",\"d,e\"\r\n");
}

} // namespace
