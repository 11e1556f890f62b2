#pragma once

#include <string>

// The date and the program folder, behind interfaces that tests replace.
namespace platform {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

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

// Folder of the running executable (UTF-8, no trailing slash).
std::string executableFolder();

// Lets a write past the process's file-size limit fail with an error, which the file
// services report and roll back, instead of ending the process (POSIX's SIGXFSZ).
void failWritesPastSizeLimit();

// Standard output passes bytes through as written. Windows otherwise writes each LF as
// CR LF, so that a CR LF line end comes out as CR CR LF.
void binaryStandardOutput();

// `folder` joined with a file name.
std::string joinPath(const std::string& folder, const std::string& name);

} // namespace platform
