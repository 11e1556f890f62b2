#include "datafiles/internal_error.h"

#include "platform/user_error.h"
#include "storage/seam.h"

#include <exception>

namespace datafiles {

std::string internalErrorMessage(std::uint64_t writesBefore, std::string_view files) {
    return "プログラムの内部エラーのため、この操作を中止しました。\n" + std::string(files) +
           (storage::writesStarted() == writesBefore
                ? "は変更していません。"
                : "が書き換えられた可能性があります。内容を確かめてください。");
}

Outcome runCommand(
    const std::function<void()>& command, std::string_view files,
    const std::function<void(const std::string& message, const std::string& details)>& tell) {
    const std::uint64_t writesBefore = storage::writesStarted();
    std::string details;
    try {
        command();
        return Outcome::Done;
    } catch (const platform::UserError& e) {
        tell(e.what(), {});
        return Outcome::UserError;
    } catch (const std::exception& e) {
        details = e.what();
    } catch (...) {
        details = "(unknown exception)";
    }
    tell(internalErrorMessage(writesBefore, files), details);
    return Outcome::Defect;
}

int runTool(const std::function<void()>& command, std::string_view program, std::ostream& err) {
    switch (
        runCommand(command, "名簿", [&](const std::string& message, const std::string& details) {
            if (details.empty())
                err << message << '\n';
            else
                err << program << ": " << message << "\n詳細: " << details << '\n';
        })) {
    case Outcome::Done:
        return 0;
    case Outcome::UserError:
        return 1;
    case Outcome::Defect:
        break;
    }
    return 3;
}

} // namespace datafiles
