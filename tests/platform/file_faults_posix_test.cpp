#include "platform/reasons.h"
#include "storage/record_file.h"
#include "storage/seam.h"
#include "storage/small_file.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace {

using namespace platform;
using namespace storage;
using namespace testing_support;

// The message of the FileError that `action` throws, or a note that none came.
std::string failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileError& e) {
        return e.what();
    }
    return "(no FileError)";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class FileFaults : public testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.file("kojinnen.txt");
};

// A write that the disk cannot take leaves the file exactly as it was, whether it would
// have grown the file, filled a gap or overwritten a partial record at the end.
TEST_F(FileFaults, FailedRecordWriteLeavesEveryByteAsItWas) {
    const std::string three = std::string(42, 'A') + std::string(42, 'B') + std::string(42, 'C');
    const struct {
        const char* name;
        std::string content;
        int record;
        unsigned long limit; // largest size the file may reach
    } cases[] = {
        {"append to an empty file", "", 1, 0},
        {"append, part of the record fits", three, 4, three.size() + 20},
        {"past the end with a gap", three, 7, three.size() + 100},
        {"over a partial record at the end", three + "DDDDDDDDDDDDDDDD", 4, three.size() + 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, c.content);
        RecordFile file(path, 42, kRecords);
        std::string message;
        {
            FileSizeLimit full(c.limit);
            message = failure([&] { file.write(c.record, std::string(42, 'Z')); });
        }
        EXPECT_TRUE(contains(message, path)) << message;
        EXPECT_TRUE(contains(message, "大きすぎます")) << message;
        EXPECT_EQ(readBytes(path), c.content);
        // The file still takes the next write once there is room.
        file.write(c.record, std::string(42, 'Z'));
        EXPECT_EQ(file.read(c.record), std::string(42, 'Z'));
    }
}

TEST_F(FileFaults, ReadOnlyRegisterCanBeReadButNotWritten) {
    writeBytes(path, std::string(42, 'A'));
    ::chmod(path.c_str(), 0444);
    PermissionsEnforced enforced;
    RecordFile file(path, 42, kRecords);
    EXPECT_EQ(file.read(1), std::string(42, 'A'));
    std::string message = failure([&] { file.write(1, std::string(42, 'B')); });
    EXPECT_TRUE(contains(message, "に書き込めません")) << message;
    EXPECT_TRUE(contains(message, "アクセスが拒否されました")) << message;
    EXPECT_EQ(readBytes(path), std::string(42, 'A'));
}

