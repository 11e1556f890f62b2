#pragma once

#include <string>

// The program's modal boxes. Every text is UTF-8.
namespace platform {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The program's message box: the text, the buttons OK and Cancel (OK the default),
    // no icon. Which button closes it makes no difference to any caller.
    virtual void message(const std::string& text, const std::string& title = {}) = 0;
    // A failure the user has to know about (a file that cannot be written, a number
    // out of range): a warning with the text and an OK button.
    virtual void error(const std::string& text) = 0;
    // The input box: a prompt, a title and a default text in the entry field. Gives the
    // entered text, or the empty text on Cancel.
    virtual std::string input(const std::string& prompt, const std::string& title,
                              const std::string& defaultText) = 0;
};

} // namespace platform
