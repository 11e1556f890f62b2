#include "csv/csv_tool.h"

#include <iostream>

int main(int argc, char** argv) {
    // Before anything is opened: with standard output closed, the register would be opened
    // as descriptor 1 and the CSV written into it.
    if (!platform::openStandardDescriptors())
        return 1;
    // A file-size limit then fails the write (EFBIG), which the import takes back, instead
    // of ending the program between two records.
    platform::failWritesPastSizeLimit();
    // The CSV ends its lines with CR LF itself.
    platform::binaryStandardOutput();
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    platform::SystemClock clock;
    return csvtool::run(args, std::cout, std::cerr, clock, [] { return platform::dataFolder(); });
}
