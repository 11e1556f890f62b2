#include "core/register.h"
#include "platform/system.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace testing_support;

// Each command stopped at each call to the system it makes, in turn: by a crash there (in
// the middle of a write), or by a disk that fails from there on. Once the next command has
// run, the register holds its old bytes or the whole new ones and no journal; the command
// reported success only if the whole new bytes are there, and a clean take-back only if
// the old ones are.
TEST(Crash, AtEveryCallLeavesTheOldOrTheWholeNewRegister) {
#ifdef _WIN32
    const std::string crasher = platform::joinPath(platform::executableFolder(), "crasher.exe");
#else
    const std::string crasher = platform::joinPath(platform::executableFolder(), "crasher");
#endif
    const std::string records(5 * 42, 'r'), partial = "partial record";
    const struct {
        const char* command;
        std::string old;
    } cases[] = {{"register", records}, // a plain append: no journal
                 {"register", records + partial},
                 {"update", records},
                 {"import", records + partial}};
    for (const auto& c : cases) {
        auto run = [&](const TempFolder& folder, int stop, const char* mode) {
            writeBytes(folder.file("kojinnen.txt"), c.old);
            return waitForProgram(
                startProgram({crasher, folder.path(), c.command, std::to_string(stop), mode}), 60);
        };
        TempFolder clean;
        ASSERT_EQ(run(clean, 0, "crash"), 0);
        const std::string whole = readBytes(clean.file("kojinnen.txt"));
        const int calls = std::stoi(readBytes(clean.file("said.txt")));
        RecordProperty(c.command + std::string(c.old.size() % 42 ? " over a partial record" : ""),
                       calls);
        for (const char* mode : {"crash", "fail"}) {
            for (int stop = 1; stop <= calls; ++stop) {
                SCOPED_TRACE(testing::Message() << c.command << " " << c.old.size() << " bytes, "
                                                << mode << " at call " << stop << " of " << calls);
                TempFolder folder;
                const std::string path = folder.file("kojinnen.txt");
                const int status = run(folder, stop, mode);
                ASSERT_TRUE(status == 0 || status == 1 || status == 3) << status;
                const std::string said =
                    status == 3 ? std::string() : readBytes(folder.file("said.txt"));
                if (status == 0) {
                    EXPECT_EQ(readBytes(path), whole);
                }
                if (said.find("前のまま") != std::string::npos ||
                    said.find("前の状態に戻しました") != std::string::npos) {
                    EXPECT_EQ(readBytes(path), c.old) << said;
                }
                core::Session next{{}, {}, folder.path()};
                core::loadRecord(next, "1");
                next.files.closeAll();
                // A plain append cut short leaves part of a record after the whole ones,
                // which counts as nothing and the next registration overwrites.
                const std::string after = readBytes(path);
                const bool partRecord = c.old.size() % 42 == 0 && after.size() < whole.size() &&
                                        whole.starts_with(after);
                EXPECT_TRUE(after == c.old || after == whole || partRecord)
                    << after.size() << " bytes; " << said;
                EXPECT_FALSE(std::filesystem::exists(path + ".journal"));
            }
        }
    }
}

} // namespace
