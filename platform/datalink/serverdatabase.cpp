#include "serverdatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// The schema, step by step: a database at version N gets every step of a later version, in
// order, in one transaction. @KEY@ stands for the dialect's generated key, @BLOB@ for its binary type.
struct SchemaStep
{
    int version;
    const char *sql;
};

const SchemaStep SchemaSteps[] = {
    {1, "CREATE TABLE plotwright_meta (name VARCHAR(64) PRIMARY KEY, value TEXT NOT NULL)"},
    {1,
        "CREATE TABLE points (id TEXT PRIMARY KEY, name TEXT NOT NULL, qualifier TEXT NOT NULL, "
        "device_name TEXT NOT NULL)"},
    {1,
        "CREATE TABLE graphs (id @KEY@, name TEXT NOT NULL, kind INTEGER NOT NULL, graph @BLOB@ NOT NULL, "
        "svg TEXT NOT NULL, modified BIGINT NOT NULL, revision INTEGER NOT NULL)"},
    {1, "CREATE INDEX graphs_by_kind ON graphs (kind, modified)"},
};

const char *const SchemaKey = "schema";

// Rows per upsert statement: few round trips to a remote server, and well below the
// parameter limits of both drivers.
constexpr int ImportChunk = 200;

int s_connections = 0;

// Texts are NOT NULL columns; an empty field must arrive as '' and not as NULL.
void bindText(QSqlQuery &query, const QString &text)
{
    query.addBindValue(text.isNull() ? QStringLiteral("") : text);
}

QString upsertStatement(int rows)
{
    QString sql = QStringLiteral("INSERT INTO points (id, name, qualifier, device_name) VALUES ");
    for (int i = 0; i < rows; ++i)
        sql += i ? QStringLiteral(", (?, ?, ?, ?)") : QStringLiteral("(?, ?, ?, ?)");
    return sql
        + QStringLiteral(" ON CONFLICT (id) DO UPDATE SET name = excluded.name, qualifier = excluded.qualifier, "
                         "device_name = excluded.device_name");
}

} // namespace

ServerDatabase::ServerDatabase()
    : m_connection(QStringLiteral("plotwright-datalink-%1").arg(++s_connections))
{ }

ServerDatabase::~ServerDatabase()
{
    close();
}

QSqlDatabase ServerDatabase::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

void ServerDatabase::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    database().close();
    QSqlDatabase::removeDatabase(m_connection);
}

bool ServerDatabase::alive()
{
    QSqlQuery query(database());
    return query.exec(QStringLiteral("SELECT 1")) || failed(query);
}

bool ServerDatabase::failed(const QSqlQuery &query)
{
    m_error = query.lastError().text();
    return false;
}

bool ServerDatabase::open(const DbServerSettings &settings, const QString &password)
{
    close();
    m_error.clear();
    m_postgres = settings.kind == DbServerSettings::PostgreSql;
    const QString driver = m_postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    bool opened = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, m_connection);
        if (!db.isValid()) {
            m_error = QStringLiteral("缺少数据库驱动 %1").arg(driver);
        } else if (m_postgres) {
            db.setHostName(settings.host);
            db.setPort(settings.port);
            db.setDatabaseName(settings.database);
            db.setUserName(settings.user);
            db.setPassword(password);
            db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutSeconds));
            m_description = QStringLiteral("PostgreSQL %1@%2:%3/%4")
                                .arg(settings.user, settings.host)
                                .arg(settings.port)
                                .arg(settings.database);
        } else {
            const QString file = DbServerSettings::embeddedFile();
            QDir().mkpath(QFileInfo(file).absolutePath());
            db.setDatabaseName(file);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(ConnectTimeoutSeconds * 1000));
            m_description = QStringLiteral("内置数据库 %1").arg(QDir::toNativeSeparators(file));
        }
        if (db.isValid()) {
            opened = db.open();
            if (!opened)
                m_error = db.lastError().text();
        }
    }
    if (opened) {
        const int version = schemaVersion();
        if (version > SchemaVersion) {
            m_error = QStringLiteral("数据库结构版本 %1 比本程序支持的版本 %2 新").arg(version).arg(SchemaVersion);
            opened = false;
        } else if (version < 0 || (version < SchemaVersion && !upgradeSchema(version))) {
            opened = false;
        }
    }
    if (!opened)
        close();
    return opened;
}

int ServerDatabase::schemaVersion()
{
    QSqlDatabase db = database();
    if (!db.tables().contains(QStringLiteral("plotwright_meta")))
        return 0;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT value FROM plotwright_meta WHERE name = ?"));
    query.addBindValue(QLatin1String(SchemaKey));
    if (!query.exec()) {
        failed(query);
        return -1;
    }
    return query.next() ? query.value(0).toInt() : 0;
}

bool ServerDatabase::upgradeSchema(int from)
{
    QSqlDatabase db = database();
    const QString key
        = m_postgres ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    const QString blob = m_postgres ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
    bool ok = db.transaction();
    QSqlQuery query(db);
    for (const SchemaStep &step : SchemaSteps) {
        if (ok && step.version > from)
            ok = query.exec(QString::fromLatin1(step.sql)
                                .replace(QLatin1String("@KEY@"), key)
                                .replace(QLatin1String("@BLOB@"), blob))
                || failed(query);
    }
    if (ok) {
        query.prepare(from == 0 ? QStringLiteral("INSERT INTO plotwright_meta (value, name) VALUES (?, ?)")
                                : QStringLiteral("UPDATE plotwright_meta SET value = ? WHERE name = ?"));
        query.addBindValue(QString::number(SchemaVersion));
        query.addBindValue(QLatin1String(SchemaKey));
        ok = query.exec() || failed(query);
    }
    query.finish();
    if (ok && db.commit())
        return true;
    db.rollback();
    // Two editors meeting an empty server at once: the one that lost the race finds the
    // schema made by the other.
    return schemaVersion() == SchemaVersion;
}

