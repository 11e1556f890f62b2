#pragma once

#include "hyouji.h"
#include "keisan.h"
#include "kousin.h"
#include "menyu.h"
#include "program.h"
#include "scripted_dialogs.h"
#include "test_support.h"

#include <QString>

#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// A program with scripted dialogs, a pinned date (2019/08/26) and a temporary folder.
class GuiFixture : public ::testing::Test {
protected:
    forms::Program& program() {
        if (!program_)
            program_ = std::make_unique<forms::Program>(
                forms::Services{&dialogs, &clock, folder.path(), [this] { ++quits; }});
        return *program_;
    }

    testing_support::TempFolder folder;
    testing_support::ScriptedDialogs dialogs;
    testing_support::FixedClock clock{{2019, 8, 26}};
    int quits = 0;

private:
    std::unique_ptr<forms::Program> program_;
};
