#include "forms/ui/option_group.h"

#include <QKeyEvent>
#include <QRadioButton>

#include <algorithm>

namespace forms::ui {

OptionGroup::OptionGroup(std::vector<QRadioButton*> options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    for (QRadioButton* o : options_) {
        o->installEventFilter(this);
        connect(o, &QRadioButton::toggled, this, [this] { updateTabStop(); });
    }
    updateTabStop();
}

void OptionGroup::updateTabStop() {
    auto on = std::find_if(options_.begin(), options_.end(),
                           [](const QRadioButton* o) { return o->isChecked(); });
    QRadioButton* stop = on == options_.end() ? options_.front() : *on;
    // Every option keeps its place in the focus chain; Tab passes over those that take
    // the focus by click only.
    for (QRadioButton* o : options_)
        o->setFocusPolicy(o == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool OptionGroup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    int step = 0;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    default:
        return QObject::eventFilter(watched, event);
    }
    auto at = std::find(options_.begin(), options_.end(), watched) - options_.begin();
    auto n = static_cast<std::ptrdiff_t>(options_.size());
    QRadioButton* next = options_[static_cast<std::size_t>((at + step + n) % n)];
    next->setChecked(true);
    next->setFocus(Qt::TabFocusReason);
    return true;
}

} // namespace forms::ui
