#include "datafiles/internal_error.h"

#include "storage/seam.h"

namespace datafiles {

std::string internalErrorMessage(std::uint64_t writesBefore, std::string_view files) {
    return "プログラムの内部エラーのため、この操作を中止しました。\n" + std::string(files) +
           (storage::writesStarted() == writesBefore
                ? "は変更していません。"
                : "が書き換えられた可能性があります。内容を確かめてください。");
}

} // namespace datafiles
