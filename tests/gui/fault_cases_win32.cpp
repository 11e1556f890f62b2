#include "tests/gui/fault_cases.h"

#include "platform/win32/wide.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <windows.h>

struct SystemFaultConditions::Held {};

SystemFaultConditions::SystemFaultConditions(const FaultCase&) {}

SystemFaultConditions::~SystemFaultConditions() = default;

namespace {

void setReadOnly(const std::string& path, bool readOnly) {
    const std::wstring wide = platform::win32::wide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(wide.c_str(), readOnly ? attributes | FILE_ATTRIBUTE_READONLY
                                                    : attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
}

} // namespace

void restoreFolder(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(testing_support::fsPath(folder)))
        setReadOnly(testing_support::utf8Path(entry.path()), false);
}

// Windows marks a file read-only with an attribute; a device is a reserved name such as
// NUL, which the file services refuse (see the platform's own fault tests).
std::vector<FaultCase> systemFaultCases() {
    const std::string denied = "アクセスが拒否されました";
    auto readOnly = [](const char* name) {
        return [name](const std::string& f) { setReadOnly(f + "/" + name, true); };
    };
    return {
        {"read-only register: listing", readOnly("kojinnen.txt"), Command::Listing, {}},
        {"read-only register: load", readOnly("kojinnen.txt"), Command::Load, {}},
        {"read-only register: register",
         readOnly("kojinnen.txt"),
         Command::Register,
         {"kojinnen.txt", "に書き込めません", denied}},
        {"read-only register: update",
         readOnly("kojinnen.txt"),
         Command::Update,
         {"kojinnen.txt", "に書き込めません", denied}},
        {"read-only last entry: execute",
         readOnly("kojinfl.txt"),
         Command::Execute,
         {"kojinfl.txt", "を保存できません", denied}},
    };
}
