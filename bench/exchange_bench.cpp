// A save of 75 records with the LED blocks, and a read-back of 75 replies,
// through the main window against a keypad that answers at once. The keypad
// records the 200 ms pauses instead of sleeping, so the time left is the
// program's own.
#include "app/widget.h"
#include "app/window/keypad_backups.h"
#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "core/keypad/keypad_config.h"
#include "core/device/exchange_worker.h"
#include "core/device/keypad_connection.h"
#include "core/device/simulated_keypad.h"
#include "core/keypad/config_store.h"
#include "core/keypad/key_table.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>

namespace {

constexpr int kSavedSlotsPerLayer = 25;
constexpr int kSavedRecords = kLayers * kSavedSlotsPerLayer;
constexpr int kSaveReports = kSavedRecords + kLayers + 1;  // records, LED blocks, commit
constexpr int kReadRequests = kLayers;
constexpr int kReadReplies = kLayers * 25;

bool connect(Widget& window)
{
    // The save alone is timed: no backup read before it.
    window.backups().setStore(BackupStore::none());
    window.connection().stop();
    window.timeoutSlot();
    window.timeoutSlot();
    settle(window);
    return window.connection().state() == KeypadConnection::State::Connected;
}

// One key code on every key and knob action of the three layers, as if the
// user had assigned them all.
void assignEveryKey(Widget& window)
{
    ConfigStore& s = window.config().rawStore();
    s.Select_PHY_Key_Mode = ModeKeys;
    for (int layer = 0; layer < kLayers; ++layer) {
        s.Select_PHY_Key_Layer = static_cast<uint8_t>(layer);
        for (int slot = 1; slot <= kSavedSlotsPerLayer; ++slot) {
            s.Select_PHY_Key = static_cast<uint8_t>(slot);
            s.WriteSelectionHeader(static_cast<uint8_t>(slot));
            s.AddKeyCode(slot % KeyTable::kSize);
        }
    }
    s.Select_PHY_Key_Layer = 0;
    s.Select_PHY_Key = 0;
}

void markSaveOf75(Widget& window)
{
    ConfigStore& s = window.config().rawStore();
    s.ClearModifiedFlags();
    for (int layer = 0; layer < kLayers; ++layer)
        for (int slot = 1; slot <= kSavedSlotsPerLayer; ++slot)
            s.KeyDirty[layer][slot] = 1;
    s.LedDirty[0] = 1;
    std::fill(std::begin(s.LedFromKeypad), std::end(s.LedFromKeypad), uint8_t(1));
}

// The exchange runs on the worker and the window takes its result through
// the event loop, where it would also repaint: the repaint after a save or
// read-back is one whatever the number of reports, so it is left out of the
// time per report.
void repaintUntimed(Widget& window)
{
    window.setUpdatesEnabled(true);
    QCoreApplication::processEvents();
}

void forgetWhatTheKeypadSaw(SimulatedKeypad& keypad)
{
    keypad.received.clear();
    keypad.sleeps.clear();
    keypad.readTimeoutsAsked.clear();
}

// The saved notice leaves a 1500 ms timer behind per save; no event loop
// runs here to end them.
void dropNoticeTimers(Widget& window)
{
    for (QTimer* timer : window.findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly))
        if (timer != window.Monitor_Timer)
            delete timer;
}

void saveOf75(benchmark::State& state)
{
    SimulatedKeypad keypad;
    Widget window(keypad);
    if (!connect(window)) {
        state.SkipWithError("the simulated keypad did not connect");
        return;
    }
    assignEveryKey(window);
    size_t reports = 0;
    int pausedMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        forgetWhatTheKeypadSaw(keypad);
        dropNoticeTimers(window);
        markSaveOf75(window);
        window.setUpdatesEnabled(false);
        state.ResumeTiming();

        window.on_confirmButton_clicked();
        settle(window);

        state.PauseTiming();
        repaintUntimed(window);
        reports = keypad.received.size();
        pausedMs = std::accumulate(keypad.sleeps.begin(), keypad.sleeps.end(), 0);
        const bool asDesigned = reports == static_cast<size_t>(kSaveReports) && keypad.sleeps.size() == 1
                                && pausedMs == 200 && !window.config().store().anyKeyDirty();
        state.ResumeTiming();
        if (!asDesigned) {
            state.SkipWithError("the save did not send 75 records, 3 LED blocks and 1 commit with one 200 ms pause");
            break;
        }
    }
    dropNoticeTimers(window);
    state.counters["reports"] = static_cast<double>(reports);
    state.counters["paused_ms"] = pausedMs;
}

void readBackOf75(benchmark::State& state)
{
    SimulatedKeypad keypad;
    Widget window(keypad);
    if (!connect(window)) {
        state.SkipWithError("the simulated keypad did not connect");
        return;
    }
    // Give the keypad something to send back, as after a first save.
    assignEveryKey(window);
    markSaveOf75(window);
    window.on_confirmButton_clicked();
    settle(window);
    dropNoticeTimers(window);
    size_t requests = 0;
    int replies = 0;
    for (auto _ : state) {
        state.PauseTiming();
        forgetWhatTheKeypadSaw(keypad);
        const int repliesBefore = keypad.repliesProduced;
        window.setUpdatesEnabled(false);
        state.ResumeTiming();

        window.Read_configuration_clicked();
        settle(window);

        state.PauseTiming();
        repaintUntimed(window);
        requests = keypad.received.size();
        replies = keypad.repliesProduced - repliesBefore;
        const bool asDesigned = requests == static_cast<size_t>(kReadRequests) && replies == kReadReplies
                                && keypad.queuedReplies() == 0 && !window.config().store().anyKeyDirty();
        state.ResumeTiming();
        if (!asDesigned) {
            state.SkipWithError("the read-back did not send 3 requests and take 75 replies");
            break;
        }
    }
    state.counters["requests"] = static_cast<double>(requests);
    state.counters["replies"] = replies;
    state.counters["reports"] = static_cast<double>(requests) + replies;
}

// The same with the per-byte record dumps switched on, as a developer would.
void readBackOf75BytesLogged(benchmark::State& state)
{
    QLoggingCategory::setFilterRules(QStringLiteral("tessaplex.device.bytes.debug=true"));
    readBackOf75(state);
    QLoggingCategory::setFilterRules(QString());
}

}  // namespace

void registerExchangeBenchmarks()
{
    benchmark::RegisterBenchmark("Save75", saveOf75)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("ReadBack75", readBackOf75)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("ReadBack75/BytesLogged", readBackOf75BytesLogged)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
}