bool ServerDatabase::loadPoints(QList<CIdInfo> &points)
{
    points.clear();
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, name, qualifier, device_name FROM points ORDER BY id")))
        return failed(query);
    while (query.next()) {
        points.append(CIdInfo{query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toString()});
    }
    return true;
}

int ServerDatabase::pointCount()
{
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM points")) || !query.next()) {
        failed(query);
        return -1;
    }
    return query.value(0).toInt();
}

bool ServerDatabase::importPoints(const QList<CIdInfo> &points, int *added)
{
    // One statement may not touch a row twice: a later row of the same id replaces the earlier.
    QList<CIdInfo> unique;
    QHash<QString, int> position;
    for (const CIdInfo &point : points) {
        const auto found = position.constFind(point.id);
        if (found != position.constEnd()) {
            unique[found.value()] = point;
        } else {
            position.insert(point.id, unique.size());
            unique.append(point);
        }
    }
    QSqlDatabase db = database();
    const int before = pointCount();
    if (before < 0 || !db.transaction())
        return false;
    QSqlQuery full(db);
    bool ok = full.prepare(upsertStatement(ImportChunk)) || failed(full);
    for (int start = 0; ok && start < unique.size(); start += ImportChunk) {
        const int rows = qMin(ImportChunk, unique.size() - start);
        QSqlQuery rest(db);
        QSqlQuery &query = rows == ImportChunk ? full : rest;
        if (&query == &rest)
            ok = rest.prepare(upsertStatement(rows)) || failed(rest);
        for (int i = start; ok && i < start + rows; ++i) {
            const CIdInfo &p = unique.at(i);
            bindText(query, p.id);
            bindText(query, p.name);
            bindText(query, p.qualifier);
            bindText(query, p.deviceName);
        }
        ok = ok && (query.exec() || failed(query));
    }
    const int after = ok ? pointCount() : -1;
    if (after < 0 || !db.commit()) {
        db.rollback();
        return false;
    }
    if (added)
        *added = after - before;
    return true;
}

QList<ServerGraph> ServerDatabase::graphs(int kind)
{
    m_error.clear();
    QList<ServerGraph> list;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, name, revision, modified, length(graph) FROM graphs WHERE kind = ? "
                                 "ORDER BY modified DESC, id DESC"));
    query.addBindValue(kind);
    if (!query.exec()) {
        failed(query);
        return list;
    }
    while (query.next()) {
        ServerGraph g;
        g.id = query.value(0).toLongLong();
        g.name = query.value(1).toString();
        g.kind = kind;
        g.revision = query.value(2).toInt();
        g.modified = query.value(3).toLongLong();
        g.size = query.value(4).toLongLong();
        list.append(g);
    }
    return list;
}

bool ServerDatabase::fetch(qint64 id, ServerGraph &graph, bool withContents)
{
    m_error.clear();
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(withContents ? QStringLiteral("SELECT name, kind, revision, modified, length(graph), graph, svg "
                                                "FROM graphs WHERE id = ?")
                               : QStringLiteral("SELECT name, kind, revision, modified, length(graph) "
                                                "FROM graphs WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec())
        return failed(query);
    if (!query.next())
        return false;
    graph.id = id;
    graph.name = query.value(0).toString();
    graph.kind = query.value(1).toInt();
    graph.revision = query.value(2).toInt();
    graph.modified = query.value(3).toLongLong();
    graph.size = query.value(4).toLongLong();
    if (withContents) {
        graph.graph = query.value(5).toByteArray();
        graph.svg = query.value(6).toString();
    }
    return true;
}

ServerDatabase::Store ServerDatabase::store(ServerGraph &graph)
{
    m_error.clear();
    QSqlDatabase db = database();
    if (!db.transaction()) {
        m_error = db.lastError().text();
        return Store::Failed;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QSqlQuery query(db);
    bool ok = true;
    bool conflict = false;
    if (graph.id == 0) {
        query.prepare(QStringLiteral("INSERT INTO graphs (name, kind, graph, svg, modified, revision) "
                                     "VALUES (?, ?, ?, ?, ?, 1) RETURNING id"));
        bindText(query, graph.name);
        query.addBindValue(graph.kind);
        query.addBindValue(graph.graph.isNull() ? QByteArray("") : graph.graph);
        bindText(query, graph.svg);
        query.addBindValue(now);
        ok = (query.exec() && query.next()) || failed(query);
        if (ok) {
            graph.id = query.value(0).toLongLong();
            graph.revision = 1;
        }
    } else {
        // The revision in the condition makes check and write one step, whoever else writes.
        query.prepare(QStringLiteral("UPDATE graphs SET graph = ?, svg = ?, modified = ?, revision = revision + 1 "
                                     "WHERE id = ? AND revision = ?"));
        query.addBindValue(graph.graph.isNull() ? QByteArray("") : graph.graph);
        bindText(query, graph.svg);
        query.addBindValue(now);
        query.addBindValue(graph.id);
        query.addBindValue(graph.revision);
        ok = query.exec() || failed(query);
        conflict = ok && query.numRowsAffected() != 1;
        if (ok && !conflict)
            ++graph.revision;
    }
    query.finish();
    if (ok && !conflict && db.commit()) {
        graph.modified = now;
        graph.size = graph.graph.size();
        return Store::Stored;
    }
    if (ok && !conflict)
        m_error = db.lastError().text();
    db.rollback();
    return conflict ? Store::Conflict : Store::Failed;
}
