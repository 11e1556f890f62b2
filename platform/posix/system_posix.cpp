#include "platform/standard_streams.h"
#include "platform/system.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool openStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor: this one, as those below it are open.
        if (::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_NOCTTY) != fd)
            return false;
    }
    return true;
}

namespace {

volatile std::sig_atomic_t stopAsked = 0;

extern "C" void askToStop(int) {
    stopAsked = 1;
}

constexpr std::array<int, 4> kStopSignals{SIGHUP, SIGINT, SIGQUIT, SIGTERM};
std::array<struct sigaction, kStopSignals.size()> previous{};

} // namespace

StopRequests::StopRequests() {
    stopAsked = 0;
    struct sigaction action {};
    action.sa_handler = askToStop;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        ::sigaction(kStopSignals[i], &action, &previous[i]);
}

StopRequests::~StopRequests() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        ::sigaction(kStopSignals[i], &previous[i], nullptr);
}

bool StopRequests::asked() const {
    return stopAsked != 0;
}

void failWritesPastSizeLimit() {
    ::signal(SIGXFSZ, SIG_IGN);
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return {argv + std::min(argc, 1), argv + argc};
}

namespace native {

int writeStandard(StandardStream which, std::string_view text) {
    const int fd = which == StandardStream::Output ? 1 : 2;
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

} // namespace native

Date SystemClock::today() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string localTimestamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::string computerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "?";
    return name;
}

std::string computerIdentity(const std::string& folder) {
    std::string machine;
    for (const char* file : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        if (const int fd = ::open(file, O_RDONLY | O_CLOEXEC); fd >= 0) {
            char id[64] = {};
            const ssize_t n = ::read(fd, id, sizeof id - 1);
            ::close(fd);
            if (n > 0) {
                machine.assign(id, static_cast<std::size_t>(n));
                machine.erase(machine.find_last_not_of("\r\n ") + 1);
                break;
            }
        }
    }
    struct stat st {};
    const unsigned long long device =
        ::stat(folder.c_str(), &st) == 0 ? static_cast<unsigned long long>(st.st_dev) : 0;
    return computerName() + " " + machine + " " + std::to_string(device);
}

long processId() {
    return static_cast<long>(::getpid());
}

std::string executableFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.is_absolute())
        throw unknownFolder(ec ? ec.value() : ENOENT);
    return exe.parent_path().string();
}

std::string userDataFolder() {
    // XDG base folders: a relative XDG_DATA_HOME is to be ignored, and HOME is the login
    // folder unless it says otherwise.
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const struct passwd* user = ::getpwuid(::getuid());
            home = user ? user->pw_dir : nullptr;
        }
        if (!home || home[0] != '/')
            throw noDataFolder("~/.local/share/nenrei", ENOENT);
        base = joinPath(home, ".local/share");
    }
    std::string folder = joinPath(base, "nenrei");
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        // Each missing folder on the way is made for the user alone, as the XDG rules ask:
        // the register holds people's names and birth dates.
        for (std::size_t end = 0; end != std::string::npos;) {
            end = folder.find('/', end + 1);
            const std::string step = folder.substr(0, end);
            if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST)
                throw noDataFolder(folder, errno);
        }
        if (::stat(folder.c_str(), &st) != 0)
            throw noDataFolder(folder, errno);
    }
    if (!S_ISDIR(st.st_mode))
        throw noDataFolder(folder, ENOTDIR);
    return folder;
}

} // namespace platform
