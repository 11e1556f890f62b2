#include "core/register.h"
#include "forms/ui/layout.h"
#include "meibo/command_line.h"
#include "meibo/dialogs.h"
#include "meibo/meibo_window.h"
#include "platform/system.h"
#include "platform/user_error.h"

#include <QApplication>
#include <QStandardPaths>

#include <iostream>

int main(int argc, char** argv) {
    // Before anything is opened: a file must never take the place of a closed standard
    // descriptor.
    if (!platform::openStandardDescriptors())
        return 1;
    platform::failWritesPastSizeLimit();
#ifndef _WIN32
    // Writing files needs no display: an administrator's scheduled job has none.
    if (meibo::writesFiles(argc, argv) && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    forms::ui::useJapaneseStandardTexts();
    QApplication::setFont(forms::ui::makeFont(forms::ui::Face::PGothic, 10, false));
    meibo::QtDialogs dialogs;

    // The arguments as Qt has them, which on Windows are the UTF-16 ones.
    std::vector<std::string> args;
    for (const QString& a : QCoreApplication::arguments().mid(1))
        args.push_back(a.toStdString());
    meibo::CommandLine line;
    try {
        line = meibo::parseCommandLine(args);
    } catch (const meibo::UsageError& e) {
        std::cerr << "nenrei-meibo: " << e.what()
                  << "\n詳しくは nenrei-meibo --help を見てください。\n";
        return 2;
    }
    if (line.help) {
        std::cout << meibo::kUsage;
        return 0;
    }
    std::string registerPath = line.registerPath;
    if (registerPath.empty()) {
        try {
            registerPath = core::registerPath(platform::executableFolder());
        } catch (const platform::UserError& e) {
            if (line.writes())
                std::cerr << e.what() << '\n';
            else
                dialogs.error(e.what());
            return 1;
        }
    }
    platform::SystemClock clock;
    if (line.writes())
        return meibo::writeFiles(line, registerPath, clock, std::cerr);

    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    meibo::MeiboWindow window({&dialogs, &clock, registerPath, documents.toStdString()});
    dialogs.setParent(&window);
    if (line.on)
        window.setAsOf(*line.on);
    if (line.view)
        window.applyView(*line.view);
    window.show();
    return QApplication::exec();
}
