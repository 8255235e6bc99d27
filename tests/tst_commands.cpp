// The undo commands on a real undo stack and a real scene: what a push changes, and that
// undo and redo put back exactly what was there, including the stacking order.
#include "abstractgraphicsscene.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemsamples.h"
#include "scene/commands.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QGraphicsRectItem>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <set>

namespace {

constexpr int RectangleType = 0x10018;
constexpr int SwitchType = 0x10008;
constexpr int TextType = 0x10027;

// Fixed, and larger than anything the tests draw, so that a repaint of the whole scene
// can be told apart from the repaint of single items.
const QRectF SceneArea(-1000, -1000, 4000, 4000);

// Counts its own destruction, to show that no command deletes an item.
class WatchedItem : public QGraphicsRectItem
{
public:
    WatchedItem(const QRectF &rect, int *destroyed)
        : QGraphicsRectItem(rect)
        , m_destroyed(destroyed)
    {
    }
    ~WatchedItem() override { ++*m_destroyed; }

private:
    int *m_destroyed;
};

// A scene with an undo stack like a document's. Items made here are freed at the end
// whether or not a command left them in the scene.
struct Board
{
    AbstractGraphicsScene scene;
    QUndoStack stack;
    QList<QGraphicsItem *> made;

    Board()
    {
        scene.setSceneRect(SceneArea);
        stack.setUndoLimit(50);
    }

    ~Board()
    {
        stack.clear();
        QList<QGraphicsItem *> loose;
        for (QGraphicsItem *item : qAsConst(made)) {
            if (!item->scene() && !item->parentItem())
                loose << item;
        }
        qDeleteAll(loose); // the scene deletes the others
    }

    template <typename T> T *keep(T *item)
    {
        made << item;
        return item;
    }

    GraphicsItem *make(int type, const QRectF &rect) { return keep(ItemSamples::create(type, rect)); }

    GraphicsItem *add(int type, const QRectF &rect)
    {
        GraphicsItem *item = make(type, rect);
        scene.addItem(item);
        return item;
    }

    GraphicsItem *add(const QRectF &rect) { return add(RectangleType, rect); }

    // A group in the scene at `pos` holding new rectangles at the given scene rectangles.
    GroupItem *addGroup(const QPointF &pos, const QList<QRectF> &memberRects)
    {
        auto *group = keep(new GroupItem);
        group->setPos(pos);
        scene.addItem(group);
        for (const QRectF &r : memberRects)
            group->addToGroup(add(r));
        return group;
    }

    // Top-level items, lowest first, as indices into `items` (-1 for any other item).
    QList<int> stacking(const QList<QGraphicsItem *> &items) const
    {
        const QList<QGraphicsItem *> topFirst
            = AbstractGraphicsScene::noParentFilter(scene.items(Qt::DescendingOrder));
        QList<int> order;
        for (auto it = topFirst.crbegin(); it != topFirst.crend(); ++it)
            order << items.indexOf(*it);
        return order;
    }

