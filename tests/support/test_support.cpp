#include "tests/support/test_support.h"

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testing_support {

TempFolder::TempFolder() {
    namespace fs = std::filesystem;
    static std::mt19937_64 random{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << "nenrei-test-" << std::hex << random();
        fs::path candidate = fs::temp_directory_path() / name.str();
        if (fs::create_directory(candidate)) {
            path_ = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string recordBytes(const std::string& bangou, const std::string& simei,
                        const std::string& gengou, const std::string& nen, const std::string& tuki,
                        const std::string& hi) {
    auto pad = [](std::string s, std::size_t n) {
        s.resize(n, ' ');
        return s;
    };
    return pad(bangou, 5) + pad(simei, 20) + pad(gengou, 5) + pad(nen, 4) + pad(tuki, 4) +
           pad(hi, 4);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = readBytes(entry.path().string());
    return files;
}

LockHolder::LockHolder(const std::string& path, platform::RecordFile::LockKind kind,
                       bool againAndAgain) {
#ifdef _WIN32
    const std::string helper = platform::joinPath(platform::executableFolder(), "lock_holder.exe");
#else
    const std::string helper = platform::joinPath(platform::executableFolder(), "lock_holder");
#endif
    const bool shared = kind == platform::RecordFile::LockKind::Shared;
    program_ = startProgram({helper, path,
                             againAndAgain ? "reading"
                             : shared      ? "shared"
                                           : "exclusive",
                             signals_.path()});
    // The helper says it holds the lock by making a file; a slow start (Wine's) is allowed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(signals_.file("locked"))) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("lock_holder did not take the lock");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

LockHolder::~LockHolder() {
    writeBytes(signals_.file("release"), "");
    waitForProgram(program_, 30);
}

} // namespace testing_support
