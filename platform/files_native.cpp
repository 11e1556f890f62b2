#include "platform/files_native.h"

// What the open file is on every system; the calls themselves are in posix/ and win32/.
namespace platform::native {

File::~File() {
    close();
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = kNone;
    }
    return *this;
}

} // namespace platform::native
