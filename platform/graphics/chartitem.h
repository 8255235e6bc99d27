#ifndef CHARTITEM_H
#define CHARTITEM_H

#include "graphicsitem.h"

#include <QTime>

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
