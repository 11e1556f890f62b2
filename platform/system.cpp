#include "platform/system.h"

#include "platform/reasons.h"
#include "platform/user_error.h"

namespace platform {

// The program folder is where the data files live: without it, no file is touched.
UserError unknownFolder(int errnum) {
    return UserError("このプログラムのフォルダーが分からないため、データファイル（kojinnen.txt、"
                     "kojinfl.txt）の場所を決められません。\n理由: " +
                     reasonText(errnum) + "\nプログラムを終了します。");
}

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
