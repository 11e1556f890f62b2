#pragma once

#include "dialogs.h"
#include "files.h"
#include "module1.h"
#include "system.h"

#include <functional>
#include <memory>
#include <string>

namespace forms {

class keisan;
class menyu;
class kousin;
class hyouji;

// What the program needs from its surroundings; tests pass scripted dialogs, a fixed
// date, a temporary folder and a quit that only records the call.
struct Services {
    platform::Dialogs* dialogs = nullptr;
    const platform::Clock* clock = nullptr;
    std::string folder;         // where kojinnen.txt and kojinfl.txt live
    std::function<void()> quit; // ends the event loop
};

// The running program: the shared state, the open files and the four screens. Each
// screen is created the first time it is asked for and kept, only hidden, to the end.
class Program {
public:
    explicit Program(Services services);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    keisan& keisanForm();
    menyu& menyuForm();
    kousin& kousinForm();
    hyouji& hyoujiForm();
    bool hasHyouji() const { return hyouji_ != nullptr; }

    core::Module1& m() { return m_; }
    platform::FileTable& files() { return files_; }
    platform::Dialogs& dialogs() { return *services_.dialogs; }
    const platform::Clock& clock() const { return *services_.clock; }
    const std::string& folder() const { return services_.folder; }

    // Runs a command. Whatever error it raises is shown to the user as a message, and the
    // program stays usable. Gives false when the command failed.
    bool guarded(const std::function<void()>& command);

    // Closes every open file, hides every screen and ends the event loop.
    void end();

private:
    Services services_;
    core::Module1 m_;
    platform::FileTable files_;
    std::unique_ptr<keisan> keisan_;
    std::unique_ptr<menyu> menyu_;
    std::unique_ptr<kousin> kousin_;
    std::unique_ptr<hyouji> hyouji_;
};

// Window caption of the program's main screens.
inline constexpr char kProgramTitle[] = "年齢計算　Ver 1.0";

} // namespace forms
