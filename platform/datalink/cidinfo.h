#ifndef CIDINFO_H
#define CIDINFO_H

#include <QString>

// One point record of the automation system.
struct CIdInfo
{
    QString id;
    QString name;
    QString qualifier;
    QString deviceName;

    // The naming rule of the variable replacement: a device or variable name that starts or
    // ends with "-" has lost a piece on that side, and no replacement may produce one.
    static bool isCutName(const QString &part)
    {
        return part.startsWith(QLatin1Char('-')) || part.endsWith(QLatin1Char('-'));
    }
};

#endif
