#include "dbserversettings.h"

#include "abstractgraphicsutility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

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
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/dbserver.pass");
}

QString DbServerSettings::savedPassword()
{
    QFile file(passwordFile());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool DbServerSettings::storePassword(const QString &password, QString *error)
{
    const QString path = passwordFile();
    if (password.isEmpty()) {
        QFile file(path);
        if (!file.exists() || file.remove())
            return true;
        if (error)
            *error = file.errorString();
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        return false;
    }
#ifdef Q_OS_UNIX
    // A file created readable by others and narrowed afterwards can be opened by another user
    // in between and read through that handle later. mkstemp creates the file for the owner
    // only, whatever the umask; the rename then puts the whole password in place at once.
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = qt_error_string(errno);
        return false;
    }
    const QByteArray bytes = password.toUtf8();
    bool ok;
    {
        QFile file;
        ok = file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) && file.write(bytes) == bytes.size()
            && file.flush() && ::fsync(fd) == 0;
        if (!ok && error)
            *error = file.errorString();
    }
    if (ok && ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        ok = false;
        if (error)
            *error = qt_error_string(errno);
    }
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
#else
    QSaveFile file(path);
    const QByteArray bytes = password.toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
#endif
}
