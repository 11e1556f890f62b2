#pragma once

#include "platform/date.h"
#include "platform/user_error.h"

#include <array>
#include <string>
#include <string_view>

// The date and the program folder, behind interfaces that tests replace.
namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual Date today() const = 0;
};

// Today's date in local time.
class SystemClock : public Clock {
public:
    Date today() const override;
};

// The local date and time as 20261208-153012, for names that tell when a file was made.
std::string localTimestamp();

// This computer as its programs see the folder `folder`: its name, its machine identity and
// the file system the folder is on. Programs with the same identity share their byte-range
// locks on the folder's files; programs with another (on another computer, or reaching the
// same share through another mount) do not.
std::string computerIdentity(const std::string& folder);
// The computer's name, as users know it.
std::string computerName();
// This program's process number.
long processId();

// Folder of the running executable (UTF-8, no trailing slash).
// Throws UserError when the system cannot tell it: the program must then stop before it
// touches any file, rather than use another folder.
std::string executableFolder();

// The data files: the register and the last entry (core names each of them too).
inline constexpr std::array<std::string_view, 2> kDataFileNames{"kojinnen.txt", "kojinfl.txt"};

// Folder of the data files (UTF-8, no trailing slash). The program folder when it holds a
// data file already or takes new files (an unpacked ZIP, a per-user install); otherwise, as
// under Program Files or /usr, the user's own data folder (userDataFolder()). Throws
// UserError when the program folder is unknown (see executableFolder()) or the user's folder
// cannot be made.
std::string dataFolder();
// The same rule for the program folder `programFolder`.
std::string dataFolder(const std::string& programFolder);

// The user's own folder for the data files, made when missing: %LOCALAPPDATA%\年齢計算 on
// Windows, $XDG_DATA_HOME/nenrei (by default ~/.local/share/nenrei) elsewhere.
std::string userDataFolder();

// Lets a write past the process's file-size limit fail with an error, which the file
// services report and roll back, instead of ending the process (POSIX's SIGXFSZ).
void failWritesPastSizeLimit();

// Makes sure that the standard descriptors 0, 1 and 2 are open before the program opens
// any file, so that a file it opens never takes the place of one, and output meant for
// the terminal never lands in a data file: any that is closed is opened on the null device
// in the opposite direction (0 for writing, 1 and 2 for reading), so that using it fails.
// False when that cannot be done; the program must then end without touching any file.
bool openStandardDescriptors();

// While it lives, the signals that end a program from its terminal or its session (SIGHUP,
// SIGINT, SIGQUIT, SIGTERM; on Windows Ctrl-C, Ctrl-Break, the closing of its console, the
// end of the session and shut-down) do not end the program but ask the work in hand to
// stop, so that it can leave its files whole first. One at a time.
class StopRequests {
public:
    StopRequests();
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;

    bool asked() const;
};

// The error executableFolder() throws.
UserError unknownFolder(int errnum);
// The error userDataFolder() throws when it cannot make `folder`.
UserError noDataFolder(const std::string& folder, int errnum);

// `folder` joined with a file name.
std::string joinPath(const std::string& folder, const std::string& name);

} // namespace platform
