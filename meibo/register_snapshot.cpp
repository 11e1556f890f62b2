#include "meibo/register_snapshot.h"

#include "datafiles/register.h"
#include "platform/files_native.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace meibo {

namespace {

// Short enough that the window never hangs on a writer.
constexpr std::chrono::milliseconds kBriefWait{300};

// A UTF-8 path as the file system takes it, on Windows too.
std::filesystem::path fsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace

RegisterStamp registerStamp(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path file = fsPath(path);
    RegisterStamp stamp;
    auto size = fs::file_size(file, ec);
    if (ec)
        return stamp;
    auto time = fs::last_write_time(file, ec);
    if (ec)
        return stamp;
    stamp.exists = true;
    stamp.length = static_cast<std::int64_t>(size);
    stamp.modified = static_cast<std::int64_t>(time.time_since_epoch().count());
    return stamp;
}

RegisterSnapshot readRegister(const std::string& path, Wait wait) {
    RegisterSnapshot snapshot;
    // This window creates no register: a missing one reads as empty.
    if (!platform::native::exists(path))
        return snapshot;
    datafiles::Register reg(path, datafiles::Register::Open::Existing);
    constexpr auto kLength = static_cast<std::size_t>(core::kRecordLength);
    std::string bytes;
    {
        datafiles::Transaction held =
            reg.reading(wait == Wait::Full ? datafiles::kLockWait : kBriefWait);
        const std::int64_t length = held.length();
        bytes = held.readRecords(1, length / core::kRecordLength);
        snapshot.partialBytes = length % core::kRecordLength;
        // Taken while no one can write, so that a write after the read changes it.
        snapshot.stamp = registerStamp(path);
    }
    const std::size_t count = bytes.size() / kLength;
    snapshot.records.reserve(count, bytes.size());
    for (std::size_t i = 0; i < count; ++i)
        snapshot.records.push_back(
            core::decodeRecord(std::string_view(bytes).substr(i * kLength, kLength)));
    return snapshot;
}

std::optional<std::string> partialRecordNote(const std::string& path,
                                             const RegisterSnapshot& snapshot) {
    if (snapshot.partialBytes == 0)
        return std::nullopt;
    return "名簿「" + path + "」の末尾の " + std::to_string(snapshot.partialBytes) +
           " バイトは 1 件（" + std::to_string(core::kRecordLength) +
           " バイト）に満たないため、表に含めていません。";
}

} // namespace meibo
