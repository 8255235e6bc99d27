#include "scene/commands.h"

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsresize.h"
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"

#include <QGraphicsItem>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QHash>
#include <QSet>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

namespace {

// Stacking is changed only through stackBefore() and by taking items out of the scene and
// giving them back, never through z values: the z values stay what the document gave the items.

// The scene's top-level items, topmost first.
QList<QGraphicsItem *> stackingList(QGraphicsScene *scene)
{
    return AbstractGraphicsScene::noParentFilter(scene->items(Qt::DescendingOrder));
}

// The two calls that walk a whole list of items, counted.
void stackUnder(QGraphicsItem *item, const QGraphicsItem *sibling)
{
    ++WalkingCalls::counted().stackBefore;
    item->stackBefore(sibling);
}

void leaveGroup(QGraphicsItemGroup *group, QGraphicsItem *member)
{
    ++WalkingCalls::counted().removeFromGroup;
    group->removeFromGroup(member);
}

} // namespace

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

namespace {

QList<QPair<QGraphicsItem *, QGraphicsItem *>> placesIn(
    const QList<QGraphicsItem *> &stacking, const std::function<bool(QGraphicsItem *)> &leaves)
{
    QList<QPair<QGraphicsItem *, QGraphicsItem *>> leaving;
    QGraphicsItem *staying = nullptr;
    for (QGraphicsItem *item : stacking) {
        if (leaves(item))
            leaving.append(qMakePair(item, staying));
        else
            staying = item;
    }
    return leaving;
}

} // namespace

QList<QPair<QGraphicsItem *, QGraphicsItem *>> leavingWithPlaces(
    QGraphicsScene *scene, const std::function<bool(QGraphicsItem *)> &leaves)
{
    return placesIn(stackingList(scene), leaves);
}

namespace {

// Puts an item that was just given back to the scene (and so went on top of the items with its
// z value) under the item that was above it, when that one is still a top-level item of the
// same scene. If that one has another z value, the item was the topmost of its own and is so
// again; stackBefore() under it would instead move the item below every item of its own z value
// that happens to come after that one in Qt's list.
void restoreBelow(QGraphicsItem *item, QGraphicsItem *above)
{
    if (above && above != item && above->scene() == item->scene() && !above->parentItem()
        && !item->parentItem() && above->zValue() == item->zValue())
        stackUnder(item, above);
}

// Qt keeps a scene's top-level items in a list in the order they were given to the scene, and
// stacks items of equal z value in that order. An item given to the scene goes to the end, on
// top of the items with its z value; the last item comes out again at once, any other only
// after a search through the list; and stackBefore() renumbers the whole list on every call.
// So a new order for many items is made by taking out the top of the stacking list, topmost
// first, and giving it back in the new order: a constant cost per item, where a stackBefore()
// or a search per item would cost the size of the scene for each.
//
// While items are out the scene's signals are held back; the items keep their selection, and
// selectionChanged() is sent once at the end if the selection did change. Keyboard focus that
// an item taken out (or one of its members) held comes back to it. The scene's index is brought
// up to date first: Qt searches the items it has not indexed yet one by one for each item taken
// out (those given back are indexed by the next query, or paint, or by Qt's timer).
class Reorder
{
public:
    explicit Reorder(QGraphicsScene *scene)
        : m_scene(scene)
        , m_blocker(scene)
        , m_selected(sortedSelection())
        , m_sceneFocused(scene->hasFocus())
    {
        m_scene->items(QPointF()); // any query brings the index up to date
    }

    ~Reorder()
    {
        if (m_focus && m_focus->scene() == m_scene) {
            m_focus->setFocus();
            // A scene without focus only remembers its focus item, for when it gets focus again.
            if (!m_sceneFocused)
                m_scene->clearFocus();
        }
        m_blocker.unblock();
        if (selectionChanged())
            emit m_scene->selectionChanged();
    }

    Reorder(const Reorder &) = delete;
    Reorder &operator=(const Reorder &) = delete;

    void takeOut(QGraphicsItem *item)
    {
        if (!m_focus)
            m_focus = item->focusItem();
        m_scene->removeItem(item);
    }

    void giveBack(QGraphicsItem *item) { m_scene->addItem(item); }

    QGraphicsScene *scene() const { return m_scene; }

private:
    std::vector<QGraphicsItem *> sortedSelection() const
    {
        const QList<QGraphicsItem *> selection = m_scene->selectedItems();
        std::vector<QGraphicsItem *> sorted(selection.cbegin(), selection.cend());
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }

