#pragma once

#include <QWidget>

namespace forms {

class Program;

// What the four screens share: the program they belong to, a hook for their first
// showing, and what the window's close box does.
class Form : public QWidget {
protected:
    enum class OnClose {
        EndProgram, // the main screens: end the program as the menu's quit button does
        BackToMenu, // the others: act as their "メニューへ" button does
    };

    Form(Program& program, OnClose onClose) : program_(program), onClose_(onClose) {}

    // Runs once, the first time the screen is shown (placing, first focus).
    virtual void firstShow() {}

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    Program& program_;

private:
    OnClose onClose_;
    bool shownBefore_ = false;
};

} // namespace forms
