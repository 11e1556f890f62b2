// A copy of the program that is stopped at one of the calls to the system its command makes,
// for the crash tests: a registration, an update of record 2, or an import of three people.
// Usage: crasher FOLDER register|update|import STOP crash|fail
//   STOP:  the number of a call, or the name of one ("write"): the first call of that name;
//   crash: the process ends at call STOP, before it is made, as a kill would end it, or in
//          the middle of it, half of its bytes written, when it is a write;
//   fail:  call STOP and every call after it fail, as a disk that has just died would.
// Exit status 0 when the command was done, 1 when it refused with a message, 3 when it
// crashed. FOLDER/said.txt gets the number of calls the command made, or its message.

#include "csv/csv_tool.h"
#include "datafiles/commands.h"
#include "platform/standard_streams.h"
#include "platform/system.h"
#include "storage/seam.h"
#include "tests/support/test_support.h"

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

int stopAt = 0;
std::string stopName; // or at the first call of this name
bool crash = false;
int calls = 0;

int hook(const char* call) {
    const std::string name = call;
    if (name == "torn")
        std::_Exit(3);
    ++calls;
    if (stopName.empty() ? calls < stopAt || stopAt == 0 : name != stopName)
        return 0;
    if (!crash)
        return EIO;
    if (name.ends_with("write"))
        return storage::faults::kTear;
    std::_Exit(3);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = platform::programArguments(argc, argv);
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: crasher FOLDER register|update|import STOP crash|fail\n");
        return 2;
    }
    const std::string& command = args[1];
    if (args[2].find_first_not_of("0123456789") == std::string::npos)
        stopAt = std::stoi(args[2]);
    else
        stopName = args[2];
    crash = args[3] == "crash";
    datafiles::Session s;
    s.folder = args[0];
    storage::faults::setHook(hook);
    try {
        if (command == "register") {
            s.m.kgengou = "昭和";
            datafiles::Transaction held = datafiles::countRegister(s);
            datafiles::appendPerson(s, held, {"山田", "31", "8", "26"});
        } else if (command == "update") {
            datafiles::updateRecord(s, {"2", "髙橋", "平成", "1", "2", "3"});
        } else {
            csvtool::importCsv(std::string_view("氏名,元号,年,月,日\na,昭和,1,2,3\nb,平成,4,5,6\n"
                                                "c,令和,7,8,9\n"),
                               "in.csv", datafiles::registerPath(s.folder));
        }
    } catch (const std::exception& e) {
        testing_support::writeBytes(platform::joinPath(s.folder, "said.txt"), e.what());
        return 1;
    }
    testing_support::writeBytes(platform::joinPath(s.folder, "said.txt"), std::to_string(calls));
    return 0;
}
