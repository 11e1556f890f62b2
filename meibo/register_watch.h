#pragma once

#include "meibo/register_snapshot.h"

#include <QFileSystemWatcher>
#include <QTimer>

#include <functional>
#include <string>

namespace meibo {

// Tells when the register has changed since it was last read: the file system's word for
// the file and its folder, and a look at the file's stamp about once a second, since a
// change made from another computer on a shared folder raises no event here.
class RegisterWatch {
public:
    static constexpr int kPollMs = 1000;

    explicit RegisterWatch(std::function<void()> changed);

    // Watches the register at `path`, as it was when read.
    void watch(const std::string& path, const RegisterStamp& seen);
    // The state just read.
    void seen(const RegisterStamp& stamp) { seen_ = stamp; }
    // Calls `changed` when the register is not as last read.
    void check();

private:
    void follow();

    std::function<void()> changed_;
    std::string path_;
    RegisterStamp seen_;
    QFileSystemWatcher watcher_;
    QTimer poll_;
    QTimer settle_; // folds a burst of events into one look
};

} // namespace meibo
