// Every report of a save, a read-back and a first connection, driven through
// the real window against the simulated keypad, with one fault injected at a
// time: a failing write, an unplug, a missing, short or garbage reply.
#include "app/widget.h"
#include "core/keypad/keypad_config.h"
#include "core/device/exchange_worker.h"
#include "core/device/keypad_connection.h"
#include "core/device/simulated_keypad.h"
#include "core/keypad/config_store.h"
#include "core/texts/run_time_texts.h"

#include <QButtonGroup>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr qint64 kCaseBoundMs = 5000;
constexpr int kShortKeyReply = 40;   // under both key reply sizes (61 and 51)
constexpr int kShortInfoReply = 4;   // key and knob counts only
constexpr int kEnglish = 1;

enum class Scenario { Save, ReadBack, Connect };
enum class Fault { FailingWrite, Unplug, MissingReply, ShortReply, GarbageReply };

const char* scenarioName(Scenario s)
{
    switch (s) {
    case Scenario::Save: return "save";
    case Scenario::ReadBack: return "read-back";
    case Scenario::Connect: return "connect";
    }
    return "";
}

const char* faultName(Fault f)
{
    switch (f) {
    case Fault::FailingWrite: return "failing write";
    case Fault::Unplug: return "unplug";
    case Fault::MissingReply: return "missing reply";
    case Fault::ShortReply: return "short reply";
    case Fault::GarbageReply: return "garbage reply";
    }
    return "";
}

// One report the program sent or one reply it read, numbered as the keypad
// counts them (writes and replies from 1 over the keypad's life).
struct Exchange {
    bool isWrite;
    int number;
    bool keyRecord;  // a write carrying a key record
};

// The bus the window sees: one simulated keypad or none, plus the one fault
// the keypad cannot make itself, leaving the bus just before a reply is read.
class KeypadSocket : public HidTransport {
public:
    SimulatedKeypad* keypad = nullptr;
    int unplugBeforeReply = 0;
    int repliesRead = 0;
    bool recording = false;
    std::vector<Exchange> trace;

    void attach(SimulatedKeypad* k)
    {
        keypad = k;
        repliesRead = 0;
        unplugBeforeReply = 0;
    }

    std::vector<HidDeviceEntry> enumerate(uint16_t vendorId, uint16_t productId) override
    {
        return keypad ? keypad->enumerate(vendorId, productId) : std::vector<HidDeviceEntry>{};
    }
    OpenResult open(const std::string& path) override
    {
        if (keypad)
            return keypad->open(path);
        OpenResult none;
        none.failure = OpenFailure::Other;
        return none;
    }
    int write(HidHandle handle, const uint8_t* data, size_t length) override
    {
        if (!keypad)
            return -1;
        const int result = keypad->write(handle, data, length);
        if (recording)
            trace.push_back({true, keypad->writeAttempts, keyRecordReport(data, length)});
        return result;
    }
    int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) override
    {
        if (!keypad)
            return -1;
        beforeRead();
        return afterRead(keypad->readTimeout(handle, data, length, milliseconds));
    }
    int read(HidHandle handle, uint8_t* data, size_t length) override
    {
        if (!keypad)
            return -1;
        beforeRead();
        return afterRead(keypad->read(handle, data, length));
    }
    int setNonblocking(HidHandle handle, int nonblock) override
    {
        return keypad ? keypad->setNonblocking(handle, nonblock) : -1;
    }
    std::wstring error(HidHandle handle) override { return keypad ? keypad->error(handle) : L"no keypad"; }
    void close(HidHandle handle) override
    {
        if (keypad)
            keypad->close(handle);
    }
    void exit() override
    {
        if (keypad)
            keypad->exit();
    }
    void sleepMs(int milliseconds) override
    {
        if (keypad)
            keypad->sleepMs(milliseconds);
    }

