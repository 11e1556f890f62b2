#include "datafiles/register.h"
#include "forms/ui/layout.h"
#include "meibo/command_line.h"
#include "meibo/dialogs.h"
#include "meibo/meibo_window.h"
#include "platform/standard_streams.h"
#include "platform/system.h"
#include "platform/user_error.h"

#include <QApplication>
#include <QStandardPaths>

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

    // UTF-8 to a console in Japanese, a file or a pipe alike, on every system.
    std::ostream& out = platform::standardStream(platform::StandardStream::Output);
    std::ostream& err = platform::standardStream(platform::StandardStream::Error);
    meibo::CommandLine line;
    try {
        line = meibo::parseCommandLine(platform::programArguments(argc, argv));
    } catch (const meibo::UsageError& e) {
        err << "nenrei-meibo: " << e.what() << "\n詳しくは nenrei-meibo --help を見てください。\n"
            << std::flush;
        return 2;
    }
    if (line.help) {
        out << meibo::kUsage << std::flush;
        return out ? 0 : 1;
    }
    std::string registerPath = line.registerPath;
    if (registerPath.empty()) {
        try {
            registerPath = datafiles::registerPath(platform::dataFolder());
        } catch (const platform::UserError& e) {
            if (line.writes())
                err << e.what() << '\n';
            else
                dialogs.error(e.what());
            return 1;
        }
    }
    platform::SystemClock clock;
    if (line.writes()) {
        const int status = meibo::writeFiles(line, registerPath, clock, err);
        err.flush();
        return status;
    }

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
