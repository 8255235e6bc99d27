#include "apptexts.h"

#include "cdatalink.h"

#include <QCoreApplication>
#include <QDir>

namespace {

const QString &baseName()
{
    static const QString name = QStringLiteral("Plotwright");
    return name;
}

} // namespace

QString applicationTitle()
{
    // One edition per platform: the master station, the substation and the stand-alone one.
    switch (CDataLink::platform()) {
    case 0: return QStringLiteral("%1(主站版)").arg(baseName(), 0, QLatin1Char(' '));
    case 1: return QStringLiteral("%1(子站版)").arg(baseName(), 0, QLatin1Char(' '));
    case 2: return QStringLiteral("%1(单机版)").arg(baseName(), 0, QLatin1Char(' '));
    default: return baseName();
    }
}

QString companyName()
{
    static const QString name = QStringLiteral("Tessaro");
    return name;
}

QString windowTitleText(const QString &title, bool withState)
{
    if (!withState)
        return QStringLiteral("%1 - %2").arg(title, companyName());
    const QString state = CDataLink::GetDataLink()->online
        ? QStringLiteral("当前在线") + QLatin1Char(';') + CDataLink::GetDbServerInfo()
        : QStringLiteral("当前离线");
    // One multi-argument call, so that a '%' inside a title cannot be taken for a marker.
    return QStringLiteral("%1 - %2(%3)").arg(title, companyName(), state);
}

QString applicationDir()
{
    static const QString dir = QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).absolutePath());
    return dir;
}
