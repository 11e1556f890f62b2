#include "tests/support/test_support.h"

#include <chrono>
#include <csignal>
#include <linux/capability.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testing_support {

std::intptr_t startProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

int waitForProgram(std::intptr_t program, int seconds) {
    const auto pid = static_cast<pid_t>(program);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

// The raw capability calls act on the calling thread only, which is what a test wants.
constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

void capabilities(unsigned& effective, bool set) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        throw std::runtime_error("capget failed");
    if (!set) {
        effective = data[0].effective;
        return;
    }
    data[0].effective = effective;
    if (::syscall(SYS_capset, &header, data) != 0)
        throw std::runtime_error("capset failed");
}

} // namespace

PermissionsEnforced::PermissionsEnforced() {
    capabilities(effective_, false);
    unsigned dropped = effective_ & ~kOverrides;
    capabilities(dropped, true);
}

PermissionsEnforced::~PermissionsEnforced() {
    capabilities(effective_, true);
}

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    old_ = limit.rlim_cur;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = old_;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace testing_support