private:
    static bool keyRecordReport(const uint8_t* data, size_t length)
    {
        Report report{};
        std::memcpy(report.data(), data, std::min(length, report.size()));
        return classifyReport(report) == ReportKind::KeyRecord;
    }
    void beforeRead()
    {
        if (unplugBeforeReply != 0 && repliesRead + 1 == unplugBeforeReply) {
            unplugBeforeReply = 0;
            keypad->unplug();
        }
    }
    int afterRead(int count)
    {
        if (count > 0) {
            ++repliesRead;
            if (recording)
                trace.push_back({false, repliesRead, false});
        }
        return count;
    }
};

bool isCurrent(const SimulatedKeypad& keypad) { return keypad.info.version > 9; }

int recordBytes(bool current) { return current ? kCurrentRecordBytes : kOldRecordBytes; }

// Record bytes a key reply carries: 1..59 (current) or 1..49 (old).
int lastReadByte(bool current) { return current ? 59 : 49; }

std::vector<int> readOrder(bool current)
{
    std::vector<int> order;
    for (int slot = 1; slot <= (current ? 25 : 24); ++slot)
        order.push_back(slot);
    return order;
}

void fillKeypad(SimulatedKeypad& keypad, uint8_t seed)
{
    const bool current = isCurrent(keypad);
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 1; slot <= 27; ++slot) {
            uint8_t* record = keypad.storedRecords[layer][slot];
            std::memset(record, 0, 64);
            record[0] = 0xFD;
            record[1] = static_cast<uint8_t>(slot);
            record[2] = static_cast<uint8_t>(layer + 1);
            record[3] = ModeKeys;
            // A real assignment of one to three letters, told apart by slot,
            // layer and seed through its delays.
            const int count = 1 + slot % 3;
            if (current) {
                record[5] = static_cast<uint8_t>(count);
                for (int n = 0; n < count; ++n) {
                    record[6 + 3 * n] = seed;
                    record[7 + 3 * n] = static_cast<uint8_t>(16 * layer + slot);
                    record[8 + 3 * n] = static_cast<uint8_t>(0x04 + (seed + slot + n) % 26);
                }
            } else {
                record[4] = static_cast<uint8_t>(16 * layer + slot);
                record[5] = seed;
                record[9] = 1;
                record[10] = static_cast<uint8_t>(slot & 0x03);
                record[11] = static_cast<uint8_t>(0x04 + (seed + slot) % 26);
            }
        }
        keypad.ledBlocks[layer].mode = static_cast<uint8_t>(layer + 1);
        for (int i = 0; i < kLedColourBytes; ++i)
            keypad.ledBlocks[layer].colours[i] = static_cast<uint8_t>(seed + 3 * i + layer);
    }
}

// What a record must reach the keypad as: the store's bytes, and zeros past
// the old format's 50.
std::vector<uint8_t> wireImage(const uint8_t* record, bool current)
{
    std::vector<uint8_t> bytes(64, 0);
    std::memcpy(bytes.data(), record, static_cast<size_t>(recordBytes(current)));
    return bytes;
}

struct Edit {
    int layer;
    int slot;
    std::vector<uint8_t> bytes;
};

struct LedImage {
    bool edited[kLayers];
    uint8_t modes[kLayers];
    uint8_t colours[kLayers][kLedBytesPerLayer];
};

}  // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void faultMatrix_data();
    void faultMatrix();
    void ledLayersKeepTheKeypadsOwnUntilEdited();
    void saveFailureSaysWhatReachedTheKeypad();
    void keypadTakingNoWritesIsNotConnected();

