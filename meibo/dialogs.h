#pragma once

#include <functional>
#include <string>

class QPrinter;
class QWidget;

namespace meibo {

// What the window asks of the user in boxes of its own; tests answer from a script. Every
// text and path is UTF-8.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void message(const std::string& text) = 0;
    virtual void error(const std::string& text) = 0;
    // A file to read or to write, starting at `start` (a folder, or a file in one); the
    // empty text when the user cancels.
    virtual std::string openFile(const std::string& title, const std::string& start,
                                 const std::string& filter) = 0;
    virtual std::string saveFile(const std::string& title, const std::string& start,
                                 const std::string& filter) = 0;
    // The print dialog over `printer`: false when the user cancels.
    virtual bool choosePrinter(QPrinter& printer) = 0;
    // The print preview of `printer`'s pages, painted by `paint`.
    virtual void preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) = 0;
};

// The boxes over Qt's message box, file dialog, print dialog and print preview.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text) override;
    void error(const std::string& text) override;
    std::string openFile(const std::string& title, const std::string& start,
                         const std::string& filter) override;
    std::string saveFile(const std::string& title, const std::string& start,
                         const std::string& filter) override;
    bool choosePrinter(QPrinter& printer) override;
    void preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;

private:
    QWidget* parent_;
};

} // namespace meibo
