#include "tests/support/scripted_dialogs.h"

namespace testing_support {

void ScriptedDialogs::record(Call call) {
    calls_.push_back(call);
    if (onShow)
        onShow(call);
}

void ScriptedDialogs::message(const std::string& text, const std::string& title) {
    record({Kind::Message, text, title, {}});
}

void ScriptedDialogs::error(const std::string& text) {
    record({Kind::Error, text, {}, {}});
}

std::string ScriptedDialogs::input(const std::string& prompt, const std::string& title,
                                   const std::string& defaultText) {
    record({Kind::Input, prompt, title, defaultText});
    if (inputAnswers.empty())
        return defaultText;
    std::string answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::vector<ScriptedDialogs::Call> ScriptedDialogs::errors() const {
    std::vector<Call> out;
    for (const auto& c : calls_)
        if (c.kind == Kind::Error)
            out.push_back(c);
    return out;
}

void ScriptedDialogs::reset() {
    calls_.clear();
    inputAnswers.clear();
    onShow = nullptr;
}

} // namespace testing_support
