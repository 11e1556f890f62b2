#pragma once

#include "core/kojin_record.h"
#include "platform/system.h"
#include "storage/record_file.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The register file kojinnen.txt: its records, addressed by number from 1, and the hold on
// it that every command reading or writing them takes.
namespace datafiles {

inline constexpr char kRegisterFileName[] = "kojinnen.txt";
static_assert(platform::kDataFileNames[0] == kRegisterFileName);
inline constexpr std::chrono::milliseconds kLockWait = storage::RecordFile::kLockWait;

std::string registerPath(const std::string& folder);

class Transaction;

// The register open for record access. Opening creates an empty register when none exists
// (unless `existing` asks for one that does) and never truncates one.
class Register {
public:
    enum class Open { OrCreate, Existing };
    explicit Register(const std::string& path, Open open = Open::OrCreate);

    const std::string& path() const { return file_.path(); }

    // A hold for reading (other readers come in too) or for writing (no one else does),
    // for the life of the Transaction; throws FileError when another program keeps it
    // longer than `wait`.
    Transaction reading(std::chrono::milliseconds wait = kLockWait);
    Transaction writing(std::chrono::milliseconds wait = kLockWait);

private:
    friend class Transaction;
    storage::RecordFile file_;
};

// What is read and written under one hold on the register; the hold ends with the object,
// so that a message shown afterwards keeps no other program waiting.
class Transaction {
public:
    ~Transaction();
    Transaction(Transaction&& other) noexcept;
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    Transaction& operator=(Transaction&&) = delete;

    // Record n; bytes past the end read as zeros, a blank record of NUL characters.
    core::KojinRecord read(std::int64_t n);
    // File length divided by the record length, rounded down.
    std::int64_t wholeRecords() const;
    // File length in bytes.
    std::int64_t length() const;
    // The bytes of the whole records from record `first` on, at most `count` of them.
    std::string readRecords(std::int64_t first, std::int64_t count);

    // Writes record n, encoded whole first, so that a record that cannot be stored leaves
    // the register alone. Needs a hold for writing.
    void write(std::int64_t n, const core::KojinRecord& record);
    // Writes whole records from record `first` on as one change (storage/record_file.h).
    void writeRecords(std::int64_t first, std::string_view records,
                      const std::function<bool()>& abandon = {});

private:
    friend class Register;
    Transaction(storage::RecordFile& file, storage::LockKind kind, std::chrono::milliseconds wait);
    storage::RecordFile* file_;
};

} // namespace datafiles
