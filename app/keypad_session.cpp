#include "app/keypad_session.h"

#include "ui_widget.h"

#include <algorithm>

#include "app/key_editor.h"
#include "app/status_line.h"
#include "config/keypad_config.h"
#include "config/keypad_sync.h"
#include "models/dialog1.h"
#include "models/window_size.h"
#include "pages/delay_page.h"
#include "pages/led_page.h"
#include "pages/mouse_page.h"
#include "pages/quick_menu_page.h"
#include "keys/window_log.h"


KeypadSession::KeypadSession(Ui::Widget& form, QWidget& root, KeypadConnection& connection, KeypadConfig& config,
                             KeyEditor& editor, StatusLine& status, Dialog1& picker, const int& languageFlag,
                             QObject* parent)
    : QObject(parent), ui(form), Root(root), Connection(connection), Config(config), Editor(editor),
      Status(status), Picker(picker), Language_Flag(languageFlag)
{
    connect(&Connection, &KeypadConnection::connected, this, &KeypadSession::onConnected);
    connect(&Connection, &KeypadConnection::disconnected, this, &KeypadSession::onDisconnected);
    connect(&Connection, &KeypadConnection::openFailed, &Status, &StatusLine::showOpenProblem);
    connect(&Connection, &KeypadConnection::presenceChanged, &Status, &StatusLine::showPresence);
    connect(&Editor, &KeyEditor::ledLayerWanted, this, &KeypadSession::readLedLayer);
    connect(&Picker, &Dialog1::modelPicked, this, [this](quint16 value) {
        Config.setPickedBoard(value);
        if (Connection.isConnected())
            adoptPickedModel();
    });
}

void KeypadSession::takeIdentityAnswer(bool answered)
{
    if (answered) {
        emit layoutChanged();
        Picker.hide();
    } else {
        // The keypad does not say which board it is: the user names it.
        Picker.place(WindowSize::W, WindowSize::H);
        Picker.show();
    }
    ui.Read_Configuration->setEnabled(answered);
}

void KeypadSession::onConnected(const KeypadIdentity& identity)
{
    Config.forgetKeypadLeds();
    if (identity.answered)
        Config.adoptDeviceInfo(identity.info);
    takeIdentityAnswer(identity.answered);
    Editor.resetHighlights();
    adaptPages();
    const bool complete = readOnConnect();
    if (!Config.currentFormat())
        Editor.resetHighlights();
    adoptPickedModel();
    if (identity.answered)
        emit firstReadBack(complete);
}

void KeypadSession::adaptPages()
{
    const bool current = Config.currentFormat();
    qCDebug(lcUi) << (current ? "Cur_KeyBoard_KeyNum[2] == 1.0" : "Cur_KeyBoard_KeyNum[2] == ooooooold");
    setUpMousePage(&Root, ui.tabWidget, Config.identity().version, Language_Flag);
    if (current)
        QuickMenuPage::build(ui.tabWidget, Language_Flag,
                             [this](QPushButton* b, int) { Editor.onQuickMenuClicked(b); });
    else if (QuickMenuPage::remove(ui.tabWidget))
        qCDebug(lcUi) << "Procreate tab removed.";
    Editor.delayPage().showCurrentFormat(current);
    Editor.ledPage().applyFormat(current);
}

void KeypadSession::onDisconnected()
{
    if (QWidget* qr = Root.findChild<QWidget*>(QStringLiteral("QR_Code_Label")))
        qr->hide();
    adoptPickedModel();
}

void KeypadSession::adoptPickedModel()
{
    if (!Config.adoptIdentityForLayout())
        return;
    emit layoutChanged();
    Picker.hide();
}

void KeypadSession::readConfiguration()
{
    if (!Connection.isConnected())
        return;
    const KeyReadResult read = readAllKeyRecords(Connection.link(), Config);
    Editor.showLayerLabels(Config.selectedLayer());
    if (read.deviceLost)
        Connection.lookNow();
}

