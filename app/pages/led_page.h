#pragma once

#include "build_config.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <functional>

struct WindowState;

class QPushButton;
class QWidget;
class KeypadConfig;

// The RGB LED page: per-key colours and per-layer LED mode for current-format
// keypads, the seven named colours for old-format ones. Widgets are found by
// object name once, when the page is made.
class LedPage : public QObject {
    Q_OBJECT

public:
    static constexpr int kColourButtons = 56;
    static constexpr int kModeButtons = 6;
    static constexpr int kColourKeys = 16;  // keys that own an RGB triplet

    LedPage(QWidget* root, KeypadConfig& config, const WindowState& state, QObject* parent = nullptr);

    // Styles the colour and mode buttons and connects their clicks.
    void setUp();
    // Runs each click's edit as one user action (undo); plain call when unset.
    using EditScope = std::function<void(const QString& what, const std::function<void()>& edit)>;
    void setEditScope(EditScope scope) { Scope = std::move(scope); }

    void onColourClicked(QPushButton* button);
    void onModeClicked(int mode);

    // Mode buttons and key colours of the selected layer, from the store; the
    // selected key keeps its yellow frame over its colour.
    void showLayerLeds();
    // Old keypads: the mode and colour the layer's lighting record holds,
    // shown as selected and in the text box.
    void showOldFormatLighting();

    // Colour buttons on connection: seven named ones for the old format, all 56
    // without captions for the current one (the TESSAPLEX build keeps them hidden).
    void applyFormat(bool currentFormat, unsigned char variant = Build_Variant);
    void hideAllColourButtons();
    // "Show all controls": the colour buttons the other editions offer, for
    // the format in force; off hides them all again.
    void showAllColours(bool shown);

    QString oldFormatLedText(uint8_t ledByte) const;

    static QColor paletteColour(int number);  // 1..56
    // Captions in dark ink where the colour is light, so "Yellow" and "Cyan"
    // can be read; selected: framed in that ink.
    static QString colourButtonStyle(const QColor& colour, bool selected = false);
    static QColor inkOn(const QColor& colour);
    // A key button wearing its LED colour; selected adds the selection frame.
    static QString keyLedStyle(const QColor& colour, bool selected);
    static QString modeStyle(bool selected);


private:
    bool keyTakesColour(int key) const;
    bool oldLightingInFront() const;
    void showColourSelected(int number);  // 0: none
    void asEdit(const QString& what, const std::function<void()>& edit);

    KeypadConfig& Config;
    const int& Language_Flag;
    std::array<QPushButton*, kColourButtons> ColourButtons{};
    std::array<QPushButton*, kModeButtons> ModeButtons{};
    std::array<QPushButton*, kColourKeys> KeyButtons{};
    QWidget* Root = nullptr;
    EditScope Scope;
    bool AllColours = false;
    bool CurrentFormat = true;
};
