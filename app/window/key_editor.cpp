#include "app/window/key_editor.h"

#include "ui_widget.h"

#include "app/pages/delay_page.h"
#include "app/pages/led_page.h"
#include "app/pages/mouse_page.h"
#include "app/pages/quick_menu_page.h"
#include "app/picture/key_labels.h"
#include "app/picture/key_picture_buttons.h"
#include "app/window/edit_history.h"
#include "app/window/edit_texts.h"
#include "app/window/status_line.h"
#include "app/window/window_log.h"
#include "app/window/window_state.h"
#include "core/keypad/board.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/record_render.h"
#include "core/keypad/value_routing.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace {
constexpr int kLightingPage = 3;
constexpr int kMousePage = 4;
constexpr int kDelayPage = 5;
constexpr int kFirstColourIndex = 83;   // "Red" .. "Purple"
constexpr int kFirstLedModeIndex = 90;  // "LED Mode0" .. "LED Mode5"
constexpr int kNamedColours = 7;
}  // namespace

KeyEditor::KeyEditor(Ui::Widget& form, QWidget& root, KeypadConfig& config, StatusLine& status,
                     const WindowState& state, QObject* parent)
    : QObject(parent), ui(form), Root(root), Config(config), Status(status), Language_Flag(state.Language)
{
    KeyButtons = std::make_unique<KeyPictureButtons>(&Root);
    Labels = std::make_unique<KeyLabels>(*KeyButtons, ui.lineEdit, state);
    Key_Group = new QButtonGroup(this);
    Key_Group->setExclusive(true);
    for (int id = 1; id <= KeyPictureButtons::kSelectable; ++id) {
        if (QPushButton* b = KeyButtons->button(id)) {
            b->setCheckable(true);
            Key_Group->addButton(b, id);
        }
    }
    connect(Key_Group, &QButtonGroup::idClicked, this, &KeyEditor::selectKey);
    // The delay page shows the selected record as it is now: after a
    // read-back, an import or an undo too. Not while a box stores its own
    // value: the box is the user's then.
    connect(&Config, &KeypadConfig::changed, this, [this](int layer, int slot) {
        if (!StoringDelay && layer == Config.selectedLayer() && (slot == -1 || slot == Config.selectedKey()))
            showDelays();
    });
    Delay = new DelayPage(&Root, Config, state, this);
    Led = new LedPage(&Root, Config, state, this);
    Captions.rebuild(0);
}

KeyEditor::~KeyEditor() = default;

void KeyEditor::setHistory(EditHistory* history)
{
    History = history;
    Led->setEditScope([this](const QString& what, const std::function<void()>& edit) {
        // Old keypads keep their lighting in slot 0, which the click itself
        // writes as a step; the LED block the page updates too never reaches them.
        if (!Config.currentFormat()) {
            const EditHistory::Quiet quiet(History);
            edit();
            return;
        }
        asEdit(what, edit);
    });
    // Each step keeps what the window showed, so undo brings back the exact captions.
    History->captureView = [this] { return captureView(); };
    History->showView = [this](const EditView& view, const KeypadConfig::Difference& changed) {
        showView(view, changed);
    };
    connect(this, &KeyEditor::ledLayerWanted, History, &EditHistory::ledLayerRead);
}

bool KeyEditor::asEdit(const QString& what, const std::function<void()>& edit, int mergeKey)
{
    if (History)
        return History->record(what, edit, mergeKey);
    edit();
    return false;
}

void KeyEditor::registerValueButtons()
{
    ui.tabWidget->setCurrentIndex(0);
    ValueButtons = ui.tabWidget->findChildren<QPushButton*>();
    for (QPushButton* b : qAsConst(ValueButtons)) {
        b->installEventFilter(this);
        KeyButtons->fitCaption(b);
        b->setProperty(kTableIndexProperty, Captions.indexOf(b->text()));
        qCDebug(lcUi) << "all ley is " << b->text();
    }
    // The lighting buttons get their captions only when an old keypad connects.
    for (int n = 1; n <= kNamedColours; ++n) {
        if (auto* b = Root.findChild<QPushButton*>(QStringLiteral("LED_color_%1").arg(n)))
            b->setProperty(kTableIndexProperty, kFirstColourIndex + n - 1);
    }
    for (int m = 0; m < LedPage::kModeButtons; ++m) {
        if (auto* b = Root.findChild<QPushButton*>(QStringLiteral("LED_Mode_%1").arg(m)))
            b->setProperty(kTableIndexProperty, kFirstLedModeIndex + m);
    }
    qCDebug(lcUi) << "the  count is " << ValueButtons.size();
}

