#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A small file that is read from its start and replaced whole (the last-entry file).
namespace storage {

// The file's first `limit` bytes (all of it when shorter); nothing when it does not exist.
// Throws FileError naming the file when it cannot be opened or read; a pipe or a device is
// refused.
std::optional<std::string> readSmallFile(const std::string& path, std::size_t limit);

// Replaces the file with `bytes` so that it is never left half written: they go to a new
// temporary file beside it (its name with ".tmp" added), flushed, which then takes the
// file's place in one step, its folder flushed. The temporary is made new each time, never
// written through a file or link already there; while another copy of the program saves,
// this one waits for it. A temporary left by a save that stopped is removed when it is a
// plain file of this program's; anything else stops the save, naming it. A file that may
// not be written (marked read-only) is not replaced: FileError says why and it stays as it
// is. When the folder takes no new file but the file may be written, it is rewritten in
// place. A link in the file's place stays, and the file it leads to is replaced; its
// permissions (or, on Windows, attributes) are kept.
void replaceSmallFile(const std::string& path, std::string_view bytes);

} // namespace storage
