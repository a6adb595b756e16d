#include "bench/app_setup.h"

#include "app/resources_init.h"
#include "build_config.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QTranslator>

void setApplicationAttributesLikeMain()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}

void setUpApplicationLikeMain(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("tessaplex"));
    QApplication::setApplicationVersion(QString::fromLatin1(TESSAPLEX_VERSION_STRING));
    tessaplexInitResources();

    static QTranslator translator;
    translator.load(QStringLiteral(":/lanague_cn.qm"));
    app.installTranslator(&translator);

    QFont::insertSubstitutions(QStringLiteral("微软雅黑"),
                               {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("Droid Sans Fallback")});
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(15);
    QApplication::setFont(font);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/image/app_icon.png")));
}
