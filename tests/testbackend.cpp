#include "testbackend.h"

#include <QFile>
#include <QSqlQuery>

namespace TestBackend {

namespace {
QString stateValue(const QString &key)
{
    QFile state(QString::fromLocal8Bit(qgetenv("PLOTWRIGHT_TEST_PG")));
    if (!state.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray &line : state.readAll().split('\n')) {
        if (line.startsWith(key.toUtf8() + '='))
            return QString::fromUtf8(line.mid(key.size() + 1));
    }
    return QString();
}
} // namespace

bool postgres()
{
    return qgetenv("PLOTWRIGHT_TEST_BACKEND") == "postgres";
}

DbServerSettings settings()
{
    DbServerSettings s;
    if (postgres()) {
        s.kind = DbServerSettings::PostgreSql;
        s.host = stateValue(QStringLiteral("host"));
        s.port = stateValue(QStringLiteral("port")).toInt();
        s.user = stateValue(QStringLiteral("user"));
        s.database = stateValue(QStringLiteral("database"));
    }
    return s;
}

QString password()
{
    return postgres() ? stateValue(QStringLiteral("password")) : QString();
}

QSqlDatabase open()
{
    const DbServerSettings s = settings();
    QSqlDatabase db = QSqlDatabase::contains(QStringLiteral("test"))
        ? QSqlDatabase::database(QStringLiteral("test"), false)
        : QSqlDatabase::addDatabase(
            postgres() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), QStringLiteral("test"));
    db.setDatabaseName(postgres() ? s.database : DbServerSettings::embeddedFile());
    db.setHostName(s.host);
    db.setPort(s.port);
    db.setUserName(s.user);
    db.setPassword(password());
    db.open();
    return db;
}

bool reset()
{
    if (!postgres()) {
        QSqlDatabase::database(QStringLiteral("test"), false).close();
        return !QFile::exists(DbServerSettings::embeddedFile()) || QFile::remove(DbServerSettings::embeddedFile());
    }
    QSqlQuery query(open());
    return query.exec(QStringLiteral("DROP SCHEMA public CASCADE"))
        && query.exec(QStringLiteral("CREATE SCHEMA public"));
}

} // namespace TestBackend
