// The floor the program's start is held against: the application set up
// exactly as the program does it (attributes, resources, translator, font,
// icon), and a plain QWidget, maximized like the main window, shown until it
// is exposed and painted. Then the same VmRSS line and exit.
#include "app/window/application_setup.h"
#include "bench/start_probe.h"
#include "build_config.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    setApplicationAttributes();
    QApplication app(argc, argv);
    setUpApplication(app);

    QWidget window;
    window.setWindowTitle(Build_Variant == 2 ? QStringLiteral("TESSAPLEX") : QStringLiteral("MINI_KEYBOARD"));
    window.showMaximized();
    int code = 0;
    QTimer::singleShot(0, &app, [&] {
        if (!waitUntilExposed(window))
            code = 1;
        printResidentMemory();
        app.quit();
    });
    app.exec();
    return code;
}
