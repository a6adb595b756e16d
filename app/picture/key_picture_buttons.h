#pragma once

#include "core/keypad/board.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>

class QFontMetrics;
class QFont;
class QPushButton;
class QRect;
class QWidget;

// The click targets of the keypad picture, pushButton_K1 .. pushButton_K27,
// with the two highlight styles. Found by object name once.
//
// The buttons draw their captions through this class: a caption too long for
// its button is shown elided (text() keeps the whole caption, the tooltip
// shows it), a button whose property "unsaved" is true carries a small mark
// in its top-right corner, a focused one a frame, and every button has an
// accessible name such as "Key 3: Ctrl+C". The round knob button (property
// "round") keeps its caption inside the circle, clear of the arrows.
class KeyPictureButtons {
public:
    static constexpr int kCount = 27;
    // The dynamic property that asks for the unsaved mark.
    static constexpr const char* kUnsavedProperty = "unsaved";
    static constexpr int kSelectable = 25;  // ids 26 and 27 have no group slot
    static const char* const NormalStyle;
    static const char* const SelectedStyle;

    explicit KeyPictureButtons(QWidget* root);
    ~KeyPictureButtons();

    QPushButton* button(int id) const;  // nullptr outside 1..27 or when missing
    void setText(int id, const QString& text);
    QString text(int id) const;

    void resetHighlights();            // ids 1..25 back to the normal style
    void highlight(int id);            // one selected style, no reset
    // 1..25 outside the lighting page: reset, then highlight; 0xFF: reset only.
    void highlightKey(int id, bool lightingPageInFront);

    // What the button shows of its caption in the given area: whole words per
    // line while they fit, the last line elided with an ellipsis.
    static QString fittedCaption(const QString& caption, const QFontMetrics& metrics, const QRect& area);
    // "Key 3", "Knob 1 left": what the button stands for on this board.
    static QString spokenName(const Board& board, int id);
    static QString accessibleName(const QString& spoken, const QString& caption);  // "Key 3: Ctrl+C"
    // The picture now shows this board: every button's accessible name follows it.
    void nameFor(const Board& board);
    // The board named last; empty before any.
    const std::optional<Board>& board() const { return board_; }
    // Tooltip and accessible name after the caption or the size changed.
    static void refreshCaption(QPushButton* button);
    // The same for a caption fitted into area in font; returns what is shown.
    static QString refreshCaption(QPushButton* button, const QRect& area, const QFont& font);
    // Another button (a value button of the pages) drawn the same way: elided
    // caption, whole caption as tooltip.
    void fitCaption(QPushButton* button);

private:
    class Painter;
    std::array<QPushButton*, kCount + 1> buttons_{};
    std::array<QWidget*, kCount + 1> pictures_{};  // pushButton_K<n>_BK
    std::unique_ptr<Painter> painter_;
    std::optional<Board> board_;
};
