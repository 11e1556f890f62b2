#pragma once

#include "core/kojin_record.h"
#include "core/module1.h"
#include "core/reckoning.h"
#include "platform/system.h"

#include <array>
#include <optional>
#include <string>

// The calculation screen's work: the age arithmetic on the entry and the last-entry file.
namespace core {

inline constexpr char kLastEntryFileName[] = "kojinfl.txt";
static_assert(platform::kDataFileNames[1] == kLastEntryFileName);

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

// Reads the last-entry file of `folder` into ksimei, kgengou, knen, ktuki, khi. A missing
// file or missing values leave the texts empty. When the file exists but cannot be read,
// the texts are left empty too and LastEntryError tells the user.
void readLastEntry(Module1& m, const std::string& folder);

// Replaces the last-entry file of `folder` with ksimei, kgengou, knen, ktuki, khi.
// Throws (leaving the old file as it was) when a value has characters that code page 932
// cannot hold or when the file cannot be written.
void writeLastEntry(const Module1& m, const std::string& folder);

} // namespace core
