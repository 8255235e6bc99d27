#include "dragconstraint.h"

#include <cmath>

QPointF DragConstraint::withShift(const QPointF &start, const QPointF &end, bool line)
{
    const double dx = line ? 0.0 : end.x() - start.x();
    const double dy = line ? 0.0 : end.y() - start.y();
    QPointF result = end;
    if (std::abs(start.y() - end.y()) < std::abs(start.x() - end.x()))
        result.setY(start.y() + dx);
    else
        result.setX(start.x() + dy);
    return result;
}
