#include "core/browse.h"

#include "core/file_text.h"

#include <algorithm>
#include <array>
#include <functional>

namespace core {

namespace {

// Puts entries `first` to `last` of a sequence on the grid, entry k in row rowOf(k); every
// time row 9 is written, the page is full: prompt, then clear. `counter` follows the loop
// and ends one past `last`, as the commands' loop counters of Module1 do.
void fillPages(DisplayTarget& display, int first, int last, int& counter,
               const std::function<int(int)>& rowOf, const std::function<RowTexts(int)>& entry) {
    for (int k = first; k <= last; ++k) {
        counter = k;
        int row = rowOf(k);
        display.setRow(row, entry(k));
        if (row == 9) {
            display.pagePrompt();
            display.clear();
        }
    }
    counter = std::max(first, last + 1);
}

int rowOfHit(int k) {
    return k % 10;
}

} // namespace

NameMatch::NameMatch(std::string_view term) : stored_(asStored(term)) {}

bool NameMatch::operator()(const Module1& m, int slot) const {
    return stored_ && m.tsimei(slot).find(*stored_) != std::string::npos;
}

void showSearchHits(Module1& m, const std::vector<int>& hits, DisplayTarget& display) {
    auto count = static_cast<int>(hits.size());
    display.clear();
    display.show();
    // Hit k goes to row k mod 10; a full page is followed by the prompt, and so is a search
    // without any hit.
    fillPages(display, 0, count - 1, m.gyou, rowOfHit,
              [&](int k) { return m.row(hits[static_cast<std::size_t>(k)]); });
    if (count == 0) {
        display.pagePrompt();
        display.clear();
        display.notFound();
    }
    display.show();
}

void showListing(Module1& m, DisplayTarget& display) {
    // Screen row of table entry n, from entry 10 on.
    std::array<std::int16_t, RegisterTable::kSlots> gyouhyo{};
    for (int n = 10; n < RegisterTable::kSlots; ++n)
        gyouhyo[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(n % 10);

    display.show();
    m.kensu = m.gyou - 1;
    display.clear();
    auto entry = [&](int n) { return m.row(n); };
    // The first page always writes ten rows, entry n in row n - 1; entries past the
    // register show whatever an earlier read left in them. Row 9 ends it with the prompt.
    fillPages(
        display, 1, 10, m.hgyou, [](int n) { return n - 1; }, entry);
    // From entry 10 on, entry n goes to row n mod 10: entry 10 opens the second page.
    fillPages(
        display, 10, m.kensu, m.hgyou, [&](int n) { return gyouhyo[static_cast<std::size_t>(n)]; },
        entry);
}

} // namespace core
