#include "imagefile.h"

#include "formatlimits.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// The size the reader's header claims, checked before anything is decoded. Formats that do
// not tell their size up front are refused: their cost cannot be known before reading.
bool acceptable(QImageReader &reader)
{
    const QSize size = reader.size();
    return size.isValid() && !size.isEmpty()
        && qint64(size.width()) * qint64(size.height()) <= FormatLimits::MaxPicturePixels;
}

} // namespace

bool ImageFile::isReadable(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QImageReader reader(path);
    return reader.canRead() && acceptable(reader);
}

QImage ImageFile::read(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QImage();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead() || !acceptable(reader))
        return QImage();
    return reader.read();
}
