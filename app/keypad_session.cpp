#include "app/keypad_session.h"

#include "ui_widget.h"

#include <algorithm>

#include "app/key_editor.h"
#include "app/save_failure_text.h"
#include "app/status_line.h"
#include "config/keypad_config.h"
#include "config/keypad_sync.h"
#include "device/keypad_lock.h"
#include "models/dialog1.h"
#include "models/model_catalogue.h"
#include "models/window_size.h"
#include "pages/delay_page.h"
#include "pages/led_page.h"
#include "pages/mouse_page.h"
#include "pages/quick_menu_page.h"
#include "pages/run_time_texts.h"
#include "keys/window_log.h"


KeypadSession::KeypadSession(Ui::Widget& form, QWidget& root, KeypadConnection& connection, KeypadConfig& config,
                             KeyEditor& editor, StatusLine& status, Dialog1& picker, const int& languageFlag,
                             QObject* parent)
    : QObject(parent), ui(form), Root(root), Connection(connection), Config(config), Editor(editor),
      Status(status), Picker(picker), Language_Flag(languageFlag)
{
    connect(&Connection, &KeypadConnection::connected, this, [this](const KeypadIdentity& identity) {
        if (!LocksKeypads)
            return;
        Lock = std::make_unique<KeypadLock>(identity.path);
        holdLock(0);
    });
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

KeypadSession::~KeypadSession() = default;

bool KeypadSession::holdLock(int waitMs)
{
    if (!Lock || Lock->acquire(waitMs))
        return true;
    const QString holder = Lock->holder();
    Status.showInfo(Language_Flag == 1
                        ? QStringLiteral("The keypad is busy: %1 is writing to it. Save again when it has finished.")
                              .arg(holder)
                        : QStringLiteral("键盘正忙：%1 正在写入。请在其完成后再保存。").arg(holder),
                    true);
    return false;
}

void KeypadSession::onDisconnected()
{
    Lock.reset();
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

std::optional<KeyReadResult> KeypadSession::readConfiguration()
{
    if (!Connection.isConnected())
        return std::nullopt;
    const KeyReadResult read = readAllKeyRecords(Connection.link(), Config);
    Editor.showLayerLabels(Config.selectedLayer());
    if (read.deviceLost)
        Connection.lookNow();
    return read;
}

bool KeypadSession::readOnConnect()
{
    const KeyReadResult read = readAllKeyRecords(Connection.link(), Config);
    Editor.showLayerLabels(Config.selectedLayer());
    if (Config.currentFormat() && Config.editingMode() == ModeLighting)
        readLedLayer();
    return read.complete();
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
    bool complete = read.complete();
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
        if (!holdLock(500))
            return;  // nothing sent: every edit stays unsaved
        if (Config.anyUnsaved() && BeforeWriting && !BeforeWriting())
            return;
        const DownloadResult result = downloadConfig(Connection.link(), Config);
        // Records only count once committed; LED blocks take effect at once.
        if (AfterWriting)
            AfterWriting(result.commitsWritten > 0 || result.ledBlocksWritten > 0);
        const bool saved = result.outcome != DownloadOutcome::Failed;
        if (saved)
            Status.showSaveResult(true);
        else
            showSaveFailure(result);
        // A failed write may be the unplug itself, before any event says so.
        if (!saved)
            Connection.lookNow();
    } else if (Connection.isOpen()) {
        Status.showSaveResult(false);  // open but not answering: nothing can be saved
    } else {  // Ctrl+S with the button off
        Status.showInfo(RunTimeTexts::pick(Language_Flag, "No keypad is connected: there is nothing to save to",
                                           "未连接键盘：无处保存"),
                        true);
    }
}

// The notice starts with the one "save failed" text and goes on with what
// did reach the keypad, so that no one takes the failure for nothing having
// changed.
void KeypadSession::showSaveFailure(const DownloadResult& result)
{
    const QString text = saveFailureText(result, Language_Flag);
    qCWarning(lcUi).noquote() << saveFailureText(result, 1);
    Status.showInfo(text, true);
}

void KeypadSession::switchModel(int model)
{
    // A model the keypad has no code for sends nothing, so needs no backup.
    if (Connection.isConnected() && ModelCatalogue::catalogueModel(model) && BeforeWriting && !BeforeWriting())
        return;
    const ModelSwitchResult result = ::switchModel(Connection.link(), Config, model, Connection.isConnected());
    if (AfterWriting)
        AfterWriting(result.outcome == SetModelOutcome::Sent || result.outcome == SetModelOutcome::WriteFailed);
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