    // Whether running `action` makes the scene repaint everything: 1 if so, 0 if not, -1 when
    // no change notification came at all. A small marker update follows the action, so that
    // there is always one notification to wait for: after a full repaint it covers the whole
    // scene, otherwise it holds only the marker and what the action itself touched.
    int repaintsEverything(const std::function<void()> &action)
    {
        const QRectF marker(SceneArea.topLeft(), QSizeF(1, 1));
        {
            QSignalSpy settle(&scene, &QGraphicsScene::changed);
            scene.update(marker);
            if (!QTest::qWaitFor([&] { return !settle.isEmpty(); }, 5000))
                return -1;
        }
        QSignalSpy spy(&scene, &QGraphicsScene::changed);
        action();
        scene.update(marker);
        if (!QTest::qWaitFor([&] { return !spy.isEmpty(); }, 5000))
            return -1;
        for (const QList<QVariant> &args : qAsConst(spy)) {
            for (const QRectF &r : args.at(0).value<QList<QRectF>>()) {
                if (r.contains(SceneArea))
                    return 1;
            }
        }
        return 0;
    }
};

std::set<QGraphicsItem *> asSet(const QList<QGraphicsItem *> &items)
{
    return std::set<QGraphicsItem *>(items.cbegin(), items.cend());
}

QList<QPointF> scenePositions(const QList<QGraphicsItem *> &items)
{
    QList<QPointF> positions;
    for (const QGraphicsItem *item : items)
        positions << item->scenePos();
    return positions;
}

enum StackOp
{
    Raise,
    Lower,
    Front,
    Back
};

QUndoCommand *stackCommand(int op, QGraphicsItem *item)
{
    switch (op) {
    case Raise:
        return new CommandLayerUpper(item, nullptr);
    case Lower:
        return new CommandLayerLower(item, nullptr);
    case Front:
        return new CommandBringToFront(item, nullptr);
    case Back:
        return new CommandSendToBack(item, nullptr);
    }
    return nullptr;
}

// Editable properties of an item, by id.
QStringList editableIds(const AbstractGraphicsProperty *item)
{
    QStringList ids;
    const auto map = item->properties();
    for (const QList<Property *> &list : map) {
        for (const Property *p : list) {
            if (p->isEditable())
                ids << p->id();
        }
    }
    return ids;
}

const Property *findProperty(const AbstractGraphicsProperty *item, const QString &id)
{
    const auto map = item->properties();
    for (const QList<Property *> &list : map) {
        for (const Property *p : list) {
            if (p->id() == id)
                return p;
        }
    }
    return nullptr;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("commands"); }

    void moveBy_data()
    {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::newRow("right 10") << 10.0 << 0.0;
        QTest::newRow("up 4") << 0.0 << -4.0;
        QTest::newRow("left and down") << -3.5 << 7.25;
    }

    void moveBy()
    {
        QFETCH(double, dx);
        QFETCH(double, dy);
        Board b;
        GraphicsItem *item = b.add(QRectF(20, 30, 40, 20));
        const QPointF start = item->pos();
        const QPointF moved = start + QPointF(dx, dy);

        b.stack.push(new CommandMoveBy(item, dx, dy, nullptr));
        QCOMPARE(item->pos(), moved);
        for (int round = 0; round < 2; ++round) {
            b.stack.undo();
            QCOMPARE(item->pos(), start);
            b.stack.redo();
            QCOMPARE(item->pos(), moved);
        }
        QCOMPARE(item->itemRect().size(), QSizeF(40, 20));
    }

    void undoOfMoveRightGoesLeft()
    {
        Board b;
        GraphicsItem *item = b.add(QRectF(100, 50, 10, 10));
        b.stack.push(new CommandMoveBy(item, 10, 0, nullptr));
        const QPointF before = item->pos();
        b.stack.undo();
        QCOMPARE(item->pos(), before - QPointF(10, 0));
        QCOMPARE(item->pos(), QPointF(100, 50));
    }

    // Two edits of the same kind on the same item stay two undo steps.
    void commandsNeverMerge()
    {
        Board b;
        GraphicsItem *item = b.add(QRectF(0, 0, 10, 10));
        b.stack.push(new CommandMoveBy(item, 5, 0, nullptr));
        b.stack.push(new CommandMoveBy(item, 5, 0, nullptr));
        b.stack.push(new CommandSetWidth(item, 30, nullptr));
        b.stack.push(new CommandSetWidth(item, 40, nullptr));
        QCOMPARE(b.stack.count(), 4);
        b.stack.undo();
        QCOMPARE(item->itemRect().width(), 30.0);
        b.stack.undo();
        b.stack.undo();
        QCOMPARE(item->pos(), QPointF(5, 0));
        QVERIFY(b.stack.text(0).isEmpty());
    }

