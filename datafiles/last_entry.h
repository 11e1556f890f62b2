#pragma once

#include "core/module1.h"
#include "platform/system.h"

#include <string>

// The last-entry file kojinfl.txt: the calculation screen's entry, kept from one run to the
// next.
namespace datafiles {

inline constexpr char kLastEntryFileName[] = "kojinfl.txt";
static_assert(platform::kDataFileNames[1] == kLastEntryFileName);

// Reads the last-entry file of `folder` into ksimei, kgengou, knen, ktuki, khi. A missing
// file or missing values leave the texts empty. When the file exists but cannot be read,
// the texts are left empty too and LastEntryError tells the user.
void readLastEntry(core::Module1& m, const std::string& folder);

// Replaces the last-entry file of `folder` with ksimei, kgengou, knen, ktuki, khi. Throws
// (leaving the old file as it was) when a value cannot be stored or read back, or when the
// file cannot be written.
void writeLastEntry(const core::Module1& m, const std::string& folder);

} // namespace datafiles
