#include "forms/form.h"

#include "datafiles/internal_error.h"
#include "forms/menyu.h"
#include "platform/dialogs.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include <cstdio>
#include <exception>

namespace forms {

void Form::switchTo(QWidget& target) {
    hide();
    target.show();
}

void Form::run(const std::function<void()>& command) {
    datafiles::runCommand(
        command, "データファイル", [this](const std::string& message, const std::string& details) {
            if (!details.empty())
                std::fprintf(stderr, "nenrei: internal error: %s\n", details.c_str());
            program_.dialogs().error(message);
        });
}

void Form::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
        focused->click();
    else
        enterElsewhere();
}

void Form::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        firstShow();
    }
    QWidget::showEvent(event);
}

void Form::closeEvent(QCloseEvent* event) {
    // A close only hides the window; the screen itself lives on.
    event->accept();
    if (onClose_ == OnClose::EndProgram)
        program_.end();
    else
        switchTo(program_.menyuForm());
}

} // namespace forms
