#ifndef CHARTITEM_H
#define CHARTITEM_H

#include "graphicsitem.h"

#include <QTime>
#include <functional>

// Draws an item's look through a process-wide pixmap cache. A canvas repeats the same
// chart or picture many times and repaints it at every scroll; text and curves are far too
// slow to draw each time, a blit of a pixmap rendered once at device resolution is not.
// Only raster targets without rotation use it: SVG export, printing and recording keep
// vectors, so exports stay sharp and texts stay text.
struct ItemPixmapCache
{
    // Whether drawing on this painter may go through the cache.
    static bool usable(QPainter *painter);
    // Draws `draw` (which paints `area`, in item coordinates) from the pixmap cached under
    // `look` for the painter's current scale and sub-pixel offset, rendering it first when
    // missing. Very large areas are drawn directly, they would only evict everything else.
    static void paint(QPainter *painter, const QRectF &area, const QString &look,
        const std::function<void(QPainter *)> &draw);
    // Appends a value's raw bits to a look key.
    static void append(QString &key, const void *data, int bytes);
    static void append(QString &key, const QVariant &value);
    static void append(QString &key, const QColor &colour);
};

// Charts, gauges and the analogue clock. At edit time every kind shows deterministic sample
// data, so that the engineer sees how the screen will look and renders are repeatable.
class ChartItem : public GraphicsItem
{
public:
    explicit ChartItem(const ItemKind &kind);

    // The time the clock shows while editing.
    static QTime sampleTime();

protected:
    void drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option) override;
    const QVector<SpecificProperty> &specifics() const override;
    bool hasText() const override;

private:
    void drawChart(QPainter *painter, double lod) const;
    QString lookKey() const;
    int bindingIndex() const;
    QColor ink() const;
    QFont labelFont() const;

    void drawBars(QPainter *painter, const QRectF &r, double lod) const;
    void drawCurves(QPainter *painter, const QRectF &r, double lod) const;
    void drawPie(QPainter *painter, const QRectF &r) const;
    void drawDial(QPainter *painter, const QRectF &r, double lod) const;
    void drawClock(QPainter *painter, const QRectF &r) const;
    void drawRank(QPainter *painter, const QRectF &r, double lod) const;
    void drawCursor(QPainter *painter, const QRectF &r) const;
};

#endif
