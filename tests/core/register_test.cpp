#include "errors.h"
#include "int16.h"
#include "register.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

namespace {

using testing_support::readBytes;
using testing_support::TempFolder;
using testing_support::writeBytes;

const std::string kZeros(42, '\0');
// Bytes 5 to 41 of a record of 髙橋, 昭和 31 8 26.
const std::string kTakahashi = "\xFB\xFC\x8B\xB4                \x8F\xBA\x98\x61 31  8   26  ";

// Record n as the tests store it beforehand: bangou n, name Pn, 平成 n 1 1.
std::string stored(int n) {
    std::string s = std::to_string(n);
    return core::encodeRecord(core::KojinRecord::assign(s, "P" + s, "平成", s, "1", "1"), "");
}

std::string storedRecords(int count) {
    std::string bytes;
    for (int n = 1; n <= count; ++n)
        bytes += stored(n);
    return bytes;
}

template <typename Command> void expectFileErrorNaming(const std::string& path, Command command) {
    try {
        command();
        ADD_FAILURE() << "expected FileError";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.path(), path);
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
}

class Register : public testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.file("kojinnen.txt");
    core::Module1 m;
    platform::FileTable files;

    void expectRegisterOpen() {
        ASSERT_NE(files.record(core::kRegisterFileNumber), nullptr);
        EXPECT_EQ(files.record(core::kRegisterFileNumber)->path(), path);
        EXPECT_EQ(files.openCount(), 1u);
    }
    int registerPerson() {
        core::countRegister(m, files, folder.path());
        return core::appendPerson(m, files, folder.path(), {"髙橋", "31", "8", "26"});
    }
    std::array<std::string, 6> update(std::string t1) {
        return {std::move(t1), "髙橋", "昭和", "31", "8", "26"};
    }
};

// Register size in bytes (nullopt: no file) and the recno countRegister leaves.
using CountCase = std::pair<std::optional<std::uintmax_t>, int>;

class RegisterCount : public Register, public testing::WithParamInterface<CountCase> {};

TEST_P(RegisterCount, LeavesWholeRecordsPlusTwoAndKeepsTheRegisterOpen) {
    if (GetParam().first) {
        writeBytes(path, "");
        std::filesystem::resize_file(path, *GetParam().first);
    }
    files.openRecord(1, folder.file("other.dat"), 10);
    core::countRegister(m, files, folder.path());
    EXPECT_EQ(m.recno.value(), GetParam().second);
    expectRegisterOpen();
}

INSTANTIATE_TEST_SUITE_P(Sizes, RegisterCount,
                         testing::Values(CountCase{std::nullopt, 2}, CountCase{0, 2},
                                         CountCase{100, 4}, CountCase{126, 5},
                                         CountCase{32765 * 42 + 41, 32767}));

TEST_F(Register, CountThrowsRegisterFullWithRecnoUnchangedFromRecord32766On) {
    for (std::uintmax_t records : {32766, 32767, 40000}) {
        writeBytes(path, "");
        std::filesystem::resize_file(path, records * 42);
        m.recno.set(123);
        EXPECT_THROW(core::countRegister(m, files, folder.path()), core::RegisterFullError);
        EXPECT_EQ(m.recno.value(), 123);
        EXPECT_EQ(std::filesystem::file_size(path), records * 42);
    }
}

struct AppendCase {
    std::optional<std::string> content;
    int number;
    std::string before; // bytes expected ahead of the new record
};

class RegisterAppend : public Register, public testing::WithParamInterface<AppendCase> {};

TEST_P(RegisterAppend, WritesTheNextRecordNumberedAfterTheWholeRecords) {
    if (GetParam().content)
        writeBytes(path, *GetParam().content);
    m.kgengou = "昭和";
    int n = GetParam().number;
    EXPECT_EQ(registerPerson(), n);
    EXPECT_EQ(m.recno.value(), n);
    std::string bangou = std::to_string(n);
    bangou.resize(5, ' ');
    EXPECT_EQ(readBytes(path), GetParam().before + bangou + kTakahashi);
    expectRegisterOpen();
}

