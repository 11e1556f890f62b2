#include "platform/system.h"

#include "platform/files_native.h"
#include "platform/reasons.h"
#include "platform/user_error.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

namespace platform {

namespace {

// Whether a new file can be made in `folder`: one is made under a name of its own and
// removed again. Permission bits and access() would not tell of ACLs, read-only mounts,
// or the rights of root and of an administrator.
bool takesNewFiles(const std::string& folder) {
    std::mt19937_64 random{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::string probe =
            joinPath(folder, ".nenrei-probe-" + std::to_string(random() % 1000000000000u));
        native::File file;
        const int err = native::open(probe, {native::OpenMode::CreateNew}, file);
        if (err == EEXIST)
            continue;
        if (err != 0)
            return false;
        file.close();
        native::remove(probe);
        return true;
    }
    return false;
}

} // namespace

std::string dataFolder() {
    return dataFolder(executableFolder());
}

std::string dataFolder(const std::string& programFolder) {
    for (std::string_view name : kDataFileNames)
        if (native::exists(joinPath(programFolder, std::string(name))))
            return programFolder;
    return takesNewFiles(programFolder) ? programFolder : userDataFolder();
}

// The program folder is where the data files live: without it, no file is touched.
UserError unknownFolder(int errnum) {
    return UserError("このプログラムのフォルダーが分からないため、データファイル（kojinnen.txt、"
                     "kojinfl.txt）の場所を決められません。\n理由: " +
                     reasonText(errnum) + "\nプログラムを終了します。");
}

UserError noDataFolder(const std::string& folder, int errnum) {
    return UserError("データファイル（kojinnen.txt、kojinfl.txt）を置くフォルダー「" + folder +
                     "」を作れません。\n理由: " + reasonText(errnum) +
                     "\nプログラムのフォルダーには書き込めないため、このフォルダーを使います。");
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
