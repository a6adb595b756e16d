#include "app/window/application_setup.h"

#include "app/window/resources_init.h"
#include "build_config.h"
#include "core/profile/file_io.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QSettings>
#include <QTranslator>
#include <QWidget>

#include <cstdio>

void setApplicationAttributes()
{
    // Must precede the application object; keeps proportions right on 2x screens.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}

bool placeSettings()
{
    // Qt would take a relative $XDG_CONFIG_HOME as it is (the working folder)
    // and a missing $HOME as the root of the file system.
    const QString folder = FileIo::xdgHome("XDG_CONFIG_HOME", QStringLiteral(".config"));
    if (!folder.isEmpty()) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        return true;
    }
    std::fputs("tessaplex: neither $XDG_CONFIG_HOME nor $HOME is an absolute folder; settings are not kept\n",
               stderr);
    // A folder that can never be made: every write fails and nothing lands anywhere.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    return false;
}

void setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("tessaplex"));
    // Settings live in ~/.config/tessaplex/tessaplex.conf.
    QApplication::setOrganizationName(QStringLiteral("tessaplex"));
    QApplication::setApplicationVersion(QString::fromLatin1(TESSAPLEX_VERSION_STRING));
    placeSettings();
    tessaplexInitResources();

    // Installed for the whole run, whether or not it loads.
    static QTranslator translator;
    translator.load(QStringLiteral(":/lanague_cn.qm"));
    app.installTranslator(&translator);

    // The family the keypad's users know; where it is missing, fall back to a
    // CJK-capable face so Chinese captions never render as boxes.
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"),
                               {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("Droid Sans Fallback")});
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(15);
    QApplication::setFont(font);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/image/app_icon.png")));
}

void maximizeOnScreen(QWidget& window)
{
    // The form is drawn for 1920 x 1006; un-maximised on a smaller screen the
    // window kept that size and ran off the bottom, pages and all. What it
    // comes back to must fit the screen with its frame.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window.resize(area.size() * 0.9);
        window.move(area.center() - window.rect().center());
    }
    window.showMaximized();
    window.setWindowState(Qt::WindowMaximized);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
}
