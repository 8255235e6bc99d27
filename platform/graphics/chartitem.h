#ifndef CHARTITEM_H
#define CHARTITEM_H

#include "graphicsitem.h"

#include <QTime>

// Charts, gauges and the analogue clock. At edit time every kind shows deterministic sample
// data, so that the engineer sees how the screen will look and renders are repeatable.
// ChartPainter draws them.
class ChartItem : public GraphicsItem
{
public:
    // Where each kind's properties sit among its specific properties.
    enum BarIndex
    {
        BarCount,
        BarMax,
        BarMin,
        BarColor,
        BarPoint
    };
    enum ExtendedBarIndex
    {
        ExtCount,
        ExtSeries,
        ExtMax,
        ExtMin,
        ExtLegend,
        ExtPoint
    };
    enum CurveIndex
    {
        CurveLines,
        CurveSpan,
        CurveGrid,
        CurveMax,
        CurveMin,
        CurvePoint
    };
    enum PieIndex
    {
        PieSectors,
        PiePoint
    };
    enum DialIndex
    {
        DialMax,
        DialMin,
        DialValue,
        DialTicks,
        DialPoint
    };
    enum ClockIndex
    {
        ClockFace
    };
    enum RankIndex
    {
        RankCount,
        RankColor,
        RankPoint
    };
    enum CursorIndex
    {
        CursorMax,
        CursorMin,
        CursorValue,
        CursorColor,
        CursorPoint
    };

    // One chart kind's row of the table in the implementation.
    struct Row;

    explicit ChartItem(const ItemKind &kind);

    // The time the clock shows while editing.
    static QTime sampleTime();

protected:
    void drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option) override;
    const QVector<SpecificProperty> &specifics() const override;
    bool hasText() const override;

private:
    static const Row &rowOf(int type);
    QString lookKey() const;

    const Row &m_row;
};

#endif
