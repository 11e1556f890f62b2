#pragma once

#include "core/kojin_record.h"
#include "meibo/dialogs.h"

#include <QPrinter>
#include <QTest>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace meibo_testing {

// The window's boxes answered from a script, every call recorded.
class ScriptedBoxes : public meibo::Dialogs {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }
    std::string openFile(const std::string&, const std::string& start,
                         const std::string&) override {
        return answer(start);
    }
    std::string saveFile(const std::string&, const std::string& start,
                         const std::string&) override {
        return answer(start);
    }
    bool choosePrinter(QPrinter& printer) override {
        ++printDialogs;
        return printTo && printTo(printer);
    }
    void preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override {
        if (printTo && printTo(printer))
            paint(printer);
    }

    std::vector<std::string> messages, errors;
    std::deque<std::string> files; // answers of the file dialogs, in turn
    std::vector<std::string> starts;
    std::function<bool(QPrinter&)> printTo; // sets the printer up; false cancels
    int printDialogs = 0;

private:
    std::string answer(const std::string& start) {
        starts.push_back(start);
        if (files.empty())
            return {};
        std::string f = files.front();
        files.pop_front();
        return f;
    }
};

// The register's bytes for these records.
inline std::string registerBytes(const std::vector<core::KojinRecord>& records) {
    std::string bytes;
    for (const core::KojinRecord& r : records)
        bytes += core::encodeRecord(r, "kojinnen.txt");
    return bytes;
}

// Runs the event loop until `done` holds, for at most `seconds`.
inline bool waitFor(const std::function<bool()>& done, int seconds = 20) {
    QDeadlineTimer deadline{std::chrono::seconds(seconds)};
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

} // namespace meibo_testing
