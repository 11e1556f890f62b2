#include "app/program.h"
#include "forms/keisan.h"
#include "forms/ui/layout.h"
#include "forms/ui/qt_dialogs.h"
#include "platform/system.h"
#include "platform/user_error.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Before anything is opened: a data file must never take the place of a closed
    // standard descriptor.
    if (!platform::openStandardDescriptors())
        return 1;
    platform::failWritesPastSizeLimit();
    QApplication app(argc, argv);
    forms::ui::useJapaneseStandardTexts();
    // The program ends only through its own quit (the menu's button or a close box).
    QApplication::setQuitOnLastWindowClosed(false);

    forms::ui::QtDialogs dialogs;
    std::string folder;
    try {
        folder = platform::dataFolder();
    } catch (const platform::UserError& e) {
        dialogs.error(e.what());
        return 1;
    }
    platform::SystemClock clock;
    app::Program program({&dialogs, &clock, folder, [] { QCoreApplication::quit(); }});
    program.keisanForm().show();
    return QApplication::exec();
}