    bool selectionChanged() const { return sortedSelection() != m_selected; }

    QGraphicsScene *m_scene;
    QSignalBlocker m_blocker;
    const std::vector<QGraphicsItem *> m_selected;
    const bool m_sceneFocused;
    QGraphicsItem *m_focus = nullptr;
};

// The stacking list's top, down to its lowest item that leaves or that an arriving item goes
// under, taken out topmost first and given back bottom first with the arriving items put in.
class NewTop
{
public:
    // `under`: for each arriving item, the item it goes directly under (null: on top).
    NewTop(const QList<QGraphicsItem *> &stacking, const QSet<QGraphicsItem *> &leaving,
        const QList<QGraphicsItem *> &under)
        : m_stacking(stacking)
        , m_leaving(leaving)
        , m_under(under)
    {
        QSet<QGraphicsItem *> marked = leaving;
        for (QGraphicsItem *item : under) {
            if (item)
                marked.insert(item);
        }
        for (int i = 0; i < stacking.size(); ++i) {
            if (marked.contains(stacking.at(i)))
                m_cut = i;
        }
    }

    // Whether rebuilding beats the one-by-one way, in which Qt searches its list of top-level
    // items for each of `searches` items taken out, and each of `restacks` items goes under
    // another by a stackBefore(). Measured with 100 000 items: a search about 17 µs, a
    // stackBefore() 1.7 ms, an item taken out and given back 1 µs.
    bool pays(int searches, int restacks) const
    {
        switch (stackingWay()) {
        case StackingWay::OneByOne:
            return false;
        case StackingWay::Rebuilt:
            return true;
        case StackingWay::Cheaper:
            break;
        }
        return (qint64(searches) + 100 * qint64(restacks)) * m_stacking.size() > 6000 * qint64(m_cut + 1);
    }

    // `leave` takes out each leaving item, `between` runs while the top is out, and `arrive`
    // gives back arriving item i: under the same item or on top in their order, on top when
    // the item named is not among those given back.
    void rebuild(Reorder &reorder, const std::function<void(QGraphicsItem *)> &leave,
        const std::function<void()> &between, const std::function<void(int)> &arrive) const
    {
        renumber();
        QList<QGraphicsItem *> kept;
        for (int i = 0; i <= m_cut; ++i) {
            QGraphicsItem *item = m_stacking.at(i);
            if (m_leaving.contains(item)) {
                leave(item);
            } else {
                reorder.takeOut(item);
                kept << item;
            }
        }
        if (between)
            between();
        QHash<QGraphicsItem *, QVector<int>> arrivingUnder;
        for (int i = 0; i < m_under.size(); ++i)
            arrivingUnder[m_under.at(i)] << i;
        for (auto it = kept.crbegin(); it != kept.crend(); ++it) {
            for (int i : arrivingUnder.take(*it))
                arrive(i);
            reorder.giveBack(*it);
        }
        // Left: those on top, and those whose item was not given back, in their order.
        QVector<int> onTop;
        for (const QVector<int> &indexes : qAsConst(arrivingUnder))
            onTop += indexes;
        std::sort(onTop.begin(), onTop.end());
        for (int i : qAsConst(onTop))
            arrive(i);
    }

private:
    // Qt takes the last item out at once only if no other was taken out since it last
    // renumbered its list (an ungrouping leaves such a gap); stackBefore() renumbers it first
    // thing. One that changes nothing: an item under the next higher one of equal z value.
    void renumber() const
    {
        for (int i = 0; i + 1 < m_stacking.size(); ++i) {
            if (m_stacking.at(i + 1)->zValue() == m_stacking.at(i)->zValue()) {
                stackUnder(m_stacking.at(i + 1), m_stacking.at(i));
                return;
            }
        }
    }

