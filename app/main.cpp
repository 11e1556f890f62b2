#include "keisan.h"
#include "program.h"
#include "qt_dialogs.h"
#include "system.h"
#include "ui.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::ui::useJapaneseStandardTexts();
    // The program ends only through its own quit (the menu's button or a close box).
    QApplication::setQuitOnLastWindowClosed(false);

    platform::QtDialogs dialogs;
    platform::SystemClock clock;
    forms::Program program(
        {&dialogs, &clock, platform::executableFolder(), [] { QCoreApplication::quit(); }});
    program.keisanForm().show();
    return QApplication::exec();
}
