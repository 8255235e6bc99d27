#include "scene/commands.h"

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsresize.h"
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "scene/stacking.h"

#include <QGraphicsItem>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QHash>
#include <QSet>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

using namespace Stacking;

WalkingCalls &WalkingCalls::counted()
{
    static WalkingCalls calls;
    return calls;
}

StackingWay &stackingWay()
{
    static StackingWay way = StackingWay::Cheaper;
    return way;
}

QList<QPair<QGraphicsItem *, QGraphicsItem *>> leavingWithPlaces(
    QGraphicsScene *scene, const std::function<bool(QGraphicsItem *)> &leaves)
{
    return placesIn(stackingList(scene), leaves);
}

// A large selection makes one command per item: each stays small, and holds no text of its own.
constexpr std::size_t PerItemCommandSize = 48;
static_assert(sizeof(CommandMoveBy) <= PerItemCommandSize, "per-item command too large");
static_assert(sizeof(CommandSetWidth) <= PerItemCommandSize, "per-item command too large");
static_assert(sizeof(CommandSetHeight) <= PerItemCommandSize, "per-item command too large");
static_assert(sizeof(CommandResize) <= PerItemCommandSize, "per-item command too large");
static_assert(sizeof(CommandAddItem) <= PerItemCommandSize, "per-item command too large");
static_assert(sizeof(CommandRemoveItem) <= PerItemCommandSize, "per-item command too large");
static_assert(sizeof(CommandSetPos) <= PerItemCommandSize, "per-item command too large");
static_assert(sizeof(CommandSetProperty) <= PerItemCommandSize, "per-item command too large");
static_assert(sizeof(CommandSetLock) <= PerItemCommandSize, "per-item command too large");

