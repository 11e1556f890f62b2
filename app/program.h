#pragma once

#include "datafiles/session.h"
#include "forms/screens.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <functional>
#include <memory>
#include <string>

namespace app {

// What the program needs from its surroundings; tests pass scripted dialogs, a fixed
// date, a temporary folder and a quit that only records the call.
struct Services {
    platform::Dialogs* dialogs = nullptr;
    const platform::Clock* clock = nullptr;
    std::string folder;         // where kojinnen.txt and kojinfl.txt live
    std::function<void()> quit; // ends the event loop
};

// The running program: the shared session and the four screens. Each screen is created
// the first time it is asked for and kept, only hidden, to the end.
class Program final : public forms::Screens {
public:
    explicit Program(Services services);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    forms::keisan& keisanForm() override;
    forms::menyu& menyuForm() override;
    forms::kousin& kousinForm() override;
    forms::hyouji& hyoujiForm() override;
    bool hasHyouji() const { return hyouji_ != nullptr; }

    datafiles::Session& session() override { return session_; }
    platform::Dialogs& dialogs() override { return *services_.dialogs; }
    const platform::Clock& clock() const override { return *services_.clock; }

    void end() override;

private:
    template <class Screen> Screen& screen(std::unique_ptr<Screen>& slot);

    Services services_;
    datafiles::Session session_;
    std::unique_ptr<forms::keisan> keisan_;
    std::unique_ptr<forms::menyu> menyu_;
    std::unique_ptr<forms::kousin> kousin_;
    std::unique_ptr<forms::hyouji> hyouji_;
};

} // namespace app