void KeyEditor::selectLayer(int index)
{
    if (index < 0 || index >= kLayers)
        return;
    Config.selectLayer(index);
    QPushButton* layers[] = {ui.Layer1, ui.Layer2, ui.Layer3};
    for (int i = 0; i < kLayers; ++i)
        layers[i]->setStyleSheet(i == index ? QStringLiteral("QPushButton{background-color: #FFFFFF;color:#383838;}")
                                            : QStringLiteral("QPushButton{background-color: #383838;color:#FFFFFF;}"));
    ui.pushButton_SeleKey->setText(QStringLiteral("NULL"));
    ui.lineEdit->setText(QString());
    showLayerLabels(index);
    qCDebug(lcUi, "Select_PHY_Key_Layer = %d\n", index);
    if (Config.currentFormat() && Config.editingMode() == ModeLighting)
        emit ledLayerWanted();
}

namespace {
// The board the picture shows, which names the slot a button stands for.
// The board the picture was last drawn for (with the keypad's product id,
// which tells two boards of one size apart), else the identity shown.
Board pictureBoard(const KeypadConfig& config, const KeyPictureButtons& buttons)
{
    if (buttons.board())
        return *buttons.board();
    const uint8_t* n = config.store().Layout_KeyBoard_KeyNum;
    return Board(DeviceInfo{n[0], n[1], n[2], n[3]});
}
}  // namespace

void KeyEditor::selectKey(int id)
{
    if (!Config.currentFormat() && Config.editingMode() == ModeLighting)
        return;
    if (QAbstractButton* checked = Key_Group->checkedButton())
        qCDebug(lcUi) << QStringLiteral("被选中按钮的objectName==%1").arg(checked->objectName());
    const Board shown = pictureBoard(Config, *KeyButtons);
    ui.pushButton_SeleKey->setText(KeyTable::physicalKeyName(id, Language_Flag, &shown));
    qCDebug(lcUi, "Select_PHY_Key value is  %d ", id);
    Config.selectKey(id);
    showSelectedKeyText();
    showDelays();
    KeyButtons->highlightKey(id, Config.editingMode() == ModeLighting);
}

void KeyEditor::showPage(int index)
{
    emit pageAboutToShow(index);
    ui.tabWidget->setCurrentIndex(index);
    qCDebug(lcUi, "ui->tabWidget->setCurrentIndex = %d\n", index);
    // The key tester edits nothing: the mode of the page before stays.
    if (QWidget* page = ui.tabWidget->widget(index); page && page->objectName() == QLatin1String("tab_tester"))
        return;
    const bool current = Config.currentFormat();
    if (current && Config.editingMode() == ModeLighting && index != kLightingPage) {
        KeyButtons->resetHighlights();
        if (Config.selectedKey() != 0)
            KeyButtons->highlight(Config.selectedKey());
    }
    switch (index) {
    case 0:
    case 1:
    case 6:
        Config.setEditingMode(ModeKeys);
        break;
    case 2:
        Config.setEditingMode(ModeMultimedia);
        break;
    case kLightingPage:
        Config.setEditingMode(ModeLighting);
        if (!current) {
            Config.selectKey(0);
            KeyButtons->resetHighlights();
        } else {
            emit ledLayerWanted();
        }
        break;
    case kMousePage:
        Config.setEditingMode(ModeMouse);
        setGestureCaptions(&Root, Language_Flag);
        break;
    case kDelayPage:
        Config.setEditingMode(ModeDelay);
        Delay->enter();
        if (!current)
            Delay->loadOldFormatDelay();
        break;
    default:
        break;
    }
    qCDebug(lcUi, "Select_PHY_Key_Mode = %d\n", Config.editingMode());
}

bool KeyEditor::eventFilter(QObject* watched, QEvent* event)
{
    // A value is given by a mouse click, Space (on release, as the button
    // clicks) or Enter.
    const auto* key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease
                          ? static_cast<QKeyEvent*>(event)
                          : nullptr;
    const bool plainKey = key && !key->isAutoRepeat() && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool space = plainKey && key->type() == QEvent::KeyRelease && key->key() == Qt::Key_Space;
    const bool enter = plainKey && key->type() == QEvent::KeyPress
                       && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    if (event->type() != QEvent::MouseButtonRelease && !space && !enter)
        return QObject::eventFilter(watched, event);
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !ValueButtons.contains(button))
        return QObject::eventFilter(watched, event);
    if (space && !button->isDown())
        return false;  // the Space was pressed elsewhere

    switch (valueFilterStage(ui.tabWidget->currentIndex(), Config.currentFormat(),
                             static_cast<uint8_t>(Config.editingMode()))) {
    case ValueFilterStage::Swallow:
        button->setDown(false);
        return true;
    case ValueFilterStage::LeaveToPage:
        if (enter)
            button->click();
        return enter;
    case ValueFilterStage::Route:
        break;
    }
    if (key) {
        asEdit(button->text(), [&] { handleValueClick(button); });
        return enter;
    }
    // A release outside the button is no click; assigning on it would surprise.
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (button->rect().contains(mouse->pos()) && mouse->button() == Qt::LeftButton)
        asEdit(button->text(), [&] { handleValueClick(button); });
    qCDebug(lcUi) << "KEY Touch";
    return false;
}

