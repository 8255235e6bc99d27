#ifndef SAFEFILE_H
#define SAFEFILE_H

#include <QSaveFile>
#include <QString>
#include <functional>

class QByteArray;
class QDataStream;
class QSettings;
class QTextCodec;

// The one way the program writes a file. The bytes go into a temporary file beside the
// target, which replaces the target only when every byte has reached the disk; a full disk
// or any other failure leaves the previous file byte for byte as it was. Where the user may
// write the file but not create files in its folder, the file is written in place instead,
// as that is the only way to save it there at all.
class SafeFile : public QSaveFile
{
public:
    explicit SafeFile(const QString &name);

    // Replaces the target when the stream (if any) and the device report no error and the
    // buffered bytes could be flushed; otherwise throws away what was written and returns
    // false, errorString() telling why. QSaveFile::commit() alone misses a failed flush:
    // a small file that only sits in Qt's buffer would replace the target empty.
    bool commit(const QDataStream *stream = nullptr);

    // Writes the whole file from `bytes`; on failure `error` (if given) gets the reason.
    static bool replace(const QString &name, const QByteArray &bytes, QString *error = nullptr);

    // An INI file written by QSettings with `codec`: `edit` changes the keys, all others
    // stay. QSettings reports success for a write the disk refused, so it works on a copy
    // that is read back before the copy replaces the file.
    static bool updateIni(
        const QString &name, QTextCodec *codec, const std::function<void(QSettings &)> &edit, QString *error = nullptr);

    // For tests on machines where no small file system can be mounted: every SafeFile of
    // the process fails like a full disk once `bytes` were written into it. A negative
    // number turns this off again.
    static void failAfter(qint64 bytes);

protected:
    qint64 writeData(const char *data, qint64 len) override;

private:
    qint64 m_written = 0;
    bool m_failed = false;
};

#endif
