#include "tests/gui/fault_cases.h"
#include "tests/gui/gui_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cctype>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>

using testing_support::readBytes;
using testing_support::recordBytes;
using testing_support::snapshot;
using testing_support::writeBytes;

namespace {

const char kEntry[] =
    "\"\x8E\x52\x93\x63\",\"\x8F\xBA\x98\x61\",\"31\",\"08\",\"26\"\r\n"; // 山田, 昭和

class FaultTest : public GuiFixture {
protected:
    forms::keisan& k() { return program().keisanForm(); }
    forms::menyu& menu() { return program().menyuForm(); }
    std::string lastEntry() const { return folder.file("kojinfl.txt"); }
    std::string registerFile() const { return folder.file("kojinnen.txt"); }

    void fillEntry(const QString& name) {
        box(k(), "Text7")->setText(name);
        option(k(), "Option3")->setChecked(true);
        box(k(), "Text1")->setText("31");
        box(k(), "Text2")->setText("8");
        box(k(), "Text3")->setText("26");
        box(k(), "Text4")->setText("2019");
        box(k(), "Text5")->setText("08");
        box(k(), "Text6")->setText("25");
    }

    void run(Command command, const QString& name = "山田") {
        switch (command) {
        case Command::Start:
            k().show();
            break;
        case Command::Execute:
            fillEntry(name);
            click(k(), "Command1");
            break;
        case Command::Register:
            fillEntry(name);
            click(k(), "touroku");
            break;
        case Command::Load:
            box(k(), "Text10")->setText("2");
            click(k(), "Command4");
            break;
        case Command::Update: { // two records past the end of the register
            click(k(), "Command2");
            click(menu(), "Command1");
            auto& u = program().kousinForm();
            box(u, "Text1", 0)->setText("5");
            box(u, "Text2", 0)->setText(name);
            click(u, "Command2");
            break;
        }
        case Command::Search:
            click(k(), "Command2");
            dialogs.inputAnswers = {""};
            click(menu(), "Command3");
            break;
        case Command::Listing:
            click(k(), "Command2");
            click(menu(), "Command4");
            break;
        }
    }

