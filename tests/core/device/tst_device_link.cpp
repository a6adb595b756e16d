#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/device/keypad_connection.h"
#include "core/keypad/model_catalogue.h"
#include "core/device/simulated_keypad.h"
#include "core/keypad/config_store.h"

#include <QtTest>

#include <cstring>
#include <memory>
#include <set>

namespace {

constexpr DeviceInfo kCurrentBoard{15, 3, 10, 0};
constexpr DeviceInfo kOldBoard{15, 3, 9, 0};

std::unique_ptr<KeypadConfig> cleanConfig(uint8_t version)
{
    auto config = std::make_unique<KeypadConfig>();
    config->rawStore().Cur_KeyBoard_KeyNum[2] = version;
    return config;
}

// A record of (layer, slot) filled with a recognisable pattern.
void fillRecord(uint8_t* record, int layer, int slot, uint8_t seed)
{
    for (int i = 0; i < kSlotBytes; ++i)
        record[i] = static_cast<uint8_t>(seed + i);
    record[0] = 0xFD;
    record[1] = static_cast<uint8_t>(slot);
    record[2] = static_cast<uint8_t>(layer + 1);
}

struct OpenKeypad {
    explicit OpenKeypad(DeviceInfo info) : keypad(info) { handle = keypad.open("/dev/hidraw0").handle; }
    DeviceLink link() { return DeviceLink{keypad, handle}; }
    SimulatedKeypad keypad;
    HidHandle handle;
};

int countLedBlocks(const std::vector<Report>& reports)
{
    return int(std::count_if(reports.begin(), reports.end(), [](const Report& r) {
        return classifyReport(r) == ReportKind::LedBlockOrLightingRecord;
    }));
}

// One look at the bus: it runs on the connection's worker, and its end is
// taken in through the event loop.
void settle(KeypadConnection& connection)
{
    QElapsedTimer limit;
    limit.start();
    while (connection.exchanges().busy() && limit.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

void look(KeypadConnection& connection)
{
    connection.lookNow();
    settle(connection);
}

// A keypad that notes which threads list the bus, open it and talk to it.
struct ThreadNotingKeypad : SimulatedKeypad {
    using SimulatedKeypad::SimulatedKeypad;
    std::vector<HidDeviceEntry> enumerate(uint16_t vendorId, uint16_t productId) override
    {
        threads.insert(QThread::currentThread());
        return SimulatedKeypad::enumerate(vendorId, productId);
    }
    OpenResult open(const std::string& path) override
    {
        threads.insert(QThread::currentThread());
        return SimulatedKeypad::open(path);
    }
    int write(HidHandle handle, const uint8_t* data, size_t length) override
    {
        threads.insert(QThread::currentThread());
        return SimulatedKeypad::write(handle, data, length);
    }
    std::set<QThread*> threads;
};

// Everything a connection says, in order.
struct ConnectionLog : QObject {
    explicit ConnectionLog(KeypadConnection& c)
    {
        connect(&c, &KeypadConnection::connected, this, [this](const KeypadIdentity& id) {
            calls << "connected";
            identity = id;
        });
        connect(&c, &KeypadConnection::disconnected, this, [this] { calls << "disconnected"; });
        connect(&c, &KeypadConnection::notAnswering, this, [this] { calls << "not answering"; });
        connect(&c, &KeypadConnection::openFailed, this, [this](const QString&, OpenFailure reason) {
            calls << (reason == OpenFailure::PermissionDenied ? "permission" : "open failed");
        });
    }
    QStringList calls;
    KeypadIdentity identity;
};

}  // namespace

class TestDeviceLink : public QObject {
    Q_OBJECT
private slots:
    void monitorConnectsUnplugsAndReconnects();
    void monitorWithSilentKeypad();
    void monitorStaysSearchingWhenItCannotOpen();
    void monitorOpensFirstVendorOnSharedBus();
    void queryTakesShortReplyWhole();
    void downloadCurrentFormatSingleRecord();
    void downloadLedOnlyAndCommitAfterLeds();
    void downloadOldFormatCommitsPerLayer();
    void downloadNothingToSend();
    void downloadFailuresKeepEditsDirty();
    void modelSwitchDevicePart();
    void readBackCurrentFormat();
    void readBackOldFormat();
    void readBackSurvivesBadReplies();
    void discardingReadReplacesOnlyWhatCame();
    void readLedBlock();
};

void TestDeviceLink::monitorConnectsUnplugsAndReconnects()
{
    ThreadNotingKeypad keypad(kCurrentBoard);
    KeypadConnection connection(keypad);
    ConnectionLog log(connection);

    connection.lookNow();
    QCOMPARE(connection.state(), KeypadConnection::State::Searching);  // the look has not ended yet
    settle(connection);
    QCOMPARE(connection.state(), KeypadConnection::State::Opened);
    QCOMPARE(keypad.opens, 1);
    QVERIFY(log.calls.isEmpty());  // identified on the next look

    look(connection);
    look(connection);
    QCOMPARE(connection.state(), KeypadConnection::State::Connected);
    QCOMPARE(log.calls, QStringList({"connected"}));
    QVERIFY(log.identity.answered && log.identity.info == kCurrentBoard);
    QCOMPARE(log.identity.path, QStringLiteral("/dev/hidraw0"));
    QCOMPARE(connection.presence(), KeypadConnection::Presence::Connected);

    keypad.unplug();
    look(connection);
    QCOMPARE(connection.state(), KeypadConnection::State::Searching);
    QVERIFY(!connection.isOpen());
    QCOMPARE(keypad.closes, 1);
    QCOMPARE(keypad.exits, 1);
    QCOMPARE(log.calls.last(), QString("disconnected"));
    look(connection);
    QCOMPARE(connection.presence(), KeypadConnection::Presence::Absent);

    keypad.plug();
    look(connection);
    look(connection);
    QCOMPARE(connection.state(), KeypadConnection::State::Connected);
    QCOMPARE(keypad.opens, 2);
    QCOMPARE(log.calls.count("connected"), 2);
    // Listing, opening and the identity query never held up this thread.
    QVERIFY(!keypad.threads.empty());
    QVERIFY(keypad.threads.count(QThread::currentThread()) == 0);

    // A watch that hears of the node going drops the keypad at once.
    PollingBusWatch* watch = new PollingBusWatch(100000);
    connection.setBusWatch(std::unique_ptr<BusWatch>(watch));
    emit watch->nodeRemoved(QStringLiteral("/dev/hidraw9"));
    QVERIFY(connection.isConnected());
    emit watch->nodeRemoved(QStringLiteral("/dev/hidraw0"));
    QCOMPARE(connection.state(), KeypadConnection::State::Searching);

    // Without an event loop: one call finds, opens and identifies it.
    SimulatedKeypad other(kOldBoard);
    KeypadConnection direct(other);
    QCOMPARE(direct.connectNow(), KeypadConnection::State::Connected);
    QVERIFY(direct.identity().info == kOldBoard);
}

void TestDeviceLink::monitorWithSilentKeypad()
{
    SimulatedKeypad keypad(kCurrentBoard);
    keypad.faults.silentInfoQuery = true;
    KeypadConnection connection(keypad);
    ConnectionLog log(connection);
    look(connection);
    look(connection);
    QVERIFY(!log.identity.answered);
    QCOMPARE(keypad.readTimeoutsAsked, std::vector<int>({kInfoReplyTimeoutMs}));
    QCOMPARE(connection.state(), KeypadConnection::State::Connected);  // still usable, the user names the board

    // A query that fails outright says nothing about the format: asked again,
    // and until then the keypad is not called connected.
    SimulatedKeypad flaky(kCurrentBoard);
    flaky.faults.failingWrites = {1};
    KeypadConnection again(flaky);
    ConnectionLog againLog(again);
    look(again);
    look(again);
    QCOMPARE(again.state(), KeypadConnection::State::Opened);
    QCOMPARE(againLog.calls, QStringList({"not answering"}));
    QCOMPARE(again.presence(), KeypadConnection::Presence::NotAnswering);
    look(again);
    QCOMPARE(again.state(), KeypadConnection::State::Connected);
    QCOMPARE(againLog.calls, QStringList({"not answering", "connected"}));
}

void TestDeviceLink::monitorStaysSearchingWhenItCannotOpen()
{
    for (OpenFailure failure : {OpenFailure::Other, OpenFailure::PermissionDenied}) {
        SimulatedKeypad keypad(kCurrentBoard);
        keypad.faults.openFailure = failure;
        KeypadConnection connection(keypad);
        ConnectionLog log(connection);
        look(connection);
        look(connection);
        QCOMPARE(connection.state(), KeypadConnection::State::Searching);
        QVERIFY(!connection.isOpen());
        const QString expected = failure == OpenFailure::PermissionDenied ? "permission" : "open failed";
        QCOMPARE(log.calls, QStringList({expected}));  // said once, not on every look
        QCOMPARE(connection.presence(), failure == OpenFailure::PermissionDenied
                                            ? KeypadConnection::Presence::PermissionDenied
                                            : KeypadConnection::Presence::CannotOpen);
    }

    SimulatedKeypad withoutZero(kCurrentBoard, kPrimaryVendorId, 0x8840, {{1, "/dev/hidraw1"}, {2, "/dev/hidraw2"}});
    KeypadConnection connection(withoutZero);
    look(connection);
    QCOMPARE(connection.state(), KeypadConnection::State::Searching);
    QCOMPARE(withoutZero.opens, 0);
    QCOMPARE(connection.presence(), KeypadConnection::Presence::Absent);
}

void TestDeviceLink::monitorOpensFirstVendorOnSharedBus()
{
    SimulatedBus bus;
    SimulatedKeypad& second = bus.add(std::make_unique<SimulatedKeypad>(
        kCurrentBoard, kSecondaryVendorId, 0x8842, std::vector<SimulatedKeypad::Interface>{{0, "/dev/hidraw3"}}));
    SimulatedKeypad& first = bus.add(std::make_unique<SimulatedKeypad>(
        kOldBoard, kPrimaryVendorId, 0x8851,
        std::vector<SimulatedKeypad::Interface>{{1, "/dev/hidraw4"}, {0, "/dev/hidraw5"}}));
    KeypadConnection connection(bus);
    look(connection);
    QCOMPARE(first.opens, 1);
    QCOMPARE(second.opens, 0);
    QCOMPARE(connection.vendorId(), kPrimaryVendorId);
    QCOMPARE(connection.productId(), uint16_t(0x8851));
    look(connection);
    QCOMPARE(first.received.size(), size_t(1));  // the query went to the opened keypad only
    QVERIFY(second.received.empty());
}

void TestDeviceLink::queryTakesShortReplyWhole()
{
    OpenKeypad rig(kCurrentBoard);
    rig.keypad.faults.shortReplies[1] = 4;  // bytes 0..3: keys and knobs, no version or variant
    const QueryResult result = queryDeviceInfo(rig.link());
    QCOMPARE(result.outcome, QueryOutcome::Answered);
    QVERIFY(result.info == (DeviceInfo{15, 3, 0, 0}));

    auto config = cleanConfig(0);
    config->adoptDeviceInfo(result.info);
    QCOMPARE(config->store().Layout_KeyBoard_KeyNum[0], uint8_t(15));
    QVERIFY(!config->currentFormat());

    rig.keypad.faults.failingWrites.insert(rig.keypad.writeAttempts + 1);
    QCOMPARE(queryDeviceInfo(rig.link()).outcome, QueryOutcome::Failed);
}

void TestDeviceLink::downloadCurrentFormatSingleRecord()
{
    OpenKeypad rig(kCurrentBoard);
    auto config = cleanConfig(10);
    ConfigStore* store = &config->rawStore();
    uint8_t* record = store->PHY2_KEY_Value[1][5];
    fillRecord(record, 1, 5, 0x20);
    store->KeyDirty[1][5] = 1;

    const DownloadResult result = downloadConfig(rig.link(), *config);
    QCOMPARE(result.outcome, DownloadOutcome::Saved);
    QCOMPARE(result.recordsWritten, 1);
    QCOMPARE(rig.keypad.received.size(), size_t(2));
    const Report& sent = rig.keypad.received[0];
    QVERIFY(sent[0] == 0x03 && sent[1] == 0xFD && sent[2] == 0x05 && sent[3] == 0x02);
    QVERIFY(std::equal(record + 3, record + 64, sent.begin() + 4));
    QVERIFY(rig.keypad.received[1] == buildCommitReport());
    QCOMPARE(rig.keypad.sleeps, std::vector<int>({kCommitPauseMs}));
    QCOMPARE(store->KeyDirty[1][5], uint8_t(0));
    QVERIFY(std::equal(record, record + 64, rig.keypad.storedRecords[1][5]));
}

void TestDeviceLink::downloadLedOnlyAndCommitAfterLeds()
{
    OpenKeypad rig(kCurrentBoard);
    for (int layer = 0; layer < 3; ++layer) {
        rig.keypad.ledBlocks[layer].mode = uint8_t(layer + 1);
        std::fill(std::begin(rig.keypad.ledBlocks[layer].colours), std::end(rig.keypad.ledBlocks[layer].colours),
                  uint8_t(0x30 + layer));
    }
    const SimulatedKeypad::LedBlock untouched = rig.keypad.ledBlocks[0];
    auto config = cleanConfig(10);
    ConfigStore* store = &config->rawStore();
    store->LayerLedMode[2] = 4;
    store->LedDirty[2] = 1;

    // Layers 0 and 1 were never read: they are read first and go back as they were.
    DownloadResult result = downloadConfig(rig.link(), *config);
    QCOMPARE(result.outcome, DownloadOutcome::Saved);
    QCOMPARE(result.ledLayersRead, 2);
    QCOMPARE(rig.keypad.received.size(), size_t(5));
    QCOMPARE(classifyReport(rig.keypad.received[0]), ReportKind::LedReadRequest);
    for (int layer = 0; layer < 3; ++layer)
        QVERIFY(rig.keypad.received[2 + layer]
                == buildLedBlockReport(layer, store->LayerLedMode[layer], store->KeyBoard_KeyLed[layer]));
    QVERIFY(rig.keypad.sleeps.empty());
    QVERIFY(!store->anyLedDirty());
    QCOMPARE(rig.keypad.ledBlocks[0].mode, untouched.mode);
    QVERIFY(std::equal(untouched.colours, untouched.colours + kLedColourBytes, rig.keypad.ledBlocks[0].colours));
    QCOMPARE(rig.keypad.ledBlocks[2].mode, uint8_t(4));
    QCOMPARE(rig.keypad.ledBlocks[2].colours[0], store->KeyBoard_KeyLed[2][0]);

    // Records and LEDs together, every layer known now: the commit comes last.
    fillRecord(store->PHY2_KEY_Value[0][1], 0, 1, 0x40);
    store->KeyDirty[0][1] = 1;
    store->LedDirty[0] = 1;
    rig.keypad.received.clear();
    result = downloadConfig(rig.link(), *config);
    QCOMPARE(rig.keypad.received.size(), size_t(5));
    QVERIFY(rig.keypad.received.back() == buildCommitReport());
}

void TestDeviceLink::downloadOldFormatCommitsPerLayer()
{
    OpenKeypad rig(kOldBoard);
    auto config = cleanConfig(9);
    ConfigStore* store = &config->rawStore();
    fillRecord(store->PHY_KEY_Value[0][3], 0, 3, 0x10);
    fillRecord(store->PHY_KEY_Value[2][17], 2, 17, 0x30);
    store->KeyDirty[0][3] = store->KeyDirty[2][17] = 1;
    store->LedDirty[0] = 1;  // travels in slot 0 in this format; no LED block

    const DownloadResult result = downloadConfig(rig.link(), *config);
    QCOMPARE(result.outcome, DownloadOutcome::Saved);
    QCOMPARE(result.commitsWritten, 2);
    const auto& sent = rig.keypad.received;
    QCOMPARE(sent.size(), size_t(4));
    QVERIFY(sent[0][2] == 3 && sent[1] == buildCommitReport() && sent[2][2] == 17 && sent[3] == buildCommitReport());
    QVERIFY(std::all_of(sent[0].begin() + 51, sent[0].end(), [](uint8_t b) { return b == 0; }));
    QCOMPARE(rig.keypad.sleeps, std::vector<int>({kCommitPauseMs, kCommitPauseMs}));
    QVERIFY(!store->anyKeyDirty());
    QVERIFY(store->anyLedDirty());
}

void TestDeviceLink::downloadNothingToSend()
{
    OpenKeypad rig(kCurrentBoard);
    auto config = cleanConfig(10);
    ConfigStore* store = &config->rawStore();
    QCOMPARE(downloadConfig(rig.link(), *config).outcome, DownloadOutcome::NothingToSend);
    QCOMPARE(rig.keypad.writeAttempts, 0);
}

void TestDeviceLink::downloadFailuresKeepEditsDirty()
{
    // A failing record write: the others are still sent and committed; only
    // the failed one stays pending, and the save counts as failed.
    {
        OpenKeypad rig(kCurrentBoard);
        auto config = cleanConfig(10);
        ConfigStore* store = &config->rawStore();
        for (int slot : {1, 2, 3}) {
            fillRecord(store->PHY2_KEY_Value[0][slot], 0, slot, uint8_t(slot));
            store->KeyDirty[0][slot] = 1;
        }
        rig.keypad.faults.failingWrites = {2};
        DownloadResult result = downloadConfig(rig.link(), *config);
        QCOMPARE(result.outcome, DownloadOutcome::Failed);
        QCOMPARE(result.recordsFailed, 1);
        QCOMPARE(result.recordsWritten, 2);
        QCOMPARE(result.firstFailedSlot, 2);
        QCOMPARE(result.commitsWritten, 1);
        QVERIFY(!store->KeyDirty[0][1] && store->KeyDirty[0][2] && !store->KeyDirty[0][3]);
        QVERIFY(std::equal(store->PHY2_KEY_Value[0][3], store->PHY2_KEY_Value[0][3] + 64,
                           rig.keypad.storedRecords[0][3]));

        result = downloadConfig(rig.link(), *config);  // the next save sends the one left
        QCOMPARE(result.outcome, DownloadOutcome::Saved);
        QCOMPARE(result.recordsWritten, 1);
        QVERIFY(!store->anyKeyDirty());
    }
    // The last write (the commit) failing is a failure too, and leaves the record dirty.
    {
        OpenKeypad rig(kCurrentBoard);
        auto config = cleanConfig(10);
        ConfigStore* store = &config->rawStore();
        store->KeyDirty[2][7] = 1;
        rig.keypad.faults.failingWrites = {2};
        QCOMPARE(downloadConfig(rig.link(), *config).outcome, DownloadOutcome::Failed);
        QCOMPARE(store->KeyDirty[2][7], uint8_t(1));
        QVERIFY(rig.keypad.sleeps.empty());
    }
    // An unplug in the middle of the LED blocks: the LED change is kept.
    {
        OpenKeypad rig(kCurrentBoard);
        auto config = cleanConfig(10);
        ConfigStore* store = &config->rawStore();
        std::fill(std::begin(store->LedFromKeypad), std::end(store->LedFromKeypad), uint8_t(1));
        store->LedDirty[1] = 1;
        rig.keypad.faults.unplugAtWrite = 2;
        QCOMPARE(downloadConfig(rig.link(), *config).outcome, DownloadOutcome::Failed);
        QCOMPARE(store->LedDirty[1], uint8_t(1));
        QVERIFY(rig.keypad.enumerate(0, 0).empty());
    }
    // An untouched layer that cannot be read first: no LED block goes out at all.
    {
        OpenKeypad rig(kCurrentBoard);
        auto config = cleanConfig(10);
        ConfigStore* store = &config->rawStore();
        store->LedDirty[0] = 1;
        rig.keypad.faults.missingReplies = {1};
        QCOMPARE(downloadConfig(rig.link(), *config).outcome, DownloadOutcome::Failed);
        QCOMPARE(countLedBlocks(rig.keypad.received), 0);
        QCOMPARE(store->LedDirty[0], uint8_t(1));
    }
    // Old format: each layer with a record that got through is committed.
    {
        OpenKeypad rig(kOldBoard);
        auto config = cleanConfig(9);
        ConfigStore* store = &config->rawStore();
        store->KeyDirty[0][4] = store->KeyDirty[1][4] = store->KeyDirty[2][4] = 1;
        rig.keypad.faults.failingWrites = {3};
        const DownloadResult result = downloadConfig(rig.link(), *config);
        QCOMPARE(result.outcome, DownloadOutcome::Failed);
        QCOMPARE(result.commitsWritten, 2);
        QVERIFY(!store->KeyDirty[0][4] && store->KeyDirty[1][4] && !store->KeyDirty[2][4]);
    }
}

void TestDeviceLink::modelSwitchDevicePart()
{
    OpenKeypad rig(kCurrentBoard);
    QCOMPARE(sendSetModel(rig.link(), 17, true), SetModelOutcome::UnknownModel);
    QCOMPARE(sendSetModel(rig.link(), 15, false), SetModelOutcome::NotConnected);
    QCOMPARE(rig.keypad.writeAttempts, 0);

    QCOMPARE(sendSetModel(rig.link(), 15, true), SetModelOutcome::Sent);
    QVERIFY(rig.keypad.received.at(0) == buildSetModelReport(ModelCatalogue::catalogueModel(15)->keys, ModelCatalogue::catalogueModel(15)->knobs, ModelCatalogue::catalogueModel(15)->variant));
    QCOMPARE(rig.keypad.sleeps, std::vector<int>({kCommitPauseMs}));
    QVERIFY(rig.keypad.info == (DeviceInfo{4, 1, 10, 1}));

    QVERIFY(requestUpgradeMode(rig.link()));
    QVERIFY(rig.keypad.upgradeRequested);
}

void TestDeviceLink::readBackCurrentFormat()
{
    OpenKeypad rig(kCurrentBoard);
    for (int layer = 0; layer < 3; ++layer)
        for (int slot = 1; slot <= 27; ++slot)
            fillRecord(rig.keypad.storedRecords[layer][slot], layer, slot, static_cast<uint8_t>(layer * 60 + slot));
    auto config = cleanConfig(10);
    ConfigStore* store = &config->rawStore();
    std::memset(store->PHY2_KEY_Value, 0x77, sizeof store->PHY2_KEY_Value);

    const KeyReadResult result = readKeyRecords(rig.link(), *config, 3, 25, 0);
    QCOMPARE(result.requestsWritten, 3);
    QCOMPARE(result.repliesStored, 75);
    QCOMPARE(rig.keypad.setNonblockingCalls, 75);
    for (int layer = 0; layer < 3; ++layer) {
        const uint8_t* record = store->PHY2_KEY_Value[layer][25];
        QVERIFY(std::equal(record + 1, record + 60, rig.keypad.storedRecords[layer][25] + 1));
        QCOMPARE(record[0], uint8_t(0x77));
        QCOMPARE(record[60], uint8_t(0x77));
        QCOMPARE(store->PHY2_KEY_Value[layer][26][1], uint8_t(0x77));  // never asked for
    }
    QVERIFY(!store->anyKeyDirty());
    QCOMPARE(downloadConfig(rig.link(), *config).outcome, DownloadOutcome::NothingToSend);
}

void TestDeviceLink::readBackOldFormat()
{
    OpenKeypad rig(kOldBoard);
    for (int slot = 1; slot <= 27; ++slot)
        fillRecord(rig.keypad.storedRecords[1][slot], 1, slot, static_cast<uint8_t>(slot));
    auto config = cleanConfig(9);
    ConfigStore* store = &config->rawStore();
    std::memset(store->PHY_KEY_Value, 0x77, sizeof store->PHY_KEY_Value);

    const KeyReadResult result = readKeyRecords(rig.link(), *config, 3, 15, 3);
    QCOMPARE(result.repliesStored, 72);
    for (int slot : {1, 15, 16, 24}) {
        const uint8_t* record = store->PHY_KEY_Value[1][slot];
        QVERIFY(std::equal(record + 1, record + 50, rig.keypad.storedRecords[1][slot] + 1));
        QCOMPARE(record[50], uint8_t(0x77));
    }
    QCOMPARE(store->PHY_KEY_Value[1][25][1], uint8_t(0x77));
    QVERIFY(!store->anyKeyDirty());
}

void TestDeviceLink::readBackSurvivesBadReplies()
{
    OpenKeypad rig(kCurrentBoard);
    for (int slot = 1; slot <= 25; ++slot)
        fillRecord(rig.keypad.storedRecords[0][slot], 0, slot, 0x50);
    rig.keypad.faults.shortReplies[3] = 20;  // layer 1, slot 3
    rig.keypad.faults.garbageReplies = {4};  // counted into slot 4 all the same
    for (int reply = 26 + 10; reply <= 50; ++reply)
        rig.keypad.faults.missingReplies.insert(reply);  // layer 2 stops after slot 10
    auto config = cleanConfig(10);
    ConfigStore* store = &config->rawStore();
    std::memset(store->PHY2_KEY_Value, 0x77, sizeof store->PHY2_KEY_Value);

    const KeyReadResult result = readKeyRecords(rig.link(), *config, 3, 25, 0, 5);
    QCOMPARE(result.layersCut, 1);
    QCOMPARE(result.repliesStored, 24 + 10 + 25);
    QCOMPARE(result.requestsWritten, 3);  // the silence of layer 2 did not cost layer 3
    QCOMPARE(store->PHY2_KEY_Value[0][3][1], uint8_t(0x77));
    QCOMPARE(store->PHY2_KEY_Value[0][4][0], uint8_t(0x77));
    QCOMPARE(store->PHY2_KEY_Value[0][4][60], uint8_t(0x77));
    QCOMPARE(store->PHY2_KEY_Value[1][11][1], uint8_t(0x77));
    QCOMPARE(store->PHY2_KEY_Value[1][10][1], uint8_t(0));
    // Layer 2 ended at its first timeout; one look for stale replies precedes layer 3.
    QCOMPARE(rig.keypad.readTimeoutsAsked.size(), size_t(25 + 11 + 1 + 25));

    // A request that cannot be written skips its layer only.
    OpenKeypad failing(kCurrentBoard);
    failing.keypad.faults.failingWrites = {1};
    const KeyReadResult skipped = readKeyRecords(failing.link(), *config, 3, 25, 0);
    QCOMPARE(skipped.requestsFailed, 1);
    QCOMPARE(skipped.repliesStored, 50);
}

// "Discard changes": what came back replaces the edit and its mark; an edit
// whose reply did not come stays, marked, and so does its LED layer.
void TestDeviceLink::discardingReadReplacesOnlyWhatCame()
{
    OpenKeypad rig(kCurrentBoard);
    auto config = cleanConfig(10);
    ConfigStore* store = &config->rawStore();
    for (int slot : {2, 20}) {
        fillRecord(rig.keypad.storedRecords[0][slot], 0, slot, 0x31);
        store->PHY2_KEY_Value[0][slot][8] = 0x44;
        store->KeyDirty[0][slot] = 1;
    }
    store->LedDirty[2] = 1;
    const std::vector<int> order = keyReadSlotOrder(true, 25, 0);
    rig.keypad.faults.shortReplies[int(std::find(order.begin(), order.end(), 20) - order.begin()) + 1] = 20;

    const KeyReadResult read = readAllKeyRecords(rig.link(), *config, UnsavedEdits::Discard);
    QCOMPARE(read.repliesStored, allKeyRecordReplies(true) - 1);
    QCOMPARE(store->PHY2_KEY_Value[0][2][8], rig.keypad.storedRecords[0][2][8]);
    QCOMPARE(int(store->KeyDirty[0][2]), 0);
    QCOMPARE(store->PHY2_KEY_Value[0][20][8], uint8_t(0x44));
    QCOMPARE(int(store->KeyDirty[0][20]), 1);
    rig.keypad.faults.shortReplies[rig.keypad.repliesProduced + 1] = 10;
    QCOMPARE(::readLedBlock(rig.link(), *config, 2, 5, UnsavedEdits::Discard), LedReadOutcome::NoReply);
    QCOMPARE(int(store->LedDirty[2]), 1);
    QCOMPARE(::readLedBlock(rig.link(), *config, 2, 5, UnsavedEdits::Discard), LedReadOutcome::Stored);
    QCOMPARE(int(store->LedDirty[2]), 0);
}

void TestDeviceLink::readLedBlock()
{
    OpenKeypad rig(kCurrentBoard);
    rig.keypad.ledBlocks[1].mode = 6;
    std::fill(std::begin(rig.keypad.ledBlocks[1].colours), std::end(rig.keypad.ledBlocks[1].colours), uint8_t(9));
    auto config = cleanConfig(10);
    ConfigStore* store = &config->rawStore();

    QCOMPARE(::readLedBlock(rig.link(), *config, 1), LedReadOutcome::Stored);
    QCOMPARE(store->LayerLedMode[1], uint8_t(6));  // stored as read, even past the known modes
    QCOMPARE(store->KeyBoard_KeyLed[1][47], uint8_t(9));
    QCOMPARE(store->LedFromKeypad[1], uint8_t(1));

    rig.keypad.ledBlocks[1].mode = 2;
    rig.keypad.faults.shortReplies[2] = 30;
    QCOMPARE(::readLedBlock(rig.link(), *config, 1), LedReadOutcome::NoReply);
    QCOMPARE(store->LayerLedMode[1], uint8_t(6));
    QCOMPARE(::readLedBlock(rig.link(), *config, 3), LedReadOutcome::BadLayer);
}

QTEST_GUILESS_MAIN(TestDeviceLink)
#include "tst_device_link.moc"
