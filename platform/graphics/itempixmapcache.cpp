#include "itempixmapcache.h"

#include <QColor>
#include <QCoreApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QThread>
#include <QVariant>
#include <atomic>
#include <cmath>
#include <cstring>

namespace {

// Larger looks are drawn directly: one such item is cheap to draw, and at 4 bytes a pixel
// it would push many small looks out of the cache.
constexpr qint64 MaxCachedPixels = qint64(512) * 512;
// Qt keeps 10 MB, about one full-HD screen. A 4K screen is 33 MB of pixels, and zooming
// through a graph leaves the looks of the zoom steps just visited, worth keeping.
constexpr int ReservedKilobytes = 64 * 1024;

// Pixmaps and QPixmapCache belong to the GUI thread. QThread::currentThread() costs more
// than the rest of a cached paint; the thread's id, once known, is cheap to compare.
bool onGuiThread()
{
    static std::atomic<Qt::HANDLE> gui{nullptr};
    const Qt::HANDLE current = QThread::currentThreadId();
    if (current == gui.load(std::memory_order_relaxed))
        return true;
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return false;
    gui.store(current, std::memory_order_relaxed);
    return true;
}

} // namespace

bool ItemPixmapCache::drawsVectors(QPainter *painter)
{
    const QPaintEngine *engine = painter->paintEngine();
    if (!engine)
        return true;
    switch (engine->type()) {
    case QPaintEngine::Raster:
    case QPaintEngine::OpenGL:
    case QPaintEngine::OpenGL2: return false;
    default: return true;
    }
}

bool ItemPixmapCache::usable(QPainter *painter)
{
    if (!onGuiThread() || drawsVectors(painter))
        return false;
    // Rotated or mirrored items would need a transformed blit; they are rare and drawn directly.
    const QTransform &t = painter->worldTransform();
    return t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
}

void ItemPixmapCache::paint(QPainter *painter, const QRectF &area, const QString &look,
    const std::function<void(QPainter *)> &draw, Placement placement, const QPointF &origin)
{
    const QTransform world = painter->worldTransform();
    // The ratio of the device that the engine draws on (for a widget, its backing store): the
    // one that the painter applies, and far cheaper to ask than a widget's.
    const QPaintEngine *engine = painter->paintEngine();
    const QPaintDevice *target = engine && engine->paintDevice() ? engine->paintDevice() : painter->device();
    const double dpr = target->devicePixelRatioF();
    // The transform only scales and moves (see usable()).
    const double sx = world.m11() * dpr;
    const double sy = world.m22() * dpr;
    const double dx = (origin.x() * world.m11() + world.dx()) * dpr;
    const double dy = (origin.y() * world.m22() + world.dy()) * dpr;
    // The blit moves by whole device pixels. SubPixel renders the rest of the offset, to a
    // quarter pixel, into the pixmap; WholePixel rounds it away, half up rather than away
    // from zero, so that a look moved by whole pixels keeps its pixels.
    const bool subPixel = placement == SubPixel;
    const double ix = std::floor(subPixel ? dx : dx + 0.5);
    const double iy = std::floor(subPixel ? dy : dy + 0.5);
    const double fx = subPixel ? std::round((dx - ix) * 4) / 4 : 0.0;
    const double fy = subPixel ? std::round((dy - iy) * 4) / 4 : 0.0;
    // The device pixels that the area touches, and one more all round for antialiasing;
    // counted in doubles, which a huge zoom does not overflow.
    const double left = area.left() * sx + fx - 1;
    const double top = area.top() * sy + fy - 1;
    const double right = std::ceil(left + (area.width() * sx + 2));
    const double bottom = std::ceil(top + (area.height() * sy + 2));
    const double x = std::floor(left);
    const double y = std::floor(top);
    if (!(right > x && bottom > y))
        return;
    if ((right - x) * (bottom - y) > MaxCachedPixels) {
        painter->translate(origin);
        draw(painter);
        painter->setWorldTransform(world);
        return;
    }
    // The look and where it meets the pixel grid make the key. It is put together in a buffer
    // kept between paints, since thousands of items each need one at every repaint.
    thread_local QString key;
    key.resize(0);
    key.append(look);
    const double geometry[] = {area.left(), area.top(), area.width(), area.height(), sx, sy, fx, fy, dpr};
    append(key, geometry, sizeof(geometry));
    const QRect pixels(int(x), int(y), int(right - x), int(bottom - y));
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        // The drawing may itself paint cached looks, which reuse the buffer.
        const QString made = key;
        pixmap = QPixmap(pixels.size());
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setTransform(QTransform(sx, 0, 0, sy, fx - pixels.left(), fy - pixels.top()));
        draw(&p);
        p.end();
        pixmap.setDevicePixelRatio(dpr);
        QPixmapCache::insert(made, pixmap);
    }
    // Resetting the transform is far cheaper than save() and restore() for each of thousands
    // of items.
    painter->setWorldTransform(QTransform());
    painter->drawPixmap(QPointF((ix + pixels.left()) / dpr, (iy + pixels.top()) / dpr), pixmap);
    painter->setWorldTransform(world);
}

void ItemPixmapCache::append(QString &key, const void *data, int bytes)
{
    // Raw bytes, two to a character: keys are built at every paint and must be cheap.
    if (bytes <= 0)
        return;
    const int old = key.size();
    key.resize(old + (bytes + 1) / 2);
    QChar *end = key.data() + old;
    end[(bytes - 1) / 2] = QChar();
    std::memcpy(end, data, size_t(bytes));
}

void ItemPixmapCache::append(QString &key, const QColor &colour)
{
    const quint64 rgba = colour.isValid() ? colour.rgba64() : quint64(0);
    const bool valid = colour.isValid();
    append(key, &rgba, sizeof(rgba));
    append(key, &valid, sizeof(valid));
}

void ItemPixmapCache::append(QString &key, const QVariant &value)
{
    // A tag per value keeps neighbouring values from running into each other.
    const int type = value.userType();
    key.append(QChar(ushort(0xE000 + (type & 0xfff))));
    switch (type) {
    case QMetaType::QColor: append(key, value.value<QColor>()); break;
    case QMetaType::Double: {
        const double d = value.toDouble();
        append(key, &d, sizeof(d));
        break;
    }
    case QMetaType::Int:
    case QMetaType::Bool: {
        const int i = value.toInt();
        append(key, &i, sizeof(i));
        break;
    }
    default: {
        const QString s = value.toString();
        const int size = s.size();
        append(key, &size, sizeof(size));
        key.append(s);
        break;
    }
    }
}

void ItemPixmapCache::reserve()
{
    if (QPixmapCache::cacheLimit() < ReservedKilobytes)
        QPixmapCache::setCacheLimit(ReservedKilobytes);
}
