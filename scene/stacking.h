#ifndef STACKING_H
#define STACKING_H

#include "scene/commands.h"

#include <QGraphicsItem>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QList>
#include <QSet>
#include <QSignalBlocker>
#include <algorithm>
#include <functional>
#include <vector>

// How the undo commands change the stacking order of many items at a constant cost per item.
// Stacking is changed only through stackBefore() and by taking items out of the scene and
// giving them back, never through z values: the z values stay what the document gave the items.
namespace Stacking {

// The scene's top-level items, topmost first.
QList<QGraphicsItem *> stackingList(QGraphicsScene *scene);

// The two calls that walk a whole list of items, counted.
void stackUnder(QGraphicsItem *item, const QGraphicsItem *sibling);
void leaveGroup(QGraphicsItemGroup *group, QGraphicsItem *member);

// The items of the stacking list for which `leaves` holds, each with the nearest staying item above it.
QList<QPair<QGraphicsItem *, QGraphicsItem *>> placesIn(
    const QList<QGraphicsItem *> &stacking, const std::function<bool(QGraphicsItem *)> &leaves);

// Puts an item that was just given back to the scene (and so went on top of the items with its
// z value) under the item that was above it, when that one is still a top-level item of the
// same scene. If that one has another z value, the item was the topmost of its own and is so
// again; stackBefore() under it would instead move the item below every item of its own z value
// that happens to come after that one in Qt's list.
void restoreBelow(QGraphicsItem *item, QGraphicsItem *above);

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
        case StackingWay::OneByOne: return false;
        case StackingWay::Rebuilt: return true;
        case StackingWay::Cheaper: break;
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
    const std::function<void(QGraphicsItem *)> &then = {});

// Those of the items that are top-level items of the scene.
QSet<QGraphicsItem *> topLevelOf(const QList<QGraphicsItem *> &items, QGraphicsScene *scene);

// Puts the members into the group and the group into the scene, on top of the items with its
// z value. addToGroup() takes each member out of the scene while the group is not in it, so
// many are taken out with what lies above them instead, topmost first. A member that had
// keyboard focus loses it either way.
void groupIn(Reorder &reorder, const QList<QGraphicsItem *> &stacking, QGraphicsItemGroup *group,
    const QList<QGraphicsItem *> &members);

// Everything overlapping the restacked item must be redrawn; repainting the whole scene is
// simpler than working out that area.
void repaint(QGraphicsScene *scene);

// The one item a restacking moved and the item that was directly above it before (null when it
// was topmost), or no item when nothing moved: enough for undo to put the old order back.
struct StackPlace
{
    QGraphicsItem *item = nullptr;
    QGraphicsItem *above = nullptr;
};

// Puts the item just above the nearest overlapping item that lies above it (by moving that one).
StackPlace raiseOneStep(QGraphicsItem *item);

// Puts the item just below the nearest overlapping item that lies below it.
StackPlace lowerOneStep(QGraphicsItem *item);

// Taken out and given back, the item goes on top of the items with its z value, the others
// keeping their order: what a stackBefore() of every other item under it would do, at the cost
// of one.
void toTopOfItsZ(QGraphicsItem *item);

StackPlace bringToFront(QGraphicsItem *item);

// Directly under the lowest item with its z value: stackBefore() only changes the order among
// items of equal z value, and one call is enough.
StackPlace sendToBack(QGraphicsItem *item);

} // namespace Stacking

#endif