CommandMoveBy::CommandMoveBy(QGraphicsItem *item, double dx, double dy, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_dx(dx)
    , m_dy(dy)
{ }

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
{ }

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
{ }

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
    , m_geometry(oldGeometry)
{ }

CommandResize::~CommandResize() = default;

void CommandResize::exchange()
{
    QVariant current = m_item->geometry();
    m_item->setGeometry(m_geometry);
    m_geometry.swap(current);
}

void CommandResize::undo()
{
    exchange();
}

void CommandResize::redo()
{
    if (m_dragged)
        m_dragged = false;
    else
        exchange();
}

CommandAddItem::CommandAddItem(QGraphicsScene *scene, QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_item(item)
{ }

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
{ }

CommandRemoveItem::~CommandRemoveItem() = default;

void CommandRemoveItem::undo()
{
    m_scene->addItem(m_item);
    restoreBelow(m_item, m_above);
}

void CommandRemoveItem::redo()
{
    m_scene->removeItem(m_item);
}

CommandBatch::CommandBatch(QGraphicsScene *scene, const QString &text, QUndoCommand *parent)
    : QUndoCommand(text, parent)
    , m_scene(scene)
{ }

CommandBatch::~CommandBatch() = default;

void CommandBatch::undo()
{
    run(false);
}

void CommandBatch::redo()
{
    run(true);
}

// Each child either takes its item out or gives it back: on top, or under the item that was
// above it when it was removed. Undo runs the children in reverse order, as a macro would.
void CommandBatch::run(bool forward)
{
    QList<QUndoCommand *> steps;
    for (int i = 0; i < childCount(); ++i)
        steps << const_cast<QUndoCommand *>(child(i));
    if (!forward)
        std::reverse(steps.begin(), steps.end());
    const auto step = [forward](QUndoCommand *command) { forward ? command->redo() : command->undo(); };

    QHash<QGraphicsItem *, QUndoCommand *> leaving;
    QList<QUndoCommand *> arriving;
    QList<QGraphicsItem *> under;
    for (QUndoCommand *command : qAsConst(steps)) {
        if (auto *add = dynamic_cast<CommandAddItem *>(command)) {
            if (forward) {
                arriving << command;
                under << nullptr;
            } else {
                leaving.insert(add->item(), command);
            }
        } else if (auto *remove = dynamic_cast<CommandRemoveItem *>(command)) {
            if (forward) {
                leaving.insert(remove->item(), command);
            } else {
                arriving << command;
                under << remove->restoredBelow();
            }
        }
    }
    Reorder reorder(m_scene);
    const QList<QGraphicsItem *> leavingItems = leaving.keys();
    const NewTop top(stackingList(m_scene), topLevelOf(leavingItems, m_scene), under);
    const int restacks = int(std::count_if(under.cbegin(), under.cend(), [](QGraphicsItem *u) { return u; }));
    if (!top.pays(leaving.size(), restacks)) {
        for (QUndoCommand *command : qAsConst(steps))
            step(command);
        return;
    }
    // A child giving its item back puts it under no item here: that one is still out.
    QSet<QUndoCommand *> done;
    const auto once = [&](QUndoCommand *command) {
        step(command);
        done.insert(command);
    };
    top.rebuild(
        reorder, [&](QGraphicsItem *item) { once(leaving.value(item)); }, {}, [&](int i) { once(arriving.at(i)); });
    for (QUndoCommand *command : qAsConst(steps)) {
        if (!done.contains(command))
            step(command); // items that are not top-level items of the scene, and other commands
    }
}

CommandSetPos::CommandSetPos(QGraphicsItem *item, QPointF oldPos, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_pos(oldPos)
{ }

CommandSetPos::~CommandSetPos() = default;

void CommandSetPos::exchange()
{
    const QPointF current = m_item->pos();
    m_item->setPos(m_pos);
    m_pos = current;
}

void CommandSetPos::undo()
{
    exchange();
}

void CommandSetPos::redo()
{
    if (m_dragged)
        m_dragged = false;
    else
        exchange();
}

CommandRestack::CommandRestack(QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
{ }

CommandRestack::~CommandRestack() = default;

void CommandRestack::remember(QGraphicsItem *moved, QGraphicsItem *above)
{
    m_moved = moved;
    m_above = above;
}

void CommandRestack::undo()
{
    if (!m_moved || !m_moved->scene())
        return;
    QGraphicsScene *scene = m_moved->scene();
    const QList<QGraphicsItem *> stacking = stackingList(scene);
    const int at = stacking.indexOf(m_moved);
    const int target = m_above ? stacking.indexOf(m_above) : -1;
    if (at < 0 || (m_above && target < 0) || at == target + 1)
        return;
    if (at < target) {
        stackUnder(m_moved, m_above); // above its place: straight down
    } else {
        // Below its place: up to the top of its z value, and down under the item above it.
        toTopOfItsZ(m_moved);
        restoreBelow(m_moved, m_above);
    }
    repaint(scene);
}

CommandBringToFront::CommandBringToFront(QGraphicsItem *item, QUndoCommand *parent)
    : CommandRestack(item, parent)
{ }

CommandBringToFront::~CommandBringToFront() = default;

void CommandBringToFront::redo()
{
    const StackPlace moved = bringToFront(m_item);
    remember(moved.item, moved.above);
}

CommandSendToBack::CommandSendToBack(QGraphicsItem *item, QUndoCommand *parent)
    : CommandRestack(item, parent)
{ }

CommandSendToBack::~CommandSendToBack() = default;

void CommandSendToBack::redo()
{
    const StackPlace moved = sendToBack(m_item);
    remember(moved.item, moved.above);
}

CommandLayerUpper::CommandLayerUpper(QGraphicsItem *item, QUndoCommand *parent)
    : CommandRestack(item, parent)
{ }

CommandLayerUpper::~CommandLayerUpper() = default;

void CommandLayerUpper::redo()
{
    const StackPlace moved = raiseOneStep(m_item);
    remember(moved.item, moved.above);
}

CommandLayerLower::CommandLayerLower(QGraphicsItem *item, QUndoCommand *parent)
    : CommandRestack(item, parent)
{ }

CommandLayerLower::~CommandLayerLower() = default;

void CommandLayerLower::redo()
{
    const StackPlace moved = lowerOneStep(m_item);
    remember(moved.item, moved.above);
}

CommandSetProperty::CommandSetProperty(
    AbstractGraphicsProperty *item, const QString &id, const QVariant &value, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_id(id)
    , m_value(value)
{ }

CommandSetProperty::~CommandSetProperty() = default;

void CommandSetProperty::exchange()
{
    QVariant current = m_item->propertyValue(m_id);
    m_item->setPropertyValue(m_id, m_value);
    m_value.swap(current);
}

void CommandSetProperty::undo()
{
    exchange();
}

void CommandSetProperty::redo()
{
    exchange();
}

CommandSetLock::CommandSetLock(AbstractGraphicsUtility *item, bool lock, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_newLock(lock)
    , m_oldLock(item->islocked())
{ }

CommandSetLock::~CommandSetLock() = default;

void CommandSetLock::undo()
{
    m_item->setLock(m_oldLock);
}

void CommandSetLock::redo()
{
    m_item->setLock(m_newLock);
}

CommandCreateGroup::CommandCreateGroup(
    QGraphicsScene *scene, QGraphicsItemGroup *group, const QList<QGraphicsItem *> &members, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_group(group)
    , m_members(members)
{ }

CommandCreateGroup::~CommandCreateGroup() = default;

// Bottom-most member first, each under the item it was under: the old order comes back.
void CommandCreateGroup::undo()
{
    Reorder reorder(m_scene);
    const NewTop top(stackingList(m_scene), topLevelOf({m_group}, m_scene), m_membersAbove);
    if (m_group->scene() != m_scene || !top.pays(0, m_members.size())) {
        for (int i = 0; i < m_members.size(); ++i) {
            leaveGroup(m_group, m_members.at(i));
            restoreBelow(m_members.at(i), m_membersAbove.value(i));
        }
        m_scene->removeItem(m_group);
        return;
    }
    // Out of the scene with the group, the members leave it without a change to the scene.
    top.rebuild(
        reorder, [&reorder](QGraphicsItem *group) { reorder.takeOut(group); },
        [this] { takeMembersOut(m_group, m_members); }, [&](int i) { reorder.giveBack(m_members.at(i)); });
}

void CommandCreateGroup::redo()
{
    Reorder reorder(m_scene);
    const QList<QGraphicsItem *> stacking = stackingList(m_scene);
    const QSet<QGraphicsItem *> leaving = topLevelOf(m_members, m_scene);
    if (m_membersAbove.isEmpty()) {
        // The first redo, at the push, sees the places that undo gives back.
        QHash<QGraphicsItem *, QGraphicsItem *> above;
        for (const auto &entry : placesIn(stacking, [&leaving](QGraphicsItem *item) { return leaving.contains(item); }))
            above.insert(entry.first, entry.second);
        for (QGraphicsItem *member : qAsConst(m_members))
            m_membersAbove << above.value(member);
    }
    groupIn(reorder, stacking, m_group, m_members);
}

// The members are taken now, while the group still holds them: after redo it is empty.
CommandDestroyGroup::CommandDestroyGroup(QGraphicsScene *scene, QGraphicsItemGroup *group, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_group(group)
    , m_members(group->childItems())
    , m_groupAbove(leavingWithPlaces(scene, [group](QGraphicsItem *item) { return item == group; }).value(0).second)
{ }

CommandDestroyGroup::~CommandDestroyGroup() = default;

void CommandDestroyGroup::undo()
{
    Reorder reorder(m_scene);
    groupIn(reorder, stackingList(m_scene), m_group, m_members);
    restoreBelow(m_group, m_groupAbove);
}

// The former members stay selected, so that the user can go on working with them.
void CommandDestroyGroup::redo()
{
    Reorder reorder(m_scene);
    takeMembersOut(m_group, m_members, [](QGraphicsItem *member) { member->setSelected(true); });
    m_scene->removeItem(m_group);
}
