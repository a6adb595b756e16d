// Start-up of the window and its resize with the default keypad picture.
#include "app/widget.h"
#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "build_config.h"
#include "device/keypad_connection.h"
#include "device/simulated_keypad.h"
#include "models/window_size.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cerrno>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const QSize kFullHd(1920, 1006);
const QSize kSmaller(1600, 838);

void startInProcess(benchmark::State& state)
{
    for (auto _ : state) {
        SimulatedKeypad keypad;
        auto window = std::make_unique<Widget>(keypad);
        window->setWindowTitle(Build_Variant == 2 ? QStringLiteral("TESSAPLEX") : QStringLiteral("MINI_KEYBOARD"));
        window->show();
        const bool exposed = waitUntilExposed(*window);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (!exposed) {
            state.SkipWithError("the window was never exposed");
            break;
        }
    }
}

struct ChildRun {
    bool ok = false;
    long residentKb = 0;
};

// Spawns the cut-short program and reads the VmRSS line it prints.
ChildRun runStartProgram()
{
    ChildRun run;
    int out[2];
    if (pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char program[] = TESSAPLEX_BENCH_START_PROGRAM;
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string output;
    char buffer[256];
    ssize_t n = 0;
    while (spawned == 0 && ((n = read(out[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
        if (n > 0)
            output.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    if (spawned != 0)
        return run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const std::string key = "VmRSS_kB=";
    const size_t at = output.find(key);
    if (at != std::string::npos)
        run.residentKb = std::stol(output.substr(at + key.size()));
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && run.residentKb > 0;
    return run;
}

void startWholeProcess(benchmark::State& state)
{
    long maxResidentKb = 0;
    for (auto _ : state) {
        const ChildRun run = runStartProgram();
        if (!run.ok) {
            state.SkipWithError("the start program failed: " TESSAPLEX_BENCH_START_PROGRAM);
            break;
        }
        maxResidentKb = std::max(maxResidentKb, run.residentKb);
    }
    state.counters["rss_kB"] = static_cast<double>(maxResidentKb);
}

constexpr int kDefaultPictureButtons = 24;  // 15 keys and three knobs of three buttons

int visibleKeyButtons(const QWidget& window)
{
    const QRegularExpression keyButton(QStringLiteral("^pushButton_K\\d+$"));
    int visible = 0;
    for (const QPushButton* button : window.findChildren<QPushButton*>(keyButton))
        visible += button->isVisible() ? 1 : 0;
    return visible;
}

struct ShownWindow {
    CountingTransport bus;  // nothing plugged in: the picture stays the default one
    std::unique_ptr<Widget> window;

    bool open()
    {
        window = std::make_unique<Widget>(bus);
        window->connection().stop();
        const bool exposed = waitUntilExposed(*window);
        // The window opens maximized on the small offscreen screen.
        window->setWindowState(Qt::WindowNoState);
        QCoreApplication::processEvents();
        window->resize(kFullHd);
        QCoreApplication::processEvents();
        return exposed && WindowSize::W == kFullHd.width() && WindowSize::H == kFullHd.height()
               && visibleKeyButtons(*window) == kDefaultPictureButtons;
    }
};

bool resizeTo(Widget& window, const QSize& size)
{
    window.resize(size);
    return WindowSize::W == size.width() && WindowSize::H == size.height();
}

void resizeAlternating(benchmark::State& state)
{
    ShownWindow shown;
    if (!shown.open()) {
        state.SkipWithError("the window did not show the 24-button picture at 1920x1006");
        return;
    }
    bool full = false;
    for (auto _ : state) {
        if (!resizeTo(*shown.window, full ? kFullHd : kSmaller)) {
            state.SkipWithError("the resize did not reach the resize handler at once");
            break;
        }
        full = !full;
    }
}

// The window edge dragged: every resize a height not seen before, so every
// picture is rescaled.
void resizeDragged(benchmark::State& state)
{
    ShownWindow shown;
    if (!shown.open()) {
        state.SkipWithError("the window did not show the 24-button picture at 1920x1006");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        const QSize size(kFullHd.width() - step % 500, kFullHd.height() - step % 500);
        ++step;
        if (!resizeTo(*shown.window, size)) {
            state.SkipWithError("the resize did not reach the resize handler at once");
            break;
        }
    }
}

// Resize and the repaint that follows it.
void resizeAndPaint(benchmark::State& state)
{
    ShownWindow shown;
    if (!shown.open()) {
        state.SkipWithError("the window did not show the 24-button picture at 1920x1006");
        return;
    }
    bool full = false;
    for (auto _ : state) {
        resizeTo(*shown.window, full ? kFullHd : kSmaller);
        QCoreApplication::processEvents();
        full = !full;
    }
}

}  // namespace

void registerStartBenchmarks()
{
    benchmark::RegisterBenchmark("StartInProcess", startInProcess)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(10);
    benchmark::RegisterBenchmark("StartWholeProcess", startWholeProcess)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(10);
}

void registerWindowBenchmarks()
{
    benchmark::RegisterBenchmark("Resize/Alternating", resizeAlternating)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Resize/Dragged", resizeDragged)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Resize/WithRepaint", resizeAndPaint)->Unit(benchmark::kMillisecond);
}
