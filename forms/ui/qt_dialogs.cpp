#include "forms/ui/qt_dialogs.h"

#include "forms/ui/layout.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <limits>

namespace forms::ui {

namespace {

// A box without a title of its own shows the program's name, not the executable's.
QString titleOrName(const std::string& title) {
    return title.empty() ? QStringLiteral("年齢計算") : q(title);
}

} // namespace

void QtDialogs::message(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, titleOrName(title), q(text),
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

void QtDialogs::error(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, titleOrName({}), q(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

std::string QtDialogs::input(const std::string& prompt, const std::string& title,
                             const std::string& defaultText) {
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(titleOrName(title));
    box.setLabelText(q(prompt));
    box.setTextValue(q(defaultText));
    // Like the screens' text boxes, the entry field takes a text of any length.
    if (auto* field = box.findChild<QLineEdit*>())
        field->setMaxLength(std::numeric_limits<int>::max());
    return box.exec() == QDialog::Accepted ? box.textValue().toStdString() : std::string();
}

} // namespace forms::ui