private:
    ConfigStore& store() { return window->config().rawStore(); }
    QString status() const { return statusButton->text(); }

    void tick()
    {
        window->timeoutSlot();
        settle();
    }
    // Exchanges run on the connection's worker; their results come back
    // through the event loop.
    void settle()
    {
        QElapsedTimer limit;
        limit.start();
        while (window->connection().exchanges().busy() && limit.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QVERIFY(!window->connection().exchanges().busy());
    }
    void detachKeypad();
    SimulatedKeypad& attachKeypad(bool current);
    void connectKeypad()
    {
        tick();  // discovery opens it
        tick();  // first-connection steps
    }
    void expireSaveNotices();

    void showPage(int index)
    {
        tabs->setCurrentIndex(index);
        settle();  // the LED page reads the layer's LEDs
    }
    void selectKey(int layer, int id);
    void clickValue(const QString& caption);
    std::vector<Edit> dirtyRecords();
    LedImage ledImageAfterSave();

    void prepare(Scenario scenario, bool current);
    void runOperation(Scenario scenario);
    void editAndSaveCleanly(const std::vector<Edit>& earlierEdits, bool ledEdited, const LedImage& leds,
                            bool garbledLedRead);
    void verifyDelivered(const std::vector<Edit>& edits);
    void verifyReadLeftStoreSound(const ConfigStore& before, Fault fault, bool strictContents);

    std::unique_ptr<KeypadSocket> socket;
    std::unique_ptr<SimulatedKeypad> keypad;
    std::unique_ptr<Widget> window;
    QTabWidget* tabs = nullptr;
    QPushButton* statusButton = nullptr;
    QWidget* keysPage = nullptr;
    QtMessageHandler previousHandler = nullptr;
};

namespace {
QtMessageHandler forwardHandler = nullptr;
// Thousands of deliberate faults log thousands of warnings; only criticals matter.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        forwardHandler(type, context, message);
}
}  // namespace

void TestFaultMatrix::initTestCase()
{
    forwardHandler = qInstallMessageHandler(quietHandler);
    previousHandler = forwardHandler;
    socket = std::make_unique<KeypadSocket>();
    window = std::make_unique<Widget>(*socket);
    window->connection().stop();
    tabs = window->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    statusButton = window->findChild<QPushButton*>(QStringLiteral("Dev_Sta_Dsp"));
    keysPage = window->findChild<QWidget*>(QStringLiteral("tab"));
    QVERIFY(tabs && statusButton && keysPage);
    QCOMPARE(window->Language_Flag, kEnglish);
}

void TestFaultMatrix::cleanupTestCase()
{
    window.reset();
    socket.reset();
    keypad.reset();
    qInstallMessageHandler(previousHandler);
}

void TestFaultMatrix::detachKeypad()
{
    socket->attach(nullptr);
    keypad.reset();
    tick();
    tick();
    QCOMPARE(window->connection().state(), KeypadConnection::State::Searching);
}

SimulatedKeypad& TestFaultMatrix::attachKeypad(bool current)
{
    keypad = std::make_unique<SimulatedKeypad>(DeviceInfo{15, 3, static_cast<uint8_t>(current ? 10 : 9), 0});
    fillKeypad(*keypad, 0x20);
    socket->attach(keypad.get());
    return *keypad;
}

void TestFaultMatrix::expireSaveNotices()
{
    // A notice's time passes at once: fire every pending notice timer.
    for (QTimer* timer : window->findChildren<QTimer*>()) {
        if (timer == window->Monitor_Timer || !timer->isActive() || !timer->isSingleShot())
            continue;
        timer->stop();
        QMetaObject::invokeMethod(timer, "timeout");
    }
}

void TestFaultMatrix::selectKey(int layer, int id)
{
    if (store().Select_PHY_Key_Layer != layer)
        window->SendLayer(layer);
    QAbstractButton* key = window->Key_Group->button(id);
    QVERIFY(key);
    key->click();
    QCOMPARE(int(store().Select_PHY_Key), id);
}

void TestFaultMatrix::clickValue(const QString& caption)
{
    QPushButton* target = nullptr;
    for (QPushButton* button : keysPage->findChildren<QPushButton*>()) {
        if (button->text() == caption) {
            target = button;
            break;
        }
    }
    QVERIFY2(target, qPrintable(caption));
    QTest::mouseClick(target, Qt::LeftButton);
}

