#ifndef CDATALINK_H
#define CDATALINK_H

#include <QList>
#include <QString>

#include "cidinfo.h"

// The editor's link to the automation system's server: platform value, server form,
// point records and server graphs. This form works offline: it never connects, so the
// online flag stays false, texts are empty and records null, which every caller accepts.
class CDataLink
{
public:
    static bool Init();
    static void UnInit();
    static CDataLink *GetDataLink();

    // Before the configuration is read the platform is -1, which names no edition:
    // the application name (and with it the settings location) is then the bare title.
    static int platform();
    static void setPlatform(int platform);

    // Modal form to confirm the database server; non-zero when the user confirmed it.
    static int ShowSetDbServerForm();
    static QString GetDbServerInfo();
    static CIdInfo *GetIdInfo(QString &id);

    bool SetupRtuDev();
    QString OpenDizFile(QString dir);
    QString SaveDizFile(QString graphFile, QString svgFile);

    bool online = false;
    QList<CIdInfo> idList;

private:
    CDataLink() = default;
};

#endif
