#ifndef COMMANDS_H
#define COMMANDS_H

#include <QList>
#include <QPointF>
#include <QString>
#include <QUndoCommand>
#include <QVariant>
#include <functional>

class QGraphicsItem;
class QGraphicsItemGroup;
class QGraphicsScene;
class AbstractGraphicsUtility;
class AbstractGraphicsResize;
class AbstractGraphicsProperty;

// The undo commands of a document. Each holds plain pointers: items taken out of the scene
// stay alive, so that undo can put the very same item back. None merges with another; the
// scene wraps the commands of one user action in a macro.

class CommandMoveBy : public QUndoCommand
{
public:
    CommandMoveBy(QGraphicsItem *item, double dx, double dy, QUndoCommand *parent);
    ~CommandMoveBy() override;

    void undo() override;
    void redo() override;

private:
    QGraphicsItem *m_item;
    double m_dx;
    double m_dy;
};

class CommandSetWidth : public QUndoCommand
{
public:
    CommandSetWidth(AbstractGraphicsUtility *item, double width, QUndoCommand *parent);
    ~CommandSetWidth() override;

    void undo() override;
    void redo() override;

private:
    AbstractGraphicsUtility *m_item;
    double m_newWidth;
    double m_oldWidth;
};

class CommandSetHeight : public QUndoCommand
{
public:
    CommandSetHeight(AbstractGraphicsUtility *item, double height, QUndoCommand *parent);
    ~CommandSetHeight() override;

    void undo() override;
    void redo() override;

private:
    AbstractGraphicsUtility *m_item;
    double m_newHeight;
    double m_oldHeight;
};

// Pushed after a handle drag: the item already has its new geometry. One geometry is kept,
// the one the item does not have: undo and redo exchange it with the item's.
class CommandResize : public QUndoCommand
{
public:
    CommandResize(AbstractGraphicsResize *item, const QVariant &oldGeometry, QUndoCommand *parent);
    ~CommandResize() override;

    void undo() override;
    void redo() override;

private:
    void exchange();

    AbstractGraphicsResize *m_item;
    QVariant m_geometry;
    bool m_dragged = true; // the push's redo finds the change made by the drag
};

class CommandAddItem : public QUndoCommand
{
public:
    CommandAddItem(QGraphicsScene *scene, QGraphicsItem *item, QUndoCommand *parent);
    ~CommandAddItem() override;

    QGraphicsItem *item() const { return m_item; }

    void undo() override;
    void redo() override;

private:
    QGraphicsScene *m_scene;
    QGraphicsItem *m_item;
};

// Calls that walk every item of the scene or of a group, counted for tests: a command makes a
// few of them per undo or redo, however many items it moves.
struct WalkingCalls
{
    int stackBefore = 0; // renumbers every top-level item of the scene
    int removeFromGroup = 0; // measures every member left in the group
    static WalkingCalls &counted();
};

// How a command that moves many items in the stacking order goes about it: the cheaper way for
// the numbers at hand, or always one way, so that tests can run both on a scene of any size.
enum class StackingWay
{
    Cheaper,
    OneByOne,
    Rebuilt
};
StackingWay &stackingWay();

// The top-level items for which `leaves` holds, topmost first, each with the nearest top-level
// item above it that stays (null when none does): where undo puts it back. One walk down the
// stacking list, so that a removal or grouping of many items stays linear.
QList<QPair<QGraphicsItem *, QGraphicsItem *>> leavingWithPlaces(
    QGraphicsScene *scene, const std::function<bool(QGraphicsItem *)> &leaves);

class CommandRemoveItem : public QUndoCommand
{
public:
    CommandRemoveItem(QGraphicsScene *scene, QGraphicsItem *item, QUndoCommand *parent);
    ~CommandRemoveItem() override;

    // The top-level item directly above the removed one when it goes (null: it was topmost).
    // Undo puts the item back under it rather than on top of everything. The caller knows it
    // from the stacking list it already has; finding it here would cost a sort per item.
    void setRestoredBelow(QGraphicsItem *above) { m_above = above; }
    QGraphicsItem *restoredBelow() const { return m_above; }
    QGraphicsItem *item() const { return m_item; }

    void undo() override;
    void redo() override;

private:
    QGraphicsScene *m_scene;
    QGraphicsItem *m_item;
    QGraphicsItem *m_above = nullptr;
};

