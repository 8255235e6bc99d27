#ifndef SERVERDATABASE_H
#define SERVERDATABASE_H

#include "cidinfo.h"
#include "dbserversettings.h"
#include "servergraph.h"

#include <QList>
#include <QString>

class QSqlDatabase;
class QSqlQuery;

// One connection to the data link's database, embedded or shared, and everything stored in
// it: the schema (created or upgraded on open), the point records and the server graphs.
// Every value reaches SQL as a bound parameter; statement texts are constants.
class ServerDatabase
{
public:
    static constexpr int SchemaVersion = 1;
    static constexpr int ConnectTimeoutSeconds = 5;

    enum class Store
    {
        Stored,
        Conflict, // the graph is no longer at the revision the upload was based on
        Failed
    };

    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase &) = delete;
    ServerDatabase &operator=(const ServerDatabase &) = delete;

    // Connects (within ConnectTimeoutSeconds) and brings the schema to SchemaVersion.
    bool open(const DbServerSettings &settings, const QString &password);
    void close();
    // Whether the connection still works: a server may have closed it (restart, idle limit,
    // an administrator) without the driver noticing before the next statement.
    bool alive();
    // What went wrong last, for the user; the server's description never holds a secret.
    QString errorText() const { return m_error; }
    QString description() const { return m_description; }

    bool loadPoints(QList<CIdInfo> &points);
    int pointCount();
    // Inserts new ids and updates known ones, all or nothing; `added` counts the new ids.
    bool importPoints(const QList<CIdInfo> &points, int *added);

    // The graphs of one kind, newest first, without their contents.
    QList<ServerGraph> graphs(int kind);
    // False when there is no such graph (errorText() empty) or the query failed.
    bool fetch(qint64 id, ServerGraph &graph, bool withContents);
    // graph.id 0 stores a new graph at revision 1. Otherwise replaces the graph only while it
    // is still at graph.revision, so that nobody's upload is overwritten unseen. On success
    // graph.id, revision and modified describe what the server now holds.
    Store store(ServerGraph &graph);

private:
    QSqlDatabase database() const;
    bool failed(const QSqlQuery &query);
    int schemaVersion();
    bool upgradeSchema(int from);

    QString m_connection;
    QString m_error;
    QString m_description;
    bool m_postgres = false;
};

#endif
