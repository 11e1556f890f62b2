#include "tests/gui/fault_cases.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <sys/stat.h>

struct SystemFaultConditions::Held {
    std::optional<testing_support::PermissionsEnforced> enforced;
    std::optional<testing_support::FileSizeLimit> limit;
};

SystemFaultConditions::SystemFaultConditions(const FaultCase& c) : held_(std::make_unique<Held>()) {
    if (c.enforce)
        held_->enforced.emplace();
    if (c.sizeLimit)
        held_->limit.emplace(*c.sizeLimit);
}

SystemFaultConditions::~SystemFaultConditions() = default;

void restoreFolder(const std::string& folder) {
    ::chmod(folder.c_str(), 0755);
}

std::vector<FaultCase> systemFaultCases() {
    const std::string denied = "アクセスが拒否されました";
    const std::string notAFile = "通常のファイルではありません";
    const std::string tooBig = "ファイルが大きすぎます";
    auto readOnlyFolder = [](const std::string& f) {
        std::filesystem::remove(f + "/kojinnen.txt");
        ::chmod(f.c_str(), 0555);
    };
    auto readOnlyRegister = [](const std::string& f) {
        ::chmod((f + "/kojinnen.txt").c_str(), 0444);
    };
    auto unreadable = [](const std::string& path) { ::chmod(path.c_str(), 0); };
    auto device = [](const std::string& f) {
        std::filesystem::remove(f + "/kojinnen.txt");
        std::filesystem::create_symlink("/dev/full", f + "/kojinnen.txt");
    };
    const unsigned long threeRecords = 3 * 42;
    return {
        {"folder and last entry without write access: execute",
         [=](const std::string& f) {
             ::chmod((f + "/kojinfl.txt").c_str(), 0444);
             readOnlyFolder(f);
         },
         Command::Execute,
         {"kojinfl.txt", "を保存できません", denied},
         true},
        {"folder without write access: register",
         readOnlyFolder,
         Command::Register,
         {"kojinnen.txt", "を開けません", denied},
         true},
        {"folder without write access: load",
         readOnlyFolder,
         Command::Load,
         {"kojinnen.txt", denied},
         true},
        {"folder without write access: update",
         readOnlyFolder,
         Command::Update,
         {"kojinnen.txt", denied},
         true},
        {"folder without write access: search",
         readOnlyFolder,
         Command::Search,
         {"kojinnen.txt", denied},
         true},
        {"folder without write access: listing",
         readOnlyFolder,
         Command::Listing,
         {"kojinnen.txt", denied},
         true},
        {"folder that takes no new file: update",
         [](const std::string& f) { ::chmod(f.c_str(), 0555); },
         Command::Update,
         {"kojinnen.txt.journal」に書き込めません", denied, "kojinnen.txt」は書き込む前のまま"},
         true},
        {"read-only register: listing", readOnlyRegister, Command::Listing, {}, true},
        {"read-only register: load", readOnlyRegister, Command::Load, {}, true},
        {"read-only register: register",
         readOnlyRegister,
         Command::Register,
         {"kojinnen.txt", "に書き込めません", denied},
         true},
        {"read-only register: update",
         readOnlyRegister,
         Command::Update,
         {"kojinnen.txt", "に書き込めません", denied},
         true},
        {"register without read permission: search",
         [=](const std::string& f) { unreadable(f + "/kojinnen.txt"); },
         Command::Search,
         {"kojinnen.txt", denied},
         true},
        {"last entry without read permission: start",
         [=](const std::string& f) { unreadable(f + "/kojinfl.txt"); },
         Command::Start,
         {"kojinfl.txt", denied},
         true},
        {"device as register: register", device, Command::Register, {"kojinnen.txt", notAFile}},
        {"device as register: update", device, Command::Update, {"kojinnen.txt", notAFile}},
        {"disk full part-way through a record: register",
         {},
         Command::Register,
         {"kojinnen.txt", tooBig},
         false,
         threeRecords + 10},
        {"disk full past the end: update", {}, Command::Update, {"kojinnen.txt", tooBig}, false, 0},
        {"disk full: execute", {}, Command::Execute, {"kojinfl.txt", tooBig}, false, 0},
    };
}
