#pragma once

namespace datafiles {
struct Session;
}
namespace platform {
class Clock;
class Dialogs;
} // namespace platform

namespace forms {

class keisan;
class menyu;
class kousin;
class hyouji;

// What a screen reaches through the running program: the other screens (each created the
// first time it is asked for, then kept), the shared session, the boxes and the date.
class Screens {
public:
    virtual keisan& keisanForm() = 0;
    virtual menyu& menyuForm() = 0;
    virtual kousin& kousinForm() = 0;
    virtual hyouji& hyoujiForm() = 0;

    virtual datafiles::Session& session() = 0;
    virtual platform::Dialogs& dialogs() = 0;
    virtual const platform::Clock& clock() const = 0;

    // Closes every open file, hides every screen and ends the event loop.
    virtual void end() = 0;

protected:
    ~Screens() = default;
};

} // namespace forms
