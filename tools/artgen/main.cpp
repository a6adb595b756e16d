// Draws every picture the configurator shows, plus its icons.
// Usage: artgen <image output dir> <icon output dir>

#include "art.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {

bool save(const QImage &image, const QString &dir, const QString &name)
{
    const QString path = QDir(dir).filePath(name);
    if (!writeFastPng(image, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

QImage scaledIcon(const QImage &source, int size)
{
    return source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <image dir> <icon dir>\n", argv[0]);
        return 2;
    }
    const QString imageDir = QString::fromLocal8Bit(argv[1]);
    const QString iconDir = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(imageDir) || !QDir().mkpath(iconDir)) {
        std::fprintf(stderr, "cannot create the output folders\n");
        return 1;
    }

    bool ok = true;
    const QSize cap(256, 256);
    for (int n = 1; n <= 21; ++n)
        ok &= save(renderKeyCap(cap, QString::number(n)), imageDir, QStringLiteral("KEY%1.png").arg(n));
    ok &= save(renderKeyCap(QSize(538, 256), QStringLiteral("7")), imageDir, QStringLiteral("KEY7_2.png"));
    for (int n : {9, 10, 11})
        ok &= save(renderKeyCap(QSize(256, 192), QString::number(n)), imageDir, QStringLiteral("KEY%1_2.png").arg(n));

    ok &= save(renderKnob(300), imageDir, QStringLiteral("KN_IN150x150.png"));
    const QSize arrow(228, 194);
    ok &= save(renderTurnArrow(arrow, TurnDirection::CounterClockwise, ArrowSide::AboveKnob), imageDir,
               QStringLiteral("KN_LEFT114x97.png"));
    ok &= save(renderTurnArrow(arrow, TurnDirection::Clockwise, ArrowSide::AboveKnob), imageDir,
               QStringLiteral("KN_RIGHT114x97.png"));
    ok &= save(renderTurnArrow(arrow, TurnDirection::CounterClockwise, ArrowSide::BelowKnob), imageDir,
               QStringLiteral("KN_LEFT114x97_2.png"));
    ok &= save(renderTurnArrow(arrow, TurnDirection::Clockwise, ArrowSide::BelowKnob), imageDir,
               QStringLiteral("KN_RIGHT114x97_2.png"));

    using Place = BoardLook::KnobPlacement;
    const int pitch = 160;
    ok &= save(renderBoard({4, 3, 2, Place::Right, -1}, pitch), imageDir, QStringLiteral("KB_12ADD2.png"));
    ok &= save(renderBoard({5, 1, 0, Place::Right, 4}, pitch), imageDir, QStringLiteral("KB_5KEY_MUTE.png"));
    ok &= save(renderBoard({3, 1, 1, Place::Right, -1}, pitch), imageDir, QStringLiteral("KB_3ADD1.png"));
    ok &= save(renderBoard({3, 2, 2, Place::Above, -1}, pitch), imageDir, QStringLiteral("KB_6ADD2.png"));
    ok &= save(renderBoard({3, 2, 0, Place::Right, -1}, pitch), imageDir, QStringLiteral("KB_6KEY.png"));
    ok &= save(renderBoard({3, 3, 3, Place::Right, -1}, pitch), imageDir, QStringLiteral("KB_9ADD3.png"));

    ok &= save(renderQrLabel(464), imageDir, QStringLiteral("QR_CODE.png"));
    const QImage icon = renderAppIcon(512);
    ok &= save(scaledIcon(icon, 256), imageDir, QStringLiteral("app_icon.png"));
    ok &= save(scaledIcon(icon, 256), iconDir, QStringLiteral("tessaplex-256.png"));
    ok &= save(scaledIcon(icon, 48), iconDir, QStringLiteral("tessaplex-48.png"));
    return ok ? 0 : 1;
}
