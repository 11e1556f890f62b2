// The last-entry file: reading arbitrary file contents, and writing five values and
// reading them back.

#include "core/calculation.h"
#include "core/module1.h"
#include "core/quoted_values.h"
#include "datafiles/last_entry.h"
#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"
#include "platform/system.h"
#include "storage/small_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
using fuzz::hex;
using Texts = std::array<std::string, 5>;

// A private folder for the process, removed at exit. $TMPDIR is used when set, so that a
// run can keep the files (each written with fsync) on a memory file system.
const std::string& folder() {
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/nenrei-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    static const bool cleanup = [] {
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(path, ec);
        });
        return true;
    }();
    (void)cleanup;
    return path;
}

std::string file() {
    return platform::joinPath(folder(), datafiles::kLastEntryFileName);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::perror(path.c_str());
        std::abort();
    }
}

long filesInFolder() {
    return std::distance(fs::directory_iterator(folder()), fs::directory_iterator());
}

Texts texts(const core::Module1& m) {
    return {m.ksimei, m.kgengou, m.knen, m.ktuki, m.khi};
}

std::string describe(const Texts& t) {
    std::string out;
    for (const std::string& s : t)
        out += "[" + hex(s) + "] ";
    return out;
}

// The file holding `input` (at most 1 MiB is read, more than a fuzz input): what the
// reader makes of it.
void checkRead(std::string_view input) {
    writeFile(file(), input);
    core::Module1 m;
    m.ksimei = m.kgengou = m.knen = m.ktuki = m.khi = "x";
    datafiles::readLastEntry(m, folder()); // throws, failing the run, if it gives a message

    const std::vector<std::string> values = core::parseQuotedValues(input, 5);
    FUZZ_CHECK(values.size() <= 5, hex(input));
    // Each value decoded, half a character at its very end read as a space.
    Texts expected;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string bytes = values[i];
        for (std::size_t at = 0; at < bytes.size(); ++at)
            if (platform::cp932::isLeadByte(static_cast<unsigned char>(bytes[at])) &&
                ++at == bytes.size())
                bytes.back() = ' ';
        expected[i] = platform::cp932::decode(bytes);
    }
    FUZZ_CHECK(texts(m) == expected, hex(input) + ": " + describe(texts(m)));

    // Values come from the text in order, and asking for fewer gives the first of them.
    std::size_t from = 0;
    for (const std::string& v : values) {
        const std::size_t at = input.find(v, from);
        FUZZ_CHECK(at != std::string_view::npos, hex(input) + ": value " + hex(v));
        from = at + v.size();
    }
    for (std::size_t count = 0; count < 5; ++count) {
        const std::vector<std::string> fewer = core::parseQuotedValues(input, count);
        FUZZ_CHECK(fewer.size() == std::min(count, values.size()) &&
                       std::equal(fewer.begin(), fewer.end(), values.begin()),
                   hex(input) + ": " + std::to_string(count) + " values");
    }
}

// Five values taken from the fuzz input: CP932 bytes decoded (text that the file can
// hold), any characters, or raw bytes (UTF-8 or not).
Texts valuesFrom(fuzz::ByteReader& in) {
    Texts t;
    for (std::string& s : t) {
        switch (in.byte() % 3) {
        case 0:
            s = platform::cp932::decode(in.text(24));
            break;
        case 1:
            s = in.unicodeText(8);
            break;
        default:
            s = in.text(24);
        }
    }
    return t;
}

// The five values written and read back. A value that cannot be stored faithfully must
// be refused, leaving the old file as it was; one the file can hold must come back as it
// was.
void checkWriteRead(const Texts& values, std::string_view old) {
    core::Module1 m;
    std::tie(m.ksimei, m.kgengou, m.knen, m.ktuki, m.khi) =
        std::tie(values[0], values[1], values[2], values[3], values[4]);
    bool written = true;
    std::string why;
    try {
        datafiles::writeLastEntry(m, folder());
    } catch (const std::exception& e) {
        written = false;
        why = e.what();
    }
    FUZZ_CHECK(filesInFolder() == 1, describe(values) + "left a temporary file");
    if (!written) {
        FUZZ_CHECK(readFile(file()) == old, describe(values) + "changed the file and threw");
        // Quotes aside, text that CP932 holds as it is must be stored.
        bool storable = true;
        for (const std::string& v : values) {
            const platform::cp932::Encoded e = platform::cp932::encode(v);
            storable = storable && e.ok() &&
                       platform::cp932::decode(e.bytes) == fuzz::asReadBack(v) &&
                       v.find('"') == std::string::npos;
        }
        FUZZ_CHECK(!storable, describe(values) + "refused: " + why);
        return;
    }
    core::Module1 back;
    datafiles::readLastEntry(back, folder());
    Texts expected;
    for (std::size_t i = 0; i < values.size(); ++i)
        expected[i] = fuzz::asReadBack(values[i]);
    FUZZ_CHECK(texts(back) == expected, describe(values) + "wrote " + hex(readFile(file())) +
                                            ", read back " + describe(texts(back)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkRead(input);
    fuzz::ByteReader in(data, size);
    checkWriteRead(valuesFrom(in), input);
    return 0;
}
