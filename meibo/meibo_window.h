#pragma once

#include "core/meibo.h"
#include "meibo/register_watch.h"
#include "meibo/table_model.h"
#include "platform/system.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QTableView;

namespace meibo {

class Dialogs;
class FilterBar;

// What the window needs from its surroundings; tests pass scripted dialogs, a fixed date and
// temporary folders.
struct Services {
    Dialogs* dialogs = nullptr;
    const platform::Clock* clock = nullptr;
    std::string registerPath;
    std::string documents; // where the CSV and PDF dialogs start
};

// 名簿表: the whole register in one table as of a chosen date, sorted and filtered, printed,
// saved as CSV or PDF, and kept up to date as the register changes.
class MeiboWindow : public QMainWindow {
public:
    explicit MeiboWindow(Services services, QWidget* parent = nullptr);
    ~MeiboWindow() override;

    void setAsOf(const platform::Date& on);
    void applyView(core::MeiboView view);
    // Reads the register again now; `userAsked` shows a failure in a box and waits the whole
    // lock wait, otherwise the line under the table tells it and the next look tries again.
    void reload(bool userAsked);

private:
    void buildUi();
    void buildMenus();
    void fitColumns();
    void fitWindow();
    void useRegister(const std::string& registerPath);
    void refreshStatus();
    // Runs a command: a failure meant for the user shows its message, anything else is told
    // as an internal error; the window stays usable either way.
    void run(const std::function<void()>& command);
    std::string conditions() const;
    // The file the user chooses to save as 名簿表 of `type` (CSV, PDF), offered in the
    // documents folder; `suffix` is added to a name without one. Empty when cancelled.
    std::string chooseSaveFile(const std::string& type, const char* suffix) const;

    void openRegister();
    void saveCsv();
    void importCsv();
    void savePdf();
    void print();
    void preview();

    Services services_;
    TableModel model_;
    RegisterWatch watch_;
    FilterBar* bar_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* path_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* note_ = nullptr;
    QAction* landscape_ = nullptr;
    std::string notes_; // the register's own note: missing, a partial record, a failed read
};

} // namespace meibo
