#include "app/window/keypad_session.h"

#include "ui_widget.h"

#include "app/pages/delay_page.h"
#include "app/pages/led_page.h"
#include "app/pages/mouse_page.h"
#include "app/pages/quick_menu_page.h"
#include "app/picker/dialog1.h"
#include "app/window/key_editor.h"
#include "app/window/save_failure_text.h"
#include "app/window/status_line.h"
#include "app/window/window_log.h"
#include "app/window/window_state.h"
#include "core/device/keypad_lock.h"
#include "core/keypad/exchange_copy.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/keypad/model_catalogue.h"
#include "core/texts/run_time_texts.h"

#include <algorithm>
#include <memory>
#include <utility>

KeypadSession::KeypadSession(Ui::Widget& form, QWidget& root, KeypadConnection& connection, KeypadConfig& config,
                             KeyEditor& editor, StatusLine& status, Dialog1& picker, const WindowState& state,
                             QObject* parent)
    : QObject(parent), ui(form), Root(root), Connection(connection), Config(config), Editor(editor),
      Status(status), Picker(picker), Language_Flag(state.Language), State(state)
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
    const bool answered = identity.answered;
    readOnConnect([this, answered](const KeyReadResult& read) {
        const bool complete = read.complete();
        if (!Config.currentFormat())
            Editor.resetHighlights();
        adoptPickedModel();
        if (answered)
            emit firstReadBack(complete);
    });
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

namespace {

QString progressText(int language, bool saving, int done, int total)
{
    if (saving)
        return RunTimeTexts::pick(language, "Saving... %1 of %2", "正在保存... %1 / %2").arg(done).arg(total);
    return RunTimeTexts::pick(language, "Reading... %1 of %2", "正在读取... %1 / %2").arg(done).arg(total);
}

}  // namespace

void KeypadSession::followProgress(bool saving, int total)
{
    ExchangeWorker& worker = Connection.exchanges();
    disconnect(ProgressLink);
    Status.showProgress(progressText(Language_Flag, saving, 0, total));
    ProgressLink = connect(&worker, &ExchangeWorker::progress, this, [this, saving, total](int done) {
        Status.showProgress(progressText(Language_Flag, saving, std::min(done, total), total));
    });
}

bool KeypadSession::waitForExchange(void (KeypadSession::*action)())
{
    ExchangeWorker& worker = Connection.exchanges();
    if (!worker.busy())
        return false;
    if (std::find(Waiting.begin(), Waiting.end(), action) == Waiting.end())
        Waiting.push_back(action);
    if (Waiting.size() == 1) {
        // Run once the worker is idle, one action per idle turn: each starts
        // an exchange of its own.
        auto* once = new QMetaObject::Connection;
        *once = connect(&worker, &ExchangeWorker::exchangeFinished, this, [this, once, &worker] {
            if (worker.busy())
                return;
            disconnect(*once);
            delete once;
            const auto waiting = std::exchange(Waiting, {});
            for (auto next : waiting)
                (this->*next)();
        });
    }
    return true;
}

void KeypadSession::readConfiguration(std::function<void(const KeyReadResult&)> then)
{
    if (then)
        ReadDone = std::move(then);
    if (!Connection.isConnected() || waitForExchange(&KeypadSession::readConfigurationLater))
        return;
    readOnConnect([this](const KeyReadResult& read) {
        if (auto done = std::exchange(ReadDone, {}))
            done(read);
    });
}

void KeypadSession::readConfigurationLater()
{
    readConfiguration({});
}

void KeypadSession::readOnConnect(std::function<void(const KeyReadResult& read)> then)
{
    struct Outcome {
        KeyReadResult read;
        ConfigStore after;
    };
    const ConfigStore before = Config.store();
    auto outcome = std::make_shared<Outcome>();
    followProgress(false, allKeyRecordReplies(before.currentFormat()));
    Connection.exchanges().run(
        Connection.link(),
        [before, outcome](DeviceLink link) {
            const auto copy = workingCopy(before);
            outcome->read = readAllKeyRecords(link, *copy);
            outcome->after = copy->store();
        },
        [this, before, outcome, then = std::move(then)] {
            disconnect(ProgressLink);
            Status.showProgress(QString());
            applyExchange(Config, before, outcome->after);
            const KeyReadResult& read = outcome->read;
            Editor.showLayerLabels(Config.selectedLayer());
            if (read.deviceLost)
                Connection.lookNow();
            else if (Config.currentFormat() && Config.editingMode() == ModeLighting)
                readLedLayer();
            then(read);
        },
        ExchangeWorker::Kind::Reads);
}

void KeypadSession::readLedLayer()
{
    if (!Connection.isOpen()) {
        Editor.ledPage().showLayerLeds();
        return;
    }
    const ConfigStore before = Config.store();
    const int layer = Config.selectedLayer();
    auto after = std::make_shared<ConfigStore>();
    Connection.exchanges().run(
        Connection.link(),
        [before, after, layer](DeviceLink link) {
            const auto copy = workingCopy(before);
            readLedBlock(link, *copy, layer);
            *after = copy->store();
        },
        [this, before, after] {
            applyExchange(Config, before, *after);
            Editor.ledPage().showLayerLeds();
        },
        ExchangeWorker::Kind::Reads);
}