    const QList<QGraphicsItem *> m_stacking;
    const QSet<QGraphicsItem *> m_leaving;
    const QList<QGraphicsItem *> m_under;
    int m_cut = -1;
};

// Takes the members out of the group to the group's parent, each keeping its place in the scene
// as removeFromGroup() keeps it. removeFromGroup() also measures the members still in the group
// every time, k² for k members; so all but the last are moved here, with the position and
// transform that removeFromGroup() gives them (it would also fold in a rotation, scale or
// transformation list, which our items do not use; an item with any of them goes through it).
// Only Qt's private "member of a group" mark stays on those, which nothing sees: group() looks
// for an ancestor of QGraphicsItemGroup's own item type, and our groups have a type of their own.
void takeMembersOut(QGraphicsItemGroup *group, const QList<QGraphicsItem *> &members,
    const std::function<void(QGraphicsItem *)> &then = {})
{
    QGraphicsItem *parent = group->parentItem();
    for (int i = 0; i < members.size(); ++i) {
        QGraphicsItem *member = members.at(i);
        const bool plain = member->rotation() == 0 && member->scale() == 1
            && member->transformations().isEmpty() && member->transformOriginPoint().isNull();
        if (i + 1 < members.size() && plain && member->parentItem() == group) {
            const QTransform full = parent ? member->itemTransform(parent) : member->sceneTransform();
            const QPointF at = member->mapToItem(parent, 0, 0);
            member->setParentItem(parent);
            member->setPos(at);
            member->setTransform(at.isNull() ? full : full * QTransform::fromTranslate(-at.x(), -at.y()));
        } else {
            // The last one empties the group's own rectangle as well.
            leaveGroup(group, member);
        }
        if (then)
            then(member);
    }
}

// Those of the items that are top-level items of the scene.
QSet<QGraphicsItem *> topLevelOf(const QList<QGraphicsItem *> &items, QGraphicsScene *scene)
{
    QSet<QGraphicsItem *> result;
    for (QGraphicsItem *item : items) {
        if (item->scene() == scene && !item->parentItem())
            result.insert(item);
    }
    return result;
}

// Puts the members into the group and the group into the scene, on top of the items with its
// z value. addToGroup() takes each member out of the scene while the group is not in it, so
// many are taken out with what lies above them instead, topmost first. A member that had
// keyboard focus loses it either way.
void groupIn(Reorder &reorder, const QList<QGraphicsItem *> &stacking, QGraphicsItemGroup *group,
    const QList<QGraphicsItem *> &members)
{
    QGraphicsScene *scene = reorder.scene();
    const NewTop top(stacking, topLevelOf(members, scene), {nullptr});
    const auto join = [group, &members] {
        for (QGraphicsItem *member : members)
            group->addToGroup(member);
    };
    if (top.pays(members.size(), 0)) {
        top.rebuild(
            reorder, [scene](QGraphicsItem *member) { scene->removeItem(member); }, join,
            [scene, group](int) { scene->addItem(group); });
    } else {
        join();
        scene->addItem(group);
    }
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

// The one item a restacking moved and the item that was directly above it before (null when it
// was topmost), or no item when nothing moved: enough for undo to put the old order back.
struct StackPlace
{
    QGraphicsItem *item = nullptr;
    QGraphicsItem *above = nullptr;
};

StackPlace placeOf(const QList<QGraphicsItem *> &stacking, int index)
{
    return {stacking.at(index), index > 0 ? stacking.at(index - 1) : nullptr};
}

// Puts the item just above the nearest overlapping item that lies above it (by moving that one).
StackPlace raiseOneStep(QGraphicsItem *item)
{
    QGraphicsScene *scene = item->scene();
    if (!scene)
        return {};
    const QSet<QGraphicsItem *> colliding = collidingSet(item);
    if (colliding.isEmpty())
        return {};
    const QList<QGraphicsItem *> stacking = stackingList(scene);
    const int i = stacking.indexOf(item);
    if (i <= 0)
        return {};
    StackPlace moved;
    for (int k = i - 1; k >= 0; --k) {
        QGraphicsItem *above = stacking.at(k);
        if (colliding.contains(above)) {
            moved = placeOf(stacking, k);
            stackUnder(above, item);
            break;
        }
    }
    repaint(scene);
    return moved;
}

// Puts the item just below the nearest overlapping item that lies below it.
StackPlace lowerOneStep(QGraphicsItem *item)
{
    QGraphicsScene *scene = item->scene();
    if (!scene)
        return {};
    const QSet<QGraphicsItem *> colliding = collidingSet(item);
    if (colliding.isEmpty())
        return {};
    const QList<QGraphicsItem *> stacking = stackingList(scene);
    const int i = stacking.indexOf(item);
    if (i < 0)
        return {};
    StackPlace moved;
    for (int k = i + 1; k < stacking.size(); ++k) {
        QGraphicsItem *below = stacking.at(k);
        if (colliding.contains(below)) {
            moved = placeOf(stacking, i);
            stackUnder(item, below);
            break;
        }
    }
    repaint(scene);
    return moved;
}

// Taken out and given back, the item goes on top of the items with its z value, the others
// keeping their order: what a stackBefore() of every other item under it would do, at the cost
// of one.
void toTopOfItsZ(QGraphicsItem *item)
{
    Reorder reorder(item->scene());
    reorder.takeOut(item);
    reorder.giveBack(item);
}

StackPlace bringToFront(QGraphicsItem *item)
{
    QGraphicsScene *scene = item->scene();
    if (!scene)
        return {};
    // Only siblings can be restacked; a group member has none among the top-level items.
    StackPlace moved;
    if (!item->parentItem()) {
        const QList<QGraphicsItem *> stacking = stackingList(scene);
        moved = placeOf(stacking, stacking.indexOf(item));
        toTopOfItsZ(item);
    }
    repaint(scene);
    return moved;
}

// Directly under the lowest item with its z value: stackBefore() only changes the order among
// items of equal z value, and one call is enough.
StackPlace sendToBack(QGraphicsItem *item)
{
    QGraphicsScene *scene = item->scene();
    if (!scene)
        return {};
    StackPlace moved;
    if (!item->parentItem()) {
        const QList<QGraphicsItem *> stacking = stackingList(scene);
        moved = placeOf(stacking, stacking.indexOf(item));
        const auto lowest = std::find_if(stacking.crbegin(), stacking.crend(),
            [item](const QGraphicsItem *other) { return other->zValue() == item->zValue(); });
        if (*lowest != item)
            stackUnder(item, *lowest);
    }
    repaint(scene);
    return moved;
}

} // namespace

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
    , m_geometry(oldGeometry)
{
}

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
    restoreBelow(m_item, m_above);
}