void KeyEditor::handleValueClick(QPushButton* button)
{
    const QString caption = button->text();
    qCDebug(lcUi) << "select the value is " << caption;
    bool known = false;
    const int index = button->property(kTableIndexProperty).toInt(&known);
    const ValueRoute route = routeValueClick(known ? index : -1, static_cast<uint8_t>(Config.selectedKey()),
                                             Config.currentFormat());
    if (route == ValueRoute::NotFound || route == ValueRoute::NoKeySelected)
        return;
    if (route == ValueRoute::OldLighting) {
        setOldFormatLighting(index);
        qCDebug(lcUi) << "select the value is " << index << caption;
        return;
    }

    // A record holds actions of one mode, and a mouse action replaces whatever
    // the key did before.
    if (route == ValueRoute::Mouse || Config.selectedKeyHoldsOtherMode())
        clearSelectedKey();
    WriteResult result = WriteResult::Ignored;
    switch (route) {
    case ValueRoute::Modifier: result = Config.addModifier(index); break;
    case ValueRoute::Media: result = Config.setMediaKey(index); break;
    case ValueRoute::Mouse: result = Config.setMouseKey(index); break;
    default: result = Config.addKeyCode(index); break;
    }
    if (result == WriteResult::RecordFull)
        Status.showRecordFull();
    if (result != WriteResult::Written)
        return;
    // A second media choice replaces the first in the record, so the key's
    // label must not keep the first one in front of it.
    if (route == ValueRoute::Media)
        KeyButtons->setText(Config.selectedKey(), QStringLiteral("NULL"));
    appendToSelectedKey(caption);
    qCDebug(lcUi) << "select the value is " << index << caption;
}

void KeyEditor::onQuickMenuClicked(QPushButton* button)
{
    if (Config.selectedKey() == 0)
        return;
    asEdit(button->text(), [&] {
        // A shortcut replaces an action of another kind whole: a mouse record's
        // subtype must not stay behind in a key record.
        if (Config.selectedKeyHoldsOtherMode())
            clearSelectedKey();
        if (Config.setQuickMenuCodes(QuickMenuPage::codesOf(button)) != WriteResult::Written)
            return;
        const int key = Config.selectedKey();
        if (key >= 1 && key <= KeyPictureButtons::kSelectable)
            Labels->setSelectedKeyText(key, button->text());
        else
            qCWarning(lcUi) << "Invalid Select_PHY_Key:" << key;
    });
}

bool KeyEditor::storeShortcut(const QVector<int>& tableIndices)
{
    const int key = Config.selectedKey();
    if (key == 0 || tableIndices.isEmpty())
        return false;
    QStringList captions;
    for (int index : tableIndices)
        captions << KeyTable::caption(index, Language_Flag);
    bool stored = false;
    asEdit(captions.join(QLatin1Char(' ')), [&] {
        // A recorded shortcut is a new assignment, not one more step of the old.
        clearSelectedKey();
        for (int index : tableIndices) {
            const ValueRoute route = routeValueClick(index, static_cast<uint8_t>(key), Config.currentFormat());
            const WriteResult result = route == ValueRoute::Modifier  ? Config.addModifier(index)
                                       : route == ValueRoute::KeyCode ? Config.addKeyCode(index)
                                                                      : WriteResult::Ignored;
            if (result == WriteResult::RecordFull)
                Status.showRecordFull();
            if (result != WriteResult::Written)
                break;
            stored = true;
        }
        if (key <= KeyPictureButtons::kSelectable)
            Labels->setSelectedKeyText(key, RecordRender::keyButtonLabel(Config.record(Config.selectedLayer(), key),
                                                                         Config.currentFormat(), Language_Flag));
        showSelectedKeyText();
    });
    return stored;
}

void KeyEditor::clearSelectedKey()
{
    // With no key selected the clear would hit slot 0, which holds the layer's
    // lighting on older keypads.
    if (Config.selectedKey() == 0)
        return;
    asEdit(QStringLiteral("clear"), [&] {
        Config.clearSelectedKey();
        Labels->clearKey(Config.selectedKey());
    });
    showDelays();
}

void KeyEditor::clearLayer()
{
    const bool undoable = asEdit(QStringLiteral("Clear All"), [&] {
        Config.clearLayer(Config.selectedLayer());
        Labels->clearAll();
    });
    showDelays();
    if (undoable)
        Status.showInfo(EditTexts::layerClearedHint(Language_Flag), false);
}