    // The program answers the next command: back on the calculation screen, a calculation
    // shows its results.
    void expectStillAnswers() {
        if (program().kousinForm().isVisible())
            click(program().kousinForm(), "Command1");
        if (menu().isVisible())
            click(menu(), "Command2");
        ASSERT_TRUE(k().isVisible());
        fillEntry("山田");
        box(k(), "Text8")->clear();
        click(k(), "Command1");
        EXPECT_EQ(box(k(), "Text8")->text(), "1956");
        EXPECT_EQ(box(k(), "Text9")->text(), "62");
    }
};

// The faults every system can make; those only one can make come from systemFaultCases().
std::vector<FaultCase> faultCases() {
    const std::string folderThere = "同じ名前のフォルダーがあります";
    auto folderInPlace = [](const std::string& path) {
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
    };
    auto randomRegister = [](const std::string& f) {
        std::mt19937 random(42);
        std::string bytes(10 * 42 + 17, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random());
        writeBytes(f + "/kojinnen.txt", bytes);
    };
    auto lastEntryBytes = [](std::string bytes) {
        return [bytes](const std::string& f) { writeBytes(f + "/kojinfl.txt", bytes); };
    };
    std::vector<FaultCase> cases{
        {"folder as register: register",
         [=](const std::string& f) { folderInPlace(f + "/kojinnen.txt"); },
         Command::Register,
         {"kojinnen.txt", folderThere}},
        {"folder as register: load",
         [=](const std::string& f) { folderInPlace(f + "/kojinnen.txt"); },
         Command::Load,
         {"kojinnen.txt", folderThere}},
        {"folder as register: listing",
         [=](const std::string& f) { folderInPlace(f + "/kojinnen.txt"); },
         Command::Listing,
         {"kojinnen.txt", folderThere}},
        {"folder as last entry: start",
         [=](const std::string& f) { folderInPlace(f + "/kojinfl.txt"); },
         Command::Start,
         {"kojinfl.txt", folderThere}},
        {"folder as last entry: execute",
         [=](const std::string& f) { folderInPlace(f + "/kojinfl.txt"); },
         Command::Execute,
         {"kojinfl.txt", folderThere}},
        {"random register: listing", randomRegister, Command::Listing, {}},
        {"random register: search", randomRegister, Command::Search, {}},
        {"random register: load", randomRegister, Command::Load, {}},
        {"last entry of 1 MB without line end: start",
         lastEntryBytes("\"" + std::string(1 << 20, 'x')),
         Command::Start,
         {}},
        {"last entry with unbalanced quotes: start",
         lastEntryBytes("\"a,\"b\",\"\x8F\xBA\x98\x61\",\"3"),
         Command::Start,
         {}},
        {"last entry with a NUL byte: start",
         lastEntryBytes(std::string("\"a\0b\",\"\",\"1\",\"2\",\"3\"\r\n", 21)),
         Command::Start,
         {}},
    };
    const std::vector<FaultCase> more = systemFaultCases();
    cases.insert(cases.end(), more.begin(), more.end());
    return cases;
}

class Faults : public FaultTest, public testing::WithParamInterface<FaultCase> {};

// Each fault: the one message names the file and the reason, no stored byte changes, and
// the program answers the next command.
TEST_P(Faults, AreReportedChangeNothingAndLeaveProgramUsable) {
    const FaultCase& c = GetParam();
    {
        writeBytes(lastEntry(), kEntry);
        writeBytes(registerFile(),
                   recordBytes("1", "A") + recordBytes("2", "B") + recordBytes("3", "C"));
        if (c.command != Command::Start)
            k().show();
        if (c.arrange)
            c.arrange(folder.path());
        const auto before = snapshot(folder.path());
        dialogs.reset();
        {
            SystemFaultConditions conditions(c);
            run(c.command);
        }
        if (c.command == Command::Execute) {
            EXPECT_EQ(box(k(), "Text8")->text(), "1956"); // the results are shown all the same
        }
        const auto errors = dialogs.errors();
        ASSERT_EQ(errors.size(), c.says.empty() ? 0u : 1u)
            << (errors.empty() ? "" : errors[0].text);
        for (const auto& part : c.says)
            EXPECT_NE(errors[0].text.find(part), std::string::npos) << errors[0].text;
        restoreFolder(folder.path());
        EXPECT_EQ(snapshot(folder.path()), before);
        expectStillAnswers();
    }
}

// Names with separators and control characters are stored and read back exactly; a name
// that a file cannot hold is refused with a message that names the characters, and the
// files keep every byte.
TEST_F(FaultTest, NamesWithSeparatorsControlsAndEmojiAreKeptOrRefusedWhole) {
    const struct {
        QString name;
        bool lastEntryTakesIt; // the quoted-values file can hold it unambiguously
        bool registerTakesIt;  // code page 932 can hold it
        const char* says;      // part of the message when refused
    } cases[] = {
        {"a\"b\"", true, true, ""},
        {"a,b", true, true, ""},
        {"a\r\nb", true, true, ""},
        {"a\tb", true, true, ""},
        {"a\",\"b", false, true, "入力の中の「\",」"},
        {"山田😀", false, false, "😀"},
    };
    k().show();
    int registered = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        for (Command command : {Command::Execute, Command::Register}) {
            const auto before = snapshot(folder.path());
            dialogs.reset();
            run(command, c.name);
            bool taken = command == Command::Execute ? c.lastEntryTakesIt : c.registerTakesIt;
            if (taken) {
                EXPECT_TRUE(dialogs.errors().empty());
            } else {
                ASSERT_EQ(dialogs.errors().size(), 1u);
                EXPECT_NE(dialogs.errors()[0].text.find(c.says), std::string::npos)
                    << dialogs.errors()[0].text;
                EXPECT_EQ(snapshot(folder.path()), before);
            }
            if (!taken)
                continue;
            if (command == Command::Execute) {
                // A program started afresh on the folder shows the name as typed.
                testing_support::ScriptedDialogs quiet;
                app::Program again({&quiet, &clock, folder.path(), [] {}});
                EXPECT_EQ(box(again.keisanForm(), "Text7")->text(), c.name);
            } else {
                box(k(), "Text10")->setText(QString::number(++registered));
                click(k(), "Command4");
                EXPECT_EQ(box(k(), "Text7")->text().trimmed(), c.name.trimmed());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Faults, testing::ValuesIn(faultCases()),
                         [](const testing::TestParamInfo<FaultCase>& param) {
                             return testing_support::testName(param.param.name);
                         });

} // namespace
