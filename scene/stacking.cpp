#include "scene/stacking.h"

#include "abstractgraphicsscene.h"

namespace Stacking {

QList<QGraphicsItem *> stackingList(QGraphicsScene *scene)
{
    return AbstractGraphicsScene::noParentFilter(scene->items(Qt::DescendingOrder));
}

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

void restoreBelow(QGraphicsItem *item, QGraphicsItem *above)
{
    if (above && above != item && above->scene() == item->scene() && !above->parentItem() && !item->parentItem()
        && above->zValue() == item->zValue())
        stackUnder(item, above);
}

void takeMembersOut(
    QGraphicsItemGroup *group, const QList<QGraphicsItem *> &members, const std::function<void(QGraphicsItem *)> &then)
{
    QGraphicsItem *parent = group->parentItem();
    for (int i = 0; i < members.size(); ++i) {
        QGraphicsItem *member = members.at(i);
        const bool plain = member->rotation() == 0 && member->scale() == 1 && member->transformations().isEmpty()
            && member->transformOriginPoint().isNull();
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

QSet<QGraphicsItem *> topLevelOf(const QList<QGraphicsItem *> &items, QGraphicsScene *scene)
{
    QSet<QGraphicsItem *> result;
    for (QGraphicsItem *item : items) {
        if (item->scene() == scene && !item->parentItem())
            result.insert(item);
    }
    return result;
}

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

void repaint(QGraphicsScene *scene)
{
    scene->update();
}

namespace {

// The top-level items whose shape touches the item: only these can hide it or be hidden by it.
QSet<QGraphicsItem *> collidingSet(QGraphicsItem *item)
{
    const QList<QGraphicsItem *> colliding
        = AbstractGraphicsScene::noParentFilter(item->scene()->collidingItems(item, Qt::IntersectsItemShape));
    return QSet<QGraphicsItem *>(colliding.cbegin(), colliding.cend());
}

StackPlace placeOf(const QList<QGraphicsItem *> &stacking, int index)
{
    return {stacking.at(index), index > 0 ? stacking.at(index - 1) : nullptr};
}

// The index of the item nearest to `from` in the stacking list, going `step` (-1 up, +1 down),
// that is among the overlapping items; -1 when there is none.
int nearestOverlapping(
    const QList<QGraphicsItem *> &stacking, int from, int step, const QSet<QGraphicsItem *> &overlapping)
{
    for (int k = from + step; k >= 0 && k < stacking.size(); k += step) {
        if (overlapping.contains(stacking.at(k)))
            return k;
    }
    return -1;
}

} // namespace

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
    const int k = nearestOverlapping(stacking, i, -1, colliding);
    if (k >= 0) {
        moved = placeOf(stacking, k);
        stackUnder(stacking.at(k), item);
    }
    repaint(scene);
    return moved;
}

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
    const int k = nearestOverlapping(stacking, i, +1, colliding);
    if (k >= 0) {
        moved = placeOf(stacking, i);
        stackUnder(item, stacking.at(k));
    }
    repaint(scene);
    return moved;
}

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

} // namespace Stacking
