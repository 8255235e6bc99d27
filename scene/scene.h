#ifndef SCENE_H
#define SCENE_H

#include "abstractgraphicsscene.h"
#include "scene/selectiondrag.h"

#include <QPointF>
#include <QVariant>
#include <optional>

class QUndoStack;
class QGraphicsItem;
class AbstractGraphicsUtility;

// The model of one open graph. Every edit of its items becomes a command on its own
// undo stack, so that each user action is one undoable step.
class Scene : public AbstractGraphicsScene
{
    Q_OBJECT
public:
    explicit Scene(QObject *parent = nullptr);
    ~Scene() override;

    QUndoStack *undoStack() const { return m_undoStack; }

    void remove();
    // Selects what a selection area of the whole scene rectangle selects, and nothing else.
    void selectAll();

    bool canPaste() const;
    void copy();
    void cut();
    void paste(QPointF pos);

    void alignmentLeft();
    void alignmentRight();
    void alignmentTop();
    void alignmentBottom();
    void alignmentHCenter();
    void alignmentVCenter();
    void equalWidth();
    void equalHeight();
    void equalHCross();
    void equalVCross();

    void bringToFront();
    void sendToBack();
    void layerUpper();
    void layerLower();
    void setLock(bool lock);
    void createGroup();
    void destroyGroup();
    void exportGroup(QGraphicsItem *item);
    void replaceVariables(QList<AbstractGraphicsUtility *> items);
    QList<AbstractGraphicsUtility *> utilityItems(const QList<QGraphicsItem *> &items);

    // The selected items of `selection` in stacking order, topmost first unless asked
    // otherwise; `topLevelOnly` leaves group members out.
    static QList<QGraphicsItem *> inStackingOrder(const QGraphicsScene *scene, const QList<QGraphicsItem *> &selection,
        bool topLevelOnly, Qt::SortOrder order = Qt::DescendingOrder);

    // The nearest point of the grid, whose lines pass through the canvas's corner; the point
    // itself while snapping is off.
    QPointF snapToGrid(const QPointF &point) const;
    // Where a line end dragged to `point` lands: on the nearest connection point of another item
    // than `line` within `radius` (telling so in `onTerminal`), else on the grid. Connection
    // points attract while the grid snaps or glue is on.
    QPointF snapLineEnd(
        const QPointF &point, double radius, const QGraphicsItem *line, bool *onTerminal = nullptr) const;
    // The connection point a line end being drawn or dragged has landed on, for the views to mark.
    std::optional<QPointF> markedTerminal() const { return m_markedTerminal; }
    void markTerminal(const std::optional<QPointF> &point);

    // Loaded or pasted items need nothing from the scene.
    void itemsLoaded(const QList<QGraphicsItem *> &items) override;

signals:
    void posChanged(QPointF p);
    void markedTerminalChanged();

protected:
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void releaseWithDrawingTool(QGraphicsSceneMouseEvent *event);
    void releaseWithSelectionTool();
    void groupSelection();
    void ungroupSelection();
    void adjustPerfectSize();

    QUndoStack *m_undoStack;
    QPointF m_pressPoint;
    QPointF m_releasePoint;
    QPointF m_pasteOffset;
    QGraphicsItem *m_pressedItem = nullptr;
    QVariant m_geometryBeforeResize;
    SelectionDrag m_drag{this};
    std::optional<QPointF> m_markedTerminal;
};

#endif
