#include "csv/csv_tool.h"

#include "datafiles/commands.h"
#include "storage/record_file.h"
#include "storage/seam.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace {

using namespace std::string_literals;
using testing_support::readBytes;
using testing_support::writeBytes;

const std::string kBom = "\xEF\xBB\xBF";

struct Person {
    std::string simei, gengou, nen, tuki, hi;
};

// Names a CSV must quote, characters beyond Shift-JIS, blanks the fields keep (quoted or not).
const std::vector<Person> kPeople{
    {"山田, 太郎", "昭和", "31", " 8", "26"},
    {"髙橋 \"タカ\"", "平成", "元", "1", "8"},
    {"改\r\n行", "令和", "1", "5", "1"},
    {"①〜", "明治", "45", "7", "29"},
    {" 空白 ", "大正", "15", "12", "24"},
    // Stored as typed; exported so that no spreadsheet runs them as formulas.
    {"=cmd|' /C calc'!A0", "令和", "-1", "-A", "'3"},
    {"+SUM(A1)", "平成", "@1", "\t2", "\r3"},
};

const std::string kHeaderRow =
    kBom + "\"番号\",\"氏名\",\"元号\",\"年\",\"月\",\"日\",\"西暦生年\",\"年齢\"\r\n";

// What the export gives for kPeople on 2024-08-25: the day before the first birthday.
const std::string kExported =
    kHeaderRow + "\"1\",\"山田, 太郎\",\"昭和\",\"31\",\" 8\",\"26\",\"1956\",\"67\"\r\n"
                 "\"2\",\"髙橋 \"\"タカ\"\"\",\"平成\",\"元\",\"1\",\"8\",\"1989\",\"35\"\r\n"
                 "\"3\",\"改\r\n行\",\"令和\",\"1\",\"5\",\"1\",\"2019\",\"5\"\r\n"
                 "\"4\",\"①～\",\"明治\",\"45\",\"7\",\"29\",\"1912\",\"112\"\r\n"
                 "\"5\",\" 空白\",\"大正\",\"15\",\"12\",\"24\",\"1926\",\"97\"\r\n"
                 "\"6\",\"'=cmd|' /C calc'!A0\",\"令和\",\"-1\",\"'-A\",\"''3\",\"2017\",\"7\"\r\n"
                 "\"7\",\"'+SUM(A1)\",\"平成\",\"'@1\",\"'\t2\",\"'\r3\",\"1988\",\"36\"\r\n";

