#ifndef CDATALINK_H
#define CDATALINK_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

#include "cidinfo.h"
#include "dbserversettings.h"

class ServerDatabase;
struct ServerGraph;
class QTcpSocket;
class QTimer;

// The editor's link to the automation system's server: platform value, server form, point
// records and server graphs, kept in a SQL database (the embedded file in the project folder,
// or a shared server). Until SetupRtuDev() succeeds the link is offline: the online flag is
// false, texts are empty and records null, which every caller accepts.
// A shared server may go away and come back while the editor runs: the connection is checked
// before each use and made anew; while the server is down the link is offline and tries again
// by itself. onlineChanged() tells the window title.
// The point records are there on every platform: from the chosen database on the master
// station, from the embedded database in the project folder elsewhere (loadLocalPoints()),
// where graphs stay local files. pointsChanged() tells whoever shows or checks bindings.
class CDataLink : public QObject
{
    Q_OBJECT
public:
    virtual ~CDataLink();

    static bool Init();
    static void UnInit();
    static CDataLink *GetDataLink();
    // Puts another link in place of the current one (a test's stand-in); takes ownership.
    static void install(CDataLink *link);

    // Before the configuration is read the platform is -1, which names no edition:
    // the application name (and with it the settings location) is then the bare title.
    static int platform();
    static void setPlatform(int platform);

    // Modal form to choose the database; non-zero when the user confirmed it. The choice is
    // what the next SetupRtuDev() connects to.
    static int ShowSetDbServerForm();
    // The connected database, without any secret; empty while offline.
    static QString GetDbServerInfo();
    // The point record of an id, or null; a hash lookup, also after callers changed idList.
    static CIdInfo *GetIdInfo(QString &id);

    // Connects (bounded by a timeout), loads idList and sets the online flag.
    virtual bool SetupRtuDev();
    // Loads idList from the embedded database in the project folder without going online;
    // a missing or unreadable file leaves it empty, with the reason in pointsProblem().
    bool loadLocalPoints();
    // Puts these records in place of idList and tells pointsChanged().
    void setPoints(const QList<CIdInfo> &points, const QString &problem = QString());
    // Why there are no point records, in one line; empty when they were loaded.
    QString pointsProblem() const { return m_pointsProblem; }
    // Lets the user choose a server graph and writes it into `dir` as
    // "DIZ.<server id>.<name>.drw"; the local path, empty when cancelled or failed.
    virtual QString OpenDizFile(const QString &dir);
    // Uploads the graph file and its SVG as one new revision; the local path of the copy of
    // that revision (moved into the graph folder), empty when the upload was refused or failed.
    virtual QString SaveDizFile(const QString &graphFile, const QString &svgFile);

    // OpenDizFile without the dialog: server graph `id` into `dir`.
    QString fetchDizFile(qint64 id, const QString &dir);
    // Why the last connection attempt failed.
    QString errorText() const { return m_error; }
    // The local copy's file name of a server graph at its revision.
    static QString localName(const ServerGraph &graph);

    bool online = false;
    QList<CIdInfo> idList;

    // How often a link whose server went away tries to come back.
    static constexpr int RetryIntervalMs = 5000;

signals:
    void onlineChanged(bool online);
    void pointsChanged();

protected:
    CDataLink();

private:
    bool connectServer(QList<CIdInfo> &points);
    bool ensureConnected();
    QString lostConnection();
    void setOnline(bool value);
    void knockAtServer();
    void stopRetrying();
    void reindex();
    QString refuse(const QString &why);
    static void closeAtExit();

    std::unique_ptr<ServerDatabase> m_db;
    DbServerSettings m_settings;
    QString m_password; // for this run only, unless the user asked to keep it
    bool m_confirmed = false;
    // The server was connected and went away: uses and the retry timer try to reconnect.
    bool m_dropped = false;
    QTimer *m_retry = nullptr;
    QTcpSocket *m_knock = nullptr;
    QString m_error;
    QString m_pointsProblem = QStringLiteral("未连接点表数据库");
    // GetIdInfo's index into idList, and the size and storage of the list it was made from.
    QHash<QString, int> m_index;
    int m_indexedSize = 0;
    const CIdInfo *m_indexedFirst = nullptr;
};

#endif
