#pragma once

#include "core/meibo.h"

#include <cstdint>
#include <optional>
#include <string>

// The one place where 名簿表 reads the register: whole, in one read, under the shared lock
// that every reader of the register takes.
namespace meibo {

// What tells one state of the register file from another without reading it.
struct RegisterStamp {
    bool exists = false;
    std::int64_t length = 0;
    std::int64_t modified = 0; // the time of the last write, in the file system's ticks
    bool operator==(const RegisterStamp&) const = default;
};

struct RegisterSnapshot {
    core::MeiboRecords records;    // records 1 to N
    std::int64_t partialBytes = 0; // a partial record at the end, left out
    RegisterStamp stamp;           // of the file as it was read
};

// The stamp of the register at `path` as it is now.
RegisterStamp registerStamp(const std::string& path);

// How long a read waits for a writer: as long as every reader of the register waits, or, for
// a look the user did not ask for, briefly (the next look tries again).
enum class Wait { Full, Brief };

// Every whole record of the register at `path`. A missing register reads as empty, and is
// not created. Throws storage::FileError when the register cannot be read, or when another
// program holds it for longer than the wait.
RegisterSnapshot readRegister(const std::string& path, Wait wait = Wait::Full);

// The note for a register that ends in a partial record, as the CSV export words it; nothing
// when it does not.
std::optional<std::string> partialRecordNote(const std::string& path,
                                             const RegisterSnapshot& snapshot);

} // namespace meibo
