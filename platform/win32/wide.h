#pragma once

#include <string>
#include <string_view>
#include <windows.h>

// UTF-8 inside the program, UTF-16 at the Win32 calls.
namespace platform::win32 {

// `utf8` as UTF-16; malformed sequences become U+FFFD.
inline std::wstring wide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    return out;
}

// `utf16` as UTF-8.
inline std::string narrow(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    const int size = static_cast<int>(utf16.size());
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// The errno value that means what a Win32 error means, so that the reasons read as on
// POSIX. Windows refuses to open a folder as a file with "access denied"; `path` tells
// that case apart.
int errnoOf(DWORD error, const std::wstring& path = {});

} // namespace platform::win32
