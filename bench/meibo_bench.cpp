// 名簿表 on a full register of 32,766 records, side by side with a bare Qt window holding an
// empty table of the same thirteen columns, in one run (offscreen):
//   - the first screen with its rows painted, from the start of the process and in process;
//   - a re-sort, a change of the as-of date, a keystroke in the name filter, each with the
//     repaint of the rows on screen;
//   - a PDF of 1,000 rows;
//   - the peak memory of each window's process.
// The same program, started with --show bare|meibo REGISTER, is the process measured.
#include "datafiles/commands.h"
#include "meibo/dialogs.h"
#include "meibo/meibo_window.h"
#include "meibo/outputs.h"
#include "meibo/register_snapshot.h"
#include "meibo/table_model.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kFull = 32766;

struct NoDialogs : meibo::Dialogs {
    void message(const std::string&) override {}
    void error(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    std::string openFile(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::string saveFile(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    bool choosePrinter(QPrinter&) override { return false; }
    void preview(QPrinter&, const std::function<void(QPrinter&)>&) override {}
};

// A full register of people with varied names and birth dates, made once per run.
const std::string& fullRegister() {
    static QTemporaryDir folder;
    static const std::string path = [] {
        const std::array<const char*, 8> family{"山田", "佐藤", "鈴木", "高橋",
                                                "田中", "伊藤", "渡辺", "中村"};
        const std::array<const char*, 8> given{"太郎", "花子",   "一郎", "美咲",
                                               "健",   "さくら", "誠",   "由美"};
        const std::array<const char*, 4> eras{"昭和", "平成", "大正", "令和"};
        std::string bytes;
        for (int n = 1; n <= kFull; ++n) {
            const auto i = static_cast<std::size_t>(n);
            bytes += core::encodeRecord(
                core::assign({std::to_string(n),
                              std::string(family[i % 8]) + given[i / 8 % 8] + std::to_string(n),
                              eras[i % 4], std::to_string(n % 30 + 1), std::to_string(n % 12 + 1),
                              std::to_string(n % 28 + 1)}),
                "");
        }
        std::string p = folder.filePath(QStringLiteral("kojinnen.txt")).toStdString();
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }();
    return path;
}

std::unique_ptr<QMainWindow> bareWindow() {
    auto window = std::make_unique<QMainWindow>();
    auto* table = new QTableView(window.get());
    auto* model = new QStandardItemModel(0, static_cast<int>(core::kMeiboColumnCount), table);
    for (std::size_t c = 0; c < core::kMeiboColumnCount; ++c)
        model->setHeaderData(
            static_cast<int>(c), Qt::Horizontal,
            QString::fromStdString(std::string(core::meiboHeading(core::MeiboColumn(c)))));
    table->setModel(model);
    window->setCentralWidget(table);
    window->resize(1000, 600);
    return window;
}

NoDialogs noDialogs;
const platform::Date kOn{2026, 12, 8};
struct FixedClock : platform::Clock {
    platform::Date today() const override { return kOn; }
} fixedClock;

std::unique_ptr<meibo::MeiboWindow> meiboWindow(const std::string& reg) {
    return std::make_unique<meibo::MeiboWindow>(
        meibo::Services{&noDialogs, &fixedClock, reg, QDir::tempPath().toStdString()});
}

// Shown and painted, rows and all.
void firstScreen(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the window was not exposed\n");
    window.grab();
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The process measured: shows one window and says so, then gives its peak memory.
int showOnly(const std::string& which, const std::string& reg) {
    std::unique_ptr<QWidget> window;
    if (which == "bare")
        window = bareWindow();
    else
        window = meiboWindow(reg);
    firstScreen(*window);
    std::printf("shown\n");
    std::fflush(stdout);
    // 名簿表 sorted by name: its collation keys are the largest passing use of memory.
    if (auto* table = window->findChild<QTableView*>(QStringLiteral("table"))) {
        table->sortByColumn(static_cast<int>(core::MeiboColumn::Name), Qt::AscendingOrder);
        window->grab();
    }
    std::printf("%ld\n", peakKilobytes());
    return 0;
}

// Starts the program in --show mode: seconds to its first screen, and its peak memory.
std::pair<double, double> measuredProcess(const char* which) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--show"), QLatin1String(which), QString::fromStdString(fullRegister())});
    double shown = -1;
    while (child.waitForReadyRead(60000)) {
        if (shown < 0 && child.canReadLine() && child.readLine().startsWith("shown")) {
            shown = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            break;
        }
    }
    child.waitForFinished(60000);
    const double kilobytes = child.readAll().trimmed().split('\n').last().toDouble();
    return {shown, kilobytes / 1024};
}

void BM_ProcessFirstScreenAndPeakMemory(benchmark::State& state, const char* which) {
    double megabytes = 0;
    for (auto _ : state) {
        auto [seconds, mb] = measuredProcess(which);
        state.SetIterationTime(seconds);
        megabytes = std::max(megabytes, mb);
    }
    state.counters["peak_MB"] = megabytes;
}
BENCHMARK_CAPTURE(BM_ProcessFirstScreenAndPeakMemory, bare, "bare")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessFirstScreenAndPeakMemory, meibo, "meibo")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

void BM_FirstScreenInProcess_Bare(benchmark::State& state) {
    for (auto _ : state)
        firstScreen(*bareWindow());
}
BENCHMARK(BM_FirstScreenInProcess_Bare)->Unit(benchmark::kMillisecond);

void BM_FirstScreenInProcess_Meibo(benchmark::State& state) {
    fullRegister();
    for (auto _ : state)
        firstScreen(*meiboWindow(fullRegister()));
}
BENCHMARK(BM_FirstScreenInProcess_Meibo)->Unit(benchmark::kMillisecond);

// One window on the full register, shown, for the steps below; closed before Qt ends.
std::unique_ptr<meibo::MeiboWindow> window;
meibo::MeiboWindow& shownWindow() {
    if (!window) {
        window = meiboWindow(fullRegister());
        firstScreen(*window);
    }
    return *window;
}

QTableView* table() {
    return shownWindow().findChild<QTableView*>(QStringLiteral("table"));
}

// Between two columns, each time in the other direction: every sort reorders all rows.
void BM_Resort(benchmark::State& state) {
    const int columns[] = {static_cast<int>(state.range(0)), 0};
    int turn = 0;
    for (auto _ : state) {
        ++turn;
        table()->sortByColumn(columns[turn % 2],
                              turn % 4 < 2 ? Qt::AscendingOrder : Qt::DescendingOrder);
        table()->viewport()->repaint();
    }
}
BENCHMARK(BM_Resort)
    ->Arg(static_cast<int>(core::MeiboColumn::Age))
    ->Arg(static_cast<int>(core::MeiboColumn::Name))
    ->Unit(benchmark::kMillisecond);

// Every column of every record worked out again, refiltered and resorted (by age).
void BM_AsOfDateChange(benchmark::State& state) {
    table()->sortByColumn(static_cast<int>(core::MeiboColumn::Age), Qt::AscendingOrder);
    auto* date = shownWindow().findChild<QDateEdit*>(QStringLiteral("asOfDate"));
    int turn = 0;
    for (auto _ : state) {
        date->setDate(QDate(2026, 12, 8).addDays(++turn % 2 ? 400 : 0));
        table()->viewport()->repaint();
    }
}
BENCHMARK(BM_AsOfDateChange)->Unit(benchmark::kMillisecond);

// A character typed into the name filter and taken away again, in turn, sorted by name.
void BM_FilterKeystroke(benchmark::State& state) {
    table()->sortByColumn(static_cast<int>(core::MeiboColumn::Name), Qt::AscendingOrder);
    auto* name = shownWindow().findChild<QLineEdit*>(QStringLiteral("nameFilter"));
    const std::array<QString, 4> typed{QStringLiteral("山"), QStringLiteral("山田"),
                                       QStringLiteral("山"), QString()};
    std::size_t turn = 0;
    for (auto _ : state) {
        name->setText(typed[turn++ % typed.size()]);
        table()->viewport()->repaint();
    }
    name->clear();
}
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond);

void BM_Pdf1000Rows(benchmark::State& state) {
    const core::MeiboRecords all = meibo::readRegister(fullRegister()).records;
    core::MeiboRecords records;
    for (std::size_t i = 0; i < 1000; ++i)
        records.push_back(all[i]);
    core::MeiboTable t(meibo::japaneseNameRanks);
    t.setAsOf(kOn);
    t.setRecords(std::move(records));
    QTemporaryDir folder;
    const std::string pdf = folder.filePath(QStringLiteral("meibo.pdf")).toStdString();
    for (auto _ : state)
        meibo::writePdf(pdf, t, core::describeFilter(t.filter()), false);
}
BENCHMARK(BM_Pdf1000Rows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--show")
        return showOnly(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window.reset();
    return 0;
}
