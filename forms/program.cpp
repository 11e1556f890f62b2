#include "program.h"

#include "hyouji.h"
#include "keisan.h"
#include "kousin.h"
#include "menyu.h"

#include <exception>

namespace forms {

Program::Program(Services services) : services_(std::move(services)) {}

Program::~Program() = default;

keisan& Program::keisanForm() {
    if (!keisan_)
        keisan_ = std::make_unique<keisan>(*this);
    return *keisan_;
}

menyu& Program::menyuForm() {
    if (!menyu_)
        menyu_ = std::make_unique<menyu>(*this);
    return *menyu_;
}

kousin& Program::kousinForm() {
    if (!kousin_)
        kousin_ = std::make_unique<kousin>(*this);
    return *kousin_;
}

hyouji& Program::hyoujiForm() {
    if (!hyouji_)
        hyouji_ = std::make_unique<hyouji>(*this);
    return *hyouji_;
}

bool Program::guarded(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        dialogs().error(e.what());
    }
    return false;
}

void Program::end() {
    files_.closeAll();
    if (keisan_)
        keisan_->hide();
    if (menyu_)
        menyu_->hide();
    if (kousin_)
        kousin_->hide();
    if (hyouji_)
        hyouji_->hide();
    if (services_.quit)
        services_.quit();
}

} // namespace forms
