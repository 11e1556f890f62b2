#pragma once

#include "core/browse.h"
#include "datafiles/session.h"

#include <string_view>

// The name search and the register listing: both read the register into the working
// tables of Module1 and show it, ten rows to a page (core/browse.h).
namespace datafiles {

// Searches the names of the register for `term` and shows the matches.
void nameSearch(Session& s, std::string_view term, core::DisplayTarget& display);

// Shows the whole register, page by page.
void registerListing(Session& s, core::DisplayTarget& display);

} // namespace datafiles
