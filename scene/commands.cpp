#include "scene/commands.h"

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsresize.h"
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"

#include <QGraphicsItem>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QSet>

namespace {

// Stacking is changed only through stackBefore(), never through z values: the z values
// stay what the document gave the items.

// The scene's top-level items, topmost first.
QList<QGraphicsItem *> stackingList(QGraphicsScene *scene)
{
    return AbstractGraphicsScene::noParentFilter(scene->items(Qt::DescendingOrder));
}

// The top-level items whose shape touches the item: only these can hide it or be hidden by it.
QSet<QGraphicsItem *> collidingSet(QGraphicsItem *item)
{
    const QList<QGraphicsItem *> colliding
        = AbstractGraphicsScene::noParentFilter(item->scene()->collidingItems(item, Qt::IntersectsItemShape));
    return QSet<QGraphicsItem *>(colliding.cbegin(), colliding.cend());
}

// Everything overlapping the restacked item must be redrawn; repainting the whole scene is
// simpler than working out that area.
void repaint(QGraphicsScene *scene)
{
    scene->update();
}

// Puts the item just above the nearest overlapping item that lies above it.
void raiseOneStep(QGraphicsItem *item)
{
    QGraphicsScene *scene = item->scene();
    if (!scene)
        return;
    const QSet<QGraphicsItem *> colliding = collidingSet(item);
    if (colliding.isEmpty())
        return;
    const QList<QGraphicsItem *> stacking = stackingList(scene);
    const int i = stacking.indexOf(item);
    if (i <= 0)
        return;
    for (int k = i - 1; k >= 0; --k) {
        QGraphicsItem *above = stacking.at(k);
        if (colliding.contains(above)) {
            above->stackBefore(item);
            break;
        }
    }
    repaint(scene);
}

// Puts the item just below the nearest overlapping item that lies below it.
void lowerOneStep(QGraphicsItem *item)
{
    QGraphicsScene *scene = item->scene();
    if (!scene)
        return;
    const QSet<QGraphicsItem *> colliding = collidingSet(item);
    if (colliding.isEmpty())
        return;
    const QList<QGraphicsItem *> stacking = stackingList(scene);
    const int i = stacking.indexOf(item);
    if (i < 0)
        return;
    for (int k = i + 1; k < stacking.size(); ++k) {
        QGraphicsItem *below = stacking.at(k);
        if (colliding.contains(below)) {
            item->stackBefore(below);
            break;
        }
    }
    repaint(scene);
}

void bringToFront(QGraphicsItem *item)
{
    QGraphicsScene *scene = item->scene();
    if (!scene)
        return;
    // Only siblings can be restacked; a group member has none among the top-level items,
    // and stackBefore() would only complain about each of them.
    if (!item->parentItem()) {
        const QList<QGraphicsItem *> stacking = stackingList(scene);
        for (int k = stacking.size() - 1; k >= 0; --k)
            stacking.at(k)->stackBefore(item);
    }
    repaint(scene);
}

void sendToBack(QGraphicsItem *item)
{
    QGraphicsScene *scene = item->scene();
    if (!scene)
        return;
    if (!item->parentItem()) {
        const QList<QGraphicsItem *> stacking = stackingList(scene);
        for (QGraphicsItem *entry : stacking)
            item->stackBefore(entry);
    }
    repaint(scene);
}

} // namespace