std::vector<Edit> TestFaultMatrix::dirtyRecords()
{
    std::vector<Edit> edits;
    const bool current = store().currentFormat();
    for (int layer = 0; layer < kLayers; ++layer)
        for (int slot = 0; slot < kSlotsPerLayer; ++slot)
            if (store().KeyDirty[layer][slot])
                edits.push_back({layer, slot, wireImage(store().record(layer, slot), current)});
    return edits;
}

// What the keypad's LEDs must be after the next good save: the edited layers
// as edited, every other layer as the keypad holds it now.
LedImage TestFaultMatrix::ledImageAfterSave()
{
    LedImage image;
    for (int layer = 0; layer < kLayers; ++layer) {
        const bool edited = store().LedDirty[layer] != 0;
        image.edited[layer] = edited;
        image.modes[layer] = edited ? store().LayerLedMode[layer] : keypad->ledBlocks[layer].mode;
        std::memcpy(image.colours[layer], edited ? store().KeyBoard_KeyLed[layer] : keypad->ledBlocks[layer].colours,
                    kLedBytesPerLayer);
    }
    return image;
}

// Brings the window to the moment just before the operation under test. Run
// identically for the fault-free trace and for every faulted case, so the
// keypad's write and reply numbers line up.
void TestFaultMatrix::prepare(Scenario scenario, bool current)
{
    detachKeypad();
    store() = ConfigStore();
    store().InitKeyRecords();
    showPage(0);
    SimulatedKeypad& k = attachKeypad(current);
    if (scenario == Scenario::Connect)
        return;

    connectKeypad();
    QCOMPARE(window->connection().state(), KeypadConnection::State::Connected);
    QCOMPARE(store().currentFormat(), current);
    if (scenario == Scenario::Save) {
        selectKey(0, 3);
        clickValue(QStringLiteral("Ctrl+"));
        clickValue(QStringLiteral("C"));
        selectKey(0, 16);
        clickValue(QStringLiteral("A"));
        selectKey(2, 5);
        clickValue(QStringLiteral("B"));
        if (current) {
            selectKey(2, 7);
            clickValue(QStringLiteral("F5"));
            showPage(3);
            auto* mode = window->findChild<QPushButton*>(QStringLiteral("LED_Mode_2"));
            QVERIFY(mode);
            mode->click();
            QCOMPARE(int(store().LedDirty[2]), 1);
            showPage(0);
        }
        QCOMPARE(int(dirtyRecords().size()), current ? 4 : 3);
    } else {
        // The keypad was changed elsewhere since; one edit here is not saved yet.
        fillKeypad(k, 0x90);
        selectKey(1, 2);
        clickValue(QStringLiteral("D"));
        QCOMPARE(int(dirtyRecords().size()), 1);
    }
}

void TestFaultMatrix::runOperation(Scenario scenario)
{
    switch (scenario) {
    case Scenario::Save: window->on_confirmButton_clicked(); break;
    case Scenario::ReadBack: window->Read_configuration_clicked(); break;
    case Scenario::Connect: connectKeypad(); break;
    }
    settle();
}

void TestFaultMatrix::verifyDelivered(const std::vector<Edit>& edits)
{
    for (const Edit& edit : edits) {
        const uint8_t* stored = keypad->storedRecords[edit.layer][edit.slot];
        QVERIFY2(std::equal(edit.bytes.begin(), edit.bytes.end(), stored),
                 qPrintable(QStringLiteral("layer %1 slot %2 not delivered as edited").arg(edit.layer).arg(edit.slot)));
    }
}

