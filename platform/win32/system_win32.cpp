#include "platform/system.h"
#include "platform/win32/wide.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <io.h>

namespace platform {

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
            return win32::narrow(std::filesystem::current_path().native());
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    return win32::narrow(exe.substr(0, exe.find_last_of(L"\\/")));
}

} // namespace platform
