#include "app/pages/led_page.h"

#include "app/window/window_log.h"
#include "app/window/window_state.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/record_render.h"
#include "core/texts/run_time_texts.h"

#include <QButtonGroup>
#include <QPalette>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>
#include <QtMath>

namespace {
struct Rgb {
    uint8_t r, g, b;
};

const Rgb kPalette[LedPage::kColourButtons] = {
    {255, 0, 0},     {255, 128, 60},  {255, 255, 60},  {0, 255, 0},     {0, 255, 255},   {0, 0, 255},
    {128, 0, 128},   {139, 0, 0},     {255, 165, 0},   {255, 255, 150}, {125, 255, 0},   {0, 139, 139},
    {0, 0, 139},     {255, 0, 255},   {128, 0, 0},     {255, 140, 0},   {255, 215, 0},   {0, 255, 128},
    {224, 255, 255}, {135, 206, 235}, {75, 0, 130},    {255, 102, 102}, {255, 200, 100}, {255, 250, 100},
    {0, 128, 0},     {0, 127, 150},   {0, 128, 128},   {230, 230, 250}, {255, 192, 203}, {255, 200, 0},
    {205, 170, 0},   {128, 128, 0},   {0, 255, 127},   {75, 0, 130},    {143, 0, 255},   {255, 69, 0},
    {255, 85, 0},    {200, 255, 0},   {128, 255, 128}, {128, 192, 192}, {173, 216, 230}, {128, 128, 192},
    {255, 255, 150}, {255, 120, 0},   {150, 150, 100}, {34, 139, 34},    {0, 100, 255},   {0, 127, 255},
    {224, 176, 255}, {255, 0, 255},   {255, 102, 0},   {150, 190, 100}, {57, 255, 20},   {0, 200, 100},
    {128, 128, 192}, {200, 200, 150},
};

// First of the colour buttons that only current-format keypads use.
constexpr int kFirstExtendedColour = 8;
constexpr int kNamedColours = 7;

QPushButton* findButton(QWidget* root, const QString& name)
{
    auto* button = root ? root->findChild<QPushButton*>(name) : nullptr;
    if (!button)
        qCWarning(lcUi) << "Button not found:" << name;
    return button;
}
}  // namespace

LedPage::LedPage(QWidget* root, KeypadConfig& config, const WindowState& state, QObject* parent)
    : QObject(parent), Config(config), Language_Flag(state.Language), Root(root)
{
    for (int n = 1; n <= kColourButtons; ++n)
        ColourButtons[n - 1] = findButton(root, QStringLiteral("LED_color_%1").arg(n));
    for (int m = 0; m < kModeButtons; ++m)
        ModeButtons[m] = findButton(root, QStringLiteral("LED_Mode_%1").arg(m));
    for (int k = 1; k <= kColourKeys; ++k)
        KeyButtons[k - 1] = findButton(root, QStringLiteral("pushButton_K%1").arg(k));
}

QColor LedPage::paletteColour(int number)
{
    if (number < 1 || number > kColourButtons)
        return QColor();
    const Rgb& c = kPalette[number - 1];
    return QColor(c.r, c.g, c.b);
}

// The ink of higher contrast on the colour (WCAG relative luminance).
QColor LedPage::inkOn(const QColor& colour)
{
    const auto linear = [](int c) {
        const double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : qPow((v + 0.055) / 1.055, 2.4);
    };
    const double luminance =
        0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) + 0.0722 * linear(colour.blue());
    return luminance > 0.179 ? QColor(0x20, 0x20, 0x20) : QColor(Qt::white);
}

QString LedPage::colourButtonStyle(const QColor& colour, bool selected)
{
    const QString ink = inkOn(colour).name();
    return QStringLiteral(
               "QPushButton { background-color: rgb(%1, %2, %3); color: %4; border-radius: 2px; %5}"
               "QPushButton:pressed, QPushButton:checked { background-color: qlineargradient(x1: 0, y1: 0, "
               "x2: 0, y2: 1, stop: 0 #273c75, stop: 1 #487eb0); color: #FFFFFF; }"
               "QPushButton:disabled { background-color: #dcdde1; }")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(ink, selected ? QStringLiteral("border: 3px solid %1; font-weight: bold; ").arg(ink) : QString());
}