INSTANTIATE_TEST_SUITE_P(Registers, RegisterAppend,
                         testing::Values(AppendCase{std::nullopt, 1, ""}, AppendCase{"", 1, ""},
                                         AppendCase{storedRecords(3), 4, storedRecords(3)},
                                         AppendCase{storedRecords(3).substr(0, 100), 3,
                                                    storedRecords(2)}));

TEST_F(Register, RegisteringTwiceGivesConsecutiveNumbersAndNoEraGivesBlanks) {
    EXPECT_EQ(registerPerson(), 1);
    EXPECT_EQ(registerPerson(), 2);
    std::string bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 84u);
    EXPECT_EQ(bytes.substr(0, 5), "1    ");
    EXPECT_EQ(bytes.substr(42, 5), "2    ");
    EXPECT_EQ(bytes.substr(42 + 25, 5), "     ");
}

TEST_F(Register, AppendingAnUnencodableNameChangesNothing) {
    writeBytes(path, storedRecords(3));
    core::countRegister(m, files, folder.path());
    EXPECT_THROW(core::appendPerson(m, files, folder.path(), {"山田😀", "31", "8", "26"}),
                 core::UnencodableError);
    EXPECT_EQ(readBytes(path), storedRecords(3));
}

TEST_F(Register, RegisterThatCannotBeOpenedThrowsNamingItAndWritesNothing) {
    std::filesystem::create_directory(path);
    m.recno.set(5);
    expectFileErrorNaming(path, [&] { core::countRegister(m, files, folder.path()); });
    expectFileErrorNaming(path, [&] {
        core::appendPerson(m, files, folder.path(), {"髙橋", "31", "8", "26"});
    });
    EXPECT_TRUE(std::filesystem::is_empty(path));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

class RegisterLoad : public Register,
                     public testing::WithParamInterface<std::pair<std::string, int>> {};

TEST_P(RegisterLoad, ReadsTheTypedRecordRoundingHalvesToEven) {
    writeBytes(path, storedRecords(5));
    core::KojinRecord r = core::loadRecord(m, files, folder.path(), GetParam().first);
    int n = GetParam().second;
    EXPECT_EQ(m.recno.value(), n);
    EXPECT_EQ(core::encodeRecord(r, ""), stored(n));
    expectRegisterOpen();
}

INSTANTIATE_TEST_SUITE_P(Numbers, RegisterLoad,
                         testing::Values(std::pair{"3", 3}, std::pair{" 3 ", 3},
                                         std::pair{"2.5", 2}, std::pair{"3.5", 4},
                                         std::pair{"1", 1}, std::pair{"5.0", 5},
                                         std::pair{"\t4", 4}, std::pair{"３", 3}));

TEST_F(Register, LoadingPastTheEndGivesABlankRecordAndLeavesTheFile) {
    writeBytes(path, storedRecords(3));
    for (const char* text : {"9", "4", "32767"}) {
        core::KojinRecord r = core::loadRecord(m, files, folder.path(), text);
        EXPECT_EQ(m.recno.value(), std::stoi(text));
        EXPECT_EQ(r.bangou, std::string(5, '\0'));
        EXPECT_EQ(r.simei, std::string(20, '\0'));
        EXPECT_EQ(r.hi, std::string(4, '\0'));
    }
    EXPECT_EQ(readBytes(path), storedRecords(3));
}

class RegisterBadNumber : public Register, public testing::WithParamInterface<std::string> {};

TEST_P(RegisterBadNumber, LoadThrowsAndOpensNothing) {
    writeBytes(path, storedRecords(3));
    files.openRecord(1, folder.file("other.dat"), 10);
    m.recno.set(17);
    EXPECT_THROW(core::loadRecord(m, files, folder.path(), GetParam()), core::RecordNumberError);
    EXPECT_EQ(m.recno.value(), 17);
    EXPECT_EQ(files.record(core::kRegisterFileNumber), nullptr);
    EXPECT_NE(files.record(1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Texts, RegisterBadNumber,
                         testing::Values("", " ", "abc", "0", "-1", "32768", "0.4", "32767.5",
                                         "3abc", "1e400", "&H3"));

class RegisterUpdate : public Register,
                       public testing::WithParamInterface<std::pair<std::string, int>> {};

TEST_P(RegisterUpdate, OverwritesTheLeadingNumbersRecordWithBangouAsTyped) {
    writeBytes(path, storedRecords(5));
    const auto& [typed, n] = GetParam();
    core::updateRecord(m, files, folder.path(), update(typed));
    EXPECT_EQ(m.recno.value(), n);
    std::string bangou = typed;
    bangou.resize(5, ' ');
    std::string expected = storedRecords(5);
    expected.resize(static_cast<std::size_t>(std::max(n, 5)) * 42, '\0');
    expected.replace(static_cast<std::size_t>(n - 1) * 42, 42, bangou + kTakahashi);
    EXPECT_EQ(readBytes(path), expected);
    expectRegisterOpen();
}

INSTANTIATE_TEST_SUITE_P(Numbers, RegisterUpdate,
                         testing::Values(std::pair{"3", 3}, std::pair{"2.5", 2},
                                         std::pair{"3.5", 4}, std::pair{" 7", 7}, std::pair{"6", 6},
                                         std::pair{"1 2", 12}, std::pair{"5abc", 5},
                                         std::pair{"12.5xyz", 12}));

class RegisterUpdateBad : public Register, public testing::WithParamInterface<std::string> {};

TEST_P(RegisterUpdateBad, ThrowsAndWritesNothing) {
    writeBytes(path, storedRecords(3));
    m.recno.set(17);
    EXPECT_THROW(core::updateRecord(m, files, folder.path(), update(GetParam())),
                 core::RecordNumberError);
    EXPECT_EQ(m.recno.value(), 17);
    EXPECT_EQ(readBytes(path), storedRecords(3));
}

INSTANTIATE_TEST_SUITE_P(Texts, RegisterUpdateBad,
                         testing::Values("", "   ", "abc", "0", "0.5", "-3", "40000", "32768"));

TEST_F(Register, UpdateWithAnUnencodableTextChangesNothing) {
    writeBytes(path, storedRecords(3));
    auto texts = update("2");
    texts[1] = "😀";
    EXPECT_THROW(core::updateRecord(m, files, folder.path(), texts), core::UnencodableError);
    EXPECT_EQ(readBytes(path), storedRecords(3));
}

struct Int16Case {
    int start;
    char op; // '+', '-' or '='
    long long operand;
    int result; // the value afterwards
    bool overflows;
};

class Int16Ops : public testing::TestWithParam<Int16Case> {};

TEST_P(Int16Ops, ThrowsOverflowAndKeepsTheValueOutsideItsRange) {
    const Int16Case& c = GetParam();
    core::Int16 x;
    x.set(c.start);
    auto apply = [&] {
        if (c.op == '+')
            x += static_cast<int>(c.operand);
        else if (c.op == '-')
            x -= static_cast<int>(c.operand);
        else
            x.set(c.operand);
    };
    if (c.overflows)
        EXPECT_THROW(apply(), std::overflow_error);
    else
        EXPECT_NO_THROW(apply());
    EXPECT_EQ(x.value(), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, Int16Ops,
    testing::Values(Int16Case{32766, '+', 1, 32767, false}, Int16Case{32767, '+', 1, 32767, true},
                    Int16Case{-32767, '-', 1, -32768, false},
                    Int16Case{-32768, '-', 1, -32768, true}, Int16Case{5, '-', -3, 8, false},
                    Int16Case{0, '+', INT_MAX, 0, true}, Int16Case{0, '-', INT_MIN, 0, true},
                    Int16Case{-1, '-', INT_MIN, -1, true}, Int16Case{0, '=', 32768, 0, true},
                    Int16Case{0, '=', -32769, 0, true}, Int16Case{7, '=', -32768, -32768, false},
                    Int16Case{7, '=', 1LL << 32, 7, true}));

} // namespace