// Files that cannot be opened are refused with the path and the reason, without hanging
// on a pipe and without creating anything.
TEST_F(FileFaults, UnopenableFilesNameFileAndReason) {
    const struct {
        const char* name;
        std::function<void(const std::string& folder, const std::string& file)> arrange;
        const char* reason;
        bool missing = false; // the file does not exist: the reader just finds nothing
    } cases[] = {
        {"no read permission",
         [](const std::string&, const std::string& p) {
             writeBytes(p, "x");
             ::chmod(p.c_str(), 0);
         },
         "アクセスが拒否されました"},
        {"folder without write access",
         [](const std::string& f, const std::string&) { ::chmod(f.c_str(), 0555); },
         "アクセスが拒否されました", true},
        {"named pipe", [](const std::string&, const std::string& p) { ::mkfifo(p.c_str(), 0600); },
         "通常のファイルではありません"},
        {"device",
         [](const std::string&, const std::string& p) {
             std::filesystem::create_symlink("/dev/full", p);
         },
         "通常のファイルではありません"},
        {"folder in its place",
         [](const std::string&, const std::string& p) { std::filesystem::create_directory(p); },
         "同じ名前のフォルダーがあります"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder place;
        std::string file = place.file("kojinfl.txt");
        c.arrange(place.path(), file);
        PermissionsEnforced enforced;
        for (const auto& message : {failure([&] { RecordFile(file, 42, kRecords); }),
                                    failure([&] { readQuotedValues(file, 5); })}) {
            if (c.missing && message == "(no FileError)")
                continue;
            EXPECT_TRUE(contains(message, file)) << message;
            EXPECT_TRUE(contains(message, c.reason)) << message;
        }
        EXPECT_EQ(std::filesystem::exists(file), !c.missing);
    }
}

// Replacing the quoted-values file fails whole: the old file stays, no temporary is left.
// In a folder that may not be written, a file that may is rewritten in place.
TEST_F(FileFaults, FailedReplaceKeepsOldFileAndLeavesNoTemporary) {
    std::string file = folder.file("kojinfl.txt");
    writeBytes(file, "\"old\"\r\n");
    {
        FileSizeLimit full(3);
        EXPECT_TRUE(contains(failure([&] { writeQuotedLine(file, {"new"}); }), "大きすぎます"));
    }
    // A file the user marked read-only is not replaced, in a folder that may be written or
    // not.
    for (mode_t folderMode : {0755u, 0555u}) {
        ::chmod(folder.path().c_str(), folderMode);
        ::chmod(file.c_str(), 0444);
        PermissionsEnforced enforced;
        EXPECT_TRUE(
            contains(failure([&] { writeQuotedLine(file, {"new"}); }), "アクセスが拒否されました"));
    }
    EXPECT_EQ(snapshot(folder.path()),
              (std::map<std::string, std::string>{{"kojinfl.txt", "\"old\"\r\n"}}));
    {
        ::chmod(file.c_str(), 0600);
        PermissionsEnforced enforced;
        writeQuotedLine(file, {"new"});
    }
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_EQ(snapshot(folder.path()),
              (std::map<std::string, std::string>{{"kojinfl.txt", "\"new\"\r\n"}}));
}

// No reason reaches the user as the system's English text: a socket in the register's place
// gives ENXIO, which reads "No such device or address" untranslated.
TEST(ReasonText, IsJapaneseForEveryErrorNumber) {
    EXPECT_EQ(reasonText(ENXIO), "通常のファイルではありません。");
    for (int errnum = 1; errnum < 200; ++errnum) {
        const std::string reason = reasonText(errnum);
        EXPECT_TRUE(std::none_of(reason.begin(), reason.end(), [](char c) {
            return std::isalpha(static_cast<unsigned char>(c));
        })) << reason;
    }
}

TEST_F(FileFaults, HugeFileIsReadOnlyAsFarAsItsValuesNeed) {
    std::string file = folder.file("kojinfl.txt");
    writeBytes(file, "\"" + std::string(8 << 20, 'a'));
    auto values = readQuotedValues(file, 5);
    ASSERT_TRUE(values);
    ASSERT_EQ(values->size(), 1u);
    EXPECT_GE((*values)[0].size() + 1, 1u << 20);
    EXPECT_LT((*values)[0].size(), 2u << 20);
}

// Replacing the file keeps what users set up around it: its permission bits, a symbolic
// link in its place, and no temporary file, also where a stopped save left one.
TEST(WriteQuotedLine, KeepsModeAndLinksAndLeavesNoTemporary) {
    namespace fs = std::filesystem;
    const struct {
        const char* name;
        void (*arrange)(const std::string& folder);
        const char* file; // the file that must hold the new line
        fs::perms perms;
    } cases[] = {
        {"private file",
         [](const std::string& f) {
             writeBytes(f + "/v.txt", "old");
             fs::permissions(f + "/v.txt", fs::perms::owner_read | fs::perms::owner_write);
         },
         "v.txt", fs::perms::owner_read | fs::perms::owner_write},
        {"link to a file elsewhere",
         [](const std::string& f) {
             fs::create_directory(f + "/shared");
             writeBytes(f + "/shared/real.txt", "old");
             fs::permissions(f + "/shared/real.txt", fs::perms::owner_all);
             fs::create_symlink("shared/real.txt", f + "/v.txt");
         },
         "shared/real.txt", fs::perms::owner_all},
        {"temporary left by a stopped save",
         [](const std::string& f) { writeBytes(f + "/v.txt.tmp", "half"); }, "v.txt",
         fs::perms::unknown},
        {"the user's own files of the same name and more",
         [](const std::string& f) {
             for (const char* name : {"/v.txt.backup", "/v.txt.201912", "/v.txt.tmp2"}) {
                 writeBytes(f + name, "mine");
                 fs::last_write_time(f + name,
                                     fs::file_time_type::clock::now() - std::chrono::hours(9));
             }
         },
         "v.txt", fs::perms::unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        c.arrange(folder.path());
        const bool linked = fs::is_symlink(folder.file("v.txt"));
        auto others = snapshot(folder.path());
        others.erase("v.txt");
        others.erase("v.txt.tmp");
        writeQuotedLine(folder.file("v.txt"), {"new"});
        auto after = snapshot(folder.path());
        for (const auto& [name, bytes] : others)
            EXPECT_EQ(after[name], bytes) << name;
        EXPECT_EQ(readBytes(folder.file(c.file)), "\"new\"\r\n");
        EXPECT_EQ(fs::is_symlink(folder.file("v.txt")), linked);
        if (c.perms != fs::perms::unknown) {
            EXPECT_EQ(fs::status(folder.file(c.file)).permissions(), c.perms);
        }
        EXPECT_FALSE(fs::exists(folder.file("v.txt.tmp")));
        EXPECT_FALSE(fs::exists(folder.file("shared/real.txt.tmp")));
    }
    // A file planted as the temporary, linked to another file, is never written through,
    // removed or changed: the save is refused, naming it.
    for (bool hardLink : {true, false}) {
        SCOPED_TRACE(hardLink ? "hard link" : "symbolic link");
        TempFolder folder;
        writeBytes(folder.file("v.txt"), "old");
        writeBytes(folder.file("theirs"), "theirs");
        fs::permissions(folder.file("theirs"), fs::perms::owner_read | fs::perms::owner_write);
        hardLink ? fs::create_hard_link(folder.file("theirs"), folder.file("v.txt.tmp"))
                 : fs::create_symlink("theirs", folder.file("v.txt.tmp"));
        const std::string message =
            failure([&] { writeQuotedLine(folder.file("v.txt"), {"new"}); });
        EXPECT_TRUE(contains(message, folder.file("v.txt.tmp"))) << message;
        EXPECT_TRUE(contains(message, "同じ名前のファイルがあります")) << message;
        EXPECT_EQ(readBytes(folder.file("v.txt")), "old");
        EXPECT_EQ(readBytes(folder.file("theirs")), "theirs");
        EXPECT_EQ(fs::status(folder.file("theirs")).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write);
    }
    // A device would read as an endless value: refused like a pipe.
    TempFolder folder;
    fs::create_symlink("/dev/zero", folder.file("v.txt"));
    EXPECT_TRUE(contains(failure([&] { readQuotedValues(folder.file("v.txt"), 5); }),
                         "通常のファイルではありません"));
}

// A new register, and a replaced last-entry file, are only there for good once their folder
// is on the disk: a folder flush that fails is reported.
TEST_F(FileFaults, AFailedFolderFlushIsReported) {
    faults::setHook(
        [](const char* call) { return std::string_view(call) == "folder flush" ? EIO : 0; });
    const std::string messages[] = {failure([&] { RecordFile(path, 42, kRecords); }), failure([&] {
                                        writeQuotedLine(folder.file("v.txt"), {"new"});
                                    })};
    faults::setHook(nullptr);
    for (const std::string& message : messages)
        EXPECT_TRUE(contains(message, "入出力エラー")) << message;
}

} // namespace
