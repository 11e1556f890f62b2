#pragma once

#include "core/kojin_record.h"
#include "core/module1.h"
#include "core/reckoning.h"
#include "platform/date.h"

#include <array>
#include <optional>
#include <string>

// The calculation screen's work: the age arithmetic on the entry, and the text of the
// last-entry file.
namespace core {

struct AgeResult {
    double birthYear; // western year of birth
    double age;       // completed years on the reference date

    // Both are numbers that can be shown: neither infinite nor "not a number".
    bool finite() const;
};

// Converts the entry texts of `m` (knen ... ghi) into their numeric values (knenv ... ghiv)
// and computes the western birth year from kgengou, and the age.
AgeResult calculateAge(Module1& m);

// A stored record as the calculation screen works it out once the record is loaded into it
// and executed on `on`: the western birth year and the age, and the birth date when the
// era year, month and day make one. Nothing when the record's era is none of the five.
struct RecordAge {
    AgeResult result;
    std::optional<BirthDate> birth;
};
std::optional<RecordAge> recordAge(const KojinRecord& record, const platform::Date& on);

// When a result is not finite: the message naming the entry box whose number is too large
// (the first whose number is infinite, else the one whose number is largest in size).
std::string tooLargeMessage(const Module1& m);

// Year, month and day texts of a date written as yyyy/mm/dd: "2019", "08", "26".
std::array<std::string, 3> referenceDateTexts(const platform::Date& date);

// The line of the last-entry file for ksimei, kgengou, knen, ktuki, khi, in code page 932.
// Throws (naming `path`) when a value has characters that code page 932 cannot hold, when
// the values would not read back as written (the format has no escape for quotes), and when
// the line would be longer than the part of the file that is read.
std::string lastEntryLine(const Module1& m, const std::string& path);

// Puts the values of a last-entry file's text into ksimei, kgengou, knen, ktuki, khi;
// missing values are left empty.
void takeLastEntry(Module1& m, std::string_view text);

} // namespace core
