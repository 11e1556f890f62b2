#include "tests/support/test_support.h"

#include "core/quoted_values.h"
#include "storage/small_file.h"

#include <cctype>
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
            path_ = utf8Path(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fsPath(path_);
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
}

std::string testName(std::string_view description) {
    std::string name;
    for (char ch : description)
        if (std::isalnum(static_cast<unsigned char>(ch)))
            name += ch;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    if (!name.empty() && name.back() == '_')
        name.pop_back();
    return name;
}

std::string recordBytes(const std::vector<std::string>& fields) {
    std::string bytes;
    for (std::size_t i = 0; i < core::kFieldCount; ++i) {
        std::string field = i < fields.size() ? fields[i] : std::string();
        field.resize(static_cast<std::size_t>(core::kFields[i].width), ' ');
        bytes += field;
    }
    return bytes;
}

std::filesystem::path fsPath(const std::string& utf8) {
    return std::u8string(utf8.begin(), utf8.end());
}

std::string utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::string readBytes(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeQuotedLine(const std::string& path, const std::vector<std::string>& values) {
    storage::replaceSmallFile(path, core::quotedLine(values));
}

std::optional<std::vector<std::string>> readQuotedValues(const std::string& path,
                                                         std::size_t count) {
    const auto bytes = storage::readSmallFile(path, core::kMaxQuotedFileBytes);
    if (!bytes)
        return std::nullopt;
    return core::parseQuotedValues(*bytes, count);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(fsPath(folder)))
        if (entry.is_regular_file())
            files[utf8Path(entry.path().filename())] = readBytes(utf8Path(entry.path()));
    return files;
}

LockHolder::LockHolder(const std::string& path, storage::RecordFile::LockKind kind,
                       bool againAndAgain) {
#ifdef _WIN32
    const std::string helper = platform::joinPath(platform::executableFolder(), "lock_holder.exe");
#else
    const std::string helper = platform::joinPath(platform::executableFolder(), "lock_holder");
#endif
    const bool shared = kind == storage::RecordFile::LockKind::Shared;
    program_ = startProgram({helper, path,
                             againAndAgain ? "reading"
                             : shared      ? "shared"
                                           : "exclusive",
                             signals_.path()});
    // The helper says it holds the lock by making a file; a slow start (Wine's) is allowed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(fsPath(signals_.file("locked")))) {
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
