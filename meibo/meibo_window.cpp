#include "meibo/meibo_window.h"

#include "csv/csv_tool.h"
#include "datafiles/internal_error.h"
#include "forms/ui/layout.h"
#include "meibo/dialogs.h"
#include "meibo/filter_bar.h"
#include "meibo/outputs.h"
#include "platform/system.h"
#include "storage/input_stream.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <cstdio>

namespace meibo {

using forms::ui::q;

namespace {

// `path` with `suffix` added when its file name has none.
std::string withSuffix(const std::string& path, const char* suffix) {
    return QFileInfo(q(path)).suffix().isEmpty() ? path + suffix : path;
}

} // namespace

MeiboWindow::MeiboWindow(Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), model_(this),
      watch_([this] { reload(false); }) {
    setObjectName(QStringLiteral("meibo"));
    setWindowTitle(QStringLiteral("名簿表"));
    buildUi();
    buildMenus();
    fitWindow();
    const platform::Date today = services_.clock->today();
    bar_->setState(today, {}, std::nullopt);
    model_.setAsOf(today);
    useRegister(services_.registerPath);
}

MeiboWindow::~MeiboWindow() = default;

void MeiboWindow::buildUi() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    path_ = new QLabel(central);
    path_->setObjectName(QStringLiteral("registerPath"));
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bar_ = new FilterBar(central);
    table_ = new QTableView(central);
    table_->setObjectName(QStringLiteral("table"));
    table_->setAccessibleName(QStringLiteral("名簿表"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    // Tab leaves the table for the next control instead of walking its cells.
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Unsorted (the order of the register) until a heading is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    fitColumns();
    layout->addWidget(path_);
    layout->addWidget(bar_);
    layout->addWidget(table_, 1);
    setCentralWidget(central);
    QWidget::setTabOrder(bar_->last(), table_);
    table_->setFocus();

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("count"));
    statusBar()->addWidget(note_, 1);
    statusBar()->addPermanentWidget(count_);

    bar_->filterChanged = [this] {
        model_.setFilter(bar_->filter());
        refreshStatus();
    };
    bar_->asOfChanged = [this] {
        model_.setAsOf(bar_->asOf());
        refreshStatus();
    };
    bar_->viewChosen = [this](core::MeiboView view) { applyView(view); };
}

void MeiboWindow::buildMenus() {
    // A menu command with its name for the tests and its keys, run by run().
    auto add = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& keys,
                      const std::function<void()>& command) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
    };
    const QKeySequence none;
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    add(file, "openRegister", QStringLiteral("名簿を開く(&O)..."), QKeySequence::Open,
        [this] { openRegister(); });
    file->addSeparator();
    add(file, "saveCsv", QStringLiteral("CSV に保存(&S)..."), QKeySequence::Save,
        [this] { saveCsv(); });
    add(file, "importCsv", QStringLiteral("CSV から追加(&I)..."), none, [this] { importCsv(); });
    file->addSeparator();
    add(file, "savePdf", QStringLiteral("PDF に保存(&D)..."), none, [this] { savePdf(); });
    add(file, "preview", QStringLiteral("印刷プレビュー(&V)..."), none, [this] { preview(); });
    add(file, "print", QStringLiteral("印刷(&P)..."), QKeySequence::Print, [this] { print(); });
    landscape_ = file->addAction(QStringLiteral("用紙を横向きに(&L)"));
    landscape_->setObjectName(QStringLiteral("landscape"));
    landscape_->setCheckable(true);
    file->addSeparator();
    add(file, "close", QStringLiteral("閉じる(&X)"), QKeySequence::Quit, [this] { close(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    add(view, "findName", QStringLiteral("氏名で絞り込む(&F)"), QKeySequence::Find,
        [this] { bar_->focusName(); });
    view->addSeparator();
    int n = 0;
    for (const core::MeiboViewInfo& v : core::kMeiboViews) {
        const std::string name = "view-" + std::string(v.id);
        add(view, name.c_str(), QStringLiteral("&%1 %2").arg(++n).arg(q(v.label)), none,
            [this, v] { applyView(v.view); });
    }
    view->addSeparator();
    add(view, "reload", QStringLiteral("最新の内容に更新(&R)"), QKeySequence::Refresh,
        [this] { reload(true); });
}

// Each column as wide as the widest text its cells can hold: a record's field at its full
// width, or the longest computed value.
void MeiboWindow::fitColumns() {
    const QFontMetrics fm(table_->font());
    const QString digits = QStringLiteral("00000");
    const QString wide = QString(10, QChar(0x5C71)); // ten full-width characters
    const QStringList samples[] = {{digits},
                                   {wide, QString(20, QLatin1Char('x'))},
                                   {QStringLiteral("令和"), QStringLiteral("xxxxx")},
                                   {QStringLiteral("元年"), digits.left(4)},
                                   {QStringLiteral("１２"), digits.left(4)},
                                   {QStringLiteral("３１"), digits.left(4)},
                                   {QStringLiteral("0000/00/00")},
                                   {QStringLiteral("-0000")},
                                   {digits.left(3)},
                                   {digits.left(3)},
                                   {QStringLiteral("年少")},
                                   {QStringLiteral("甲子")},
                                   {QStringLiteral("長寿祝い")}};
    QHeaderView* header = table_->horizontalHeader();
    // Room for the heading beside the sort arrow, and for the cell's margins.
    const int margin = fm.height() * 2;
    for (int c = 0; c < model_.columnCount(); ++c) {
        int width =
            fm.horizontalAdvance(model_.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        for (const QString& s : samples[c])
            width = std::max(width, fm.horizontalAdvance(s));
        header->resizeSection(c, width + margin);
    }
    table_->verticalHeader()->setDefaultSectionSize(fm.height() * 3 / 2);
}

// Wide enough for every column and twenty rows high, but never larger than the screen.
void MeiboWindow::fitWindow() {
    int width = table_->frameWidth() * 2 + table_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < model_.columnCount(); ++c)
        width += table_->horizontalHeader()->sectionSize(c);
    const int height = table_->horizontalHeader()->sizeHint().height() +
                       table_->verticalHeader()->defaultSectionSize() * 20;
    QSize size = sizeHint();
    const QMargins margins = centralWidget()->layout()->contentsMargins();
    size.setWidth(std::max(size.width(), width + margins.left() + margins.right()));
    size.setHeight(size.height() - table_->sizeHint().height() + height);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
}

void MeiboWindow::useRegister(const std::string& registerPath) {
    services_.registerPath = registerPath;
    path_->setText(QStringLiteral("名簿: ") + q(registerPath));
    watch_.watch(registerPath, {});
    reload(false);
}

void MeiboWindow::reload(bool userAsked) {
    const std::string& path = services_.registerPath;
    try {
        RegisterSnapshot snapshot = readRegister(path, userAsked ? Wait::Full : Wait::Brief);
        watch_.seen(snapshot.stamp);
        if (!snapshot.stamp.exists)
            notes_ = "名簿「" + path + "」はまだありません。登録すると、ここに表示されます。";
        else
            notes_ = partialRecordNote(path, snapshot).value_or("");
        model_.setRecords(std::move(snapshot.records));
    } catch (const platform::UserError& e) {
        // The rows read before stay; the next look at the register tries again.
        notes_ = e.what();
        if (userAsked)
            services_.dialogs->error(e.what());
    }
    refreshStatus();
}

void MeiboWindow::setAsOf(const platform::Date& on) {
    bar_->setState(on, bar_->filter(), std::nullopt);
    model_.setAsOf(on);
    refreshStatus();
}

void MeiboWindow::applyView(core::MeiboView view) {
    const core::MeiboSettings settings = core::meiboView(view, bar_->asOf());
    bar_->setState(settings.on, settings.filter, view);
    model_.apply(settings);
    const core::SortKey& key = settings.sort.front();
    table_->horizontalHeader()->setSortIndicator(
        static_cast<int>(key.column), key.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    refreshStatus();
}

void MeiboWindow::refreshStatus() {
    const core::MeiboTable& t = model_.table();
    count_->setText(q(core::countText(t.total(), t.shown().size())));
    note_->setText(q(notes_));
}

std::string MeiboWindow::conditions() const {
    return core::describeConditions(bar_->filter(), bar_->view());
}

std::string MeiboWindow::chooseSaveFile(const std::string& type, const char* suffix) const {
    const std::string path = services_.dialogs->saveFile(
        type + " に保存", platform::joinPath(services_.documents, "名簿表" + std::string(suffix)),
        type + " ファイル (*" + suffix + ")");
    return path.empty() ? path : withSuffix(path, suffix);
}

void MeiboWindow::run(const std::function<void()>& command) {
    datafiles::runCommand(
        command, "名簿", [this](const std::string& message, const std::string& details) {
            if (!details.empty())
                std::fprintf(stderr, "nenrei-meibo: internal error: %s\n", details.c_str());
            services_.dialogs->error(message);
        });
}

void MeiboWindow::openRegister() {
    const std::string path = services_.dialogs->openFile("名簿を開く", services_.registerPath,
                                                         "名簿 (*.txt);;すべてのファイル (*)");
    if (!path.empty())
        useRegister(path);
}

void MeiboWindow::saveCsv() {
    const std::string path = chooseSaveFile("CSV", ".csv");
    if (path.empty())
        return;
    saveFile(path, csvText(model_.table()));
    services_.dialogs->message(std::to_string(model_.table().shown().size()) + " 件を「" + path +
                               "」に保存しました。");
}

void MeiboWindow::importCsv() {
    const std::string path = services_.dialogs->openFile(
        "CSV から追加", services_.documents, "CSV ファイル (*.csv);;すべてのファイル (*)");
    if (path.empty())
        return;
    storage::InputStream csv(path);
    const int added =
        csvtool::importCsv([&](char* to, std::size_t size) { return csv.read(to, size); }, path,
                           services_.registerPath);
    reload(true);
    services_.dialogs->message(std::to_string(added) + " 件を追加しました。");
}

void MeiboWindow::savePdf() {
    const std::string path = chooseSaveFile("PDF", ".pdf");
    if (path.empty())
        return;
    writePdf(path, model_.table(), conditions(), landscape_->isChecked());
    services_.dialogs->message("「" + path + "」に保存しました。");
}

void MeiboWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, landscape_->isChecked());
    if (services_.dialogs->choosePrinter(printer))
        printTable(printer, model_.table(), conditions());
}

void MeiboWindow::preview() {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, landscape_->isChecked());
    // The preview paints from inside Qt's event handling, where no exception may pass.
    services_.dialogs->preview(printer, [this](QPrinter& p) {
        run([&] { printTable(p, model_.table(), conditions()); });
    });
}

} // namespace meibo