// A fault-free edit and save after the fault: every edit, the earlier ones
// included, reaches the keypad byte for byte.
void TestFaultMatrix::editAndSaveCleanly(const std::vector<Edit>& earlierEdits, bool ledEdited, const LedImage& leds,
                                         bool garbledLedRead)
{
    keypad->faults = SimulatedKeypad::Faults();
    socket->unplugBeforeReply = 0;
    showPage(0);
    selectKey(0, 6);
    clickValue(QStringLiteral("E"));
    QVERIFY(store().KeyDirty[0][6]);

    std::vector<Edit> edits = dirtyRecords();
    for (const Edit& earlier : earlierEdits) {
        const auto same = std::find_if(edits.begin(), edits.end(), [&](const Edit& e) {
            return e.layer == earlier.layer && e.slot == earlier.slot;
        });
        if (same == edits.end())
            verifyDelivered({earlier});  // saved before the fault struck
        else
            QVERIFY2(same->bytes == earlier.bytes, "an unsaved edit was overwritten");
    }
    edits.insert(edits.end(), earlierEdits.begin(), earlierEdits.end());

    window->on_confirmButton_clicked();

    settle();
    QCOMPARE(status(), RunTimeTexts::saved(kEnglish));
    QVERIFY(!store().anyKeyDirty());
    QVERIFY(!store().anyLedDirty());
    verifyDelivered(edits);
    if (ledEdited) {
        for (int layer = 0; layer < kLayers; ++layer) {
            // A garbage reply to the read before the LED blocks cannot be told
            // from real colours; only the edited layers are certain then.
            if (garbledLedRead && !leds.edited[layer])
                continue;
            QCOMPARE(keypad->ledBlocks[layer].mode, leds.modes[layer]);
            QVERIFY(std::equal(leds.colours[layer], leds.colours[layer] + kLedBytesPerLayer,
                               keypad->ledBlocks[layer].colours));
        }
    }
    expireSaveNotices();
}

// After a read-back under a fault: no flag raised, nothing written outside the
// bytes a reply carries, and every slot holds either what it held or what the
// keypad holds (with a missing reply, possibly a neighbour's bytes of the same
// layer; with a garbage reply, one slot may hold the garbage).
void TestFaultMatrix::verifyReadLeftStoreSound(const ConfigStore& before, Fault fault, bool strictContents)
{
    const ConfigStore& after = store();
    QVERIFY(std::memcmp(before.KeyDirty, after.KeyDirty, sizeof after.KeyDirty) == 0);
    QVERIFY(std::memcmp(after.LedDirty, before.LedDirty, sizeof after.LedDirty) == 0);

    const bool current = after.currentFormat();
    const int last = lastReadByte(current);
    const std::vector<int> order = readOrder(current);
    const auto otherArray = current ? &ConfigStore::PHY_KEY_Value : &ConfigStore::PHY2_KEY_Value;
    QVERIFY2(std::memcmp(before.*otherArray, after.*otherArray, sizeof after.PHY_KEY_Value) == 0,
             "the array of the other format changed");

    int foreign = 0;
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            const uint8_t* was = before.recordOf(current, layer, slot);
            const uint8_t* now = after.recordOf(current, layer, slot);
            const bool read = std::find(order.begin(), order.end(), slot) != order.end();
            if (!read || after.KeyDirty[layer][slot]) {
                QVERIFY2(std::memcmp(was, now, kSlotBytes) == 0,
                         qPrintable(QStringLiteral("slot %1/%2 changed without being read").arg(layer).arg(slot)));
                continue;
            }
            QCOMPARE(now[0], was[0]);
            QVERIFY2(std::memcmp(was + last + 1, now + last + 1, kSlotBytes - last - 1) == 0,
                     qPrintable(QStringLiteral("slot %1/%2 changed past the reply's bytes").arg(layer).arg(slot)));
            if (!strictContents)
                continue;
            auto sameRange = [&](const uint8_t* a, const uint8_t* b) { return std::memcmp(a + 1, b + 1, last) == 0; };
            if (sameRange(now, was) || sameRange(now, keypad->storedRecords[layer][slot]))
                continue;
            bool neighbour = false;
            for (int other : order)
                neighbour = neighbour || sameRange(now, keypad->storedRecords[layer][other]);
            if (fault == Fault::MissingReply && neighbour)
                continue;
            ++foreign;
        }
    }
    QVERIFY2(foreign <= (fault == Fault::GarbageReply ? 1 : 0),
             qPrintable(QStringLiteral("%1 slots hold bytes from nowhere").arg(foreign)));
}

