#pragma once

#include "datafiles/browse.h"
#include "datafiles/commands.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace bench {

// A fresh folder under /tmp holding a register of `records` records (昭和 31 8 26, the
// name from `nameOf`), with a session on it; removed afterwards.
class BenchRegister {
public:
    BenchRegister(int records, const std::function<std::string(int)>& nameOf) {
        std::string pattern = "/tmp/nenrei-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        session.folder = pattern;
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(records * core::kRecordLength));
        for (int n = 1; n <= records; ++n)
            bytes += core::encodeRecord(
                core::assign({std::to_string(n), nameOf(n), "昭和", "31", "8", "26"}), "");
        std::ofstream(path(), std::ios::binary) << bytes;
        size_ = bytes.size();
    }
    ~BenchRegister() {
        session.closeAll();
        std::error_code ec;
        std::filesystem::remove_all(session.folder, ec);
    }
    BenchRegister(const BenchRegister&) = delete;
    BenchRegister& operator=(const BenchRegister&) = delete;

    std::string path() const { return datafiles::registerPath(session.folder); }
    // Takes away whatever was appended since the register was made.
    void reset() const { std::filesystem::resize_file(path(), size_); }

    datafiles::Session session;

private:
    std::uintmax_t size_ = 0;
};

} // namespace bench
