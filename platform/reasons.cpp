#include "platform/reasons.h"

#include <cerrno>

namespace platform {

std::string reasonText(int errnum) {
    switch (errnum) {
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました。";
    case EROFS:
        return "読み取り専用の場所です。";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "ディスクの空き容量が足りません。";
    case EISDIR:
        return "同じ名前のフォルダーがあります。";
    case ENOENT:
        return "ファイルまたはフォルダーが見つかりません。";
    case ENOTDIR:
        return "パスの途中がフォルダーではありません。";
    case EFBIG:
        return "ファイルが大きすぎます。";
    case EIO:
        return "入出力エラーが発生しました。";
    case EINVAL:
    case ENXIO: // a socket or a device without its driver
    case ENODEV:
        return "通常のファイルではありません。";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます。";
    case EBUSY:
    case EAGAIN:
#if defined(EWOULDBLOCK) && EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case ETXTBSY:
        return "別のプログラムが使用中です。しばらくしてからもう一度操作してください。";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます。";
    case ELOOP:
        return "シンボリックリンクが多すぎるか、循環しています。";
    case EEXIST:
        return "同じ名前のファイルがあります。";
    case ENOMEM:
        return "メモリが足りません。";
    case EOVERFLOW:
        return "ファイルが大きすぎます。";
    case EINTR:
        return "操作が中断されました。";
    case EBADF:
        return "開かれていないか、この使い方では開かれていません。";
    default:
        return "システムエラーが発生しました（エラー番号 " + std::to_string(errnum) + "）。";
    }
}

} // namespace platform
