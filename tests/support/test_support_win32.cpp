#include "tests/support/test_support.h"

#include <stdexcept>
#include <windows.h>

namespace testing_support {

namespace {

std::wstring wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                  out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

} // namespace

std::intptr_t startProgram(const std::vector<std::string>& args) {
    // The arguments in double quotes; the tests pass none that holds a quote.
    std::wstring commandLine;
    for (const std::string& arg : args)
        commandLine += (commandLine.empty() ? L"\"" : L" \"") + wide(arg) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        throw std::runtime_error("cannot start " + args[0]);
    ::CloseHandle(info.hThread);
    return reinterpret_cast<std::intptr_t>(info.hProcess);
}

int waitForProgram(std::intptr_t program, int seconds) {
    HANDLE process = reinterpret_cast<HANDLE>(program);
    DWORD code = 0;
    int result = -1;
    if (::WaitForSingleObject(process, static_cast<DWORD>(seconds) * 1000) == WAIT_OBJECT_0 &&
        ::GetExitCodeProcess(process, &code))
        result = static_cast<int>(code);
    else
        ::TerminateProcess(process, 1);
    ::CloseHandle(process);
    return result;
}

PermissionsEnforced::PermissionsEnforced() = default;
PermissionsEnforced::~PermissionsEnforced() = default;

} // namespace testing_support
