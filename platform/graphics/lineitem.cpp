#include "lineitem.h"

LineItem::LineItem(const ItemKind &kind)
    : ShapeItem(kind)
{ }

QList<QPointF> LineItem::terminalPoints() const
{
    return {mapToScene(rect().topLeft()), mapToScene(rect().bottomRight())};
}
