#include "app/picture/picture_paths.h"

QString picturePath(const ButtonPlacement& placement)
{
    const bool alt = placement.alternativeArt;
    switch (placement.art) {
    case ButtonArt::Key:
        return alt ? QStringLiteral(":/image/KEY%1_2.png").arg(placement.index)
                   : QStringLiteral(":/image/KEY%1.png").arg(placement.index);
    case ButtonArt::LeftArrow:
        return alt ? QStringLiteral(":/image/KN_LEFT114x97_2.png") : QStringLiteral(":/image/KN_LEFT114x97.png");
    case ButtonArt::RightArrow:
        return alt ? QStringLiteral(":/image/KN_RIGHT114x97_2.png") : QStringLiteral(":/image/KN_RIGHT114x97.png");
    case ButtonArt::Knob:
        break;
    }
    return QStringLiteral(":/image/KN_IN150x150.png");
}

QString qrCodePicturePath() { return QStringLiteral(":/image/QR_CODE.png"); }