void CommandRemoveItem::redo()
{
    m_scene->removeItem(m_item);
}

CommandBatch::CommandBatch(QGraphicsScene *scene, const QString &text, QUndoCommand *parent)
    : QUndoCommand(text, parent)
    , m_scene(scene)
{
}

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
        reorder, [&](QGraphicsItem *item) { once(leaving.value(item)); }, {},
        [&](int i) { once(arriving.at(i)); });
    for (QUndoCommand *command : qAsConst(steps)) {
        if (!done.contains(command))
            step(command); // items that are not top-level items of the scene, and other commands
    }
}

CommandSetPos::CommandSetPos(QGraphicsItem *item, QPointF oldPos, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_item(item)
    , m_pos(oldPos)
{
}

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
{
}

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
{
}

CommandBringToFront::~CommandBringToFront() = default;

void CommandBringToFront::redo()
{
    const StackPlace moved = bringToFront(m_item);
    remember(moved.item, moved.above);
}

CommandSendToBack::CommandSendToBack(QGraphicsItem *item, QUndoCommand *parent)
    : CommandRestack(item, parent)
{
}

CommandSendToBack::~CommandSendToBack() = default;

void CommandSendToBack::redo()
{
    const StackPlace moved = sendToBack(m_item);
    remember(moved.item, moved.above);
}

CommandLayerUpper::CommandLayerUpper(QGraphicsItem *item, QUndoCommand *parent)
    : CommandRestack(item, parent)
{
}

CommandLayerUpper::~CommandLayerUpper() = default;

void CommandLayerUpper::redo()
{
    const StackPlace moved = raiseOneStep(m_item);
    remember(moved.item, moved.above);
}

CommandLayerLower::CommandLayerLower(QGraphicsItem *item, QUndoCommand *parent)
    : CommandRestack(item, parent)
{
}

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
{
}

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
        for (const auto &entry :
            placesIn(stacking, [&leaving](QGraphicsItem *item) { return leaving.contains(item); }))
            above.insert(entry.first, entry.second);
        for (QGraphicsItem *member : qAsConst(m_members))
            m_membersAbove << above.value(member);
    }
    groupIn(reorder, stacking, m_group, m_members);
}

// The members are taken now, while the group still holds them: after redo it is empty.
CommandDestroyGroup::CommandDestroyGroup(
    QGraphicsScene *scene, QGraphicsItemGroup *group, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_scene(scene)
    , m_group(group)
    , m_members(group->childItems())
    , m_groupAbove(
          leavingWithPlaces(scene, [group](QGraphicsItem *item) { return item == group; }).value(0).second)
{
}

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
