#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// Failures of the program's commands. Each what() is a complete message in Japanese,
// ready to show to the user.
namespace core {

// Text that the code page of the data files cannot hold; nothing was written.
class UnencodableError : public std::runtime_error {
public:
    UnencodableError(const std::string& path, std::vector<std::string> characters);
    const std::vector<std::string>& characters() const { return characters_; }

private:
    std::vector<std::string> characters_;
};

// Texts that, written to a quoted-values file, would read back as other values.
class AmbiguousTextError : public std::runtime_error {
public:
    explicit AmbiguousTextError(const std::string& path);
};

// A number typed by the user that cannot serve as a record number.
class RecordNumberError : public std::runtime_error {
public:
    RecordNumberError();
};

// The register holds as many records as record numbers can address.
class RegisterFullError : public std::runtime_error {
public:
    explicit RegisterFullError(const std::string& path);
};

} // namespace core
