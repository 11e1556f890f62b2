#pragma once

#include "platform/user_error.h"

#include <string>
#include <vector>

// Failures of the program's commands that the user can act on.
namespace core {

// Text that the code page of the data files cannot hold; nothing was written.
class UnencodableError : public platform::UserError {
public:
    UnencodableError(const std::string& path, std::vector<std::string> characters);
    const std::vector<std::string>& characters() const { return characters_; }

private:
    std::vector<std::string> characters_;
};

// Texts that, written to a quoted-values file, would read back as other values; `typed` is
// the part that splits them (a quote and what follows it, as typed).
class AmbiguousTextError : public platform::UserError {
public:
    AmbiguousTextError(const std::string& path, const std::string& typed);
};

// An entry whose line would be longer than the part of the last-entry file that is read.
class EntryTooLongError : public platform::UserError {
public:
    explicit EntryTooLongError(const std::string& path);
};

// The last-entry file exists but cannot be read; the entry was left empty.
class LastEntryError : public platform::UserError {
public:
    explicit LastEntryError(const platform::UserError& reason);
};

// A number typed by the user that cannot serve as a record number.
class RecordNumberError : public platform::UserError {
public:
    RecordNumberError();
};

// The register holds as many records as record numbers can address.
class RegisterFullError : public platform::UserError {
public:
    explicit RegisterFullError(const std::string& path);
};

} // namespace core
