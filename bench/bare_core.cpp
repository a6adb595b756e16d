// The floor a command-line tool's start is held against: a QCoreApplication
// with the program's name and version, quit from the first turn of its event
// loop. Links Qt Core only, as such a tool would.
#include "bench/start_probe.h"
#include "build_config.h"

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaplex"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(TESSAPLEX_VERSION_STRING));
    QTimer::singleShot(0, &app, [&] {
        printResidentMemory();
        app.quit();
    });
    return app.exec();
}
