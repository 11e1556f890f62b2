#pragma once

#include "dialogs.h"

namespace platform {

// The modal boxes over QMessageBox and QInputDialog, centred on the active window.
class QtDialogs : public Dialogs {
public:
    void message(const std::string& text, const std::string& title = {}) override;
    void error(const std::string& text) override;
    std::string input(const std::string& prompt, const std::string& title,
                      const std::string& defaultText) override;
};

} // namespace platform
