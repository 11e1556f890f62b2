#pragma once

#include "platform/dialogs.h"

namespace forms::ui {

// The modal boxes over QMessageBox and QInputDialog, centred on the active window.
class QtDialogs : public platform::Dialogs {
public:
    void message(const std::string& text, const std::string& title = {}) override;
    void error(const std::string& text) override;
    std::string input(const std::string& prompt, const std::string& title,
                      const std::string& defaultText) override;
};

} // namespace forms::ui
