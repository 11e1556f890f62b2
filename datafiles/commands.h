#pragma once

#include "core/kojin_record.h"
#include "datafiles/register.h"
#include "datafiles/session.h"

#include <string>
#include <string_view>

// The commands of the screens on the register: register a person, load one by number,
// overwrite one.
namespace datafiles {

// Closes every open file and opens the register of the session's folder (a missing one is
// created empty, an existing one never truncated), which stays open.
Register& openRegister(Session& s);

// The register button's count: holds the register for writing and leaves recno at N + 2
// for N whole records, where a read loop running to the end condition would leave it.
// Throws RegisterFullError, with recno unchanged, when that would pass the last record
// number. The hold it gives keeps other programs from taking the same number until
// appendPerson() has written.
Transaction countRegister(Session& s);

// The entry of the calculation screen that a registration stores.
struct PersonTexts {
    std::string simei, nen, tuki, hi;
};

// The record a registration writes as number `n`: bangou = n as text, the era and the
// person, each filled up with spaces or cut to its field; any other field blank.
core::KojinRecord registrationRecord(int n, std::string_view gengou, const PersonTexts& person);

// Appends the person as record recno − 1 (N + 1) with bangou = its number and gengou =
// m.kgengou, under the hold countRegister() gave. Gives the record number written.
int appendPerson(Session& s, Transaction& held, const PersonTexts& person);

// Reads the record whose number is typed in `numberText` (blanks around allowed, halves
// rounded to even). Throws RecordNumberError, touching nothing, unless it is 1 to the last
// record number.
core::KojinRecord loadRecord(Session& s, std::string_view numberText);

// Overwrites the record whose number is typed in texts[0] (leading-number rule, halves
// rounded to even) with the texts as typed, one per field. Throws RecordNumberError,
// writing nothing, unless the number is 1 to the last record number.
void updateRecord(Session& s, const core::FieldTexts& texts);

} // namespace datafiles