void KeypadSession::discardUnsavedEdits(std::function<void(bool complete)> then)
{
    if (!Connection.isConnected())
        return;
    if (Connection.exchanges().busy()) {
        // After what was asked before; the marks are taken when it starts.
        DiscardDone = std::move(then);
        waitForExchange(&KeypadSession::discardLater);
        return;
    }
    const ConfigStore before = Config.store();
    const bool current = before.currentFormat();
    struct Outcome {
        ConfigStore after;
        bool complete = false;
    };
    auto outcome = std::make_shared<Outcome>();
    int ledLayers = 0;
    for (int layer = 0; current && layer < kLayers; ++layer)
        ledLayers += before.LedDirty[layer] != 0;
    followProgress(false, allKeyRecordReplies(current) + ledLayers);
    Connection.exchanges().run(
        Connection.link(),
        [before, current, outcome](DeviceLink link) {
            const auto copy = workingCopy(before);
            const KeyReadResult read = readAllKeyRecords(link, *copy, UnsavedEdits::Discard);
            // A record whose reply did not come keeps its edit and its mark.
            outcome->complete = read.complete();
            for (int layer = 0; current && layer < kLayers; ++layer) {
                if (before.LedDirty[layer]
                    && readLedBlock(link, *copy, layer, kReadBackReplyTimeoutMs, UnsavedEdits::Discard)
                           != LedReadOutcome::Stored)
                    outcome->complete = false;
            }
            outcome->after = copy->store();
        },
        [this, before, current, outcome, then = std::move(then)] {
            disconnect(ProgressLink);
            Status.showProgress(QString());
            applyExchange(Config, before, outcome->after);
            Editor.showLayerLabels(Config.selectedLayer());
            if (Config.selectedKey() != 0)
                Editor.showSelectedKeyText();
            if (current && Config.editingMode() == ModeLighting)
                Editor.ledPage().showLayerLeds();
            if (then)
                then(outcome->complete);
        },
        ExchangeWorker::Kind::Reads);
}

void KeypadSession::discardLater()
{
    discardUnsavedEdits(std::exchange(DiscardDone, {}));
}

void KeypadSession::save()
{
    if (Connection.isConnected()) {
        if (waitForExchange(&KeypadSession::save))
            return;
        if (!holdLock(500))
            return;  // nothing sent: every edit stays unsaved
        // The backup of what the keypad holds comes first, read and written
        // on the worker; the save follows it there.
        if (Config.anyUnsaved() && BeforeWriting)
            BeforeWriting([this] { sendUnsaved(); });
        else
            sendUnsaved();
    } else if (Connection.isOpen()) {
        Status.showSaveResult(false);  // open but not answering: nothing can be saved
    } else {  // Ctrl+S with the button off
        Status.showInfo(RunTimeTexts::pick(Language_Flag, "No keypad is connected: there is nothing to save to",
                                           "未连接键盘：无处保存"),
                        true);
    }
}

void KeypadSession::sendUnsaved()
{
    if (!Connection.isConnected()) {
        Status.showSaveResult(false);  // gone while its backup was read
        return;
    }
    // What is marked now is what this save sends; edits made while it
    // runs stay marked for the next one.
    const ConfigStore before = Config.store();
    auto result = std::make_shared<DownloadResult>();
    auto after = std::make_shared<ConfigStore>();
    followProgress(true, saveSteps(before));
    Connection.exchanges().run(
        Connection.link(),
        [before, result, after](DeviceLink link) {
            const auto copy = workingCopy(before);
            *result = downloadConfig(link, *copy);
            *after = copy->store();
        },
        [this, before, result, after] {
            disconnect(ProgressLink);
            Status.showProgress(QString());
            applyExchange(Config, before, *after);
            // Records only count once committed; LED blocks take effect at once.
            if (AfterWriting)
                AfterWriting(result->commitsWritten > 0 || result->ledBlocksWritten > 0);
            const bool saved = result->outcome != DownloadOutcome::Failed;
            if (saved)
                Status.showSaveResult(true);
            else
                showSaveFailure(*result);
            // A failed write may be the unplug itself, before any event says so.
            if (!saved)
                Connection.lookNow();
        });
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
    if (Connection.isConnected() && ModelCatalogue::catalogueModel(model) && BeforeWriting)
        BeforeWriting([this, model] { sendModel(model); });
    else
        sendModel(model);
}

void KeypadSession::sendModel(int model)
{
    struct Outcome {
        ModelSwitchResult result;
        ConfigStore after;
        DeviceInfo identity;
    };
    const ConfigStore before = Config.store();
    const bool connected = Connection.isConnected();
    auto outcome = std::make_shared<Outcome>();
    const bool sends = connected && ModelCatalogue::catalogueModel(model);
    if (sends)
        followProgress(true, modelSwitchSteps(before));
    Connection.exchanges().run(
        Connection.link(),
        [before, outcome, model, connected](DeviceLink link) {
            const auto copy = workingCopy(before);
            outcome->result = ::switchModel(link, *copy, model, connected);
            outcome->after = copy->store();
            outcome->identity = copy->identity();
        },
        [this, before, outcome, sends] {
            if (sends) {
                disconnect(ProgressLink);
                Status.showProgress(QString());
            }
            const ModelSwitchResult& result = outcome->result;
            if (AfterWriting)
                AfterWriting(result.outcome == SetModelOutcome::Sent || result.outcome == SetModelOutcome::WriteFailed);
            if (result.outcome != SetModelOutcome::Sent)
                return;
            applyExchange(Config, before, outcome->after);
            if (result.identity == QueryOutcome::Answered)
                Config.adoptDeviceInfo(outcome->identity);
            const uint8_t ledByte = Config.store().PHY_KEY_Value[Config.selectedLayer()][0][11];
            ui.lineEdit->setText(Editor.ledPage().oldFormatLedText(ledByte));
            Status.showSaveResult(result.save.outcome != DownloadOutcome::Failed);
            if (result.identity != QueryOutcome::Failed)
                takeIdentityAnswer(result.identity == QueryOutcome::Answered);
        });
}

void KeypadSession::requestUpgrade()
{
    if (Connection.isConnected())
        Connection.exchanges().run(Connection.link(), [](DeviceLink link) { requestUpgradeMode(link); });
}
