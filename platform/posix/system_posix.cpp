#include "platform/system.h"

#include <csignal>

#include <ctime>
#include <filesystem>

namespace platform {

void failWritesPastSizeLimit() {
    ::signal(SIGXFSZ, SIG_IGN);
}

void binaryStandardOutput() {
    // POSIX systems write bytes as they are.
}

Date SystemClock::today() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string executableFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

} // namespace platform
