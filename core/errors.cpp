#include "core/errors.h"

#include "core/kojin_record.h"

namespace core {

namespace {
std::string joinCharacters(const std::vector<std::string>& characters) {
    std::string out;
    for (const auto& c : characters) {
        if (!out.empty())
            out += " ";
        out += "「" + c + "」";
    }
    return out;
}

// U+FFFD stands for bytes of a data file (the register or kojinfl.txt) that could not be
// read as a character.
std::string unreadableNote(const std::vector<std::string>& characters) {
    for (const auto& c : characters)
        if (c == "\uFFFD")
            return "\n「\uFFFD」は、読み込んだデータファイル（名簿 kojinnen.txt か、前回の入力 "
                   "kojinfl.txt）の中で、文字として読めなかったバイトです。その部分を正しい文字に"
                   "直してください。";
    return "";
}
} // namespace

UnencodableError::UnencodableError(const std::string& path, std::vector<std::string> characters)
    : UserError("次の文字はファイル「" + path +
                "」に保存できません: " + joinCharacters(characters) + unreadableNote(characters) +
                "\nファイルには何も書き込んでいません。"),
      characters_(std::move(characters)) {}

AmbiguousTextError::AmbiguousTextError(const std::string& path, const std::string& typed)
    : UserError("ファイル「" + path + "」に保存できません。\n理由: 入力の中の「" + typed +
                "」のように、「\"」の後に「,」や改行が続く文字は、読み戻すと別の値に分かれて"
                "しまいます。\nファイルには何も書き込んでいません。") {}

EntryTooLongError::EntryTooLongError(const std::string& path)
    : UserError(
          "ファイル「" + path +
          "」を保存できません。\n理由: ファイルが大きすぎます（読み戻すのは最初の 1 MB までです）。"
          "\nファイルには何も書き込んでいません。") {}

LastEntryError::LastEntryError(const platform::UserError& reason)
    : UserError(std::string(reason.what()) + "\n前回の入力は空欄にしました。") {}

RecordNumberError::RecordNumberError()
    : UserError("番号には 1 から " + std::to_string(kLastRecordNumber) +
                " までの数を入力してください。") {}

RegisterFullError::RegisterFullError(const std::string& path)
    : UserError("名簿「" + path +
                "」は満杯です。これ以上登録できません。\n"
                "何も書き込んでいません。") {}

} // namespace core
