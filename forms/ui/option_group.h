#pragma once

#include <QObject>

#include <vector>

class QRadioButton;
class QWidget;

namespace forms::ui {

// Option buttons that behave as one group, as on the desktop: Tab stops at the group once,
// between `before` and `after`, on the option that is on (the first when none is); the
// arrow keys move the choice within the group, round from the last to the first.
class OptionGroup : public QObject {
public:
    OptionGroup(std::vector<QRadioButton*> options, QWidget* before, QWidget* after,
                QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateTabStop();

    std::vector<QRadioButton*> options_;
    QWidget* before_;
    QWidget* after_;
};

} // namespace forms::ui
