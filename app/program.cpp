#include "app/program.h"

#include "forms/hyouji.h"
#include "forms/keisan.h"
#include "forms/kousin.h"
#include "forms/menyu.h"

namespace app {

Program::Program(Services services) : services_(std::move(services)) {
    session_.folder = services_.folder;
}

Program::~Program() = default;

template <class Screen> Screen& Program::screen(std::unique_ptr<Screen>& slot) {
    if (!slot)
        slot = std::make_unique<Screen>(*this);
    return *slot;
}

forms::keisan& Program::keisanForm() {
    return screen(keisan_);
}

forms::menyu& Program::menyuForm() {
    return screen(menyu_);
}

forms::kousin& Program::kousinForm() {
    return screen(kousin_);
}

forms::hyouji& Program::hyoujiForm() {
    return screen(hyouji_);
}

void Program::end() {
    session_.closeAll();
    for (QWidget* form :
         std::initializer_list<QWidget*>{keisan_.get(), menyu_.get(), kousin_.get(), hyouji_.get()})
        if (form)
            form->hide();
    if (services_.quit)
        services_.quit();
}

} // namespace app
