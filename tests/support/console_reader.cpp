// Runs a program in a console of its own and writes what the console then shows, as UTF-8,
// to a file: the console's characters themselves, read back from its screen buffer, so
// that a test sees what a user would see in a Japanese console.
// Usage: console_reader OUT_FILE PROGRAM [ARGUMENTS...]
// Exit status: the program's, or 100 when it could not be run.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

int fail(const char* what) {
    std::fprintf(stderr, "console_reader: %s (error %lu)\n", what, ::GetLastError());
    return 100;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return fail("usage: console_reader OUT_FILE PROGRAM [ARGUMENTS...]");
    // A console of its own, so that what is read back is only the program's.
    ::FreeConsole();
    if (!::AllocConsole())
        return fail("no console");
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE screen = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                      &inherited, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (screen == INVALID_HANDLE_VALUE)
        return fail("no screen buffer");
    constexpr SHORT kWidth = 300, kHeight = 200;
    ::SetConsoleScreenBufferSize(screen, {kWidth, kHeight});

    std::wstring commandLine;
    for (int i = 2; i < argc; ++i)
        commandLine += (i > 2 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = screen;
    startup.hStdError = screen;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process))
        return fail("cannot start the program");
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);

    CONSOLE_SCREEN_BUFFER_INFO info{};
    ::GetConsoleScreenBufferInfo(screen, &info);
    std::string shown;
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        std::wstring line(static_cast<std::size_t>(kWidth), L' ');
        DWORD got = 0;
        ::ReadConsoleOutputCharacterW(screen, line.data(), kWidth, {0, y}, &got);
        line.resize(got);
        line.erase(line.find_last_not_of(L' ') + 1);
        shown += utf8(line) + "\n";
    }
    FILE* out = ::_wfopen(argv[1], L"wb");
    if (!out)
        return fail("cannot write the output file");
    std::fwrite(shown.data(), 1, shown.size(), out);
    std::fclose(out);
    return static_cast<int>(status);
}
