#include "version.h"

QString Version::VersionToString(unsigned version)
{
    return QStringLiteral("%1.0").arg(version);
}
