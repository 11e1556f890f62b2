#include "csv/csv_tool.h"
#include "platform/standard_streams.h"

int main(int argc, char** argv) {
    // Before anything is opened: with standard output closed, the register would be opened
    // as descriptor 1 and the CSV written into it.
    if (!platform::openStandardDescriptors())
        return 1;
    // A file-size limit then fails the write (EFBIG), which the import takes back, instead
    // of ending the program between two records.
    platform::failWritesPastSizeLimit();
    platform::SystemClock clock;
    std::ostream& out = platform::standardStream(platform::StandardStream::Output);
    std::ostream& err = platform::standardStream(platform::StandardStream::Error);
    const int status = csvtool::run(platform::programArguments(argc, argv), out, err, clock,
                                    [] { return platform::dataFolder(); });
    out.flush();
    err.flush();
    return status;
}
