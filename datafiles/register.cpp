#include "datafiles/register.h"

#include "platform/system.h"

namespace datafiles {

std::string registerPath(const std::string& folder) {
    return platform::joinPath(folder, kRegisterFileName);
}

Register::Register(const std::string& path, Open open)
    : file_(path, core::kRecordLength, core::kLastRecordNumber, open == Open::OrCreate) {}

Transaction Register::reading(std::chrono::milliseconds wait) {
    return {file_, storage::LockKind::Shared, wait};
}

Transaction Register::writing(std::chrono::milliseconds wait) {
    return {file_, storage::LockKind::Exclusive, wait};
}

Transaction::Transaction(storage::RecordFile& file, storage::LockKind kind,
                         std::chrono::milliseconds wait)
    : file_(&file) {
    file.lock(kind, wait);
}

Transaction::Transaction(Transaction&& other) noexcept : file_(other.file_) {
    other.file_ = nullptr;
}

Transaction::~Transaction() {
    if (file_)
        file_->unlock();
}

core::KojinRecord Transaction::read(std::int64_t n) {
    return core::decodeRecord(file_->read(n));
}

std::int64_t Transaction::wholeRecords() const {
    return file_->wholeRecords();
}

std::int64_t Transaction::length() const {
    return file_->length();
}

std::string Transaction::readRecords(std::int64_t first, std::int64_t count) {
    return file_->readRecords(first, count);
}

void Transaction::write(std::int64_t n, const core::KojinRecord& record) {
    file_->write(n, core::encodeRecord(record, file_->path()));
}

void Transaction::writeRecords(std::int64_t first, std::string_view records,
                               const std::function<bool()>& abandon) {
    file_->writeRecords(first, records, abandon);
}

} // namespace datafiles