void TestFaultMatrix::faultMatrix_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<bool>("current");
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("onWrite");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("keyRecord");

    for (Scenario scenario : {Scenario::Save, Scenario::ReadBack, Scenario::Connect}) {
        for (bool current : {true, false}) {
            prepare(scenario, current);
            socket->trace.clear();
            socket->recording = true;
            runOperation(scenario);
            socket->recording = false;
            expireSaveNotices();

            const int writes = int(std::count_if(socket->trace.begin(), socket->trace.end(),
                                                  [](const Exchange& e) { return e.isWrite; }));
            const int replies = int(socket->trace.size()) - writes;
            // The exchanges the program is meant to make, fault-free.
            if (scenario == Scenario::Save)
                // Current: 4 records, 2 reads of the untouched LED layers, 3 LED blocks, commit.
                QCOMPARE(std::make_pair(writes, replies), current ? std::make_pair(10, 2) : std::make_pair(5, 0));
            else if (scenario == Scenario::ReadBack)
                QCOMPARE(std::make_pair(writes, replies), current ? std::make_pair(3, 75) : std::make_pair(3, 72));
            else
                // Current: the key records, then the three LED layers for the backup.
                QCOMPARE(std::make_pair(writes, replies), current ? std::make_pair(7, 79) : std::make_pair(4, 73));

            int index = 0;
            for (const Exchange& exchange : socket->trace) {
                ++index;
                std::vector<Fault> faults;
                if (exchange.isWrite)
                    faults = {Fault::FailingWrite, Fault::Unplug};
                else
                    faults = {Fault::Unplug, Fault::MissingReply, Fault::ShortReply, Fault::GarbageReply};
                for (Fault fault : faults)
                    QTest::addRow("%s %s #%d %s %d: %s", current ? "current" : "old", scenarioName(scenario), index,
                                  exchange.isWrite ? "write" : "reply", exchange.number, faultName(fault))
                        << int(scenario) << current << int(fault) << exchange.isWrite << exchange.number
                        << exchange.keyRecord;
            }
        }
    }
}