QString LedPage::keyLedStyle(const QColor& colour, bool selected)
{
    const QString fill =
        QStringLiteral("background-color: rgb(%1, %2, %3);").arg(colour.red()).arg(colour.green()).arg(colour.blue());
    return selected ? fill + QStringLiteral(" border: 4px solid #e1e100;") : fill;
}

QString LedPage::modeStyle(bool selected)
{
    return selected ? QStringLiteral("color: #000000; background-color: white;")
                    : QStringLiteral("color: #FFFFFF; background-color: rgb(60, 60, 60);");
}

void LedPage::setUp()
{
    for (int n = 1; n <= kColourButtons; ++n) {
        QPushButton* button = ColourButtons[n - 1];
        if (!button)
            continue;
        button->setStyleSheet(colourButtonStyle(paletteColour(n)));
        connect(button, &QPushButton::clicked, this,
                [this, button] { asEdit(QStringLiteral("LED colour"), [&] { onColourClicked(button); }); });
    }
    for (int m = 0; m < kModeButtons; ++m) {
        QPushButton* button = ModeButtons[m];
        if (!button)
            continue;
        button->setStyleSheet(modeStyle(false));
        connect(button, &QPushButton::clicked, this,
                [this, m] { asEdit(QStringLiteral("LED mode"), [&] { onModeClicked(m); }); });
    }
    if (!Root)
        return;
    // After the window's own handlers, which select the key, the layer or the
    // page: the frame and the lighting follow what they chose.
    if (QPushButton* k1 = KeyButtons[0]; k1 && k1->group())
        connect(k1->group(), &QButtonGroup::idClicked, this, [this] {
            if (Config.currentFormat() && Config.editingMode() == ModeLighting)
                showLayerLeds();
        });
    if (auto* layer1 = Root->findChild<QPushButton*>(QStringLiteral("Layer1")); layer1 && layer1->group())
        connect(layer1->group(), &QButtonGroup::idClicked, this, &LedPage::showOldFormatLighting);
    if (auto* tabs = Root->findChild<QTabWidget*>(QStringLiteral("tabWidget")))
        connect(tabs, &QTabWidget::currentChanged, this, &LedPage::showOldFormatLighting);
    connect(&Config, &KeypadConfig::changed, this, [this](int layer, int slot) {
        if (slot == 0 && layer == Config.selectedLayer())
            showOldFormatLighting();
    });
}

bool LedPage::oldLightingInFront() const
{
    return !Config.currentFormat() && Config.editingMode() == ModeLighting;
}

void LedPage::showColourSelected(int number)
{
    for (int n = 1; n <= kNamedColours; ++n)
        if (QPushButton* button = ColourButtons[n - 1])
            button->setStyleSheet(colourButtonStyle(paletteColour(n), n == number));
}

void LedPage::showOldFormatLighting()
{
    if (!oldLightingInFront())
        return;
    // The lighting byte of the layer's slot 0; a set one always names a colour,
    // so 0 is a layer whose lighting was never chosen.
    const uint8_t ledByte = Config.store().PHY_KEY_Value[Config.selectedLayer()][0][11];
    const bool set = ledByte != 0;
    for (int m = 0; m < kModeButtons; ++m)
        if (ModeButtons[m])
            ModeButtons[m]->setStyleSheet(modeStyle(set && m == (ledByte & 0x0F)));
    showColourSelected(set ? ledByte >> 4 : 0);
    if (auto* text = Root ? Root->findChild<QTextEdit*>(QStringLiteral("lineEdit")) : nullptr)
        text->setText(set ? oldFormatLedText(ledByte) : QString());
}

void LedPage::asEdit(const QString& what, const std::function<void()>& edit)
{
    if (Scope)
        Scope(what, edit);
    else
        edit();
}

bool LedPage::keyTakesColour(int key) const
{
    if (key < 1 || key > kColourKeys)
        return false;
    // A key the shown board does not have has no LED to light.
    const int shownKeys = Config.store().Layout_KeyBoard_KeyNum[0];
    return shownKeys == 0 || key <= shownKeys;
}

