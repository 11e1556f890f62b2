#include "platform/system.h"
#include "platform/win32/wide.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <knownfolders.h>
#include <shlobj.h>

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

std::string userDataFolder() {
    // LOCALAPPDATA, which Windows sets for each session, so that it can be pointed elsewhere
    // as XDG_DATA_HOME can; else the known folder it names.
    std::wstring base(MAX_PATH, L'\0');
    DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", base.data(), MAX_PATH);
    if (n > MAX_PATH) {
        base.resize(n);
        n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", base.data(), n);
    }
    base.resize(n < base.size() ? n : 0);
    const bool absolute = base.size() > 2 && (base[1] == L':' || base.starts_with(L"\\\\"));
    if (!absolute) {
        PWSTR known = nullptr;
        if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &known) !=
            S_OK) {
            ::CoTaskMemFree(known);
            throw noDataFolder("%LOCALAPPDATA%\\年齢計算", ENOENT);
        }
        base = known;
        ::CoTaskMemFree(known);
    }
    std::string folder = joinPath(win32::narrow(base), "年齢計算");
    const std::wstring wideFolder = win32::wide(folder);
    // Missing folders on the way are made too.
    const int made = ::SHCreateDirectoryExW(nullptr, wideFolder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
        throw noDataFolder(folder, win32::errnoOf(static_cast<DWORD>(made)));
    const DWORD attributes = ::GetFileAttributesW(wideFolder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw noDataFolder(folder, ENOTDIR);
    return folder;
}

} // namespace platform