CommandMoveBy::CommandMoveBy(QGraphicsItem *item, double dx, double dy, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_dx(dx)
    , m_dy(dy)
{
}

CommandMoveBy::~CommandMoveBy() = default;

void CommandMoveBy::undo()
{
    m_item->moveBy(-m_dx, -m_dy);
}

void CommandMoveBy::redo()
{
    m_item->moveBy(m_dx, m_dy);
}

CommandSetWidth::CommandSetWidth(AbstractGraphicsUtility *item, double width, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_newWidth(width)
    , m_oldWidth(item->itemRect().width())
{
}

CommandSetWidth::~CommandSetWidth() = default;

void CommandSetWidth::undo()
{
    m_item->setWidth(m_oldWidth);
}

void CommandSetWidth::redo()
{
    m_item->setWidth(m_newWidth);
}

CommandSetHeight::CommandSetHeight(AbstractGraphicsUtility *item, double height, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_newHeight(height)
    , m_oldHeight(item->itemRect().height())
{
}

CommandSetHeight::~CommandSetHeight() = default;

void CommandSetHeight::undo()
{
    m_item->setHeight(m_oldHeight);
}

void CommandSetHeight::redo()
{
    m_item->setHeight(m_newHeight);
}

CommandResize::CommandResize(AbstractGraphicsResize *item, const QVariant &oldGeometry, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_newGeometry(item->geometry())
    , m_oldGeometry(oldGeometry)
{
}

CommandResize::~CommandResize() = default;

void CommandResize::undo()
{
    m_item->setGeometry(m_oldGeometry);
}

void CommandResize::redo()
{
    m_item->setGeometry(m_newGeometry);
}

CommandAddItem::CommandAddItem(QGraphicsScene *scene, QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_item(item)
{
}

CommandAddItem::~CommandAddItem() = default;

void CommandAddItem::undo()
{
    m_scene->removeItem(m_item);
}

void CommandAddItem::redo()
{
    m_scene->addItem(m_item);
}

CommandRemoveItem::CommandRemoveItem(QGraphicsScene *scene, QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_item(item)
{
}

CommandRemoveItem::~CommandRemoveItem() = default;

void CommandRemoveItem::undo()
{
    m_scene->addItem(m_item);
}

void CommandRemoveItem::redo()
{
    m_scene->removeItem(m_item);
}

CommandSetPos::CommandSetPos(QGraphicsItem *item, QPointF oldPos, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_newPos(item->pos())
    , m_oldPos(oldPos)
{
}

CommandSetPos::~CommandSetPos() = default;

void CommandSetPos::undo()
{
    m_item->setPos(m_oldPos);
}

void CommandSetPos::redo()
{
    m_item->setPos(m_newPos);
}

CommandBringToFront::CommandBringToFront(QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
{
}

CommandBringToFront::~CommandBringToFront() = default;

void CommandBringToFront::undo()
{
    sendToBack(m_item);
}

void CommandBringToFront::redo()
{
    bringToFront(m_item);
}

CommandSendToBack::CommandSendToBack(QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
{
}

CommandSendToBack::~CommandSendToBack() = default;

void CommandSendToBack::undo()
{
    bringToFront(m_item);
}

void CommandSendToBack::redo()
{
    sendToBack(m_item);
}

CommandLayerUpper::CommandLayerUpper(QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
{
}

CommandLayerUpper::~CommandLayerUpper() = default;

void CommandLayerUpper::undo()
{
    lowerOneStep(m_item);
}

void CommandLayerUpper::redo()
{
    raiseOneStep(m_item);
}

CommandLayerLower::CommandLayerLower(QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
{
}

CommandLayerLower::~CommandLayerLower() = default;

void CommandLayerLower::undo()
{
    raiseOneStep(m_item);
}

void CommandLayerLower::redo()
{
    lowerOneStep(m_item);
}

CommandSetProperty::CommandSetProperty(
    AbstractGraphicsProperty *item, const QString &id, const QVariant &value, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_id(id)
    , m_newValue(value)
    , m_oldValue(item->propertyValue(id))
{
}

CommandSetProperty::~CommandSetProperty() = default;

void CommandSetProperty::undo()
{
    m_item->setPropertyValue(m_id, m_oldValue);
}

void CommandSetProperty::redo()
{
    m_item->setPropertyValue(m_id, m_newValue);
}

CommandSetLock::CommandSetLock(AbstractGraphicsUtility *item, bool lock, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_newLock(lock)
    , m_oldLock(item->islocked())
{
}

CommandSetLock::~CommandSetLock() = default;

void CommandSetLock::undo()
{
    m_item->setLock(m_oldLock);
}

void CommandSetLock::redo()
{
    m_item->setLock(m_newLock);
}

CommandCreateGroup::CommandCreateGroup(QGraphicsScene *scene, QGraphicsItemGroup *group,
    const QList<QGraphicsItem *> &members, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_group(group)
    , m_members(members)
{
}

CommandCreateGroup::~CommandCreateGroup() = default;

void CommandCreateGroup::undo()
{
    for (QGraphicsItem *member : qAsConst(m_members))
        m_group->removeFromGroup(member);
    m_scene->removeItem(m_group);
}

void CommandCreateGroup::redo()
{
    for (QGraphicsItem *member : qAsConst(m_members))
        m_group->addToGroup(member);
    m_scene->addItem(m_group);
}

// The members are taken now, while the group still holds them: after redo it is empty.
CommandDestroyGroup::CommandDestroyGroup(
    QGraphicsScene *scene, QGraphicsItemGroup *group, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_group(group)
    , m_members(group->childItems())
{
}

CommandDestroyGroup::~CommandDestroyGroup() = default;

void CommandDestroyGroup::undo()
{
    for (QGraphicsItem *member : qAsConst(m_members))
        m_group->addToGroup(member);
    m_scene->addItem(m_group);
}

// The former members stay selected, so that the user can go on working with them.
void CommandDestroyGroup::redo()
{
    for (QGraphicsItem *member : qAsConst(m_members)) {
        m_group->removeFromGroup(member);
        member->setSelected(true);
    }
    m_scene->removeItem(m_group);
}
