#pragma once

#include "core/kojin_record.h"
#include "platform/system.h"
#include "storage/record_file.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with its contents (also
// those made read-only).
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return platform::joinPath(path_, name); }

private:
    std::string path_;
};

// A description as a GoogleTest name: letters and digits, other runs of characters as one _.
std::string testName(std::string_view description);

// A clock pinned to one date.
class FixedClock : public platform::Clock {
public:
    explicit FixedClock(platform::Date date) : date_(date) {}
    platform::Date today() const override { return date_; }
    void set(platform::Date date) { date_ = date; }

private:
    platform::Date date_;
};

// The bytes of a register record from field bytes (CP932) in field order, each filled up
// with spaces to its width; fields not given are all spaces.
std::string recordBytes(const std::vector<std::string>& fields);
template <class... Fields> std::string recordBytes(const Fields&... fields) {
    return recordBytes(std::vector<std::string>{std::string(fields)...});
}

// The most records a register file of the program holds.
inline constexpr std::int64_t kRecords = core::kLastRecordNumber;

// A UTF-8 path as std::filesystem and the file streams take it (Windows would read the
// bytes of a std::string in its ANSI code page), and back.
std::filesystem::path fsPath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

std::string readBytes(const std::string& path);

// A file of one line of quoted values, written and read as the last-entry file is.
void writeQuotedLine(const std::string& path, const std::vector<std::string>& values);
std::optional<std::vector<std::string>> readQuotedValues(const std::string& path,
                                                         std::size_t count);
void writeBytes(const std::string& path, const std::string& bytes);

// Another program, started with `args` (the program first), and the wait for its end.
std::intptr_t startProgram(const std::vector<std::string>& args);
// Its exit code; -1 when it did not end within `seconds` (it is then killed).
int waitForProgram(std::intptr_t program, int seconds);

// Another program holding a lock on a file: the lock_holder helper built beside the tests.
// The constructor returns once the lock is held; the destructor makes it let go and end.
// A reader `again and again` lets go every 20 ms and takes the lock again at once.
class LockHolder {
public:
    LockHolder(const std::string& path, storage::RecordFile::LockKind kind,
               bool againAndAgain = false);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

private:
    TempFolder signals_;
    std::intptr_t program_ = 0;
};

// While it lives, file permissions bind this thread even when it runs as root: the
// capabilities that override them are dropped from its effective set. (Windows, where a
// read-only file is one marked so, needs nothing.)
class PermissionsEnforced {
public:
    PermissionsEnforced();
    ~PermissionsEnforced();
    PermissionsEnforced(const PermissionsEnforced&) = delete;
    PermissionsEnforced& operator=(const PermissionsEnforced&) = delete;

private:
    unsigned effective_ = 0;
};

// The POSIX-only helpers below are in test_support_posix.cpp.

// While it lives, no file of the process may grow beyond `bytes`: writes past it fail
// with EFBIG, as they would on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long old_ = 0;
};

// Every regular file of a folder, by name, with its bytes.
std::map<std::string, std::string> snapshot(const std::string& folder);

} // namespace testing_support
