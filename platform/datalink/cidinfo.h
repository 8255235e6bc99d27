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
};

#endif
