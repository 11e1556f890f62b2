#include "core/register.h"

#include "core/errors.h"
#include "core/number.h"
#include "platform/system.h"

#include <stdexcept>

namespace core {

namespace {

// A typed record number rounded to a whole number, or RecordNumberError when it cannot
// address a record.
int checkedRecordNumber(std::optional<double> value) {
    if (!value)
        throw RecordNumberError();
    double n = roundHalfEven(*value);
    if (!(n >= 1 && n <= Int16::kMax))
        throw RecordNumberError();
    return static_cast<int>(n);
}

} // namespace

storage::RecordFile& FileTable::openRecord(int number, const std::string& path, int recordLength) {
    close(number);
    auto file = std::make_unique<storage::RecordFile>(path, recordLength);
    storage::RecordFile& ref = *file;
    files_[number] = std::move(file);
    return ref;
}

storage::RecordFile* FileTable::record(int number) {
    auto it = files_.find(number);
    return it == files_.end() ? nullptr : it->second.get();
}

std::string registerPath(const std::string& folder) {
    return platform::joinPath(folder, kRegisterFileName);
}

storage::RecordFile& openRegister(core::FileTable& files, const std::string& folder) {
    files.closeAll();
    return files.openRecord(kRegisterFileNumber, registerPath(folder), KojinRecord::kLength);
}

KojinRecord readRecord(storage::RecordFile& file, int n) {
    return decodeRecord(file.read(n));
}

void writeRecord(storage::RecordFile& file, int n, const KojinRecord& record) {
    file.write(n, encodeRecord(record, file.path()));
}

void countRegister(Session& s) {
    storage::RecordFile& file = openRegister(s.files, s.folder);
    file.lock(storage::RecordFile::LockKind::Exclusive, s.lockWait);
    try {
        // Reading record 1, 2, ... until the end condition makes N + 1 reads and leaves
        // the counter at N + 2; the file length gives the same without reading them all.
        std::int64_t next = file.wholeRecords() + 2;
        if (next > Int16::kMax)
            throw RegisterFullError(file.path());
        s.m.recno.set(next);
    } catch (...) {
        file.unlock();
        throw;
    }
}

KojinRecord registrationRecord(int n, std::string_view gengou, const PersonTexts& person) {
    return KojinRecord::assign(std::to_string(n), person.simei, gengou, person.nen, person.tuki,
                               person.hi);
}

int appendPerson(Session& s, const PersonTexts& person) {
    // The register that countRegister() opened and locked: opening it again would let the
    // lock go before the record is written.
    storage::RecordFile* open = s.files.record(kRegisterFileNumber);
    if (!open)
        throw std::logic_error("appendPerson() without countRegister()");
    storage::RecordFile& file = *open;
    struct LetGo {
        storage::RecordFile& file;
        ~LetGo() { file.unlock(); }
    } letGo{file};
    s.m.recno -= 1;
    int n = s.m.recno.value();
    writeRecord(file, n, registrationRecord(n, s.m.kgengou, person));
    return n;
}

KojinRecord loadRecord(Session& s, std::string_view numberText) {
    int n = checkedRecordNumber(wholeNumber(numberText));
    s.m.recno.set(n);
    storage::RecordFile& file = openRegister(s.files, s.folder);
    RegisterLock lock(file, storage::RecordFile::LockKind::Shared, s.lockWait);
    return readRecord(file, n);
}

void updateRecord(Session& s, const std::array<std::string, 6>& texts) {
    int n = checkedRecordNumber(leadingNumber(texts[0]));
    s.m.recno.set(n);
    storage::RecordFile& file = openRegister(s.files, s.folder);
    RegisterLock lock(file, storage::RecordFile::LockKind::Exclusive, s.lockWait);
    writeRecord(file, n,
                KojinRecord::assign(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]));
}

} // namespace core
