#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The fault table of the screens: the faults every system can make are in fault_test.cpp,
// those only one system can make in fault_cases_posix.cpp and fault_cases_win32.cpp.

enum class Command { Start, Execute, Register, Load, Update, Search, Listing };

struct FaultCase {
    const char* name;
    std::function<void(const std::string& folder)> arrange; // puts the fault in place
    Command command;
    std::vector<std::string> says; // parts of the one error message; none: no message
    bool enforce = false;          // file permissions bind the tests even as root
    std::optional<unsigned long> sizeLimit = {};
};

// GoogleTest prints a case by its name rather than by its bytes.
inline void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

// The cases only this system can make: permissions, file-size limits, devices.
std::vector<FaultCase> systemFaultCases();

// While it lives, the conditions a case asks for hold (permissions that bind even root, a
// file-size limit).
class SystemFaultConditions {
public:
    explicit SystemFaultConditions(const FaultCase& c);
    ~SystemFaultConditions();
    SystemFaultConditions(const SystemFaultConditions&) = delete;
    SystemFaultConditions& operator=(const SystemFaultConditions&) = delete;

private:
    struct Held;
    std::unique_ptr<Held> held_;
};

// Gives the folder and its files their permissions back, so that they can be compared and
// removed.
void restoreFolder(const std::string& folder);
