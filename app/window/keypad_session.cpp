#include "app/window/keypad_session.h"

#include "ui_widget.h"

#include <algorithm>

#include "app/window/key_editor.h"
#include "app/window/status_line.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "app/picker/dialog1.h"
#include "app/pages/delay_page.h"
#include "app/pages/led_page.h"
#include "app/pages/mouse_page.h"
#include "app/pages/quick_menu_page.h"
#include "app/window/window_log.h"
#include "app/window/window_state.h"

KeypadSession::KeypadSession(Ui::Widget& form, QWidget& root, KeypadConnection& connection, KeypadConfig& config,
                             KeyEditor& editor, StatusLine& status, Dialog1& picker, const WindowState& state,
                             QObject* parent)
    : QObject(parent), ui(form), Root(root), Connection(connection), Config(config), Editor(editor),
      Status(status), Picker(picker), Language_Flag(state.Language), State(state)
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
        Picker.place(State.W, State.H);
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
    const bool current = Config.currentFormat();
    const KeyReadResult read = readAllKeyRecords(Connection.link(), Config, UnsavedEdits::Discard);
    // A record whose reply did not come keeps its edit and its mark.
    bool complete = read.repliesStored == allKeyRecordReplies(current);
    for (int layer = 0; current && layer < kLayers; ++layer) {
        if (Config.store().LedDirty[layer]
            && readLedBlock(Connection.link(), Config, layer, kReadBackReplyTimeoutMs, UnsavedEdits::Discard)
                   != LedReadOutcome::Stored)
            complete = false;
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
