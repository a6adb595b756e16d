#pragma once

#include <QString>
#include <array>

class QPushButton;
class QWidget;

// The click targets of the keypad picture, pushButton_K1 .. pushButton_K27,
// with the two highlight styles. Found by object name once.
class KeyPictureButtons {
public:
    static constexpr int kCount = 27;
    static constexpr int kSelectable = 25;  // ids 26 and 27 have no group slot
    static const char* const NormalStyle;
    static const char* const SelectedStyle;

    explicit KeyPictureButtons(QWidget* root);

    QPushButton* button(int id) const;  // nullptr outside 1..27 or when missing
    void setText(int id, const QString& text);
    QString text(int id) const;

    void resetHighlights();            // ids 1..25 back to the normal style
    void highlight(int id);            // one selected style, no reset
    // 1..25 outside the lighting page: reset, then highlight; 0xFF: reset only.
    void highlightKey(int id, bool lightingPageInFront);

private:
    std::array<QPushButton*, kCount + 1> buttons_{};
};