void KeyEditor::entryDelayChanged(QObject* spinBox, int value)
{
    const int entry = Delay->slotOf(spinBox);
    // Typing 1000 digit by digit is one step.
    const int mergeKey = ((Config.selectedLayer() * kSlotsPerLayer + Config.selectedKey()) << 5) + entry + 1;
    const QScopedValueRollback<bool> storing(StoringDelay, true);
    asEdit(QStringLiteral("delay"), [&] { Delay->onValueChanged(spinBox, value); }, mergeKey);
}

void KeyEditor::oldFormatDelayChanged()
{
    const int mergeKey = ((Config.selectedLayer() * kSlotsPerLayer + Config.selectedKey()) << 5) + 31;
    const QScopedValueRollback<bool> storing(StoringDelay, true);
    asEdit(QStringLiteral("delay"), [&] { Delay->spinBoxChanged(ui.lineEdit); }, mergeKey);
}

EditView KeyEditor::captureView() const
{
    EditView view;
    view.layer = Config.selectedLayer();
    view.selectedKey = Config.selectedKey();
    for (int id = 0; id <= KeyPictureButtons::kCount; ++id)
        view.captions << (id == 0 ? QString() : KeyButtons->text(id));
    view.text = ui.lineEdit->toPlainText();
    return view;
}

void KeyEditor::showView(const EditView& view, const KeypadConfig::Difference& changed)
{
    // Taking back an edit of another layer shows that layer: an undo the
    // user cannot see would look like none.
    if (view.layer >= 0 && view.layer < kLayers && view.layer != Config.selectedLayer()
        && (changed.touchesLayer(view.layer) || changed.leds.test(size_t(view.layer)))) {
        QPushButton* layers[] = {ui.Layer1, ui.Layer2, ui.Layer3};
        layers[view.layer]->setChecked(true);
        selectLayer(view.layer);
    }
    const int layer = Config.selectedLayer();
    const int key = Config.selectedKey();
    const bool sameView = view.layer == layer && view.captions.size() == KeyPictureButtons::kCount + 1;
    if (sameView) {
        for (int id = 1; id <= KeyPictureButtons::kCount; ++id)
            KeyButtons->setText(id, view.captions[id]);
    } else if (changed.touchesLayer(layer)) {
        showLayerLabels(layer);
    }
    if (changed.slot(layer, key)) {
        if (sameView && view.selectedKey == key)
            ui.lineEdit->setText(view.text);
        else if (key != 0)
            showSelectedKeyText();
        if (key != 0)
            showDelays();
    }
    if (changed.leds.test(size_t(layer)) && Config.currentFormat() && Config.editingMode() == ModeLighting)
        Led->showLayerLeds();
}

void KeyEditor::showDelays()
{
    // The page loads the boxes when it comes to the front.
    if (Config.editingMode() != ModeDelay)
        return;
    if (Config.currentFormat()) {
        Delay->refresh();
        Delay->loadFromSelectedRecord();
    } else {
        Delay->loadOldFormatDelay();
    }
}

void KeyEditor::setOldFormatLighting(int index)
{
    if (Config.setOldFormatLighting(index) != WriteResult::Written)
        return;
    const uint8_t ledByte = Config.store().PHY_KEY_Value[Config.selectedLayer()][0][11];
    ui.lineEdit->setText(Led->oldFormatLedText(ledByte));
}

void KeyEditor::showSelectedKeyText()
{
    Labels->showSelectedKeyText(Config.store());
}

void KeyEditor::showLayerLabels(int layer)
{
    Labels->showLayer(Config.store(), layer);
}

void KeyEditor::showLabelsOf(const ConfigStore& store, int layer)
{
    Labels->showLayer(store, layer);
}

void KeyEditor::appendToSelectedKey(const QString& caption)
{
    Labels->appendToSelectedKey(Config.store(), caption);
}

void KeyEditor::resetHighlights()
{
    KeyButtons->resetHighlights();
}

void KeyEditor::highlightSelectedKey()
{
    KeyButtons->highlightKey(Config.selectedKey(), Config.editingMode() == ModeLighting);
}

void KeyEditor::retranslate()
{
    Captions.rebuild(Language_Flag);
    showLayerLabels(Config.selectedLayer());
    if (Config.selectedKey() != 0) {
        const Board shown = pictureBoard(Config, *KeyButtons);
        ui.pushButton_SeleKey->setText(KeyTable::physicalKeyName(Config.selectedKey(), Language_Flag, &shown));
        showSelectedKeyText();
    }
    QuickMenuPage::retranslate(ui.tabWidget, Language_Flag);
    setGestureCaptions(&Root, Language_Flag);
    if (Config.editingMode() == ModeDelay)
        Delay->refresh();
}
