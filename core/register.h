#pragma once

#include "files.h"
#include "kojin_record.h"
#include "module1.h"

#include <array>
#include <string>
#include <string_view>

// The register file kojinnen.txt: 42-byte records addressed by number from 1, and the
// commands that append, load and overwrite them.
namespace core {

inline constexpr char kRegisterFileName[] = "kojinnen.txt";
inline constexpr int kRegisterFileNumber = 2;

std::string registerPath(const std::string& folder);

// Closes every open file and opens the register as file number 2; a missing register
// is created empty, an existing one is never truncated.
platform::RecordFile& openRegister(platform::FileTable& files, const std::string& folder);

KojinRecord readRecord(platform::RecordFile& file, int n);
// Encodes the whole record first, so a record that cannot be stored leaves the file alone.
void writeRecord(platform::RecordFile& file, int n, const KojinRecord& record);

// Counts the register for an append: recno ends at N + 2 for N whole records, where a
// read loop running to the end condition would leave it. Throws RegisterFullError, with
// recno unchanged, when that would pass the largest record number.
void countRegister(Module1& m, platform::FileTable& files, const std::string& folder);

// The entry of the calculation screen that a registration stores.
struct PersonTexts {
    std::string simei, nen, tuki, hi;
};

// The record a registration writes as number `n`: bangou = n as text, the era and the
// person, each filled up with spaces or cut to its field.
KojinRecord registrationRecord(int n, std::string_view gengou, const PersonTexts& person);

// Appends the person as record recno − 1 (the value countRegister() left, N + 1) with
// bangou = its number and gengou = m.kgengou. Gives the record number written.
int appendPerson(Module1& m, platform::FileTable& files, const std::string& folder,
                 const PersonTexts& person);

// Reads the record whose number is typed in `numberText` (blanks around allowed, halves
// rounded to even). Throws RecordNumberError, touching nothing, unless it is 1 to 32767.
KojinRecord loadRecord(Module1& m, platform::FileTable& files, const std::string& folder,
                       std::string_view numberText);

// Overwrites the record whose number is typed in texts[0] (leading-number rule, halves
// rounded to even) with the six texts as typed. Throws RecordNumberError, writing
// nothing, unless the number is 1 to 32767.
void updateRecord(Module1& m, platform::FileTable& files, const std::string& folder,
                  const std::array<std::string, 6>& texts);

} // namespace core
