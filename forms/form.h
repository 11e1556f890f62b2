#pragma once

#include "forms/screens.h"

#include <QWidget>

#include <functional>

namespace forms {

// What the four screens share: the program they belong to, moving between screens,
// running a command, a hook for their first showing, and what the window's close box does.
class Form : public QWidget {
protected:
    enum class OnClose {
        EndProgram, // the main screens: end the program as the menu's quit button does
        BackToMenu, // the others: act as their "メニューへ" button does
    };

    Form(Screens& program, OnClose onClose) : program_(program), onClose_(onClose) {}

    // Hides this screen and shows `target` modeless, as it was left.
    void switchTo(QWidget& target);

    // Runs the command behind a button. A failure meant for the user shows its message; any
    // other exception is a defect, reported as an internal error with its details on
    // standard error. Either way the program stays usable.
    void run(const std::function<void()>& command);

    // Runs once, the first time the screen is shown (placing, first focus).
    virtual void firstShow() {}

    // Enter on a focused button presses it, as on the desktop; elsewhere Enter goes to
    // enterElsewhere(), which does nothing unless the screen has a default button.
    void keyPressEvent(QKeyEvent* event) override;
    virtual void enterElsewhere() {}

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    Screens& program_;

private:
    OnClose onClose_;
    bool shownBefore_ = false;
};

} // namespace forms
