#include "forms/ui/layout.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

#include <algorithm>

namespace forms::ui {

QRect twipsRect(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
}

QFont makeFont(Face face, double pointSize, bool bold) {
    QFont f;
    if (face == Face::Gothic)
        f.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                       QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                       QStringLiteral("Noto Sans CJK JP")});
    else
        f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                       QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QString spokenCaption(std::string_view caption) {
    QString spoken = q(caption);
    spoken.remove(QChar(0x3000));
    spoken.remove(QChar(' '));
    return spoken;
}

QLineEdit* placeBox(QWidget* parent, const QString& name, const QRect& geometry, const QFont& font,
                    const QString& spokenName, QLabel* label) {
    auto* box = place<QLineEdit>(parent, name, geometry, font);
    box->setAccessibleName(spokenName);
    if (label)
        label->setBuddy(box);
    return box;
}

std::string text(const QLineEdit* box) {
    return box->text().toStdString();
}

void fill(QLineEdit* box, std::string_view utf8) {
    box->setText(q(utf8));
    box->setCursorPosition(0);
}

QTranslator* useJapaneseStandardTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

void applyTabOrder(std::vector<std::pair<int, QWidget*>> controls) {
    std::stable_sort(controls.begin(), controls.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QWidget* previous = nullptr;
    for (const auto& [index, widget] : controls) {
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace forms::ui
