// How long the window's event loop stands still while the keypad is talked
// to: a save of one key on each layer, a read-back of the whole keypad and a
// model switch, against a simulated keypad that pauses for real (the 200 ms
// after a commit and in the model switch) and answers every 2 ms, as one on
// a full-speed bus does. A 5 ms timer is the heartbeat; the longest gap
// between two of its ticks (or from the click to the first) is the stall.
#include "app/window/application_setup.h"
#include "app/widget.h"
#include "app/window/unsaved_changes.h"
#include "core/keypad/keypad_config.h"
#include "core/device/keypad_connection.h"
#include "core/device/simulated_keypad.h"
#include "core/keypad/config_store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#if __has_include("core/device/exchange_worker.h")
#include "core/device/exchange_worker.h"
#define TESSAPLEX_EXCHANGES_OFF_THE_WINDOW 1
#endif

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kReplyGapMs = 2;
constexpr int kHeartbeatMs = 5;

// The keypad as seen through a full-speed bus: every reply 2 ms after the
// one before.
class PacedKeypad : public SimulatedKeypad {
public:
    using SimulatedKeypad::SimulatedKeypad;
    int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) override
    {
        if (queuedReplies() > 0)
            platformSleepMs(kReplyGapMs);
        return SimulatedKeypad::readTimeout(handle, data, length, milliseconds);
    }
};

// Runs the event loop until the exchange the action started has ended;
// before exchanges left the window's thread the action itself was the
// whole exchange.
void waitForExchange(Widget& window)
{
#ifdef TESSAPLEX_EXCHANGES_OFF_THE_WINDOW
    ExchangeWorker& worker = window.connection().exchanges();
    QElapsedTimer limit;
    limit.start();
    while (worker.busy() && limit.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
#else
    (void)window;
#endif
    // Whatever the end of the exchange queued for the window.
    QCoreApplication::processEvents();
}

// The longest gap between heartbeats from the action until its exchange
// has ended, in milliseconds.
double longestStall(Widget& window, const std::function<void()>& action)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(kHeartbeatMs);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    heartbeat.start();
    // The first tick, so the clock starts from a running loop.
    QElapsedTimer warm;
    warm.start();
    while (warm.elapsed() < 3 * kHeartbeatMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, kHeartbeatMs);
    clock.start();
    last = 0;
    QTimer::singleShot(0, &window, action);
    QCoreApplication::processEvents();
    waitForExchange(window);
    // One more beat catches a stall that lasted to the end.
    QElapsedTimer tail;
    tail.start();
    while (tail.elapsed() < 2 * kHeartbeatMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, kHeartbeatMs);
    heartbeat.stop();
    return static_cast<double>(longest) / 1e6;
}

void markOneKeyPerLayer(Widget& window)
{
    ConfigStore& s = window.config().rawStore();
    s.Select_PHY_Key_Mode = ModeKeys;
    for (int layer = 0; layer < kLayers; ++layer) {
        s.Select_PHY_Key_Layer = static_cast<uint8_t>(layer);
        s.Select_PHY_Key = 1;
        s.WriteSelectionHeader(1);
        s.AddKeyCode(4 + layer);
    }
    s.Select_PHY_Key_Layer = 0;
    s.Select_PHY_Key = 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The simulated keypads' backups go to a folder of their own, never the user's.
    QTemporaryDir backupHome;
    qputenv("XDG_DATA_HOME", backupHome.path().toLocal8Bit());
    setApplicationAttributes();
    QApplication app(argc, argv);
    setUpApplication(app);

    DeviceInfo info;
    info.keys = 15;
    info.knobs = 3;
    info.version = 12;
    PacedKeypad keypad(info);
    keypad.realSleep = true;
    Widget window(keypad);
    window.connection().stop();
    window.unsavedChanges().setQuestion(
        [](const QString&, const QString&, QMessageBox::StandardButtons) { return QMessageBox::Discard; });
    window.show();
    // The keypad is on the bus when the window has been painted: two looks
    // open and identify it, the first read-back and its backup follow.
    const double firstLook = longestStall(window, [&] {
        window.timeoutSlot();
        window.timeoutSlot();
    });
    if (!window.connection().isConnected()) {
        std::fprintf(stderr, "the simulated keypad did not connect\n");
        return 1;
    }

    markOneKeyPerLayer(window);
    const double save = longestStall(window, [&] { window.on_confirmButton_clicked(); });
    const double readBack = longestStall(window, [&] { window.Read_configuration_clicked(); });
    markOneKeyPerLayer(window);
    const double discard = longestStall(window, [&] { window.unsavedChanges().discard(); });
    // Its backup reads the keypad whole first: the save changed what it holds.
    const double modelSwitch = longestStall(window, [&] { window.Set_Keyboard_Ver_SLOT(1); });

    std::printf("| Exchange (keypad answering every %d ms) | Longest stall of the event loop |\n", kReplyGapMs);
    std::printf("|---|---|\n");
    std::printf("| Save of one key on each layer | %.1f ms |\n", save);
    std::printf("| Read-back of the whole keypad | %.1f ms |\n", readBack);
    std::printf("| Model switch | %.1f ms |\n", modelSwitch);
    std::printf("| First look: open, identify, read-back | %.1f ms |\n", firstLook);
    std::printf("| Discard changes (one edit per layer) | %.1f ms |\n", discard);
    const bool met = std::max({save, readBack, modelSwitch}) <= 16.0;
    std::printf("Target: no stall over 16 ms (one frame): %s\n", met ? "met" : "missed");
    return 0;
}
