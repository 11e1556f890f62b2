#pragma once

#include "app/program.h"
#include "datafiles/commands.h"
#include "forms/hyouji.h"
#include "forms/keisan.h"
#include "forms/kousin.h"
#include "forms/menyu.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// The control of a screen with this object name ("Text7"); a control array's member r is
// named with its index ("Text2(3)"). A missing control fails the test at once.
template <class W> W* control(const QWidget& form, const QString& name) {
    W* w = form.findChild<W*>(name);
    if (!w)
        throw std::runtime_error("no control " + name.toStdString() + " on " +
                                 form.objectName().toStdString());
    return w;
}
inline QString member(const QString& array, int index) {
    return QString("%1(%2)").arg(array).arg(index);
}
inline QLineEdit* box(const QWidget& form, const QString& name) {
    return control<QLineEdit>(form, name);
}
inline QLineEdit* box(const QWidget& form, const QString& array, int index) {
    return control<QLineEdit>(form, member(array, index));
}
inline QPushButton* button(const QWidget& form, const QString& name) {
    return control<QPushButton>(form, name);
}
inline QRadioButton* option(const QWidget& form, const QString& name) {
    return control<QRadioButton>(form, name);
}
inline QLabel* label(const QWidget& form, const QString& name) {
    return control<QLabel>(form, name);
}
inline QGroupBox* frame(const QWidget& form, const QString& name) {
    return control<QGroupBox>(form, name);
}
// Whether a text box shows its text from the first character: it looks the same as a box of
// its size, font and text whose cursor stands at the start.
inline bool showsFromStart(QLineEdit* box) {
    QLineEdit fresh(box->parentWidget());
    fresh.setGeometry(box->geometry());
    fresh.setFont(box->font());
    fresh.setText(box->text());
    fresh.setCursorPosition(0);
    return box->grab().toImage() == fresh.grab().toImage();
}
inline void click(const QWidget& form, const QString& buttonName) {
    QTest::mouseClick(button(form, buttonName), Qt::LeftButton);
}

// A program with scripted dialogs, a pinned date (2019/08/26) and a temporary folder.
class GuiFixture : public ::testing::Test {
protected:
    app::Program& program() {
        if (!program_)
            program_ = std::make_unique<app::Program>(
                app::Services{&dialogs, &clock, folder.path(), [this] { ++quits; }});
        return *program_;
    }

    testing_support::TempFolder folder;
    testing_support::ScriptedDialogs dialogs;
    testing_support::FixedClock clock{{2019, 8, 26}};
    int quits = 0;

private:
    std::unique_ptr<app::Program> program_;
};
