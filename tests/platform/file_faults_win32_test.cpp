// The faults Wine can make on Windows: the POSIX ones (permissions, a full disk, pipes) are
// in file_faults_test.cpp; a lock held by another program is in record_file_test.cpp.

#include "platform/standard_streams.h"
#include "platform/system.h"
#include "platform/win32/wide.h"
#include "storage/record_file.h"
#include "storage/small_file.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <windows.h>

namespace {

using namespace platform;
using namespace storage;
using namespace testing_support;

const std::string kNone = "(no FileError)";

std::string failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileError& e) {
        return e.what();
    }
    return kNone;
}

std::wstring wide(const std::string& path) {
    return platform::win32::wide(path);
}

// A handle of the test's, held while the case runs.
using Held = std::unique_ptr<void, decltype(&::CloseHandle)>;

// Each file service on a file that Windows keeps from it: a message naming the file and
// the reason, and every byte of the folder as it was, no temporary left.
TEST(Win32FileFaults, RefusedFilesNameFileAndReasonAndStayAsTheyWere) {
    const struct {
        const char* name;
        const char* file;
        std::function<Held(const std::string&)> arrange;
        const char* reason;
        bool old = false;      // the file holds an old line, which must stay
        bool readable = false; // opened and read all the same; only writing fails
    } cases[] = {
        {"read-only file", "kojinfl.txt",
         [](const std::string& p) {
             writeBytes(p, "\"old\"\r\n");
             ::SetFileAttributesW(wide(p).c_str(), FILE_ATTRIBUTE_READONLY);
             return Held(nullptr, &::CloseHandle);
         },
         "アクセスが拒否されました", true, true},
        {"folder in its place", "kojinfl.txt",
         [](const std::string& p) {
             std::filesystem::create_directory(fsPath(p));
             return Held(nullptr, &::CloseHandle);
         },
         "同じ名前のフォルダーがあります"},
        {"held open without sharing", "kojinfl.txt",
         [](const std::string& p) {
             writeBytes(p, "\"old\"\r\n");
             return Held(::CreateFileW(wide(p).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr),
                         &::CloseHandle);
         },
         "別のプログラムが使用中です", true},
        {"device", "NUL", [](const std::string&) { return Held(nullptr, &::CloseHandle); },
         "通常のファイルではありません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder place;
        const std::string file = place.file(c.file);
        Held held = c.arrange(file);
        const std::string messages[] = {
            failure([&] { RecordFile(file, 42, kRecords).write(1, "x"); }),
            failure([&] { writeQuotedLine(file, {"new"}); }),
            failure([&] {
                auto values = readQuotedValues(file, 5);
                if (c.readable) {
                    EXPECT_EQ(values, (std::vector<std::string>{"old"}));
                }
            }),
        };
        for (const std::string& message : messages) {
            if (c.readable && &message == &messages[2]) {
                EXPECT_EQ(message, kNone);
                continue;
            }
            EXPECT_NE(message.find("「" + file + "」"), std::string::npos) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
        held.reset();
        const std::map<std::string, std::string> kept{{c.file, "\"old\"\r\n"}};
        EXPECT_EQ(snapshot(place.path()), c.old ? kept : decltype(kept){});
    }
}

// Standard output redirected to a file, a pipe or NUL gets the UTF-8 bytes as written: CR LF
// stays CR LF, and Japanese stays UTF-8 whatever the ANSI code page.
TEST(StandardStreams, RedirectedOutputGetsTheBytesAsWritten) {
    TempFolder place;
    const std::string file = place.file("出力.csv");
    const HANDLE console = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE target = ::CreateFileW(wide(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(target, INVALID_HANDLE_VALUE);
    ::SetStdHandle(STD_OUTPUT_HANDLE, target);
    std::ostream& out = platform::standardStream(platform::StandardStream::Output);
    out << "a\r\n\xE9\xAB\x99\r\n" << std::flush; // 髙
    ::SetStdHandle(STD_OUTPUT_HANDLE, console);
    ::CloseHandle(target);
    EXPECT_TRUE(out.good());
    EXPECT_EQ(readBytes(file), "a\r\n\xE9\xAB\x99\r\n");
}

} // namespace
