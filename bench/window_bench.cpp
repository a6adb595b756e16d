// The window resized with the default keypad picture.
#include "app/widget.h"
#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "build_config.h"
#include "core/device/keypad_connection.h"
#include "core/device/simulated_keypad.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QSize kFullHd(1920, 1006);
const QSize kSmaller(1600, 838);

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
        return exposed && window->View.W == kFullHd.width() && window->View.H == kFullHd.height()
               && visibleKeyButtons(*window) == kDefaultPictureButtons;
    }
};

bool resizeTo(Widget& window, const QSize& size)
{
    window.resize(size);
    return window.View.W == size.width() && window.View.H == size.height();
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

void registerWindowBenchmarks()
{
    benchmark::RegisterBenchmark("Resize/Alternating", resizeAlternating)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Resize/Dragged", resizeDragged)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Resize/WithRepaint", resizeAndPaint)->Unit(benchmark::kMillisecond);
}
