// How often the connection lists the bus, searching and connected, with udev
// events and with the polling fallback, and how long a plugged-in node waits
// before the look starts. Each lookNow() counts as one listing, which is what
// the connection does with it. No udev events can be made here, so a fake
// source stands in for the netlink socket (a pipe, so the QSocketNotifier
// path is the real one).
//
// Its own program (tessaplex_hotplug_bench): it needs only the widget-free
// library and an event loop. Prints the same kind of table as tessaplex_bench.
#include "bench/results_table.h"
#include "core/device/udev_bus_watch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

constexpr int kWindowMs = 2000;  // each rate is counted over this much event-loop time

class PipeEventSource : public HidrawEventSource {
public:
    PipeEventSource()
    {
        if (::pipe2(fds_, O_NONBLOCK) != 0)
            std::abort();
    }
    ~PipeEventSource() override
    {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    bool open() override { return true; }
    int fd() const override { return fds_[0]; }
    void push(HidrawEvent::Action action, const QString& node)
    {
        queue_.push_back({action, node});
        if (::write(fds_[1], "e", 1) != 1)
            std::abort();
    }
    Receive receiveNext(HidrawEvent& event) override
    {
        if (queue_.empty())
            return Receive::Empty;
        char byte;
        if (::read(fds_[0], &byte, 1) != 1)
            std::abort();
        event = queue_.front();
        queue_.pop_front();
        return Receive::Event;
    }

private:
    int fds_[2] = {-1, -1};
    std::deque<HidrawEvent> queue_;
};

// One listing per lookNow(), as the connection does.
struct CountingHarness {
    explicit CountingHarness(BusWatch& watch)
    {
        QObject::connect(&watch, &BusWatch::lookNow, [this] {
            ++listings;
            if (onLook)
                onLook();
        });
    }
    long listings = 0;
    std::function<void()> onLook;
};

void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs until the harness sees a look; false after 5 s.
bool waitForLook(CountingHarness& harness)
{
    QEventLoop loop;
    harness.onLook = [&loop] { loop.quit(); };
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    guard.start(5000);
    const bool looked = loop.exec() == 0;
    harness.onLook = nullptr;
    return looked;
}

struct Watch {
    PipeEventSource* source = nullptr;  // null for polling
    std::unique_ptr<BusWatch> watch;
};

Watch makeWatch(bool events)
{
    Watch made;
    if (events) {
        made.source = new PipeEventSource;
        made.watch = std::make_unique<UdevBusWatch>(std::unique_ptr<HidrawEventSource>(made.source));
    } else {
        made.watch = std::make_unique<PollingBusWatch>();
    }
    return made;
}

// Listings per second once the start (and, connected, the plug-in) has been
// dealt with: the steady cost of sitting there.
void listingsPerSecond(benchmark::State& state, bool events, bool connected)
{
    for (auto _ : state) {
        Watch w = makeWatch(events);
        CountingHarness harness(*w.watch);
        w.watch->start();
        if (!waitForLook(harness)) {
            state.SkipWithError("no look at start");
            return;
        }
        if (connected && w.source) {
            // The keypad's two interfaces arrive; the settled look finds it.
            w.source->push(HidrawEvent::Action::Add, QStringLiteral("/dev/hidraw3"));
            w.source->push(HidrawEvent::Action::Add, QStringLiteral("/dev/hidraw4"));
            if (!waitForLook(harness)) {
                state.SkipWithError("no look after the keypad's add events");
                return;
            }
        }
        harness.listings = 0;
        QElapsedTimer clock;
        clock.start();
        runEventLoopFor(kWindowMs);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        state.SetIterationTime(seconds);
        state.counters["listings_per_s"] = static_cast<double>(harness.listings) / seconds;
        w.watch->stop();
    }
}

// From the event being readable on the socket to lookNow(): the settle time
// plus the dispatch through the event loop.
void eventToLook(benchmark::State& state, HidrawEvent::Action action)
{
    Watch w = makeWatch(true);
    CountingHarness harness(*w.watch);
    w.watch->start();
    if (!waitForLook(harness)) {
        state.SkipWithError("no look at start");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        w.source->push(action, QStringLiteral("/dev/hidraw3"));
        if (!waitForLook(harness)) {
            state.SkipWithError("the event brought no look");
            return;
        }
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
    }
}

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

double counter(const MeasuredRun& run, const std::string& name)
{
    const auto it = run.counters.find(name);
    return it == run.counters.end() ? -1 : it->second;
}

std::string table(const std::map<std::string, MeasuredRun>& runs)
{
    std::ostringstream out;
    out << "| Measure | Value | Target | Met? |\n|---|---|---|---|\n";
    const auto row = [&](const std::string& measure, const std::string& name, const std::string& target,
                         const std::function<std::string(const MeasuredRun&)>& value,
                         const std::function<bool(const MeasuredRun&)>& met) {
        const auto it = runs.find(name);
        std::string shown;
        std::string verdict = met ? "no" : "—";
        if (it == runs.end())
            shown = "not run";
        else if (!it->second.error.empty())
            shown = "failed: " + it->second.error;
        else {
            shown = value(it->second);
            if (met)
                verdict = met(it->second) ? "yes" : "**no**";
        }
        out << "| " << measure << " | " << shown << " | " << target << " | " << verdict << " |\n";
    };
    const auto rate = [](const MeasuredRun& r) { return format("%.1f", counter(r, "listings_per_s")); };
    const auto none = [](const MeasuredRun& r) { return counter(r, "listings_per_s") == 0; };
    const auto atMostTen = [](const MeasuredRun& r) { return counter(r, "listings_per_s") <= 10.5; };
    const double settleMs = UdevBusWatch::kDefaultSettleMs;

    row("Searching, udev events: bus listings per second", "Listings/Events/Searching", "0", rate, none);
    row("Connected, udev events: bus listings per second", "Listings/Events/Connected", "0", rate, none);
    row("Searching, polling fallback: bus listings per second", "Listings/Polling/Searching", "≤ 10", rate, atMostTen);
    row("Connected, polling fallback: bus listings per second", "Listings/Polling/Connected", "≤ 10", rate,
        atMostTen);
    row("Node \"add\" event → look starts (settle " + format("%.0f ms", settleMs) + " + dispatch)", "AddToLook",
        "settle + ≤ 5 ms",
        [settleMs](const MeasuredRun& r) {
            return format("%.1f ms", r.realSeconds * 1e3) + " (dispatch " +
                   format("%.2f ms", r.realSeconds * 1e3 - settleMs) + ")";
        },
        [settleMs](const MeasuredRun& r) { return r.realSeconds * 1e3 <= settleMs + 5; });
    row("Node \"remove\" event → look starts", "RemoveToLook", "≤ 5 ms",
        [](const MeasuredRun& r) { return format("%.3f ms", r.realSeconds * 1e3); },
        [](const MeasuredRun& r) { return r.realSeconds * 1e3 <= 5; });
    return out.str();
}

}  // namespace

int main(int argc, char** argv)
{
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    for (const bool events : {true, false}) {
        for (const bool connected : {false, true}) {
            const std::string name = std::string("Listings/") + (events ? "Events/" : "Polling/") +
                                     (connected ? "Connected" : "Searching");
            benchmark::RegisterBenchmark(name.c_str(), listingsPerSecond, events, connected)
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("AddToLook", eventToLook, HidrawEvent::Action::Add)
        ->Iterations(10)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RemoveToLook", eventToLook, HidrawEvent::Action::Remove)
        ->Iterations(200)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);

    CollectingReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::cout << table(reporter.runs()) << std::flush;
    return 0;
}
