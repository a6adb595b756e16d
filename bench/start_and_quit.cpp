// The real program's start, cut short: the application as app/main.cpp makes
// it, the window shown and exposed, the resident memory printed, then exit.
// Timing this process from spawn to exit gives the start as the user waits it.
#include "app/widget.h"
#include "app/window/application_setup.h"
#include "bench/start_probe.h"
#include "build_config.h"
#include "core/device/simulated_keypad.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    setApplicationAttributes();
    QApplication app(argc, argv);
    setUpApplication(app);

    SimulatedKeypad keypad;  // as with --simulate; no tick runs before the exit
    auto window = std::make_unique<Widget>(keypad);
    window->setWindowTitle(Build_Variant == 2 ? QStringLiteral("TESSAPLEX") : QStringLiteral("MINI_KEYBOARD"));
    window->show();
    int code = 0;
    QTimer::singleShot(0, &app, [&] {
        if (!waitUntilExposed(*window))
            code = 1;
        printResidentMemory();
        app.quit();
    });
    app.exec();
    window.reset();
    return code;
}
