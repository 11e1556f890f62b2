#include "storage/seam.h"

#include <atomic>
#include <cerrno>

namespace storage {

namespace {
std::atomic<std::uint64_t> writes{0};
std::atomic<faults::Hook> hook{nullptr};
} // namespace

void faults::setHook(Hook h) {
    hook = h;
}

int faults::check(const char* name) {
    const Hook h = hook.load();
    return h ? h(name) : 0;
}

int writeCall(const char* name, platform::native::File& file, std::int64_t offset,
              std::string_view bytes) {
    if (const faults::Hook h = hook.load()) {
        const int err = h(name);
        if (err == faults::kTear) {
            // As a power cut in the middle of the write would leave the disk.
            file.writeAt(offset, bytes.substr(0, bytes.size() / 2));
            h("torn");
            return EIO;
        }
        if (err)
            return err;
    }
    return file.writeAt(offset, bytes);
}

std::uint64_t writesStarted() {
    return writes;
}

void countWrite() {
    ++writes;
}

} // namespace storage