std::string quoted(const std::string& value) {
    std::string out = "\"";
    for (char c : value)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// A value as a CSV cell, in quotes only when it must be.
std::string cell(const std::string& value) {
    return value.find_first_of("\",\r\n") == std::string::npos ? value : quoted(value);
}

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

class CsvTool : public testing::Test {
protected:
    testing_support::TempFolder folder;
    std::string reg = folder.file("kojinnen.txt");
    std::string csv = folder.file("in.csv");
    testing_support::FixedClock clock{{2024, 8, 25}};
    std::string out, err;
    bool folderKnown = true;

    int run(const std::vector<std::string>& args) {
        std::ostringstream o, e;
        int status = csvtool::run(args, o, e, clock, [&] {
            if (!folderKnown)
                throw platform::unknownFolder(ENOENT);
            return folder.path();
        });
        out = o.str();
        err = e.str();
        return status;
    }
    int import(const std::string& text, const std::string& path) {
        writeBytes(csv, text);
        return run({"import", csv, path});
    }
};

TEST_F(CsvTool, ImportStoresRowsAsTheRegisterButtonAndExportReadsThemBack) {
    // The register button, person by person, into a register of its own.
    std::string byButton = folder.file("button.txt");
    {
        testing_support::TempFolder other;
        datafiles::Session s;
        s.folder = other.path();
        for (const Person& p : kPeople) {
            datafiles::Transaction held = datafiles::countRegister(s);
            s.m.kgengou = p.gengou;
            datafiles::appendPerson(s, held, {p.simei, p.nen, p.tuki, p.hi});
        }
        s.closeAll();
        std::filesystem::copy_file(datafiles::registerPath(other.path()), byButton);
    }
    // Header first or columns shuffled with one more; BOM or none; CR LF or LF.
    struct Layout {
        std::string start, end;
        bool shuffled;
    };
    for (const Layout& l : {Layout{kBom, "\r\n", false}, {"", "\n", true}, {kBom, "\n", true}}) {
        std::filesystem::remove(reg);
        std::string text =
            l.start + (l.shuffled ? "日,メモ,元号,月,氏名,年" : "氏名,元号,年,月,日") + l.end;
        for (const Person& p : kPeople)
            text += (l.shuffled ? quoted(p.hi) + ",\"x,\"\"y\",\"" + p.gengou + "\"," +
                                      cell(p.tuki) + "," + quoted(p.simei) + "," + cell(p.nen)
                                : quoted(p.simei) + "," + p.gengou + "," + cell(p.nen) + "," +
                                      cell(p.tuki) + "," + cell(p.hi)) +
                    l.end;
        EXPECT_EQ(import(text, reg), 0) << err;
        EXPECT_EQ(err, "7 件を追加しました。\n");
        EXPECT_EQ(readBytes(reg), readBytes(byButton));
    }
    EXPECT_EQ(run({"export", "--on", "2024-08-25"}), 0) << err;
    EXPECT_EQ(out, kExported);
    EXPECT_EQ(import(out, reg), 0) << err; // an exported file imports back, appended
    std::string all = readBytes(reg), button = readBytes(byButton);
    ASSERT_EQ(all.size(), 14 * 42u);
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(all.substr((7 + i) * 42 + 5, 37), button.substr(i * 42 + 5, 37));
}

TEST_F(CsvTool, ExportGivesARowPerRecordBlankOrUnknownEraAndReportsAPartialRecord) {
    std::string good = core::encodeRecord(core::assign({"1", "佐藤", "昭和X", "64", "1", "7"}), "");
    std::string odd = core::encodeRecord(core::assign({"x", "鈴木", "西暦", "1990", "2", "3"}), "");
    odd[7] = '\0'; // the name shows up to the NUL
    writeBytes(reg, good + std::string(42, '\0') + odd + "12345");
    EXPECT_EQ(run({"export", "--on=2025-01-07", reg}), 0);
    EXPECT_EQ(out, kHeaderRow + "\"1\",\"佐藤\",\"昭和X\",\"64\",\"1\",\"7\",\"1989\",\"36\"\r\n"
                                "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                                "\"x\",\"鈴\",\"西暦\",\"1990\",\"2\",\"3\",\"\",\"\"\r\n");
    EXPECT_NE(err.find("5 バイト"), std::string::npos) << err;
    // The other reckonings on the same date follow the age, empty where it is.
    EXPECT_EQ(run({"export", "--more", "--on=2025-01-07", reg}), 0);
    EXPECT_EQ(
        out,
        kBom +
            "\"番号\",\"氏名\",\"元号\",\"年\",\"月\",\"日\",\"西暦生年\",\"年齢\",\"法定"
            "年齢\",\"数え年\",\"学年\",\"干支\",\"長寿祝い\"\r\n"
            "\"1\",\"佐藤\",\"昭和X\",\"64\",\"1\",\"7\",\"1989\",\"36\",\"36\",\"37\",\"\","
            "\"己巳\",\"\"\r\n" +
            "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
            "\"x\",\"鈴\",\"西暦\",\"1990\",\"2\",\"3\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
}

TEST_F(CsvTool, ExportFindsARegisterInAFolderWithAJapaneseName) {
    const std::string japanese = folder.file("名簿");
    std::filesystem::create_directory(std::u8string(japanese.begin(), japanese.end()));
    const std::string inside = platform::joinPath(japanese, "kojinnen.txt");
    writeBytes(csv, "氏名,元号,年,月,日\n山田,昭和,1,2,3\n");
    ASSERT_EQ(run({"import", csv, inside}), 0) << err;
    EXPECT_EQ(run({"export", inside}), 0) << err;
    EXPECT_NE(out.find("山田"), std::string::npos);
}

TEST_F(CsvTool, ABadRowOrAFullRegisterWritesNothingAndNamesEveryProblem) {
    const std::string head = "氏名,元号,年,月,日\n";
    const std::string good = "ok,昭和,1,2,3\n";
    struct Case {
        std::string csv;
        std::vector<std::string> said; // in the message, in order
        std::int64_t records = 2;
    };
    const Case cases[] = {
        {head + good + "１２３４５６７８９０１,昭和,1,2,3\n", {"3 行目「氏名」: 20 バイト"}},
        {head + "\"a\nb\",西暦,12345,2,3\n" + good + ",,1,2,3\n",
         {"2 行目「元号」", "2 行目「年」: 4 バイト", "5 行目「元号」: 元号が空"}},
        {head + good + "😀,昭和,1,2,3\n\"a\0b\",昭和,1,2,3\n"s + good,
         {"3 行目「氏名」:", "「😀」", "4 行目「氏名」: NUL"}},
        {head + good + "a,昭和,1,2,3,4\n", {"3 行目: 値が 6 個"}},
        {"氏名,元号,年,月\n" + good, {"列「日」がありません"}},
        {"氏名,元号,年,月,日,年\n", {"列「年」が 2 つ以上"}},
        {"", {"ヘッダー行: ありません"}},
        {head + good + "a\"b,昭和,1,2,3\n", {"3 行目: 引用符"}},
        {head + good + "\"ab,昭和,1,2,3\n", {"3 行目: ファイルの終わりで引用符"}},
        {head + good + "\x8e\x52,昭和,1,2,3\n", {"3 行目: UTF-8"}},
        // Read as a stream in little memory: more rows than any register takes, a line
        // without end, problems past the hundredth only counted.
        {head + repeated(good, 32767), {"32768 行目で読むのをやめました"}, 0},
        {head + std::string(3 << 20, 'a'), {"2 行目: 1 行が 1 MB を超えています"}},
        {head + repeated(",,1,2,3\n", 102), {"101 行目「元号」", "ほかに 2 件の誤り"}},
        {head + good + good, {"32766 件までです。今 32765 件"}, 32765},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv);
        std::string before = std::string(static_cast<std::size_t>(c.records) * 42, 'r') + "tail";
        writeBytes(reg, before);
        EXPECT_EQ(import(c.csv, reg), 1);
        EXPECT_EQ(readBytes(reg), before);
        std::size_t at = 0;
        for (const std::string& s : c.said) {
            at = err.find(s, at);
            EXPECT_NE(at, std::string::npos) << s << " in\n" << err;
        }
        EXPECT_NE(err.find("何も書き込んでいません"), std::string::npos) << err;
    }
    EXPECT_EQ(import(head + good, reg), 0) << err; // the 32766th record still goes in
    EXPECT_EQ(readBytes(reg).substr(32765 * 42, 5), "32766");
}

TEST_F(CsvTool, AFailedWritePutsTheRegisterBackByteForByte) {
    const std::string before = std::string(3 * 42, 'r') + "tail"; // 130 bytes
    std::string text = "氏名,元号,年,月,日\n";
    for (int i = 0; i < 3; ++i)
        text += "a,昭和,1,2,3\n";
    // A disk that fails the records' write, their flush, or stops half-way through them.
    static std::string failing;
    static int calls;
    for (const char* call : {"write", "flush", "tear"}) {
        SCOPED_TRACE(call);
        failing = call;
        calls = 0;
        writeBytes(reg, before);
        storage::faults::setHook([](const char* name) -> int {
            if (std::string_view(name) != (failing == "tear" ? "write" : failing) || calls++)
                return 0;
            return failing == "tear" ? storage::faults::kTear : ENOSPC;
        });
        EXPECT_EQ(import(text, reg), 1);
        storage::faults::setHook(nullptr);
        EXPECT_EQ(readBytes(reg), before);
        EXPECT_NE(err.find("前の状態に戻しました"), std::string::npos) << err;
    }
#ifndef _WIN32
    // A signal that ends programs from the terminal, come while the records are written,
    // takes them back instead.
    static int raised;
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) {
        SCOPED_TRACE(signal);
        raised = signal;
        writeBytes(reg, before);
        storage::faults::setHook([](const char* call) {
            if (std::string_view(call) == "flush")
                std::raise(raised);
            return 0;
        });
        EXPECT_EQ(import(text, reg), 1);
        storage::faults::setHook(nullptr);
        EXPECT_EQ(readBytes(reg), before);
        EXPECT_NE(err.find("中断"), std::string::npos) << err;
        EXPECT_NE(err.find("前の状態に戻しました"), std::string::npos) << err;
    }
#endif
    std::filesystem::permissions(reg, std::filesystem::perms::owner_read);
    testing_support::PermissionsEnforced enforced;
    EXPECT_EQ(import(text, reg), 1); // a register that may only be read
    EXPECT_EQ(readBytes(reg), before);
    EXPECT_NE(err.find("前のままです"), std::string::npos) << err;
}

