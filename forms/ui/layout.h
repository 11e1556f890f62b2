#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRect>
#include <QString>

#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QTranslator;
class QWidget;

// Helpers that place the screens' controls (twips, fonts, colours, Tab order) and carry
// text between the controls and the program's UTF-8 strings.
namespace forms::ui {

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

inline QString q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
// A text box's text as UTF-8.
std::string text(const QLineEdit* box);
// Puts a text the program gives into a text box, shown from its first character as in a
// box freshly filled (the cursor at its start, not at its end, where Qt leaves it: a text
// wider than the box would show only its end).
void fill(QLineEdit* box, std::string_view utf8);

// Creates a child control with its object name, place (twips) and font.
template <class W>
W* place(QWidget* parent, const QString& name, const QRect& geometry, const QFont& font) {
    auto* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(geometry);
    w->setFont(font);
    // A label's text starts at its top-left corner: the screens place labels so that,
    // drawn from there, units such as 年 and 歳です。 line up with the text in their boxes.
    if constexpr (std::is_base_of_v<QLabel, W>)
        w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Text boxes take text of any length, a pasted one too; the files take what their
    // formats allow.
    if constexpr (std::is_base_of_v<QLineEdit, W>)
        w->setMaxLength(std::numeric_limits<int>::max());
    return w;
}

// A caption as a screen reader speaks it: without the spaces that spread it out.
QString spokenCaption(std::string_view caption);

// The same, with the control's caption: a frame's title, any other control's text. A button
// or option button is named by its caption.
template <class W>
W* place(QWidget* parent, const QString& name, const QRect& geometry, const QFont& font,
         std::string_view caption) {
    W* w = place<W>(parent, name, geometry, font);
    if constexpr (std::is_base_of_v<QGroupBox, W>)
        w->setTitle(q(caption));
    else
        w->setText(q(caption));
    if constexpr (std::is_base_of_v<QAbstractButton, W>)
        w->setAccessibleName(spokenCaption(caption));
    return w;
}

// A text box with the name a screen reader gives it ("氏名", "3行目 氏名"), and the
// label, if any, that names it on the screen as its buddy.
QLineEdit* placeBox(QWidget* parent, const QString& name, const QRect& geometry, const QFont& font,
                    const QString& spokenName, QLabel* label = nullptr);

// Loads Qt's own Japanese texts (the OK/キャンセル buttons of the boxes, the text boxes'
// context menu) into the application. Gives the translator, or nullptr when they are not
// installed and the English ones stay.
QTranslator* useJapaneseStandardTexts();

// Sets the Tab order from (tab index, control) pairs; controls that take no focus are
// passed over.
void applyTabOrder(std::vector<std::pair<int, QWidget*>> controls);

} // namespace forms::ui
