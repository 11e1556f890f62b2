#include "browse.h"

#include "register.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace core {

namespace {

// Reads records 1 to N into slots 1 to N of the working tables (at most the tables'
// size), gyou ending at N + 1, and calls `each` with every record number read.
void readIntoTables(Module1& m, platform::FileTable& files, const std::string& folder,
                    DisplayTarget& display, const std::function<void(int)>& each) {
    m.gyou = 1;
    platform::RecordFile& file = openRegister(files, folder);
    std::int64_t whole = file.wholeRecords();
    auto last = static_cast<int>(std::min<std::int64_t>(whole, kMaxTableRecords));
    if (whole > kMaxTableRecords)
        display.tooMany(whole, kMaxTableRecords);
    while (m.gyou <= last) {
        m.storeRecord(m.gyou, readRecord(file, m.gyou));
        each(m.gyou);
        ++m.gyou;
    }
}

} // namespace

void nameSearch(Module1& m, platform::FileTable& files, const std::string& folder,
                std::string_view term, DisplayTarget& display) {
    std::vector<int> hits;
    readIntoTables(m, files, folder, display, [&](int gyou) {
        if (m.tsimei(gyou).find(term) != std::string::npos)
            hits.push_back(gyou);
    });
    auto count = static_cast<int>(hits.size());

    display.clear();
    display.show();
    if (count >= 1 && count <= 9) {
        for (m.gyou = 0; m.gyou < count; ++m.gyou)
            display.setRow(m.gyou, m.row(hits[static_cast<std::size_t>(m.gyou)]));
    } else {
        // A full first page (or none at all) is always followed by the prompt.
        for (m.gyou = 0; m.gyou < std::min(count, 10); ++m.gyou)
            display.setRow(m.gyou, m.row(hits[static_cast<std::size_t>(m.gyou)]));
        display.pagePrompt();
        display.clear();
        for (m.gyou = 10; m.gyou < count; ++m.gyou) {
            int row = m.gyou % 10;
            display.setRow(row, m.row(hits[static_cast<std::size_t>(m.gyou)]));
            if (row == 9) {
                display.pagePrompt();
                display.clear();
            }
        }
    }
    if (count == 0)
        display.notFound();
    display.show();
}

void registerListing(Module1& m, platform::FileTable& files, const std::string& folder,
                     DisplayTarget& display) {
    // Screen row of table entry n, from entry 10 on.
    std::array<std::int16_t, RegisterTable::kSlots> gyouhyo{};
    for (int n = 10; n < RegisterTable::kSlots; ++n)
        gyouhyo[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(n % 10);

    readIntoTables(m, files, folder, display, [](int) {});
    display.show();
    m.kensu = m.gyou - 1;
    display.clear();
    // The first page always writes ten rows; entries past the register show whatever an
    // earlier read left in them.
    for (m.hgyou = 1; m.hgyou <= 10; ++m.hgyou)
        display.setRow(m.hgyou - 1, m.row(m.hgyou));
    display.pagePrompt();
    display.clear();
    // From entry 10 on, entry n goes to row n mod 10: entry 10 opens the second page.
    for (m.hgyou = 10; m.hgyou <= m.kensu; ++m.hgyou) {
        int row = gyouhyo[static_cast<std::size_t>(m.hgyou)];
        display.setRow(row, m.row(m.hgyou));
        if (row == 9) {
            display.pagePrompt();
            display.clear();
        }
    }
}

} // namespace core
