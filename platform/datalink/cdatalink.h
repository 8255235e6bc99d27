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
    virtual ~CDataLink();

    static bool Init();
    static void UnInit();
    static CDataLink *GetDataLink();
    // Puts another link in place of the current one (a server backend, or a test's
    // stand-in); takes ownership.
    static void install(CDataLink *link);

    // Before the configuration is read the platform is -1, which names no edition:
    // the application name (and with it the settings location) is then the bare title.
    static int platform();
    static void setPlatform(int platform);

    // Modal form to confirm the database server; non-zero when the user confirmed it.
    static int ShowSetDbServerForm();
    static QString GetDbServerInfo();
    static CIdInfo *GetIdInfo(QString &id);

    virtual bool SetupRtuDev();
    virtual QString OpenDizFile(QString dir);
    virtual QString SaveDizFile(QString graphFile, QString svgFile);

    bool online = false;
    QList<CIdInfo> idList;

protected:
    CDataLink() = default;
};

#endif