void TestFaultMatrix::faultMatrix()
{
    QFETCH(int, scenario);
    QFETCH(bool, current);
    QFETCH(int, fault);
    QFETCH(bool, onWrite);
    QFETCH(int, number);
    QFETCH(bool, keyRecord);
    const auto which = static_cast<Scenario>(scenario);
    const auto kind = static_cast<Fault>(fault);

    prepare(which, current);
    if (QTest::currentTestFailed())
        return;
    SimulatedKeypad::Faults& faults = keypad->faults;
    switch (kind) {
    case Fault::FailingWrite: faults.failingWrites = {number}; break;
    case Fault::Unplug:
        if (onWrite)
            faults.unplugAtWrite = number;
        else
            socket->unplugBeforeReply = number;
        break;
    case Fault::MissingReply: faults.missingReplies = {number}; break;
    case Fault::ShortReply:
        // Reply 1 of a connection is the device information.
        faults.shortReplies[number] = which == Scenario::Connect && number == 1 ? kShortInfoReply : kShortKeyReply;
        break;
    case Fault::GarbageReply: faults.garbageReplies = {number}; break;
    }

    const std::vector<Edit> edits = dirtyRecords();
    const bool ledEdited = store().anyLedDirty();
    const LedImage leds = ledImageAfterSave();
    const bool garbledLedRead = which == Scenario::Save && kind == Fault::GarbageReply;
    auto before = std::make_unique<ConfigStore>(store());

    QElapsedTimer clock;
    clock.start();
    runOperation(which);
    QVERIFY2(clock.elapsed() < kCaseBoundMs, qPrintable(QStringLiteral("took %1 ms").arg(clock.elapsed())));

    const bool unplugged = kind == Fault::Unplug;
    if (which == Scenario::Save) {
        // Garbage read back from an LED layer looks like colours: nothing failed.
        if (garbledLedRead)
            QCOMPARE(status(), RunTimeTexts::saved(kEnglish));
        else
            QVERIFY2(status().startsWith(RunTimeTexts::saveFailed(kEnglish)), qPrintable(status()));
        // A flag may be cleared only for what the keypad really holds.
        for (const Edit& edit : edits) {
            if (!store().KeyDirty[edit.layer][edit.slot])
                verifyDelivered({edit});
        }
        if (ledEdited && !store().anyLedDirty() && !garbledLedRead) {
            for (int layer = 0; layer < kLayers; ++layer)
                QCOMPARE(keypad->ledBlocks[layer].mode, leds.modes[layer]);
        }
        // One record that does not get through holds back nothing else.
        if (kind == Fault::FailingWrite && keyRecord) {
            int unsaved = 0;
            for (const Edit& edit : edits)
                unsaved += store().KeyDirty[edit.layer][edit.slot];
            QCOMPARE(unsaved, 1);
        }
        expireSaveNotices();
    } else {
        // Only a matching format lets the keypad's bytes be compared slot by slot.
        const bool formatsAgree = store().currentFormat() == isCurrent(*keypad);
        verifyReadLeftStoreSound(*before, kind, formatsAgree);
        if (QTest::currentTestFailed())
            return;
        expireSaveNotices();  // what "View settings" brought
    }

    tick();
    tick();
    if (unplugged) {
        QCOMPARE(status(), RunTimeTexts::disconnected(kEnglish));
        QCOMPARE(window->connection().state(), KeypadConnection::State::Searching);
        keypad->faults = SimulatedKeypad::Faults();
        keypad->plug();
        connectKeypad();
    }
    QCOMPARE(window->connection().state(), KeypadConnection::State::Connected);
    // A garbled identity names a board nobody makes; the status line says so after "Device Connect".
    QVERIFY2(status().startsWith(RunTimeTexts::connected(kEnglish)), qPrintable(status()));
    if (store().currentFormat() != isCurrent(*keypad)) {
        // Only the identity exchange decides the format: when it fails, goes
        // unanswered (old firmware does not answer) or brings garbage (no reply
        // carries a check), the records read under the wrong format make no
        // sense to the editors. Replugging identifies the keypad again.
        QVERIFY(which == Scenario::Connect && number == 1);
        keypad->faults = SimulatedKeypad::Faults();
        keypad->unplug();
        tick();
        tick();
        keypad->plug();
        connectKeypad();
        QCOMPARE(store().currentFormat(), isCurrent(*keypad));
    }

    if (which == Scenario::ReadBack && !unplugged) {
        // The link is whole again: no stale reply lands in the wrong slot.
        keypad->faults = SimulatedKeypad::Faults();
        auto beforeClean = std::make_unique<ConfigStore>(store());
        window->Read_configuration_clicked();
        settle();
        for (int layer = 0; layer < kLayers; ++layer) {
            for (int slot : readOrder(current)) {
                const uint8_t* now = store().recordOf(current, layer, slot);
                const uint8_t* expected = store().KeyDirty[layer][slot] ? beforeClean->recordOf(current, layer, slot)
                                                                        : keypad->storedRecords[layer][slot];
                QVERIFY2(std::memcmp(now + 1, expected + 1, lastReadByte(current)) == 0,
                         qPrintable(QStringLiteral("slot %1/%2 wrong after a clean read").arg(layer).arg(slot)));
            }
        }
    }

    editAndSaveCleanly(edits, ledEdited, leds, garbledLedRead);
}

