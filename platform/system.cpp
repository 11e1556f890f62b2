#include "platform/system.h"

namespace platform {

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
#ifdef _WIN32
    // Windows takes both separators; a new one is its own.
    constexpr char kSeparator = '\\';
    if (folder.back() == '/' || folder.back() == '\\')
        return folder + name;
#else
    constexpr char kSeparator = '/';
    if (folder.back() == '/')
        return folder + name;
#endif
    return folder + kSeparator + name;
}

} // namespace platform