TEST_F(CsvTool, CommandLineStatusIsTwoForUsageOneForAMissingFileAndThreeForADefect) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string said = {};
        bool folderKnown = true;
        storage::faults::Hook defect = nullptr; // makes the tool fail as no data can
    };
#ifndef _WIN32
    std::filesystem::create_symlink("loop.csv", folder.file("loop.csv"));
#endif
    const std::string other = folder.file("other.txt");
    writeBytes(other, std::string(42, 'r'));
    writeBytes(csv, "氏名,元号,年,月,日\na,昭和,1,2,3\n");
    auto throwing = [](const char* call) -> int { throw std::logic_error(call); };
    auto throwingAtWrite = [](const char* call) -> int {
        if (std::string_view(call) == "write")
            throw std::logic_error(call);
        return 0;
    };
    const Case cases[] = {
        {{}, 2},
        {{"list"}, 2},
        {{"export", "--on"}, 2},
        {{"export", "--on", "2023-02-29"}, 2},
        {{"export", "--on=2024-8-01"}, 2},
        {{"export", "a", "b"}, 2},
        {{"import"}, 2},
        {{"import", "--on", "2024-01-01", "a.csv"}, 2},
        {{"export", "--help"}, 0},
        {{"--help"}, 0, "", false},            // the usage says the folder cannot be had
        {{"export", "--on", "2024-02-29"}, 1}, // no register in the program's folder
        {{"import", folder.file("missing.csv")}, 1, "見つかりません"},
#ifndef _WIN32 // links that loop are a POSIX matter
        {{"import", folder.file("loop.csv")}, 1, "循環しています"},
#endif
        {{"export"}, 1, "フォルダーが分からない", false}, // and no other folder is used
        {{"export", other}, 3, "内部エラー", true, throwing},
        {{"import", csv, other}, 3, "名簿が書き換えられた可能性", true, throwingAtWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        folderKnown = c.folderKnown;
        storage::faults::setHook(c.defect);
        EXPECT_EQ(run(c.args), c.status);
        storage::faults::setHook(nullptr);
        if (c.status == 0) {
            EXPECT_EQ(out.rfind("使い方", 0), 0u);
            EXPECT_NE(out.find("データファイルのフォルダー: " +
                               (c.folderKnown ? folder.path() : "決められません")),
                      std::string::npos)
                << out;
        } else
            EXPECT_EQ(err.find("--help") != std::string::npos, c.status == 2) << err;
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
    }
    EXPECT_FALSE(std::filesystem::exists(reg)); // export never creates the register
    EXPECT_EQ(readBytes(other), std::string(42, 'r'));
}

} // namespace
