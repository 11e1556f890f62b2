#include "platform/files_native.h"
#include "platform/system.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include "platform/win32/wide.h"
#endif

namespace {

using namespace testing_support;

// Points the user's data folder into `base` while it lives.
struct UserDataBase {
    explicit UserDataBase(const std::string& base) { set(base.c_str()); }
    ~UserDataBase() { set(nullptr); }
#ifdef _WIN32
    static void set(const char* base) {
        ::SetEnvironmentVariableW(L"LOCALAPPDATA",
                                  base ? platform::win32::wide(base).c_str() : nullptr);
    }
    static constexpr char kName[] = "年齢計算";
#else
    static void set(const char* base) {
        if (base)
            ::setenv("XDG_DATA_HOME", base, 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }
    static constexpr char kName[] = "nenrei";
#endif
};

TEST(DataFolder, ProgramFolderWhenItHoldsADataFileOrTakesNewOnesElseTheUsersOwn) {
    namespace fs = std::filesystem;
    enum class Place { Open, Missing, Closed }; // Closed: no new file can be made there
    struct Case {
        const char* what;
        Place place;
        const char* dataFile;           // put into the program folder first
        bool programFolder;             // the answer
        bool userFolderBlocked = false; // a file where the user's folder would be: an error
    };
    const Case cases[] = {
        {"an empty folder one can write to", Place::Open, nullptr, true},
        {"a folder that is not there", Place::Missing, nullptr, false},
        {"no user's folder to be had", Place::Missing, nullptr, false, true},
#ifndef _WIN32
        {"a folder one cannot write to", Place::Closed, nullptr, false},
        {"a closed folder holding the register", Place::Closed, "kojinnen.txt", true},
        {"a closed folder holding the last entry", Place::Closed, "kojinfl.txt", true},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder place, user;
        // Missing folders on the way to the user's one are made too.
        const std::string base =
            c.userFolderBlocked
                ? platform::joinPath(user.file("file"), "below")
                : platform::joinPath(platform::joinPath(user.path(), "データ"), "置き場");
        writeBytes(user.file("file"), "");
        UserDataBase pointed(base);
        const std::string program = place.file("program");
        if (c.place != Place::Missing)
            fs::create_directory(program);
        if (c.dataFile)
            writeBytes(platform::joinPath(program, c.dataFile), "");
        if (c.place == Place::Closed)
            fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
        std::string folder;
        try {
            PermissionsEnforced enforced;
            folder = platform::dataFolder(program);
        } catch (const platform::UserError& e) {
            folder = e.what();
        }
        const std::string expected = platform::joinPath(base, pointed.kName);
        if (c.userFolderBlocked) {
            EXPECT_NE(folder.find("「" + expected + "」を作れません"), std::string::npos) << folder;
            continue;
        }
        EXPECT_EQ(folder, c.programFolder ? program : expected);
        EXPECT_TRUE(platform::native::exists(folder));
        if (c.place != Place::Missing) { // the probe is gone
            EXPECT_EQ(snapshot(program).size(), c.dataFile ? 1u : 0u);
        }
    }
}

} // namespace
