#pragma once

#include "platform/files_native.h"

#include <cstddef>
#include <string>

namespace storage {

// A file read once from its start to its end, a piece at a time: a file by name (a pipe or
// a device too), or standard input by the name "-".
class InputStream {
public:
    // Throws FileError naming the file when it cannot be opened.
    explicit InputStream(const std::string& path);
    // Up to `size` bytes; 0 at the end. Throws FileError naming the file.
    std::size_t read(char* out, std::size_t size);

    // How the file is named to the user: "標準入力" for "-".
    static std::string shownName(const std::string& path);

private:
    std::string path_;
    platform::native::File file_;
};

} // namespace storage
