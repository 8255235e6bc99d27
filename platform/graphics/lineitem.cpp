#include "lineitem.h"

LineItem::LineItem(const ItemKind &kind)
    : ShapeItem(kind)
{ }

QList<QPointF> LineItem::terminalPoints() const
{
    return {mapToScene(rect().topLeft()), mapToScene(rect().bottomRight())};
}

void LineItem::setTerminalPoint(int index, const QPointF &scenePoint)
{
    QRectF r = rect();
    const QPointF local = mapFromScene(scenePoint);
    if (index == 0)
        r.setTopLeft(local);
    else
        r.setBottomRight(local);
    setRect(r);
}
