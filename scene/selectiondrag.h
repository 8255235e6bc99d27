#ifndef SELECTIONDRAG_H
#define SELECTIONDRAG_H

#include "scene/glue.h"

#include <QList>
#include <QPair>
#include <QPointF>

class AbstractGraphicsResize;
class QGraphicsItem;
class QGraphicsSceneMouseEvent;
class QUndoStack;
class QVariant;
class Scene;

// One drag of the selection tool on an item: the selection moved, or one item resized by a
// handle. The dragged item's corner (or the dragged edge or line end) lands on the grid, a line
// end first on a connection point near it, unless Alt is held; the line ends glued to what moves
// follow it. The release records the whole drag as one undo step.
class SelectionDrag
{
public:
    explicit SelectionDrag(Scene *scene)
        : m_scene(scene)
    { }

    // After the scene's press has settled the selection and the item it grabbed.
    void start();
    // A move with the left button held. Moves the selection and returns true; for a handle
    // drag snaps the event's scene position for the item to take and returns false, as for a
    // move that is no drag of ours.
    bool move(QGraphicsSceneMouseEvent *event);
    // After the item took a handle drag's move: the glued ends follow its connection points.
    void itemResized() const;
    // The drag's undo step: the selection's new places, or the handle drag, with the lines.
    void recordMove(QUndoStack *stack) const;
    void recordResize(QUndoStack *stack, AbstractGraphicsResize *item, const QVariant &before) const;
    // Forgets the drag and the connection point it marked.
    void finish();

private:
    Scene *m_scene;
    // The items that move with the selection, each with its place at the press.
    QList<QPair<QGraphicsItem *, QPointF>> m_positions;
    // The top-left corner of the grabbed item's rectangle at the press, in scene coordinates.
    QPointF m_anchor;
    bool m_hasAnchor = false;
    Glue m_glue;
};

#endif