// One undo step of per-item CommandAddItem and CommandRemoveItem children, pushed where a macro
// of them would be, with the macro's text. Undo and redo run the children but put the stacking
// order right once for all of them: a child alone that puts its item back under another one
// walks every item of the scene, and Qt searches for an item taken out anywhere but at the top.
class CommandBatch : public QUndoCommand
{
public:
    CommandBatch(QGraphicsScene *scene, const QString &text, QUndoCommand *parent);
    ~CommandBatch() override;

    void undo() override;
    void redo() override;

private:
    void run(bool forward);

    QGraphicsScene *m_scene;
};

// Pushed after the items were dragged: the item already stands at its new position. As for
// a resize, the one position kept is the one the item is not at.
class CommandSetPos : public QUndoCommand
{
public:
    CommandSetPos(QGraphicsItem *item, QPointF oldPos, QUndoCommand *parent);
    ~CommandSetPos() override;

    void undo() override;
    void redo() override;

private:
    void exchange();

    QGraphicsItem *m_item;
    QPointF m_pos;
    bool m_dragged = true;
};

// The four stacking commands remember which item each redo moved and what lay directly above it,
// and undo puts that item back there, so that every item regains its old place.
class CommandRestack : public QUndoCommand
{
public:
    ~CommandRestack() override;
    void undo() override;

protected:
    CommandRestack(QGraphicsItem *item, QUndoCommand *parent);
    void remember(QGraphicsItem *moved, QGraphicsItem *above);

    QGraphicsItem *m_item;

private:
    QGraphicsItem *m_moved = nullptr;
    QGraphicsItem *m_above = nullptr;
};

class CommandBringToFront : public CommandRestack
{
public:
    CommandBringToFront(QGraphicsItem *item, QUndoCommand *parent);
    ~CommandBringToFront() override;

    void redo() override;
};

class CommandSendToBack : public CommandRestack
{
public:
    CommandSendToBack(QGraphicsItem *item, QUndoCommand *parent);
    ~CommandSendToBack() override;

    void redo() override;
};

class CommandLayerUpper : public CommandRestack
{
public:
    CommandLayerUpper(QGraphicsItem *item, QUndoCommand *parent);
    ~CommandLayerUpper() override;

    void redo() override;
};

class CommandLayerLower : public CommandRestack
{
public:
    CommandLayerLower(QGraphicsItem *item, QUndoCommand *parent);
    ~CommandLayerLower() override;

    void redo() override;
};

class CommandSetProperty : public QUndoCommand
{
public:
    CommandSetProperty(AbstractGraphicsProperty *item, const QString &id, const QVariant &value, QUndoCommand *parent);
    ~CommandSetProperty() override;

    void undo() override;
    void redo() override;

private:
    void exchange();

    AbstractGraphicsProperty *m_item;
    QString m_id; // implicitly shared: every command of a macro holds the property table's text
    QVariant m_value; // the value the item does not have: undo and redo exchange it
};

class CommandSetLock : public QUndoCommand
{
public:
    CommandSetLock(AbstractGraphicsUtility *item, bool lock, QUndoCommand *parent);
    ~CommandSetLock() override;

    void undo() override;
    void redo() override;

private:
    AbstractGraphicsUtility *m_item;
    bool m_newLock;
    bool m_oldLock;
};

class CommandCreateGroup : public QUndoCommand
{
public:
    CommandCreateGroup(
        QGraphicsScene *scene, QGraphicsItemGroup *group, const QList<QGraphicsItem *> &members, QUndoCommand *parent);
    ~CommandCreateGroup() override;

    void undo() override;
    void redo() override;

private:
    QGraphicsScene *m_scene;
    QGraphicsItemGroup *m_group;
    QList<QGraphicsItem *> m_members;
    QList<QGraphicsItem *> m_membersAbove; // where undo puts each member back, as for a removal
};

class CommandDestroyGroup : public QUndoCommand
{
public:
    CommandDestroyGroup(QGraphicsScene *scene, QGraphicsItemGroup *group, QUndoCommand *parent);
    ~CommandDestroyGroup() override;

    void undo() override;
    void redo() override;

private:
    QGraphicsScene *m_scene;
    QGraphicsItemGroup *m_group;
    QList<QGraphicsItem *> m_members;
    QGraphicsItem *m_groupAbove; // where undo puts the group back
};

#endif
