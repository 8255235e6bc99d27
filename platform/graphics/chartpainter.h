#ifndef CHARTPAINTER_H
#define CHARTPAINTER_H

#include <QFont>
#include <QRectF>
#include <QStringList>
#include <QVariant>

class ChartItem;
class QPainter;

// Draws a chart item's sample content from its values, at one level of detail: labels
// too small to read and detail too small to see are left out.
class ChartPainter
{
public:
    // One kind's own drawing inside the chart's rectangle.
    using Draw = void (ChartPainter::*)(QPainter *painter, const QRectF &r) const;

    ChartPainter(const ChartItem &item, double lod);

    // The whole chart: its fill, the kind's drawing (or, when too small for detail, a block in
    // the colour of the property mainColour, -1 for the first palette colour) and the frame,
    // which round kinds with ownFrame draw themselves.
    void paint(QPainter *painter, Draw draw, int mainColour, bool ownFrame) const;

    void bars(QPainter *p, const QRectF &r) const;
    void extendedBars(QPainter *p, const QRectF &r) const;
    void curves(QPainter *p, const QRectF &r) const;
    void pie(QPainter *p, const QRectF &r) const;
    void dial(QPainter *p, const QRectF &r) const;
    void clock(QPainter *p, const QRectF &r) const;
    void rank(QPainter *p, const QRectF &r) const;
    void cursor(QPainter *p, const QRectF &r) const;

    // The time spans a curve can show, as its property offers them.
    static const QStringList &spanNames();

private:
    void drawBars(QPainter *p, const QRectF &r, bool extended) const;
    QVariant value(int index) const;
    QColor ink() const;
    QFont labelFont() const;

    const ChartItem &m_item;
    double m_lod;
};

#endif