bool KeypadSession::readOnConnect()
{
    const KeyReadResult read = readAllKeyRecords(Connection.link(), Config);
    Editor.showLayerLabels(Config.selectedLayer());
    if (Config.currentFormat() && Config.editingMode() == ModeLighting)
        readLedLayer();
    return read.requestsFailed == 0 && read.repliesRejected == 0 && read.layersCut == 0 && !read.deviceLost;
}

void KeypadSession::readLedLayer()
{
    if (Connection.isOpen())
        readLedBlock(Connection.link(), Config, Config.selectedLayer());
    Editor.ledPage().showLayerLeds();
}

bool KeypadSession::discardUnsavedEdits()
{
    if (!Connection.isConnected())
        return false;
    ConfigStore& store = Config.rawStore();
    const bool current = Config.currentFormat();
    const std::vector<int> readSlots = keyReadSlotOrder(current, current ? kCurrentReadSlots : kOldReadSlots,
                                                    current ? 0 : kOldReadKnobs);
    const KeypadConfig::Snapshot before = Config.snapshot();
    for (int layer = 0; layer < kLayers; ++layer)
        for (int slot : readSlots)
            store.KeyDirty[layer][slot] = 0;
    const KeyReadResult read = readAllKeyRecords(Connection.link(), Config);
    bool complete = read.repliesStored == kLayers * int(readSlots.size());
    if (!complete) {
        // Which replies came is not known: a record still holding the edit
        // may not have been read, so it keeps its mark.
        for (int layer = 0; layer < kLayers; ++layer)
            for (int slot : readSlots)
                if (before.keyDirty[layer][slot]
                    && std::equal(before.current[layer][slot], before.current[layer][slot] + kSlotBytes,
                                  store.PHY2_KEY_Value[layer][slot])
                    && std::equal(before.old[layer][slot], before.old[layer][slot] + kSlotBytes,
                                  store.PHY_KEY_Value[layer][slot]))
                    store.KeyDirty[layer][slot] = 1;
    }
    if (current) {
        for (int layer = 0; layer < kLayers; ++layer) {
            if (!store.LedDirty[layer])
                continue;
            store.LedDirty[layer] = 0;
            if (readLedBlock(Connection.link(), Config, layer) != LedReadOutcome::Stored) {
                store.LedDirty[layer] = 1;
                complete = false;
            }
        }
    }
    Editor.showLayerLabels(Config.selectedLayer());
    if (Config.selectedKey() != 0)
        Editor.showSelectedKeyText();
    if (current && Config.editingMode() == ModeLighting)
        Editor.ledPage().showLayerLeds();
    return complete;
}

void KeypadSession::save()
{
    if (Connection.isConnected()) {
        const bool saved = downloadConfig(Connection.link(), Config).outcome != DownloadOutcome::Failed;
        Status.showSaveResult(saved);
        // A failed write may be the unplug itself, before any event says so.
        if (!saved)
            Connection.lookNow();
    } else if (Connection.isOpen())
        Status.showSaveResult(false);  // open but not answering: nothing can be saved
}

void KeypadSession::switchModel(int model)
{
    const ModelSwitchResult result = ::switchModel(Connection.link(), Config, model, Connection.isConnected());
    if (result.outcome != SetModelOutcome::Sent)
        return;
    const uint8_t ledByte = Config.store().PHY_KEY_Value[Config.selectedLayer()][0][11];
    ui.lineEdit->setText(Editor.ledPage().oldFormatLedText(ledByte));
    Status.showSaveResult(result.save.outcome != DownloadOutcome::Failed);
    if (result.identity != QueryOutcome::Failed)
        takeIdentityAnswer(result.identity == QueryOutcome::Answered);
}

void KeypadSession::requestUpgrade()
{
    if (Connection.isConnected())
        requestUpgradeMode(Connection.link());
}
