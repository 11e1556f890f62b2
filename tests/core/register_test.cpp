#include "core/errors.h"
#include "core/int16.h"
#include "datafiles/commands.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>

namespace {

using testing_support::readBytes;
using testing_support::writeBytes;

// Bytes 5 to 41 of a record of 髙橋, 昭和 31 8 26.
const std::string kTakahashi = "\xFB\xFC\x8B\xB4                \x8F\xBA\x98\x61 31  8   26  ";

// Records 1 to count as the tests store them beforehand: bangou n, name Pn, 平成 n 1 1.
std::string stored(int count) {
    std::string bytes;
    for (int n = 1; n <= count; ++n) {
        std::string s = std::to_string(n);
        bytes += core::encodeRecord(core::assign({s, "P" + s, "平成", s, "1", "1"}), "");
    }
    return bytes;
}

class Register : public testing::Test {
protected:
    testing_support::TempFolder folder;
    std::string path = folder.file("kojinnen.txt");
    datafiles::Session session = [this] {
        datafiles::Session s;
        s.folder = folder.path();
        return s;
    }();
    core::Module1& m = session.m;

    void count() { datafiles::countRegister(session); }
    int append(const std::string& simei = "髙橋") {
        datafiles::Transaction held = datafiles::countRegister(session);
        return datafiles::appendPerson(session, held, {simei, "31", "8", "26"});
    }
    void update(const std::string& number) {
        datafiles::updateRecord(session, {number, "髙橋", "昭和", "31", "8", "26"});
    }
};

TEST_F(Register, CountLeavesWholeRecordsPlusTwoAndIsFullFromRecord32766) {
    count(); // no register yet: created empty
    EXPECT_EQ(m.recno.value(), 2);
    EXPECT_EQ(session.open->path(), path);
    for (auto [bytes, recno] : {std::pair{100, 4}, {126, 5}, {32765 * 42 + 41, 32767}}) {
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(bytes));
        count();
        EXPECT_EQ(m.recno.value(), recno) << bytes;
    }
    for (int records : {32766, 40000}) {
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(records) * 42);
        m.recno.set(123);
        EXPECT_THROW(count(), core::RegisterFullError);
        EXPECT_EQ(m.recno.value(), 123);
    }
}

TEST_F(Register, AppendWritesTheRecordAfterTheWholeRecordsOrNothingWhenItCannot) {
    struct Case {
        std::string content, kept;
        int number;
    };
    m.kgengou = "昭和";
    for (const Case& c :
         {Case{"", "", 1}, {stored(3), stored(3), 4}, {stored(3).substr(0, 100), stored(2), 3}}) {
        writeBytes(path, c.content);
        EXPECT_EQ(append(), c.number);
        EXPECT_EQ(m.recno.value(), c.number);
        EXPECT_EQ(readBytes(path), c.kept + std::to_string(c.number) + "    " + kTakahashi);
    }
    m.kgengou.clear(); // no era chosen: the era field stays blank
    EXPECT_EQ(append(), 4);
    EXPECT_EQ(readBytes(path).substr(3 * 42 + 25, 5), "     ");

    EXPECT_THROW(append("山田😀"), core::UnencodableError);
    EXPECT_EQ(readBytes(path).size(), 4 * 42u);
    session.closeAll(); // Windows keeps an open file from being removed
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_THROW(append(), storage::FileError);
    EXPECT_TRUE(std::filesystem::is_empty(path));
}

TEST_F(Register, LoadAndUpdateThrowTouchingNothingUnlessTheNumberIs1To32767) {
    writeBytes(path, stored(5));
    m.recno.set(17);
    for (const char* typed : {"", "abc", "0", "-1", "0.4", "32768", "40000"}) {
        EXPECT_THROW(datafiles::loadRecord(session, typed), core::RecordNumberError) << typed;
        EXPECT_THROW(update(typed), core::RecordNumberError) << typed;
    }
    EXPECT_EQ(m.recno.value(), 17);
    EXPECT_EQ(readBytes(path), stored(5));
}

TEST_F(Register, LoadAndUpdateAddressTheTypedRecordRoundingHalvesToEven) {
    for (auto [typed, n] : {std::pair{"3", 3}, {" 3 ", 3}, {"2.5", 2}, {"3.5", 4}, {" 7", 7}}) {
        SCOPED_TRACE(typed);
        writeBytes(path, stored(5));
        std::string expected = stored(5), bangou = typed;
        auto at = static_cast<std::size_t>(n - 1) * 42;
        // Past the end the record reads blank; the update grows the file up to it.
        EXPECT_EQ(core::encodeRecord(datafiles::loadRecord(session, typed), ""),
                  n <= 5 ? expected.substr(at, 42) : std::string(42, '\0'));
        EXPECT_EQ(m.recno.value(), n);
        update(typed);
        bangou.resize(5, ' ');
        expected.resize(std::max(at + 42, expected.size()), '\0');
        expected.replace(at, 42, bangou + kTakahashi);
        EXPECT_EQ(m.recno.value(), n);
        EXPECT_EQ(readBytes(path), expected);
    }
}

TEST(Int16, OverflowInEitherDirectionThrowsAndKeepsTheValue) {
    core::Int16 x;
    x.set(32766);
    x += 1;
    EXPECT_THROW(x += 1, std::overflow_error);
    EXPECT_THROW(x.set(32768), std::overflow_error);
    EXPECT_EQ(x.value(), 32767);
    x.set(-32767);
    x -= 1;
    EXPECT_THROW(x -= 1, std::overflow_error);
    EXPECT_THROW(x -= INT_MIN, std::overflow_error);
    EXPECT_THROW(x.set(-32769), std::overflow_error);
    EXPECT_EQ(x.value(), -32768);
}

} // namespace
