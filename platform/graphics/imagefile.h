#ifndef IMAGEFILE_H
#define IMAGEFILE_H

#include <QImage>
#include <QString>

// Pictures whose path comes from a drawing (background pictures, picture items). The path is
// opened only when it names a regular file, so that a FIFO or a device cannot block the
// editor, and an image is decoded only when its header claims a size within
// FormatLimits::MaxPicturePixels, so that a small file cannot make us allocate gigabytes.
class ImageFile
{
public:
    // Whether the path names a regular file with a readable image of an acceptable size.
    static bool isReadable(const QString &path);
    // The image, or a null image when isReadable() would say no or decoding fails.
    static QImage read(const QString &path);
};

#endif
