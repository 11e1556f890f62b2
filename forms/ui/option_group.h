#pragma once

#include <QObject>

#include <vector>

class QRadioButton;

namespace forms::ui {

// Option buttons that behave as one group, as on the desktop: of the group, Tab stops only
// at the option that is on (the first when none is), at that option's own place in the
// screen's Tab order; the arrow keys move the choice within the group, round from the last
// to the first, and the Tab stop moves with it.
class OptionGroup : public QObject {
public:
    OptionGroup(std::vector<QRadioButton*> options, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateTabStop();

    std::vector<QRadioButton*> options_;
};

} // namespace forms::ui
