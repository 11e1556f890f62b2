#include "platform/system.h"
#include "platform/win32/wide.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <io.h>

namespace platform {

bool openStandardDescriptors() {
    // Data files are opened as handles of their own, never as the C runtime's descriptors
    // 0 to 2, and output to a missing standard handle fails by itself.
    return true;
}

namespace {

std::atomic<bool> stopAsked{false};
// Set once the work in hand is done; never closed, as a console event may still wait on it.
HANDLE workDone = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);

BOOL WINAPI onConsoleEvent(DWORD event) {
    stopAsked = true;
    // For these the system ends the program as soon as this returns, so it lets the work
    // finish first (the system waits about five seconds).
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::WaitForSingleObject(workDone, 4500);
    return TRUE;
}

} // namespace

StopRequests::StopRequests() {
    stopAsked = false;
    ::ResetEvent(workDone);
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopRequests::~StopRequests() {
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    ::SetEvent(workDone);
}

bool StopRequests::asked() const {
    return stopAsked;
}

void failWritesPastSizeLimit() {
    // Windows has no file-size limit signal: a write past a limit fails by itself.
}

void binaryStandardOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
}

Date SystemClock::today() const {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay};
}

std::string executableFolder() {
    // The path can be longer than MAX_PATH; the buffer grows until it fits.
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0)
            throw unknownFolder(EIO);
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    return win32::narrow(exe.substr(0, exe.find_last_of(L"\\/")));
}

} // namespace platform
