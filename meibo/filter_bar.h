#pragma once

#include "core/meibo.h"

#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace meibo {

// The controls above the table: the as-of date with its era, the ready-made views and the
// filter's conditions. Tells the window what the user changed; the window decides.
class FilterBar : public QWidget {
public:
    explicit FilterBar(QWidget* parent = nullptr);

    std::function<void()> filterChanged;
    std::function<void()> asOfChanged;
    std::function<void(core::MeiboView)> viewChosen;

    core::MeiboFilter filter() const;
    platform::Date asOf() const;
    // Shows these without telling the window; `view` is the ready-made view they come from.
    void setState(const platform::Date& on, const core::MeiboFilter& filter,
                  std::optional<core::MeiboView> view);
    std::optional<core::MeiboView> view() const;

    // To the name's box, its text selected (Ctrl+F).
    void focusName();
    // The first and last controls, in the Tab order.
    QWidget* first() const;
    QWidget* last() const;

private:
    void build();
    void userChanged(bool asOf);

    QDateEdit* date_ = nullptr;
    QLabel* era_ = nullptr;
    QComboBox* view_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* ageBasis_ = nullptr;
    QSpinBox* ageFrom_ = nullptr;
    QSpinBox* ageTo_ = nullptr;
    QComboBox* month_ = nullptr;
    QComboBox* schoolClass_ = nullptr;
    QCheckBox* celebration_ = nullptr;
    QPushButton* clear_ = nullptr;
    bool quiet_ = false; // while the window sets the controls
};

} // namespace meibo
