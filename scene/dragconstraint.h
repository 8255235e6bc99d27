#ifndef DRAGCONSTRAINT_H
#define DRAGCONSTRAINT_H

#include <QPointF>

// How Shift constrains a drag that draws a new item, the same in the view's preview and in
// the item the scene makes at the release.
namespace DragConstraint {

// Where a drag from `start` to `end` ends with Shift held: a line snaps to horizontal or
// vertical; any other shape becomes as wide as high, taking the sign of the other axis's
// movement.
QPointF withShift(const QPointF &start, const QPointF &end, bool line);

} // namespace DragConstraint

#endif
