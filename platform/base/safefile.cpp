#include "safefile.h"

#include <QDataStream>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextCodec>
#include <cerrno>

namespace {

qint64 s_failAfter = -1;

} // namespace

SafeFile::SafeFile(const QString &name)
    : QSaveFile(name)
{
    setDirectWriteFallback(true);
}

bool SafeFile::commit(const QDataStream *stream)
{
    const bool complete
        = !m_failed && (!stream || stream->status() == QDataStream::Ok) && flush() && error() == QFileDevice::NoError;
    if (complete)
        return QSaveFile::commit();
    // A stream that failed on its own leaves the device without a reason to give.
    const QString why = m_failed || error() != QFileDevice::NoError ? errorString() : qt_error_string(EIO);
    cancelWriting();
    QSaveFile::commit(); // drops the temporary file
    setErrorString(why);
    return false;
}

bool SafeFile::replace(const QString &name, const QByteArray &bytes, QString *error)
{
    SafeFile file(name);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

bool SafeFile::updateIni(
    const QString &name, QTextCodec *codec, const std::function<void(QSettings &)> &edit, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(scratch.errorString());
    const QString copy = scratch.filePath(QStringLiteral("copy.ini"));
    if (QFile::exists(name) && !QFile::copy(name, copy))
        return fail(qt_error_string(EIO));

    QVariantMap expected;
    {
        QSettings settings(copy, QSettings::IniFormat);
        if (codec)
            settings.setIniCodec(codec);
        edit(settings);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return fail(qt_error_string(EIO));
        for (const QString &key : settings.allKeys())
            expected.insert(key, settings.value(key));
    }
    // Whatever the copy holds must read back as what was written.
    QSettings check(copy, QSettings::IniFormat);
    if (codec)
        check.setIniCodec(codec);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (check.value(it.key()) != it.value())
            return fail(qt_error_string(EIO));
    }
    QFile written(copy);
    if (!written.open(QIODevice::ReadOnly))
        return fail(written.errorString());
    return replace(name, written.readAll(), error);
}

void SafeFile::failAfter(qint64 bytes)
{
    s_failAfter = bytes;
}

qint64 SafeFile::writeData(const char *data, qint64 len)
{
    if (m_failed)
        return -1;
    if (s_failAfter >= 0 && m_written + len > s_failAfter) {
        // As a disk that fills up: what fits is written, the rest is refused.
        const qint64 room = s_failAfter - m_written;
        if (room > 0)
            QSaveFile::writeData(data, room);
        m_written = s_failAfter;
        m_failed = true;
        setErrorString(qt_error_string(ENOSPC));
        return -1;
    }
    const qint64 written = QSaveFile::writeData(data, len);
    if (written > 0)
        m_written += written;
    return written;
}
