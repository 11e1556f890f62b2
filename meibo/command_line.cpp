#include "meibo/command_line.h"

#include "csv/csv_tool.h"
#include "datafiles/internal_error.h"
#include "meibo/outputs.h"
#include "meibo/register_snapshot.h"
#include "meibo/table_model.h"
#include "storage/file_error.h"

#include <cerrno>
#include <cstring>

namespace meibo {

const char kUsage[] = R"(使い方:
  nenrei-meibo [--on YYYY-MM-DD] [--view 表示] [名簿]
      名簿表のウィンドウを開きます。
  nenrei-meibo --pdf ファイル [--on YYYY-MM-DD] [--view 表示] [--landscape] [名簿]
  nenrei-meibo --csv ファイル [--on YYYY-MM-DD] [--view 表示] [名簿]
      ウィンドウを開かずに、表を PDF（A4、--landscape で横向き）や CSV に書き出します。
      CSV は nenrei-csv export --more と同じ列と値です。両方を一度に指定できます。
  --on      基準日（省略すると今日）。年齢などはこの日付で計算します。
  --view    定型の表示: birthdays（今月の誕生日）、keirou（敬老の日に 75 歳以上）、
            longevity（今年の長寿祝い）、new-pupils（来年 4 月の新 1 年生）。
            敬老の日と新 1 年生は、基準日をその日に移します。

名簿を省略すると、データファイルのフォルダー（nenrei-csv --help の最後の行）の kojinnen.txt
を使います。
終了状態: 0 成功、1 データやファイルの誤り、2 コマンドラインの誤り、3 プログラムの内部エラー。
)";

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    std::vector<std::string> operands;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 == args.size())
                throw UsageError(a + " の後に値がありません。");
            return args[++i];
        };
        if (!options || a.empty() || a[0] != '-' || a == "-") {
            operands.push_back(a);
        } else if (a == "--") {
            options = false;
        } else if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--on") {
            const std::string& date = value();
            line.on = csvtool::parseDate(date);
            if (!line.on)
                throw UsageError("「" + date + "」は日付（YYYY-MM-DD）ではありません。");
        } else if (a == "--view") {
            const std::string& name = value();
            line.view = core::findMeiboView(name);
            if (!line.view)
                throw UsageError("「" + name + "」という表示はありません。");
        } else if (a == "--pdf") {
            line.pdf = value();
        } else if (a == "--csv") {
            line.csv = value();
        } else if (a == "--landscape") {
            line.landscape = true;
        } else {
            throw UsageError("「" + a + "」というオプションはありません。");
        }
    }
    if (operands.size() > 1)
        throw UsageError("名簿の指定が多すぎます。");
    if (!operands.empty())
        line.registerPath = operands[0];
    return line;
}

bool writesFiles(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strcmp(argv[i], "--csv") == 0)
            return true;
    }
    return false;
}

int writeFiles(const CommandLine& line, const std::string& registerPath,
               const platform::Clock& clock, std::ostream& err) {
    return datafiles::runTool(
        [&] {
            RegisterSnapshot snapshot = readRegister(registerPath);
            // A missing register is an error here, as in the CSV export.
            if (!snapshot.stamp.exists)
                throw storage::FileError(storage::FileError::Action::Open, registerPath, ENOENT);
            if (auto note = partialRecordNote(registerPath, snapshot))
                err << *note << '\n';
            core::MeiboTable table(japaneseNameRanks);
            table.setRecords(std::move(snapshot.records));
            const platform::Date on = line.on.value_or(clock.today());
            if (line.view)
                table.apply(core::meiboView(*line.view, on));
            else
                table.setAsOf(on);
            const std::string conditions = core::describeConditions(table.filter(), line.view);
            if (!line.csv.empty())
                saveFile(line.csv, csvText(table));
            if (!line.pdf.empty())
                writePdf(line.pdf, table, conditions, line.landscape);
        },
        "nenrei-meibo", err);
}

} // namespace meibo
