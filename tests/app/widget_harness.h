#pragma once

// Drives the real main window the way a user does: clicks on the form's own
// buttons, monitor ticks called by hand so that no timer races the test.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <memory>
#include <vector>

#include "app/widget.h"
#include "core/keypad/keypad_config.h"
#include "core/device/exchange_worker.h"
#include "core/device/keypad_connection.h"
#include "core/device/protocol.h"
#include "core/device/simulated_keypad.h"
#include "core/keypad/config_store.h"

namespace harness {

// The window the test drives now; each window owns its configuration.
inline Widget*& currentWindow()
{
    static Widget* window = nullptr;
    return window;
}

inline ConfigStore& store() { return currentWindow()->config().rawStore(); }

// Exchanges run on the connection's worker: waits until the last one has
// ended and the window has taken its result. False on a hang.
inline bool settle(Widget& w)
{
    ExchangeWorker& worker = w.connection().exchanges();
    QElapsedTimer limit;
    limit.start();
    while (worker.busy() && limit.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return !worker.busy();
}

// Looks happen only when the test ticks.
template <typename... Args>
std::unique_ptr<Widget> freshWindow(Args&... transport)
{
    auto w = std::make_unique<Widget>(transport...);
    w->connection().stop();
    currentWindow() = w.get();
    return w;
}

inline QPushButton* button(const QWidget& w, const QString& name)
{
    QPushButton* b = w.findChild<QPushButton*>(name);
    if (!b)
        qWarning("no button %s", qPrintable(name));
    return b;
}

inline QPushButton* keyButton(const QWidget& w, int id)
{
    return button(w, QStringLiteral("pushButton_K%1").arg(id));
}

inline QTabWidget* tabs(const QWidget& w) { return w.findChild<QTabWidget*>(QStringLiteral("tabWidget")); }
inline QTextEdit* textBox(const QWidget& w) { return w.findChild<QTextEdit*>(QStringLiteral("lineEdit")); }
inline QString status(const QWidget& w) { return button(w, QStringLiteral("Dev_Sta_Dsp"))->text(); }

inline void showPage(Widget& w, int index)
{
    tabs(w)->setCurrentIndex(index);
    QVERIFY(settle(w));  // the LED page reads the layer's LEDs
}

// Waits for any exchange the click started.
inline void click(QWidget* target)
{
    QVERIFY(target);
    const QPointer<Widget> window = qobject_cast<Widget*>(target->window());
    QTest::mouseClick(target, Qt::LeftButton);
    if (window)
        QVERIFY(settle(*window));
}

inline void click(const QWidget& w, const QString& name) { click(button(w, name)); }

// One look at the bus, and what it started.
inline void tick(Widget& w)
{
    w.timeoutSlot();
    QVERIFY(settle(w));
}

// The first-connection steps run on the tick after the one that opens.
inline void connectKeypad(Widget& w)
{
    w.timeoutSlot();
    w.timeoutSlot();
    QVERIFY(settle(w));
}

// Everything a user's edit may change, to prove that something did not.
struct StoreSnapshot {
    std::vector<uint8_t> bytes;
    explicit StoreSnapshot(const ConfigStore& s)
    {
        auto add = [this](const void* p, size_t n) {
            const auto* b = static_cast<const uint8_t*>(p);
            bytes.insert(bytes.end(), b, b + n);
        };
        add(s.PHY2_KEY_Value, sizeof s.PHY2_KEY_Value);
        add(s.PHY_KEY_Value, sizeof s.PHY_KEY_Value);
        add(s.KeyDirty, sizeof s.KeyDirty);
        add(s.KeyBoard_KeyLed, sizeof s.KeyBoard_KeyLed);
        add(s.LedDirty, sizeof s.LedDirty);
        add(s.LayerLedMode, sizeof s.LayerLedMode);
    }
    bool operator==(const StoreSnapshot& o) const { return bytes == o.bytes; }
};

inline std::vector<uint8_t> bytesOf(const uint8_t* p, int n) { return std::vector<uint8_t>(p, p + n); }

// A record image: the given leading bytes, zeros after them.
inline std::vector<uint8_t> recordImage(std::initializer_list<uint8_t> head, int size)
{
    std::vector<uint8_t> r(head);
    r.resize(size, 0);
    return r;
}

inline int countKind(const std::vector<Report>& reports, ReportKind kind)
{
    int n = 0;
    for (const Report& r : reports)
        n += classifyReport(r) == kind;
    return n;
}

// ---- Connected window ------------------------------------------------------
// Where most window tests start. Kept apart from the drivers above so that
// changes to either merge cleanly.

// Keyboard tests need the window to hold the focus; others must not wait
// for a window manager that may never grant it.
enum class Focus { Any, Active };

// A shown window connected to a fresh 15-key, 3-knob keypad, the keypad's
// log emptied so that a test sees only what it caused.
template <typename Keypad = SimulatedKeypad>
void openConnectedWindow(std::unique_ptr<Keypad>& keypad, std::unique_ptr<Widget>& window,
                         Focus focus = Focus::Any)
{
    keypad = std::make_unique<Keypad>(DeviceInfo{15, 3, 10, 0});
    window = freshWindow(*keypad);
    window->show();
    if (focus == Focus::Active) {
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    connectKeypad(*window);
    QCOMPARE(window->connection().state(), KeypadConnection::State::Connected);
    keypad->received.clear();
    keypad->sleeps.clear();
}

}  // namespace harness

Q_DECLARE_METATYPE(std::vector<uint8_t>)

namespace QTest {
// Byte lists print as hex in failure messages.
template <>
inline char* toString(const std::vector<uint8_t>& bytes)
{
    QByteArray text;
    for (uint8_t b : bytes)
        text += QByteArray::number(b, 16).rightJustified(2, '0') + ' ';
    return qstrdup(text.trimmed().constData());
}
}  // namespace QTest
