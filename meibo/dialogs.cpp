#include "meibo/dialogs.h"

#include "forms/ui/layout.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace meibo {

using forms::ui::q;

namespace {

const QString kTitle = QStringLiteral("名簿表");

// Import errors can fill a hundred lines: the box shows the first of them and keeps the
// whole text under its details button.
void showBox(QWidget* parent, QMessageBox::Icon icon, const std::string& text) {
    constexpr qsizetype kLines = 20;
    const QString all = q(text);
    const QStringList lines = all.split(QLatin1Char('\n'));
    QMessageBox box(icon, kTitle, all, QMessageBox::Ok, parent);
    if (lines.size() > kLines) {
        box.setText(lines.first(kLines).join(QLatin1Char('\n')) + QStringLiteral("\n…"));
        box.setDetailedText(all);
    }
    box.exec();
}

} // namespace

void QtDialogs::message(const std::string& text) {
    showBox(parent_, QMessageBox::Information, text);
}

void QtDialogs::error(const std::string& text) {
    showBox(parent_, QMessageBox::Warning, text);
}

std::string QtDialogs::openFile(const std::string& title, const std::string& start,
                                const std::string& filter) {
    return QFileDialog::getOpenFileName(parent_, q(title), q(start), q(filter)).toStdString();
}

std::string QtDialogs::saveFile(const std::string& title, const std::string& start,
                                const std::string& filter) {
    return QFileDialog::getSaveFileName(parent_, q(title), q(start), q(filter)).toStdString();
}

bool QtDialogs::choosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
    QPrintPreviewDialog dialog(&printer, parent_);
    dialog.setWindowTitle(QStringLiteral("印刷プレビュー"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&](QPrinter* p) { paint(*p); });
    dialog.exec();
}

} // namespace meibo
