#include "datafiles/last_entry.h"

#include "core/calculation.h"
#include "core/errors.h"
#include "core/quoted_values.h"
#include "platform/system.h"
#include "storage/file_error.h"
#include "storage/small_file.h"

#include <optional>

namespace datafiles {

void readLastEntry(core::Module1& m, const std::string& folder) {
    std::optional<std::string> text;
    std::optional<storage::FileError> problem;
    try {
        text = storage::readSmallFile(platform::joinPath(folder, kLastEntryFileName),
                                      core::kMaxQuotedFileBytes);
    } catch (const storage::FileError& e) {
        problem = e;
    }
    core::takeLastEntry(m, text.value_or(""));
    if (problem)
        throw core::LastEntryError(*problem);
}

void writeLastEntry(const core::Module1& m, const std::string& folder) {
    const std::string path = platform::joinPath(folder, kLastEntryFileName);
    storage::replaceSmallFile(path, core::lastEntryLine(m, path));
}

} // namespace datafiles
