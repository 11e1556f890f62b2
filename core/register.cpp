#include "register.h"

#include "errors.h"
#include "number.h"
#include "system.h"

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

std::string registerPath(const std::string& folder) {
    return platform::joinPath(folder, kRegisterFileName);
}

platform::RecordFile& openRegister(platform::FileTable& files, const std::string& folder) {
    files.closeAll();
    return files.openRecord(kRegisterFileNumber, registerPath(folder), KojinRecord::kLength);
}

KojinRecord readRecord(platform::RecordFile& file, int n) {
    return decodeRecord(file.read(n));
}

void writeRecord(platform::RecordFile& file, int n, const KojinRecord& record) {
    file.write(n, encodeRecord(record, file.path()));
}

void countRegister(Module1& m, platform::FileTable& files, const std::string& folder) {
    platform::RecordFile& file = openRegister(files, folder);
    // Reading record 1, 2, ... until the end condition makes N + 1 reads and leaves the
    // counter at N + 2; the file length gives the same without reading every record.
    std::int64_t next = file.wholeRecords() + 2;
    if (next > Int16::kMax)
        throw RegisterFullError(file.path());
    m.recno.set(next);
}

KojinRecord registrationRecord(int n, std::string_view gengou, const PersonTexts& person) {
    return KojinRecord::assign(std::to_string(n), person.simei, gengou, person.nen, person.tuki,
                               person.hi);
}

int appendPerson(Module1& m, platform::FileTable& files, const std::string& folder,
                 const PersonTexts& person) {
    platform::RecordFile& file = openRegister(files, folder);
    m.recno -= 1;
    int n = m.recno.value();
    writeRecord(file, n, registrationRecord(n, m.kgengou, person));
    return n;
}

KojinRecord loadRecord(Module1& m, platform::FileTable& files, const std::string& folder,
                       std::string_view numberText) {
    int n = checkedRecordNumber(wholeNumber(numberText));
    m.recno.set(n);
    platform::RecordFile& file = openRegister(files, folder);
    return readRecord(file, n);
}

void updateRecord(Module1& m, platform::FileTable& files, const std::string& folder,
                  const std::array<std::string, 6>& texts) {
    int n = checkedRecordNumber(leadingNumber(texts[0]));
    m.recno.set(n);
    platform::RecordFile& file = openRegister(files, folder);
    writeRecord(file, n,
                KojinRecord::assign(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]));
}

} // namespace core
