#include "datafiles/commands.h"

#include "core/errors.h"
#include "core/number.h"

#include <array>
#include <optional>

namespace datafiles {

namespace {

// A typed record number rounded to a whole number, or RecordNumberError when it cannot
// address a record.
int checkedRecordNumber(std::optional<double> value) {
    if (!value)
        throw core::RecordNumberError();
    double n = core::roundHalfEven(*value);
    if (!(n >= 1 && n <= core::kLastRecordNumber))
        throw core::RecordNumberError();
    return static_cast<int>(n);
}

} // namespace

Register& openRegister(Session& s) {
    s.closeAll();
    s.open = std::make_unique<Register>(registerPath(s.folder));
    return *s.open;
}

Transaction countRegister(Session& s) {
    Transaction held = openRegister(s).writing(s.lockWait);
    // Reading record 1, 2, ... until the end condition makes N + 1 reads and leaves the
    // counter at N + 2; the file length gives the same without reading them all.
    const std::int64_t next = held.wholeRecords() + 2;
    if (next > core::kLastRecordNumber)
        throw core::RegisterFullError(s.open->path());
    s.m.recno.set(next);
    return held;
}

core::KojinRecord registrationRecord(int n, std::string_view gengou, const PersonTexts& person) {
    core::KojinRecord r;
    r.bangou = std::to_string(n);
    r.simei = person.simei;
    r.gengou = gengou;
    r.nen = person.nen;
    r.tuki = person.tuki;
    r.hi = person.hi;
    return core::fitted(std::move(r));
}

int appendPerson(Session& s, Transaction& held, const PersonTexts& person) {
    s.m.recno -= 1;
    const int n = s.m.recno.value();
    held.write(n, registrationRecord(n, s.m.kgengou, person));
    return n;
}

core::KojinRecord loadRecord(Session& s, std::string_view numberText) {
    const int n = checkedRecordNumber(core::wholeNumber(numberText));
    s.m.recno.set(n);
    return openRegister(s).reading(s.lockWait).read(n);
}

void updateRecord(Session& s, const core::FieldTexts& texts) {
    const int n = checkedRecordNumber(core::leadingNumber(texts[0]));
    s.m.recno.set(n);
    std::array<std::string_view, core::kFieldCount> views;
    std::copy(texts.begin(), texts.end(), views.begin());
    openRegister(s).writing(s.lockWait).write(n, core::assign(views));
}

} // namespace datafiles
