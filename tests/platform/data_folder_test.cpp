#include "platform/files_native.h"
#include "platform/system.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include "platform/win32/wide.h"
#endif

namespace {

using namespace testing_support;

// Points the user's data folder into `base` for the life of the object.
class UserDataBase {
public:
    explicit UserDataBase(const std::string& base) {
#ifdef _WIN32
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", platform::win32::wide(base).c_str());
    }
    ~UserDataBase() {
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    }
    static constexpr char kName[] = "年齢計算";
#else
        ::setenv("XDG_DATA_HOME", base.c_str(), 1);
    }
    ~UserDataBase() {
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
        const char* dataFile; // put into the program folder first
        bool programFolder;   // the answer
    };
    const Case cases[] = {
        {"an empty folder one can write to", Place::Open, nullptr, true},
        {"a folder that is not there", Place::Missing, nullptr, false},
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
            platform::joinPath(platform::joinPath(user.path(), "データ"), "置き場");
        UserDataBase pointed(base);
        const std::string program = place.file("program");
        if (c.place != Place::Missing)
            fs::create_directory(program);
        if (c.dataFile)
            writeBytes(platform::joinPath(program, c.dataFile), "");
        if (c.place == Place::Closed)
            fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
        std::string folder;
        {
            PermissionsEnforced enforced;
            folder = platform::dataFolder(program);
        }
        EXPECT_EQ(folder, c.programFolder ? program : platform::joinPath(base, pointed.kName));
        EXPECT_TRUE(platform::native::exists(folder));
        if (c.place != Place::Missing) { // the probe is gone
            EXPECT_EQ(snapshot(program).size(), c.dataFile ? 1u : 0u);
        }
    }
}

TEST(DataFolder, AProgramFolderThatTakesNoFileAndAUserFolderThatCannotBeMadeIsAnError) {
    TempFolder user;
    writeBytes(user.file("file"), "");
    UserDataBase pointed(user.file("file"));
    try {
        platform::dataFolder(user.file("missing"));
        FAIL() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_NE(std::string(e.what()).find(user.file("file")), std::string::npos) << e.what();
    }
}

} // namespace
