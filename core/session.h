#pragma once

#include "core/module1.h"
#include "storage/record_file.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>

namespace core {

// Files held open under a file number, as the program's commands use them.
class FileTable {
public:
    // Opens a record file under `number`, closing whatever was open under it first.
    storage::RecordFile& openRecord(int number, const std::string& path, int recordLength);
    // The record file open under `number`, or nullptr.
    storage::RecordFile* record(int number);
    void close(int number) { files_.erase(number); }
    // Closes every open file. Never fails, also when nothing is open.
    void closeAll() { files_.clear(); }
    std::size_t openCount() const { return files_.size(); }

private:
    std::map<int, std::unique_ptr<storage::RecordFile>> files_;
};

// What the commands share for one run of the program: the shared module, the files held
// open under their numbers, and the folder that holds the data files.
struct Session {
    Module1 m;
    FileTable files;
    std::string folder;
    // How long a command waits for another program to let go of the register.
    std::chrono::milliseconds lockWait = storage::RecordFile::kLockWait;
};

} // namespace core
