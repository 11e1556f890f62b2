#include "datafiles/browse.h"

#include "datafiles/commands.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace datafiles {

namespace {

// Reads records 1 to N into slots 1 to N of the working tables (at most the tables' size),
// gyou ending at N + 1, and calls `each` with every record number read.
void readIntoTables(Session& s, core::DisplayTarget& display,
                    const std::function<void(int)>& each) {
    core::Module1& m = s.m;
    m.gyou = 1;
    std::int64_t whole = 0;
    {
        Transaction held = openRegister(s).reading(s.lockWait);
        whole = held.wholeRecords();
        auto last = static_cast<int>(std::min<std::int64_t>(whole, core::kMaxTableRecords));
        for (int n = 1; n <= last; m.gyou = ++n) {
            m.storeRecord(n, held.read(n));
            each(n);
        }
    }
    if (whole > core::kMaxTableRecords)
        display.tooMany(whole, core::kMaxTableRecords);
}

} // namespace

void nameSearch(Session& s, std::string_view term, core::DisplayTarget& display) {
    const core::NameMatch matches(term);
    std::vector<int> hits;
    readIntoTables(s, display, [&](int gyou) {
        if (matches(s.m, gyou))
            hits.push_back(gyou);
    });
    core::showSearchHits(s.m, hits, display);
}

void registerListing(Session& s, core::DisplayTarget& display) {
    readIntoTables(s, display, [](int) {});
    core::showListing(s.m, display);
}

} // namespace datafiles
