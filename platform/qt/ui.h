#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>

class QWidget;

// Helpers that place the screens' controls: twips, fonts and colours.
namespace platform::ui {

// 1440 twips to the inch at 96 logical dots per inch: 15 twips to a logical pixel.
// Qt's own high-DPI scaling maps logical pixels to the device.
constexpr int twips(int t) {
    return t / 15;
}
QRect twipsRect(int left, int top, int width, int height);

enum class Face { Gothic, PGothic };

// "ＭＳ ゴシック" / "ＭＳ Ｐゴシック" first, then the Japanese fonts a Linux desktop has.
QFont makeFont(Face face, double pointSize, bool bold);

void setBackground(QWidget* widget, const QColor& colour);

// Places a top-level window in the middle of the screen it is on.
void centreOnScreen(QWidget* window);

} // namespace platform::ui

#include <type_traits>
#include <utility>
#include <vector>

namespace platform::ui {

// Creates a child control with its object name, place (twips) and font.
template <class W>
W* place(QWidget* parent, const char* name, const QRect& geometry, const QFont& font) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    w->setFont(font);
    // A label's text starts at its top-left corner: the screens place labels so that,
    // drawn from there, units such as 年 and 歳です。 line up with the text in their boxes.
    if constexpr (std::is_base_of_v<QLabel, W>)
        w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return w;
}

// Loads Qt's own Japanese texts (the OK/キャンセル buttons of the boxes, the text boxes'
// context menu). Gives false when they are not installed; the English ones stay then.
bool useJapaneseStandardTexts();

// Sets the Tab order from (tab index, control) pairs; controls that take no focus are
// passed over.
void applyTabOrder(std::vector<std::pair<int, QWidget*>> controls);

} // namespace platform::ui