    void setSize_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("width");
        QTest::addColumn<double>("value");
        const QPair<const char *, int> kinds[]
            = {{"rectangle", RectangleType}, {"switch", SwitchType}, {"text", TextType}};
        for (const auto &kind : kinds) {
            QTest::addRow("%s width grows", kind.first) << kind.second << true << 120.0;
            QTest::addRow("%s width shrinks", kind.first) << kind.second << true << 12.5;
            QTest::addRow("%s height grows", kind.first) << kind.second << false << 90.0;
            QTest::addRow("%s height shrinks", kind.first) << kind.second << false << 7.0;
        }
    }

    void setSize()
    {
        QFETCH(int, type);
        QFETCH(bool, width);
        QFETCH(double, value);
        Board b;
        GraphicsItem *item = b.add(type, QRectF(10, 10, 50, 30));
        const QRectF before = item->itemRect();
        const QVariant geometryBefore = item->geometry();
        QRectF after = before;
        if (width)
            after.setWidth(value);
        else
            after.setHeight(value);

        if (width)
            b.stack.push(new CommandSetWidth(item, value, nullptr));
        else
            b.stack.push(new CommandSetHeight(item, value, nullptr));
        QCOMPARE(item->itemRect(), after);
        b.stack.undo();
        QCOMPARE(item->itemRect(), before);
        QCOMPARE(item->geometry(), geometryBefore);
        b.stack.redo();
        QCOMPARE(item->itemRect(), after);
    }

    // The drag has already moved the items when the command is pushed.
    void setPosAfterDrag_data()
    {
        QTest::addColumn<bool>("group");
        QTest::newRow("item") << false;
        QTest::newRow("group") << true;
    }

    void setPosAfterDrag()
    {
        QFETCH(bool, group);
        Board b;
        QGraphicsItem *item = group
            ? static_cast<QGraphicsItem *>(b.addGroup(QPointF(20, 30), {QRectF(25, 35, 10, 10)}))
            : b.add(QRectF(20, 30, 10, 10));
        const QPointF old = item->pos();
        item->setPos(75, -5);

        b.stack.push(new CommandSetPos(item, old, nullptr));
        QCOMPARE(item->pos(), QPointF(75, -5));
        b.stack.undo();
        QCOMPARE(item->pos(), old);
        b.stack.redo();
        QCOMPARE(item->pos(), QPointF(75, -5));
        if (group)
            QCOMPARE(item->childItems().value(0)->scenePos(), QPointF(80, 0));
    }

    // A handle drag moves the item and changes its rectangle before the command is pushed.
    void resizeAfterDrag_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("rectangle") << RectangleType;
        QTest::newRow("switch") << SwitchType;
        QTest::newRow("text") << TextType;
    }

    void resizeAfterDrag()
    {
        QFETCH(int, type);
        Board b;
        GraphicsItem *item = b.add(type, QRectF(40, 40, 60, 30));
        const QVariant old = item->geometry();
        const QRectF oldRect = item->itemRect();
        // The top-left handle dragged up and left by (15, 10).
        item->setPos(item->pos() - QPointF(15, 10));
        item->setRect(QRectF(QPointF(0, 0), item->rect().size() + QSizeF(15, 10)));
        const QVariant dragged = item->geometry();
        const QRectF draggedRect = item->itemRect();
        QCOMPARE(draggedRect, QRectF(25, 30, 75, 40));

        b.stack.push(new CommandResize(item, old, nullptr));
        QCOMPARE(item->geometry(), dragged);
        QCOMPARE(item->itemRect(), draggedRect);
        b.stack.undo();
        QCOMPARE(item->geometry(), old);
        QCOMPARE(item->itemRect(), oldRect);
        b.stack.redo();
        QCOMPARE(item->geometry(), dragged);
        QCOMPARE(item->itemRect(), draggedRect);
    }

    void addAndRemove_data()
    {
        QTest::addColumn<bool>("add");
        QTest::newRow("add") << true;
        QTest::newRow("remove") << false;
    }

    // Membership follows the command, and the item outlives both the scene and the commands.
    void addAndRemove()
    {
        QFETCH(bool, add);
        int destroyed = 0;
        auto *item = new WatchedItem(QRectF(0, 0, 30, 30), &destroyed);
        item->setPos(12, 34);
        {
            Board b;
            b.keep(item);
            GraphicsItem *other = b.add(QRectF(100, 100, 10, 10));
            if (!add)
                b.scene.addItem(item);

            if (add)
                b.stack.push(new CommandAddItem(&b.scene, item, nullptr));
            else
                b.stack.push(new CommandRemoveItem(&b.scene, item, nullptr));
            QCOMPARE(item->scene(), add ? &b.scene : nullptr);
            QCOMPARE(b.scene.items().size(), add ? 2 : 1);
            b.stack.undo();
            QCOMPARE(item->scene(), add ? nullptr : &b.scene);
            QCOMPARE(b.scene.items().size(), add ? 1 : 2);
            b.stack.redo();
            QCOMPARE(item->scene(), add ? &b.scene : nullptr);
            QCOMPARE(item->pos(), QPointF(12, 34));
            QCOMPARE(other->scene(), &b.scene);

            // Leave the item outside the scene and drop every command.
            if (item->scene())
                b.stack.undo();
            QVERIFY(!item->scene());
            b.stack.clear();
            QCOMPARE(destroyed, 0);
            QCOMPARE(item->pos(), QPointF(12, 34));
        }
        // Board frees what no scene holds.
        QCOMPARE(destroyed, 1);
    }

    void setProperty_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        const QPair<const char *, int> kinds[] = {{"rectangle", RectangleType}, {"switch", SwitchType},
            {"text", TextType}, {"group", GroupItem::Type}};
        for (const auto &kind : kinds) {
            std::unique_ptr<QGraphicsItem> sample(AbstractGraphicsScene::graphicsItem(0, kind.second, true));
            const QStringList ids = editableIds(dynamic_cast<AbstractGraphicsProperty *>(sample.get()));
            QVERIFY(!ids.isEmpty());
            for (const QString &id : ids)
                QTest::addRow("%s %s", kind.first, qPrintable(id)) << kind.second << id;
        }
    }

    void setProperty()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        Board b;
        QGraphicsItem *item = type == GroupItem::Type ? static_cast<QGraphicsItem *>(
                                  b.addGroup(QPointF(5, 5), {QRectF(10, 10, 20, 20), QRectF(40, 10, 20, 20)}))
                                                      : b.add(type, QRectF(10, 20, 60, 40));
        auto *properties = dynamic_cast<AbstractGraphicsProperty *>(item);
        QVERIFY(properties);
        const Property *property = findProperty(properties, id);
        QVERIFY(property);
        const QVariant value = ItemSamples::otherValue(property, properties->propertyValue(id));
        const QVariantMap before = ItemSamples::propertySnapshot(item);
        const QPointF pos = item->pos();

        b.stack.push(new CommandSetProperty(properties, id, value, nullptr));
        const QVariantMap after = ItemSamples::propertySnapshot(item);
        QVERIFY2(after.value(id) != before.value(id), "the push changes the property");
        b.stack.undo();
        QCOMPARE(ItemSamples::propertySnapshot(item), before);
        QCOMPARE(item->pos(), pos);
        b.stack.redo();
        QCOMPARE(ItemSamples::propertySnapshot(item), after);
    }

    void setLock_data()
    {
        QTest::addColumn<bool>("group");
        QTest::addColumn<bool>("initial");
        QTest::newRow("lock item") << false << false;
        QTest::newRow("unlock item") << false << true;
        QTest::newRow("lock group") << true << false;
        QTest::newRow("unlock group") << true << true;
    }

    void setLock()
    {
        QFETCH(bool, group);
        QFETCH(bool, initial);
        Board b;
        QGraphicsItem *item = group
            ? static_cast<QGraphicsItem *>(b.addGroup(QPointF(), {QRectF(0, 0, 10, 10)}))
            : b.add(QRectF(0, 0, 10, 10));
        auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item);
        utility->setLock(initial);
        auto check = [&](bool locked) {
            QCOMPARE(utility->islocked(), locked);
            // A locked item must not follow the mouse.
            QCOMPARE(bool(item->flags() & QGraphicsItem::ItemIsMovable), !locked);
        };

        b.stack.push(new CommandSetLock(utility, !initial, nullptr));
        check(!initial);
        b.stack.undo();
        check(initial);
        b.stack.redo();
        check(!initial);
    }

    void createGroup()
    {
        Board b;
        GraphicsItem *m1 = b.add(QRectF(10, 10, 20, 20));
        GraphicsItem *m2 = b.add(QRectF(50, 15, 20, 20));
        GraphicsItem *outside = b.add(QRectF(200, 200, 20, 20));
        const QList<QGraphicsItem *> members {m1, m2};
        const QList<QPointF> positions = scenePositions(members);
        auto *group = b.keep(new GroupItem);

        b.stack.push(new CommandCreateGroup(&b.scene, group, members, nullptr));
        QCOMPARE(group->scene(), &b.scene);
        QCOMPARE(asSet(group->childItems()), asSet(members));
        QCOMPARE(scenePositions(members), positions);
        QCOMPARE(asSet(AbstractGraphicsScene::noParentFilter(b.scene.items())), asSet({group, outside}));

        // Undo must not touch the selection: one member selected, one not.
        m1->setSelected(true);
        m2->setSelected(false);
        b.stack.undo();
        QVERIFY(!group->scene());
        QVERIFY(group->childItems().isEmpty());
        for (QGraphicsItem *m : members) {
            QVERIFY(!m->parentItem());
            QCOMPARE(m->scene(), &b.scene);
        }
        QCOMPARE(scenePositions(members), positions);
        QVERIFY(m1->isSelected());
        QVERIFY(!m2->isSelected());

        b.stack.redo();
        QCOMPARE(group->scene(), &b.scene);
        QCOMPARE(asSet(group->childItems()), asSet(members));
        QCOMPARE(scenePositions(members), positions);
        QVERIFY(!outside->parentItem());
    }

    void destroyGroup()
    {
        Board b;
        GroupItem *group = b.addGroup(
            QPointF(100, 50), {QRectF(10, 10, 20, 20), QRectF(40, 10, 20, 20), QRectF(70, 60, 20, 20)});
        const QList<QGraphicsItem *> members = group->childItems();
        QCOMPARE(members.size(), 3);
        const QList<QPointF> positions = scenePositions(members);
        GraphicsItem *outside = b.add(QRectF(300, 300, 20, 20));

        b.stack.push(new CommandDestroyGroup(&b.scene, group, nullptr));
        QVERIFY(!group->scene());
        QVERIFY(group->childItems().isEmpty());
        for (QGraphicsItem *m : members) {
            QVERIFY(!m->parentItem());
            QCOMPARE(m->scene(), &b.scene);
            QVERIFY(m->isSelected());
        }
        QCOMPARE(scenePositions(members), positions);

        // Another selected item must not be drawn into the group by undo.
        outside->setSelected(true);
        b.stack.undo();
        QCOMPARE(group->scene(), &b.scene);
        QCOMPARE(asSet(group->childItems()), asSet(members));
        QCOMPARE(group->childItems().size(), 3);
        QVERIFY(!outside->parentItem());
        QCOMPARE(scenePositions(members), positions);

        for (QGraphicsItem *m : members)
            m->setSelected(false);
        b.stack.redo();
        QVERIFY(!group->scene());
        for (QGraphicsItem *m : members) {
            QVERIFY(!m->parentItem());
            QVERIFY(m->isSelected());
        }
        QCOMPARE(scenePositions(members), positions);
    }

    // Each row: the items in insertion order (lowest first), which one the command acts on,
    // and the stacking order (indices, lowest first) and full repaint after redo and undo.
    void stacking_data()
    {
        QTest::addColumn<QList<QRectF>>("layout");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("op");
        QTest::addColumn<QList<int>>("afterRedo");
        QTest::addColumn<bool>("redoRepaints");
        QTest::addColumn<QList<int>>("afterUndo");
        QTest::addColumn<bool>("undoRepaints");

        const QRectF item(0, 0, 50, 50);
        const QRectF overlapping(30, 30, 50, 50);
        const QRectF overlapping2(-20, 10, 40, 40);
        const QRectF far1(200, 0, 50, 50);
        const QRectF far2(400, 0, 50, 50);
        const QRectF far3(600, 0, 50, 50);

        // P1, item, P2, P3: only P3 overlaps; the item passes P3 but stays below P2.
        QTest::newRow("raise past nearest overlapping")
            << QList<QRectF> {far1, item, far2, overlapping} << 1 << int(Raise) << QList<int> {0, 3, 1, 2}
            << true << QList<int> {0, 1, 3, 2} << true;
        QTest::newRow("raise passes only the nearest of two")
            << QList<QRectF> {item, overlapping, overlapping2} << 0 << int(Raise) << QList<int> {1, 0, 2}
            << true << QList<int> {0, 1, 2} << true;
        // Already on top: nothing happens; its undo still lowers below the overlapping item.
        QTest::newRow("raise topmost") << QList<QRectF> {overlapping, item} << 1 << int(Raise)
                                       << QList<int> {0, 1} << false << QList<int> {1, 0} << true;
        QTest::newRow("raise overlapping nothing")
            << QList<QRectF> {far1, item, far2} << 1 << int(Raise) << QList<int> {0, 1, 2} << false
            << QList<int> {0, 1, 2} << false;
        // P1, P2, item: only P1 overlaps; the item goes below P1 and so below P2 as well.
        QTest::newRow("lower below nearest overlapping")
            << QList<QRectF> {overlapping, far1, item} << 2 << int(Lower) << QList<int> {2, 0, 1} << true
            << QList<int> {0, 2, 1} << true;
        QTest::newRow("lower passes only the nearest of two")
            << QList<QRectF> {overlapping, overlapping2, far1, item} << 3 << int(Lower)
            << QList<int> {0, 3, 1, 2} << true << QList<int> {0, 1, 3, 2} << true;
        QTest::newRow("lower lowest") << QList<QRectF> {item, overlapping} << 0 << int(Lower)
                                      << QList<int> {0, 1} << true << QList<int> {1, 0} << true;
        QTest::newRow("lower overlapping nothing")
            << QList<QRectF> {far1, item, far2} << 1 << int(Lower) << QList<int> {0, 1, 2} << false
            << QList<int> {0, 1, 2} << false;
        // Front and back ignore overlaps.
        QTest::newRow("bring to front") << QList<QRectF> {far1, item, far2, far3} << 1 << int(Front)
                                        << QList<int> {0, 2, 3, 1} << true << QList<int> {1, 0, 2, 3} << true;
        QTest::newRow("bring topmost to front")
            << QList<QRectF> {far1, far2, item} << 2 << int(Front) << QList<int> {0, 1, 2} << true
            << QList<int> {2, 0, 1} << true;
        QTest::newRow("send to back") << QList<QRectF> {far1, far2, item, overlapping} << 2 << int(Back)
                                      << QList<int> {2, 0, 1, 3} << true << QList<int> {0, 1, 3, 2} << true;
        QTest::newRow("send lowest to back") << QList<QRectF> {item, far1, far2} << 0 << int(Back)
                                             << QList<int> {0, 1, 2} << true << QList<int> {1, 2, 0} << true;
    }

    void stacking()
    {
        QFETCH(QList<QRectF>, layout);
        QFETCH(int, target);
        QFETCH(int, op);
        QFETCH(QList<int>, afterRedo);
        QFETCH(bool, redoRepaints);
        QFETCH(QList<int>, afterUndo);
        QFETCH(bool, undoRepaints);
        Board b;
        QList<QGraphicsItem *> items;
        for (const QRectF &r : layout)
            items << b.add(r);
        QList<int> initial;
        for (int i = 0; i < items.size(); ++i)
            initial << i;
        QCOMPARE(b.stacking(items), initial);

        QCOMPARE(b.repaintsEverything([&] { b.stack.push(stackCommand(op, items.at(target))); }),
            int(redoRepaints));
        QCOMPARE(b.stacking(items), afterRedo);
        QCOMPARE(b.repaintsEverything([&] { b.stack.undo(); }), int(undoRepaints));
        QCOMPARE(b.stacking(items), afterUndo);
        // Z values are never used for stacking.
        for (QGraphicsItem *i : qAsConst(items))
            QCOMPARE(i->zValue(), 0.0);
    }

    void stackingInsideGroup_data()
    {
        QTest::addColumn<int>("op");
        QTest::newRow("raise") << int(Raise);
        QTest::newRow("lower") << int(Lower);
        QTest::newRow("bring to front") << int(Front);
        QTest::newRow("send to back") << int(Back);
    }

    // A group stacks as a whole; its members are not restacked on their own.
    void stackingInsideGroup()
    {
        QFETCH(int, op);
        Board b;
        GraphicsItem *below = b.add(QRectF(0, 0, 50, 50));
        GroupItem *group = b.addGroup(QPointF(), {QRectF(20, 20, 50, 50), QRectF(40, 40, 50, 50)});
        GraphicsItem *above = b.add(QRectF(30, 30, 50, 50));
        const QList<QGraphicsItem *> topLevel {below, group, above};
        const QList<QGraphicsItem *> members = group->childItems();
        QCOMPARE(b.stacking(topLevel), (QList<int> {0, 1, 2}));

        for (QGraphicsItem *member : members) {
            b.stack.push(stackCommand(op, member));
            QCOMPARE(b.stacking(topLevel), (QList<int> {0, 1, 2}));
            QCOMPARE(group->childItems(), members);
            b.stack.undo();
            QCOMPARE(b.stacking(topLevel), (QList<int> {0, 1, 2}));
            QCOMPARE(group->childItems(), members);
        }
    }

    // A whole group raised past an overlapping item, as the scene does with a selected group.
    void stackingOfGroup()
    {
        Board b;
        GroupItem *group = b.addGroup(QPointF(), {QRectF(0, 0, 50, 50)});
        GraphicsItem *overlapping = b.add(QRectF(30, 30, 50, 50));
        GraphicsItem *far = b.add(QRectF(500, 0, 50, 50));
        const QList<QGraphicsItem *> items {group, overlapping, far};

        b.stack.push(new CommandLayerUpper(group, nullptr));
        QCOMPARE(b.stacking(items), (QList<int> {1, 0, 2}));
        b.stack.undo();
        QCOMPARE(b.stacking(items), (QList<int> {0, 1, 2}));
    }

    void largeMacro_data()
    {
        QTest::addColumn<bool>("remove");
        QTest::newRow("move") << false;
        QTest::newRow("remove") << true;
    }

    // One undo step of 10 000 commands, as a move or delete of a large selection makes.
    void largeMacro()
    {
        QFETCH(bool, remove);
        constexpr int Count = 10000;
        Board b;
        QList<QGraphicsItem *> items;
        items.reserve(Count);
        for (int i = 0; i < Count; ++i)
            items << b.add(QRectF((i % 100) * 30, (i / 100) * 30, 20, 20));
        QList<QPointF> start;
        for (QGraphicsItem *item : qAsConst(items))
            start << item->pos();
        auto positionsAre = [&](const QPointF &offset) {
            for (int i = 0; i < Count; ++i) {
                if (items.at(i)->pos() != start.at(i) + offset)
                    return false;
            }
            return true;
        };
        auto inScene = [&](bool in) {
            for (QGraphicsItem *item : qAsConst(items)) {
                if ((item->scene() == &b.scene) != in)
                    return false;
            }
            return true;
        };
        const QPointF offset = remove ? QPointF() : QPointF(5, -2);

        QElapsedTimer timer;
        timer.start();
        b.stack.beginMacro(remove ? QStringLiteral("remove") : QStringLiteral("move"));
        for (QGraphicsItem *item : qAsConst(items)) {
            if (remove)
                b.stack.push(new CommandRemoveItem(&b.scene, item, nullptr));
            else
                b.stack.push(new CommandMoveBy(item, offset.x(), offset.y(), nullptr));
        }
        b.stack.endMacro();
        QCOMPARE(b.stack.count(), 1);
        QVERIFY(positionsAre(offset));
        QVERIFY(inScene(!remove));
        QCOMPARE(b.scene.items().size(), remove ? 0 : Count);

        b.stack.undo();
        QVERIFY(positionsAre(QPointF()));
        QVERIFY(inScene(true));
        QCOMPARE(b.scene.items().size(), Count);

        b.stack.redo();
        QVERIFY(positionsAre(offset));
        QVERIFY(inScene(!remove));
        // About a tenth of a second here; work that grows with the scene in every command
        // would take many seconds.
        const qint64 elapsed = timer.elapsed();
        QVERIFY2(elapsed < 5000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
