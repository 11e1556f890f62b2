#pragma once

#include "core/kojin_record.h"
#include "core/module1.h"
#include "core/session.h"
#include "platform/files.h"
#include "platform/system.h"

#include <array>
#include <string>
#include <string_view>

// The register file kojinnen.txt: 42-byte records addressed by number from 1, and the
// commands that append, load and overwrite them.
namespace core {

inline constexpr char kRegisterFileName[] = "kojinnen.txt";
static_assert(platform::kDataFileNames[0] == kRegisterFileName);
inline constexpr int kRegisterFileNumber = 2;

std::string registerPath(const std::string& folder);

// Closes every open file and opens the register as file number 2; a missing register
// is created empty, an existing one is never truncated.
platform::RecordFile& openRegister(platform::FileTable& files, const std::string& folder);

// Holds a lock on the open register while a command reads or writes it, and lets go at the
// end of the scope, so that a message box shown afterwards keeps no other program waiting.
// Throws FileError when another program holds the register longer than the lock's wait.
class RegisterLock {
public:
    RegisterLock(platform::RecordFile& file, platform::RecordFile::LockKind kind,
                 std::chrono::milliseconds wait = platform::RecordFile::kLockWait)
        : file_(file) {
        file.lock(kind, wait);
    }
    ~RegisterLock() { file_.unlock(); }
    RegisterLock(const RegisterLock&) = delete;
    RegisterLock& operator=(const RegisterLock&) = delete;

private:
    platform::RecordFile& file_;
};

KojinRecord readRecord(platform::RecordFile& file, int n);
// Encodes the whole record first, so a record that cannot be stored leaves the file alone.
void writeRecord(platform::RecordFile& file, int n, const KojinRecord& record);

// Counts the register for an append: recno ends at N + 2 for N whole records, where a
// read loop running to the end condition would leave it. Throws RegisterFullError, with
// recno unchanged, when that would pass the largest record number. The register stays
// locked against other programs until appendPerson() has written, so that no other
// program can take the same record number.
void countRegister(Session& s);

// The entry of the calculation screen that a registration stores.
struct PersonTexts {
    std::string simei, nen, tuki, hi;
};

// The record a registration writes as number `n`: bangou = n as text, the era and the
// person, each filled up with spaces or cut to its field.
KojinRecord registrationRecord(int n, std::string_view gengou, const PersonTexts& person);

// Appends the person as record recno − 1 (the value countRegister() left, N + 1) with
// bangou = its number and gengou = m.kgengou, into the register countRegister() opened
// and locked; lets the lock go. Gives the record number written.
int appendPerson(Session& s, const PersonTexts& person);

// Reads the record whose number is typed in `numberText` (blanks around allowed, halves
// rounded to even). Throws RecordNumberError, touching nothing, unless it is 1 to 32767.
KojinRecord loadRecord(Session& s, std::string_view numberText);

// Overwrites the record whose number is typed in texts[0] (leading-number rule, halves
// rounded to even) with the six texts as typed. Throws RecordNumberError, writing
// nothing, unless the number is 1 to 32767.
void updateRecord(Session& s, const std::array<std::string, 6>& texts);

} // namespace core
