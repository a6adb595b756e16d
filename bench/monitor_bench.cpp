// The monitor tick: searching with nothing plugged in, and idle once connected.
#include "app/widget.h"
#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "core/device/keypad_connection.h"
#include "core/device/discovery.h"
#include "core/device/simulated_keypad.h"

#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr double kTicksPerSecond = 10.0;  // the 100 ms monitor timer

// One tick: the look runs on the connection's worker, the window takes its end.
void lookAndSettle(Widget& window)
{
    window.timeoutSlot();
    settle(window);
}

void searchingTickCounted(benchmark::State& state)
{
    CountingTransport bus;
    Widget window(bus);
    window.connection().stop();  // ticks are driven here, one per iteration
    lookAndSettle(window);
    bus.enumerations = 0;
    for (auto _ : state)
        lookAndSettle(window);
    const double perTick = static_cast<double>(bus.enumerations) / static_cast<double>(state.iterations());
    state.counters["enumerations_per_tick"] = perTick;
    state.counters["enumerations_per_s"] = perTick * kTicksPerSecond;
}

void searchingTickHidapi(benchmark::State& state)
{
    Widget window;  // the real hidapi layer on this machine's bus
    window.connection().stop();
    lookAndSettle(window);
    if (window.connection().state() != KeypadConnection::State::Searching) {
        state.SkipWithError("a keypad is attached: this measure needs an empty bus");
        return;
    }
    for (auto _ : state)
        lookAndSettle(window);
}

// What a tick would cost if it listed every vendor and product pair one by
// one: 8 product ids under each vendor id and the final retry.
void searchingTickPairByPairHidapi(benchmark::State& state)
{
    HidapiTransport hidapi;
    for (auto _ : state) {
        for (uint16_t vendor : {kPrimaryVendorId, kSecondaryVendorId})
            for (uint16_t product : kDefaultProductIds)
                benchmark::DoNotOptimize(hidapi.enumerate(vendor, product));
        benchmark::DoNotOptimize(hidapi.enumerate(kPrimaryVendorId, kInitialProductId));
    }
}

void connectedIdleTick(benchmark::State& state)
{
    SimulatedKeypad keypad;
    Widget window(keypad);
    window.connection().stop();
    lookAndSettle(window);  // opens the keypad
    lookAndSettle(window);  // identifies it; the first-connection steps follow
    if (window.connection().state() != KeypadConnection::State::Connected) {
        state.SkipWithError("the simulated keypad did not connect");
        return;
    }
    const int writesBefore = keypad.writeAttempts;
    for (auto _ : state)
        lookAndSettle(window);
    if (keypad.writeAttempts != writesBefore)
        state.SkipWithError("an idle tick talked to the keypad");
}

}  // namespace

void registerMonitorBenchmarks()
{
    benchmark::RegisterBenchmark("SearchingTick/CountingBus", searchingTickCounted)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("SearchingTick/Hidapi", searchingTickHidapi)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("SearchingTick/HidapiPairByPair", searchingTickPairByPairHidapi)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ConnectedIdleTick", connectedIdleTick)->Unit(benchmark::kMicrosecond);
}
