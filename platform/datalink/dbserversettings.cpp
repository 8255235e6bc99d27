#include "dbserversettings.h"

#include "abstractgraphicsutility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const char *const GroupName = "dbServer";
}

DbServerSettings DbServerSettings::load()
{
    DbServerSettings s;
    QSettings settings;
    settings.beginGroup(QLatin1String(GroupName));
    s.kind = settings.value(QStringLiteral("kind")).toInt() == PostgreSql ? PostgreSql : Embedded;
    s.host = settings.value(QStringLiteral("host"), s.host).toString();
    s.port = settings.value(QStringLiteral("port"), s.port).toInt();
    s.database = settings.value(QStringLiteral("database"), s.database).toString();
    s.user = settings.value(QStringLiteral("user"), s.user).toString();
    s.rememberPassword = settings.value(QStringLiteral("rememberPassword"), false).toBool();
    settings.endGroup();
    return s;
}

void DbServerSettings::save() const
{
    QSettings settings;
    settings.beginGroup(QLatin1String(GroupName));
    settings.setValue(QStringLiteral("kind"), int(kind));
    settings.setValue(QStringLiteral("host"), host);
    settings.setValue(QStringLiteral("port"), port);
    settings.setValue(QStringLiteral("database"), database);
    settings.setValue(QStringLiteral("user"), user);
    settings.setValue(QStringLiteral("rememberPassword"), rememberPassword);
    settings.endGroup();
}

QString DbServerSettings::embeddedFile()
{
    return AbstractGraphicsUtility::projectDir() + QStringLiteral("plotwright.db");
}

QString DbServerSettings::passwordFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QStringLiteral("/dbserver.pass");
}

QString DbServerSettings::savedPassword()
{
    QFile file(passwordFile());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool DbServerSettings::storePassword(const QString &password)
{
    const QString path = passwordFile();
    if (password.isEmpty())
        return !QFile::exists(path) || QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    // Narrow the permissions before any byte of the password is in the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    const QByteArray bytes = password.toUtf8();
    return file.write(bytes) == bytes.size() && file.flush();
}
