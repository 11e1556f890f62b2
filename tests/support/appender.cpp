// Another copy of the program, registering people: appends records through the same
// functions as the register button, so that two of them can share one register.
// Usage: appender FOLDER COUNT TAG    appends COUNT people named TAG1, TAG2, ..., and prints
//                                     each name once it is stored; exit status 1 when any
//                                     registration failed (the others go on)
//        appender FOLDER --check N    checks the register holds exactly records 1 to N,
//                                     each whole, numbered by its place, no name twice

#include "datafiles/commands.h"
#include "platform/system.h"

#include <cstdio>
#include <exception>
#include <set>
#include <string>

namespace {

int append(datafiles::Session& s, int count, const std::string& tag) {
    s.m.kgengou = "昭和";
    int status = 0;
    for (int i = 1; i <= count; ++i) {
        const std::string name = tag + std::to_string(i);
        try {
            datafiles::Transaction held = datafiles::countRegister(s);
            datafiles::appendPerson(s, held, {name, "31", "8", "26"});
            std::printf("%s\n", name.c_str());
            std::fflush(stdout);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "appender: %s: %s\n", name.c_str(), e.what());
            status = 1;
        }
    }
    return status;
}

int check(datafiles::Session& s, int expected) {
    datafiles::Transaction held = datafiles::openRegister(s).reading();
    if (held.wholeRecords() != expected || held.length() != expected * core::kRecordLength) {
        std::fprintf(stderr, "%lld whole records, expected %d\n",
                     static_cast<long long>(held.wholeRecords()), expected);
        return 1;
    }
    std::set<std::string> names;
    for (int n = 1; n <= expected; ++n) {
        core::KojinRecord r = held.read(n);
        core::KojinRecord whole =
            datafiles::registrationRecord(n, "昭和", {r.simei, "31", "8", "26"});
        if (core::encodeRecord(r, "") != core::encodeRecord(whole, "") ||
            !names.insert(r.simei).second) {
            std::fprintf(stderr, "record %d is not whole or not alone: %s\n", n, r.simei.c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: appender FOLDER COUNT TAG | appender FOLDER --check N\n");
        return 2;
    }
    datafiles::Session s;
    s.folder = argv[1];
    try {
        if (std::string(argv[2]) == "--check")
            return check(s, std::stoi(argv[3]));
        return append(s, std::stoi(argv[2]), argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "appender: %s\n", e.what());
        return 1;
    }
}
