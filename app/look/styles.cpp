#include "app/look/styles.h"

namespace StatusStyles {

QString connectedStyle() { return QStringLiteral("color: rgb(255, 255, 255);"); }

QString disconnectedStyle(unsigned char variant)
{
    return variant == 2 ? QStringLiteral("color: rgb(255, 255, 255);") : QStringLiteral("color: rgb(220, 0, 0);");
}

QString savedNoticeStyle() { return QStringLiteral("background-color: rgb(0,225,40);border:0px;"); }

QString savedNoticeEndStyle() { return QStringLiteral("background-color: rgb(60,60,60);border:0px;color:#FFFFFF;"); }

QString saveFailedStyle() { return QStringLiteral("background-color: rgb(220,0,0);border:0px;color:#FFFFFF;"); }

QString recordFullStyle() { return QStringLiteral("background-color: rgb(200,120,0);border:0px;color:#FFFFFF;"); }

QString permissionProblemStyle() { return QStringLiteral("color: rgb(255, 170, 0);"); }

}  // namespace StatusStyles

QString buttonStyleSheet(int radius)
{
    return QStringLiteral("QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:")
           + QString::number(radius) + QStringLiteral("px;color:#FFFFFF;}");
}
