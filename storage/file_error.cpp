#include "storage/file_error.h"

#include "platform/reasons.h"

namespace storage {

namespace {

std::string actionText(FileError::Action action) {
    switch (action) {
    case FileError::Action::Open:
        return "を開けません。";
    case FileError::Action::Read:
        return "を読み込めません。";
    case FileError::Action::Write:
        return "に書き込めません。";
    case FileError::Action::Replace:
        return "を保存できません。";
    case FileError::Action::Lock:
        return "を使用できません。";
    }
    return "を扱えません。";
}

std::string quoted(const std::string& path) {
    return "「" + path + "」";
}

// What became of the bytes a failed write had changed.
std::string undoText(WriteError::Undo undo, const std::string& path, int undoErrnum,
                     const std::string& journal) {
    switch (undo) {
    case WriteError::Undo::Unchanged:
        return "ファイル" + quoted(path) + "は書き込む前のままです。";
    case WriteError::Undo::Restored:
        return "書き込んだ分を取り消し、ファイル" + quoted(path) +
               "を書き込む前の状態に戻しました。";
    case WriteError::Undo::Journaled:
        return "書き込んだ分を取り消せませんでした（理由: " + platform::reasonText(undoErrnum) +
               "）。\nファイル" + quoted(path) +
               "は書きかけのままですが、取り消しに使う記録をファイル" + quoted(journal) +
               "に残しました。次にこのファイルを使うときに、書き込む前の状態に戻します。"
               "ディスクやネットワークの接続を確かめてください。";
    case WriteError::Undo::Unknown:
        break;
    }
    return "書き込んだ分を取り消せませんでした（理由: " + platform::reasonText(undoErrnum) +
           "）。\nファイル" + quoted(path) +
           "の末尾に、書きかけのレコードが残っているかもしれません。ディスクやネットワークの"
           "接続を確かめてから、内容を確かめてください。";
}

// The first lines of every message about a journal found beside a file.
std::string foundText(const std::string& path, const std::string& journal) {
    return "ファイル" + quoted(path) +
           "への前回の書き込みが途中で止まっていて、それを取り消すための記録（ジャーナル）" +
           quoted(journal) + "が残っています。\n";
}

std::string unfitText(JournalError::Unfit why) {
    switch (why) {
    case JournalError::Unfit::Mismatch:
        return "この記録は今のファイルに合わないため、使いませんでした。ファイルが、その書き込みの"
               "前とも後とも違う内容になっています（バックアップから戻したり、別の名前で開いて"
               "書き換えたり、消して作り直したりした場合です）。";
    case JournalError::Unfit::Damaged:
        return "この記録は壊れているため、使いませんでした（検査の値が合わないか、ありえない"
               "長さや位置が書かれています）。ファイルには、途中で止まった書き込みの一部が"
               "残っているかもしれません。";
    case JournalError::Unfit::Foreign:
        break;
    }
    return "この名前のファイルは、このプログラムが書いた記録ではないため、使いませんでした。";
}

} // namespace

FileError::FileError(Action action, const std::string& path, int errnum)
    : UserError("ファイル" + quoted(path) + actionText(action) +
                "\n理由: " + platform::reasonText(errnum)) {}

WriteError::WriteError(const std::string& path, int errnum, Undo undo, int undoErrnum,
                       const std::string& journal, const std::string& failed)
    : FileError(
          std::string(FileError(Action::Write, failed.empty() ? path : failed, errnum).what()) +
          (failed.empty() || failed == path
               ? ""
               : "\nこのファイルは、ファイル" + quoted(path) +
                     "に書き込む前に、書き込みを取り消すための記録を置くところです。") +
          "\n" + undoText(undo, path, undoErrnum, journal)),
      undo_(undo) {}

JournalError JournalError::setAside(const std::string& path, const std::string& journal,
                                    const std::string& aside, Unfit why) {
    return JournalError(foundText(path, journal) + unfitText(why) + "\nファイル" + quoted(path) +
                        "は変えていません。記録は" + quoted(aside) +
                        "という名前に変えて残しました。\nファイルの内容を確かめてください（必要なら"
                        "バックアップから戻してください）。次の操作からは、今のファイルをそのまま"
                        "使います。");
}

JournalError JournalError::notSetAside(const std::string& path, const std::string& journal,
                                       Unfit why, int errnum) {
    return JournalError(foundText(path, journal) + unfitText(why) + "\nファイル" + quoted(path) +
                        "は変えていませんが、記録を別の名前に変えられないため（理由: " +
                        platform::reasonText(errnum) +
                        "）、このファイルを使う操作を止めました。\n記録" + quoted(journal) +
                        "を別のフォルダーに移すか名前を変えてから、もう一度操作してください。");
}

JournalError JournalError::unreadable(const std::string& path, const std::string& journal,
                                      int errnum) {
    return JournalError(foundText(path, journal) + "その記録を読めません。\n理由: " +
                        platform::reasonText(errnum) + "\nファイル" + quoted(path) +
                        "は変えていません。記録を読めるようにしてから、もう一度操作してください。");
}

JournalError JournalError::notPlayedBack(const std::string& path, const std::string& journal,
                                         int errnum) {
    return JournalError(foundText(path, journal) +
                        "ファイルを書き込む前の状態に戻せないため、このファイルを使う操作を止め"
                        "ました。\n理由: " +
                        platform::reasonText(errnum) +
                        "\nファイルに書き込めるようにしてから、もう一度操作してください。"
                        "そのときに書き込む前の状態に戻します。");
}

JournalError JournalError::playedBackButKept(const std::string& path, const std::string& journal,
                                             int errnum) {
    return JournalError("ファイル" + quoted(path) +
                        "への前回の書き込みが途中で止まっていたため、ファイルを書き込む前の状態に"
                        "戻しました。\nただし、取り消しに使った記録" +
                        quoted(journal) + "を消せません。\n理由: " + platform::reasonText(errnum) +
                        "\nフォルダーに書き込めるようにしてください。それまで、ファイルを読むことは"
                        "できますが、書き込むことはできません。");
}

JournalError JournalError::keptBlocksWrite(const std::string& path, const std::string& journal,
                                           int errnum) {
    return JournalError("ファイル" + quoted(path) +
                        "は前回途中で止まった書き込みの前の状態に戻してありますが、取り消しに"
                        "使った記録" +
                        quoted(journal) +
                        "を消せないため、書き込めません。\n理由: " + platform::reasonText(errnum) +
                        "\nフォルダーに書き込めるようにしてから、もう一度操作してください。");
}

ShareError ShareError::busy(const std::string& path, const std::string& lockPath,
                            const std::optional<std::string>& computer,
                            const std::optional<std::string>& process,
                            const std::optional<std::string>& since) {
    if (!computer)
        return ShareError("ファイル" + quoted(path) + "を使用できません。\n理由: ファイル" +
                          quoted(lockPath) +
                          "が、別のコンピューターのプログラムが使用中であるしるしとして置かれて"
                          "います。しばらくしてからもう一度操作してください。");
    std::string when;
    if (since && since->size() == 15)
        when = "、" + since->substr(0, 4) + "/" + since->substr(4, 2) + "/" + since->substr(6, 2) +
               " " + since->substr(9, 2) + ":" + since->substr(11, 2) + ":" + since->substr(13, 2) +
               " から";
    return ShareError("ファイル" + quoted(path) + "を使用できません。\n理由: コンピューター「" +
                      *computer + "」のプログラム（プロセス番号 " + process.value_or("?") + when +
                      "）が使用中です。しばらくしてからもう一度操作してください。");
}

ShareError ShareError::unsafe(const std::string& path, const std::string& lockPath) {
    return ShareError(
        "ファイル" + quoted(path) +
        "を使用できません。\n理由: このフォルダーでは、いくつものコンピューターが同じファイルを"
        "使うときに順番を守らせるファイル" +
        quoted(lockPath) +
        "が正しく働きません（同じ名前のファイルがないときだけファイルを作る、という操作ができま"
        "せん）。\n共有フォルダーは、ファイルの作成を一つに限れて、ファイルの情報をためておかない"
        "設定で使ってください（SMB や NFS の通常の設定、sshfs なら "
        "-o dir_cache=no,attr_timeout=0,entry_timeout=0）。ファイルは変えていません。");
}

} // namespace storage