void LedPage::onColourClicked(QPushButton* button)
{
    if (!button)
        return;
    qCDebug(lcUi) << "Button clicked-----:" << button->text();

    // The stored colour is what the button shows, so a restyled button stores
    // its new colour; polishing makes a never-shown button report its sheet.
    button->ensurePolished();
    const QColor colour = button->palette().color(QPalette::Button);

    if (!Config.currentFormat()) {
        // Old keypads keep one colour per layer, in the record the click wrote.
        showOldFormatLighting();
        return;
    }
    const int key = Config.selectedKey();
    if (!keyTakesColour(key)) {
        qCWarning(lcUi) << "Invalid Select_PHY_Key:" << key;
        return;
    }

    if (QPushButton* keyButton = KeyButtons[key - 1])
        keyButton->setStyleSheet(keyLedStyle(colour, true));

    Config.setKeyColour(Config.selectedLayer(), key, static_cast<uint8_t>(colour.red()),
                        static_cast<uint8_t>(colour.green()), static_cast<uint8_t>(colour.blue()));

    qCDebug(lcUi) << "KeyBoard_KeyLed updated:"
             << "R:" << colour.red() << "G:" << colour.green() << "B:" << colour.blue();
}

void LedPage::onModeClicked(int mode)
{
    if (mode < 0 || mode >= kModeButtons)
        return;
    const int layer = Config.selectedLayer();
    Config.setLayerLedMode(layer, mode);
    for (int m = 0; m < kModeButtons; ++m) {
        if (ModeButtons[m])
            ModeButtons[m]->setStyleSheet(modeStyle(m == mode));
    }
    qCDebug(lcUi) << "Selected mode:" << Config.store().LayerLedMode[layer];
    showOldFormatLighting();
}

void LedPage::showLayerLeds()
{
    const ConfigStore& store = Config.store();
    const int layer = store.Select_PHY_Key_Layer < kLayers ? store.Select_PHY_Key_Layer : 0;

    const int mode = store.LayerLedMode[layer];
    if (mode < kModeButtons) {
        for (int m = 0; m < kModeButtons; ++m) {
            if (ModeButtons[m])
                ModeButtons[m]->setStyleSheet(modeStyle(m == mode));
        }
    }

    // Only 16 triplets exist, whatever key count the board reports.
    const int keys = qMin<int>(store.Layout_KeyBoard_KeyNum[0], kColourKeys);
    for (int i = 0; i < keys; ++i) {
        if (!KeyButtons[i])
            continue;
        const uint8_t* rgb = &store.KeyBoard_KeyLed[layer][3 * i];
        KeyButtons[i]->setStyleSheet(keyLedStyle(QColor(rgb[0], rgb[1], rgb[2]), i + 1 == store.Select_PHY_Key));
    }
}

void LedPage::applyFormat(bool currentFormat, unsigned char variant)
{
    CurrentFormat = currentFormat;
    if (AllColours)
        variant = 0;
    for (int n = 1; n <= kNamedColours; ++n) {
        if (QPushButton* button = ColourButtons[n - 1]) {
            button->setText(currentFormat ? QString()
                                          : RunTimeTexts::oldFormatColourCaption(n, Language_Flag));
        }
    }
    const bool showExtended = currentFormat && variant != 2;
    for (int n = kFirstExtendedColour; n <= kColourButtons; ++n) {
        if (QPushButton* button = ColourButtons[n - 1])
            button->setVisible(showExtended);
    }
}

void LedPage::showAllColours(bool shown)
{
    AllColours = shown;
    if (!shown) {
        hideAllColourButtons();
        return;
    }
    for (int n = 1; n < kFirstExtendedColour; ++n)
        if (QPushButton* button = ColourButtons[n - 1])
            button->show();
    applyFormat(CurrentFormat);
}

void LedPage::hideAllColourButtons()
{
    for (QPushButton* button : ColourButtons) {
        if (button)
            button->hide();
    }
}

// The colour is named in every edition: the record holds it, whether or not
// the colour buttons are shown.
QString LedPage::oldFormatLedText(uint8_t ledByte) const
{
    return RecordRender::lightingText(ledByte, Language_Flag, true);
}
