#include "forms/ui/qt_dialogs.h"

#include "forms/ui/layout.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace forms::ui {

void QtDialogs::message(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, q(title), q(text), QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

void QtDialogs::error(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("年齢計算"), q(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

std::string QtDialogs::input(const std::string& prompt, const std::string& title,
                             const std::string& defaultText) {
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(), q(title), q(prompt),
                                         QLineEdit::Normal, q(defaultText), &ok);
    return ok ? text.toStdString() : std::string();
}

} // namespace forms::ui
