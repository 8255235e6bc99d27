#ifndef ITEMPIXMAPCACHE_H
#define ITEMPIXMAPCACHE_H

#include <QRectF>
#include <QString>
#include <functional>

class QColor;
class QPainter;
class QVariant;

// Draws an item's look through the process-wide pixmap cache. A canvas repeats the same
// chart, symbol or text many times and repaints it at every scroll; curves, thick pens and
// shaped text are far too slow to draw each time, a blit of a pixmap rendered once at device
// resolution is not. Only pixel targets without rotation use it: SVG export, printing and
// recording keep vectors, so exports stay sharp and texts stay text.
class ItemPixmapCache
{
public:
    // How a cached look meets the device's pixel grid.
    enum Placement
    {
        // The painter's offset is rendered into the pixmap to a quarter pixel, so that the
        // look lands where direct drawing would; every offset has a pixmap of its own.
        SubPixel,
        // The painter's origin is moved to the nearest device pixel: one pixmap serves every
        // copy wherever it stands, and aliased strokes and glyphs stay on whole pixels.
        WholePixel
    };

    // Whether the painter must keep vectors (SVG export, printing, recording) rather than
    // draw pixels; such painting never comes from the cache.
    static bool drawsVectors(QPainter *painter);
    // Whether drawing on this painter may go through the cache.
    static bool usable(QPainter *painter);
    // Draws `draw` from the pixmap cached under `look` for the painter's scale and placement,
    // rendering it first when missing. `draw` paints inside `area`, in coordinates whose
    // origin lies at `origin` of the painter's; `look` names everything the drawing depends
    // on but the painter's transform. Very large areas are drawn directly, they would only
    // evict everything else.
    static void paint(QPainter *painter, const QRectF &area, const QString &look,
        const std::function<void(QPainter *)> &draw, Placement placement = SubPixel, const QPointF &origin = QPointF());

    // Appends a value's raw bits to a look key.
    static void append(QString &key, const void *data, int bytes);
    static void append(QString &key, const QVariant &value);
    static void append(QString &key, const QColor &colour);

    // Raises the application's pixmap cache to 64 MB, so that the looks of a large screen fit
    // in it; never lowers it. Meant for start-up.
    static void reserve();
};

#endif
