#include "csv/csv_tool.h"

#include "core/reckoning.h"
#include "datafiles/internal_error.h"
#include "datafiles/register.h"
#include "storage/input_stream.h"

#include <cstdint>
#include <cstdio>

namespace csvtool {

namespace {

// The columns of the export and of the import come from the record's one field table.
std::string usage() {
    auto joined = [](const auto& names, std::string_view separator) {
        std::string out;
        for (const auto& name : names)
            out += (out.empty() ? "" : std::string(separator)) + std::string(name);
        return out;
    };
    std::vector<std::string> required;
    for (std::size_t i = 1; i < core::kFieldCount; ++i)
        required.emplace_back(core::kFields[i].heading);
    return "使い方:\n"
           "  nenrei-csv export [--on YYYY-MM-DD] [--more] [名簿]\n"
           "      名簿を CSV（UTF-8、BOM 付き、改行は CR LF）にして標準出力に書き出します。\n"
           "      列は " +
           joined(exportHeader(false), ",") +
           " で、1 行が 1 件です。\n"
           "      西暦生年と年齢は --on の日付（省略すると今日）で計算します。\n"
           "      --more を付けると、同じ日付の " +
           joined(core::kReckoningHeadings, ",") +
           " の列を加えます。\n"
           "      =、+、-、@ などで始まる値は、表計算ソフトが式として扱わないよう ' "
           "を前に付けます。\n"
           "  nenrei-csv import CSV [名簿]\n"
           "      CSV ファイル（UTF-8）の各行を、名簿の末尾に「登　　録」と同じ形で追加します。\n"
           "      CSV を - とすると標準入力から読みます。\n"
           "      1 行目は列の名前で、" +
           joined(required, "・") +
           "の列が要ります（順序は自由、ほかの列は\n"
           "      無視します）。誤りのある行が 1 行でもあれば、何も追加しません。\n"
           "  nenrei-csv --help\n"
           "      この説明を表示します。\n"
           "\n"
           "名簿を省略すると、データファイルのフォルダーの kojinnen.txt "
           "を使います。これはプログラムの\n"
           "フォルダーですが、そこにデータファイルがなく、新しいファイルも作れないときは、ユーザー"
           "の\n"
           "データフォルダー（"
#ifdef _WIN32
           "%LOCALAPPDATA%\\年齢計算"
#else
           "$XDG_DATA_HOME/nenrei、設定がなければ ~/.local/share/nenrei"
#endif
           "）です。\n"
           "終了状態: 0 成功、1 データやファイルの誤り、2 コマンドラインの誤り、3 "
           "プログラムの内部エラー。\n";
}

// A command line the tool does not understand.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace

std::optional<platform::Date> parseDate(const std::string& text) {
    int y = 0, m = 0, d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    for (unsigned i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    auto number = [&](std::size_t at, std::size_t digits) {
        return std::stoi(text.substr(at, digits));
    };
    y = number(0, 4), m = number(5, 2), d = number(8, 2);
    if (!core::isCalendarDate(y, m, d))
        return std::nullopt;
    return platform::Date{y, m, d};
}

namespace {

struct CommandLine {
    std::string command;
    std::optional<platform::Date> on;
    bool more = false;
    std::vector<std::string> operands;
};

CommandLine parse(const std::vector<std::string>& args) {
    if (args.empty())
        throw UsageError("コマンド（export または import）がありません。");
    CommandLine line{args[0], std::nullopt, false, {}};
    if (line.command != "export" && line.command != "import")
        throw UsageError("「" + line.command + "」というコマンドはありません。");
    bool options = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && line.command == "export" && (a == "--on" || a.starts_with("--on="))) {
            if (a == "--on" && i + 1 == args.size())
                throw UsageError("--on の後に日付（YYYY-MM-DD）がありません。");
            std::string date = a == "--on" ? args[++i] : a.substr(5);
            line.on = parseDate(date);
            if (!line.on)
                throw UsageError("「" + date + "」は日付（YYYY-MM-DD）ではありません。");
        } else if (options && line.command == "export" && a == "--more") {
            line.more = true;
        } else if (options && a.size() > 1 && a[0] == '-') {
            throw UsageError("「" + a + "」というオプションはありません。");
        } else {
            line.operands.push_back(a);
        }
    }
    std::size_t least = line.command == "import" ? 1 : 0;
    if (line.operands.size() < least)
        throw UsageError("取り込む CSV ファイルを指定してください。");
    if (line.operands.size() > least + 1)
        throw UsageError("ファイルの指定が多すぎます。");
    return line;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const platform::Clock& clock, const std::function<std::string()>& dataFolder) {
    for (const std::string& a : args) {
        if (a == "--")
            break;
        if (a == "--help" || a == "-h") {
            out << usage() << "データファイルのフォルダー: ";
            try {
                out << dataFolder() << '\n';
            } catch (const platform::UserError& e) {
                out << "決められません。\n" << e.what() << '\n';
            }
            return 0;
        }
    }
    CommandLine line;
    try {
        line = parse(args);
    } catch (const UsageError& e) {
        err << "nenrei-csv: " << e.what() << "\n詳しくは nenrei-csv --help を見てください。\n";
        return 2;
    }
    const bool exporting = line.command == "export";
    const std::size_t registerAt = exporting ? 0 : 1;
    return datafiles::runTool(
        [&] {
            const std::string registerPath = line.operands.size() > registerAt
                                                 ? line.operands[registerAt]
                                                 : datafiles::registerPath(dataFolder());
            if (exporting) {
                if (auto note = exportRegister(registerPath, line.on.value_or(clock.today()),
                                               line.more, out))
                    err << *note << '\n';
            } else {
                const std::string& csvPath = line.operands[0];
                storage::InputStream csv(csvPath);
                int added =
                    importCsv([&](char* to, std::size_t size) { return csv.read(to, size); },
                              storage::InputStream::shownName(csvPath), registerPath);
                err << added << " 件を追加しました。\n";
            }
        },
        // Anything but a UserError is a defect of the tool, not bad data.
        "nenrei-csv", err);
}

} // namespace csvtool
