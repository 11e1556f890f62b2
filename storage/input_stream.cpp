#include "storage/input_stream.h"

#include "storage/file_error.h"

namespace storage {

std::string InputStream::shownName(const std::string& path) {
    return path == "-" ? "標準入力" : path;
}

InputStream::InputStream(const std::string& path) : path_(path) {
    namespace native = platform::native;
    const int err = path == "-" ? native::openStandardInput(file_)
                                : native::open(path, {native::OpenMode::Stream}, file_);
    if (err)
        throw FileError(FileError::Action::Open, shownName(path), err);
}

std::size_t InputStream::read(char* out, std::size_t size) {
    std::size_t got = 0;
    if (int err = file_.read(out, size, got))
        throw FileError(FileError::Action::Read, shownName(path_), err);
    return got;
}

} // namespace storage
