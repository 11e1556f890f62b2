#include "meibo/register_watch.h"

#include "forms/ui/layout.h"

#include <QDir>
#include <QFileInfo>

namespace meibo {

RegisterWatch::RegisterWatch(std::function<void()> changed) : changed_(std::move(changed)) {
    poll_.setInterval(kPollMs);
    QObject::connect(&poll_, &QTimer::timeout, [this] { check(); });
    settle_.setSingleShot(true);
    settle_.setInterval(100);
    QObject::connect(&settle_, &QTimer::timeout, [this] { check(); });
    auto soon = [this] { settle_.start(); };
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, soon);
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, soon);
}

void RegisterWatch::watch(const std::string& path, const RegisterStamp& seen) {
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    path_ = path;
    seen_ = seen;
    // The folder tells of a register made or replaced there.
    const QFileInfo file(forms::ui::q(path));
    if (file.absoluteDir().exists())
        watcher_.addPath(file.absolutePath());
    follow();
    poll_.start();
}

void RegisterWatch::check() {
    follow();
    if (registerStamp(path_) != seen_)
        changed_();
}

// A file replaced by another is no longer watched: the new one is.
void RegisterWatch::follow() {
    const QString file = forms::ui::q(path_);
    if (!watcher_.files().contains(file) && QFileInfo::exists(file))
        watcher_.addPath(file);
}

} // namespace meibo
