#pragma once

#include "platform/dialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Dialogs that record every box instead of showing it, answer input boxes from a script,
// and run an optional check at the moment each box appears.
class ScriptedDialogs : public platform::Dialogs {
public:
    enum class Kind { Message, Error, Input };
    struct Call {
        Kind kind;
        std::string text; // message text or input prompt
        std::string title;
        std::string defaultText; // input boxes only
    };

    void message(const std::string& text, const std::string& title = {}) override;
    void error(const std::string& text) override;
    std::string input(const std::string& prompt, const std::string& title,
                      const std::string& defaultText) override;

    // Answers for the next input boxes, in order; with none left an input box answers its
    // default text (as OK pressed at once).
    std::deque<std::string> inputAnswers;
    // Runs when any box appears, with the call as recorded.
    std::function<void(const Call&)> onShow;

    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> errors() const;
    void reset();

private:
    void record(Call call);
    std::vector<Call> calls_;
};

} // namespace testing_support
