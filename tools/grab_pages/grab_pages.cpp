// Saves a picture of every page of the main window, for a few simulated
// keypads (current and old record formats) in English and in Chinese, so a
// change that should not alter the look can be checked picture by picture:
//
//   QT_QPA_PLATFORM=offscreen build/tools/grab_pages/grab_pages DIR
//   (run it before and after the change, then compare the two folders,
//   e.g. with `cmp` or ImageMagick's `compare -metric AE`).
//
// Settings go to Qt's test locations, never to the user's.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStandardPaths>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <memory>

#include "app/window/application_setup.h"
#include "app/widget.h"
#include "core/device/keypad_connection.h"
#include "core/device/simulated_keypad.h"
#include "app/picker/dialog1.h"

namespace {

// Looks at the bus and exchanges run on the connection's worker: waits for
// the last of them, then for what they queued for the window.
void settle(Widget& window)
{
    QElapsedTimer limit;
    limit.start();
    while (window.connection().exchanges().busy() && limit.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

bool save(QWidget& widget, const QString& path)
{
    if (!widget.grab().save(path, "PNG")) {
        std::fprintf(stderr, "grab_pages: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // The simulated keypads' backups go to a folder of their own, never the user's.
    QTemporaryDir backupHome;
    qputenv("XDG_DATA_HOME", backupHome.path().toLocal8Bit());
    setApplicationAttributes();
    QApplication app(argc, argv);
    setUpApplication(app);
    QStandardPaths::setTestModeEnabled(true);
    if (argc != 2) {
        std::fprintf(stderr, "usage: grab_pages DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path()))
        return 1;

    struct Board {
        const char* name;
        DeviceInfo info;
    };
    const Board boards[] = {{"15+3-current", {15, 3, 10, 0}}, {"15+3-old", {15, 3, 9, 0}},
                            {"21+1-current", {21, 1, 10, 0}}, {"3+1-old", {3, 1, 9, 0}},
                            {"0+4-current", {0, 4, 10, 0}}};
    int files = 0;
    for (const Board& board : boards) {
        for (const char* language : {"en", "cn"}) {
            QSettings().clear();
            SimulatedKeypad keypad(board.info);
            auto w = std::make_unique<Widget>(keypad);
            w->connection().stop();
            if (QLatin1String(language) == QLatin1String("cn") && w->Language_Flag != 0)
                w->findChild<QPushButton*>(QStringLiteral("change"))->click();
            else if (QLatin1String(language) == QLatin1String("en") && w->Language_Flag != 1)
                w->findChild<QPushButton*>(QStringLiteral("change"))->click();
            w->show();
            w->resize(1366, 705);
            settle(*w);
            w->timeoutSlot();
            w->timeoutSlot();
            settle(*w);
            if (auto* first = w->findChild<QPushButton*>(QStringLiteral("pushButton_K1")))
                first->click();
            settle(*w);
            auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
            const QString stem = out.filePath(QStringLiteral("%1-%2").arg(board.name, language));
            for (int page = 0; page < tabs->count(); ++page) {
                tabs->setCurrentIndex(page);
                settle(*w);
                files += save(*w, stem + QStringLiteral("-page%1.png").arg(page));
            }
            if (Dialog1* picker = w->dialog1()) {
                picker->show();
                settle(*w);
                files += save(*picker, stem + QStringLiteral("-picker.png"));
                picker->hide();
            }
        }
    }
    std::printf("grab_pages: %d pictures in %s\n", files, qPrintable(out.path()));
    return 0;
}
