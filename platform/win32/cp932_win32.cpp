#include "platform/cp932_native.h"
#include "platform/utf8.h"
#include "platform/win32/wide.h"

// The code page through the Win32 conversion: invalid bytes are refused rather than
// replaced, and characters without a code of their own are refused rather than given a
// best-fit substitute.
namespace platform::cp932::native {

namespace {
constexpr UINT kCodePage = 932;
} // namespace

std::optional<std::string> decode(std::string_view bytes) {
    if (bytes.empty())
        return std::string();
    wchar_t buffer[8];
    const int n = ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                        static_cast<int>(bytes.size()), buffer, 8);
    if (n <= 0)
        return std::nullopt;
    return win32::narrow(std::wstring_view(buffer, static_cast<std::size_t>(n)));
}

std::optional<std::string> encode(char32_t c) {
    std::string utf8;
    utf8::append(utf8, c);
    const std::wstring utf16 = win32::wide(utf8);
    char buffer[8];
    BOOL usedDefault = FALSE;
    const int n =
        ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, utf16.data(),
                              static_cast<int>(utf16.size()), buffer, 8, nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

} // namespace platform::cp932::native
