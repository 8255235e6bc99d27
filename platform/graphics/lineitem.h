#ifndef LINEITEM_H
#define LINEITEM_H

#include "abstractgraphicsterminals.h"
#include "shapeitem.h"

// The line: a shape like the others, and the conductor of the diagram, whose two ends connect
// equipment to each other.
class LineItem : public ShapeItem, public AbstractGraphicsTerminals
{
public:
    explicit LineItem(const ItemKind &kind);

    // AbstractGraphicsTerminals: the start (the rectangle's first corner), then the end.
    QList<QPointF> terminalPoints() const override;
    // Puts one end (0 the start, 1 the end) on a scene point; the other end stays.
    void setTerminalPoint(int index, const QPointF &scenePoint);
};

#endif
