#ifndef SHAPEITEM_H
#define SHAPEITEM_H

#include "graphicsitem.h"

// The plain drawing shapes: line, rectangle, triangle, ellipse, arc, chord, sector, grid.
class ShapeItem : public GraphicsItem
{
public:
    // One shape kind's row of the table in the implementation.
    struct Row;

    explicit ShapeItem(const ItemKind &kind);

    // A new line also takes its start and end decorations from the defaults.
    bool createFromPoints(
        const DrawingDefaults *defaults, const QPointF &press, const QPointF &release, QGraphicsScene *scene) override;

protected:
    void drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option) override;
    const QVector<SpecificProperty> &specifics() const override;
    QPainterPath contentShape() const override;
    bool isLinear() const override;

private:
    static const Row &rowOf(int type);
    QPainterPath outline() const;
    void drawArrow(QPainter *painter, const QPointF &tip, const QPointF &from) const;

    const Row &m_row;
};

#endif
