#include "platform/standard_streams.h"
#include "platform/system.h"
#include "platform/utf8.h"
#include "platform/win32/wide.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
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

std::vector<std::string> programArguments(int, char**) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(win32::narrow(wide[i]));
    ::LocalFree(wide);
    return args;
}

namespace native {

int writeStandard(StandardStream which, std::string_view text) {
    const HANDLE h =
        ::GetStdHandle(which == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return EBADF;
    DWORD mode = 0;
    if (!::GetConsoleMode(h, &mode)) {
        // A file, a pipe or NUL: the bytes themselves, as on every other system.
        while (!text.empty()) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
            if (!::WriteFile(h, text.data(), chunk, &written, nullptr) || written == 0)
                return EIO;
            text.remove_prefix(written);
        }
        return 0;
    }
    // A console shows characters in its own code page, which is seldom UTF-8: it is given
    // them in UTF-16. A character whose last bytes have not come yet waits for them.
    static std::array<std::string, 2> waiting;
    std::string& rest = waiting[which == StandardStream::Output ? 0 : 1];
    rest.append(text);
    std::size_t whole = rest.size();
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, rest.size()); ++back) {
        const auto lead = static_cast<unsigned char>(rest[rest.size() - back]);
        if ((lead & 0xC0) == 0x80)
            continue;
        if (utf8::sequenceLength(lead) > back)
            whole = rest.size() - back;
        break;
    }
    const std::wstring characters = win32::wide(std::string_view(rest).substr(0, whole));
    rest.erase(0, whole);
    for (std::size_t at = 0; at < characters.size();) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(characters.size() - at, 8192));
        if (!::WriteConsoleW(h, characters.data() + at, chunk, &written, nullptr) || written == 0)
            return EIO;
        at += written;
    }
    return 0;
}

} // namespace native

Date SystemClock::today() const {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay};
}

std::string localTimestamp() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::string computerName() {
    wchar_t name[256] = {};
    DWORD size = 255;
    if (!::GetComputerNameExW(ComputerNameDnsHostname, name, &size))
        return "?";
    return win32::narrow(name);
}

std::string computerIdentity(const std::string& folder) {
    wchar_t machine[64] = {};
    DWORD size = sizeof machine;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid",
                       RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, machine,
                       &size) != ERROR_SUCCESS)
        machine[0] = L'\0';
    unsigned long volume = 0;
    const HANDLE h = ::CreateFileW(win32::wide(folder).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (::GetFileInformationByHandle(h, &info))
            volume = info.dwVolumeSerialNumber;
        ::CloseHandle(h);
    }
    return computerName() + " " + win32::narrow(machine) + " " + std::to_string(volume);
}

long processId() {
    return static_cast<long>(::GetCurrentProcessId());
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