// Each layer shows what the keypad holds until it is edited; an edit stays
// through layer and page changes; a save sends the untouched layers back as
// the keypad has them, including one never looked at.
void TestFaultMatrix::ledLayersKeepTheKeypadsOwnUntilEdited()
{
    prepare(Scenario::ReadBack, true);
    SimulatedKeypad::LedBlock original[kLayers];
    std::copy(std::begin(keypad->ledBlocks), std::end(keypad->ledBlocks), original);
    auto sameBlock = [](const SimulatedKeypad::LedBlock& a, const uint8_t mode, const uint8_t* colours) {
        return a.mode == mode && std::equal(colours, colours + kLedBytesPerLayer, a.colours);
    };

    window->SendLayer(0);
    showPage(3);
    QVERIFY(sameBlock(original[0], store().LayerLedMode[0], store().KeyBoard_KeyLed[0]));
    auto* mode = window->findChild<QPushButton*>(QStringLiteral("LED_Mode_4"));
    QVERIFY(mode);
    mode->click();
    window->SendLayer(1);  // an edit on layer 0 does not keep layer 1 from being read
    settle();
    QVERIFY(sameBlock(original[1], store().LayerLedMode[1], store().KeyBoard_KeyLed[1]));
    window->SendLayer(0);
    showPage(0);
    showPage(3);
    QCOMPARE(int(store().LayerLedMode[0]), 4);
    showPage(0);

    window->on_confirmButton_clicked();

    settle();
    QCOMPARE(status(), RunTimeTexts::saved(kEnglish));
    QVERIFY(sameBlock(keypad->ledBlocks[0], 4, original[0].colours));
    QVERIFY(sameBlock(keypad->ledBlocks[1], original[1].mode, original[1].colours));
    QVERIFY(sameBlock(keypad->ledBlocks[2], original[2].mode, original[2].colours));
    expireSaveNotices();
}

// A save that fails part-way says what the keypad did take.
void TestFaultMatrix::saveFailureSaysWhatReachedTheKeypad()
{
    prepare(Scenario::ReadBack, true);
    showPage(3);
    for (int layer : {1, 2, 0})  // every LED layer known: the save reads none first
        window->SendLayer(layer);
    auto* mode = window->findChild<QPushButton*>(QStringLiteral("LED_Mode_4"));
    QVERIFY(mode);
    mode->click();
    showPage(0);
    const uint8_t layer2Mode = keypad->ledBlocks[1].mode;
    // The dirty record goes out, then the LED blocks of layers 1, 2, 3, then the commit.
    keypad->faults.failingWrites = {keypad->writeAttempts + 3};
    window->on_confirmButton_clicked();
    settle();
    QCOMPARE(status(), RunTimeTexts::saveFailed(kEnglish)
                           + QStringLiteral(" — the keypad took 1 record, committed; LED layers 1 and 3 sent, layer 2 not"));
    QCOMPARE(keypad->ledBlocks[1].mode, layer2Mode);
    QCOMPARE(int(keypad->ledBlocks[0].mode), 4);
    expireSaveNotices();
}

// A keypad that takes no report is never shown as connected, and a save says
// that it failed instead of doing nothing.
void TestFaultMatrix::keypadTakingNoWritesIsNotConnected()
{
    detachKeypad();
    store() = ConfigStore();
    store().InitKeyRecords();
    showPage(0);
    SimulatedKeypad& k = attachKeypad(true);
    for (int n = 1; n <= 100; ++n)
        k.faults.failingWrites.insert(n);
    connectKeypad();
    tick();
    QCOMPARE(window->connection().state(), KeypadConnection::State::Opened);
    QCOMPARE(status(), RunTimeTexts::notAnswering(kEnglish));
    selectKey(0, 4);
    clickValue(QStringLiteral("A"));
    window->on_confirmButton_clicked();
    settle();
    QCOMPARE(status(), RunTimeTexts::saveFailed(kEnglish));
    QVERIFY(k.received.empty());
    QVERIFY(store().KeyDirty[0][4]);
    expireSaveNotices();

    k.faults = SimulatedKeypad::Faults();
    tick();
    QCOMPARE(status(), RunTimeTexts::connected(kEnglish));
    window->on_confirmButton_clicked();
    settle();
    QCOMPARE(status(), RunTimeTexts::saved(kEnglish));
    QVERIFY(!store().KeyDirty[0][4]);
    QCOMPARE(int(k.storedRecords[0][4][1]), 4);
    expireSaveNotices();
}

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
