#include "form.h"

#include "menyu.h"
#include "program.h"

#include <QCloseEvent>

namespace forms {

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
        program_.menyuForm().show();
}

} // namespace forms
