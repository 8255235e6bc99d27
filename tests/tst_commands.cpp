// The undo commands on a real undo stack and a real scene: what a push changes, and that
// undo and redo put back exactly what was there, including the stacking order. Geometry and
// lock commands run through the scene's own edits in tst_scene and tst_view.
#include "abstractgraphicsscene.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/commands.h"
#include "testsupport.h"

#include <QGraphicsRectItem>
#include <QUndoStack>
#include <QtTest>
#include <functional>

namespace {

// Fixed, and larger than anything the tests draw, so that a repaint of the whole scene
// can be told apart from the repaint of single items.
const QRectF SceneArea(-1000, -1000, 4000, 4000);

// Counts its own destruction, to show that no command deletes an item.
struct WatchedItem : QGraphicsRectItem
{
    int *destroyed = nullptr;
    ~WatchedItem() override { ++*destroyed; }
};

QList<QPointF> scenePositions(const QList<QGraphicsItem *> &items)
{
    QList<QPointF> positions;
    for (const QGraphicsItem *item : items)
        positions << item->scenePos();
    return positions;
}

// A scene with an undo stack like a document's. Items made here are freed at the end
// whether or not a command left them in the scene.
struct Board
{
    AbstractGraphicsScene scene;
    QUndoStack stack;
    QList<QGraphicsItem *> made;

    Board() { scene.setSceneRect(SceneArea); }
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

    template<typename T> T *keep(T *item)
    {
        made << item;
        return item;
    }

    GraphicsItem *add(const QRectF &rect, int type = ItemKind::Rectangle)
    {
        GraphicsItem *item = keep(ItemSamples::create(type, rect));
        scene.addItem(item);
        return item;
    }

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

    // Pushes the command; its undo and redo must give back the scene before and after exactly.
    bool pushed(QUndoCommand *command)
    {
        return ItemSamples::undoRedoRestores(stack, scene, [&] { stack.push(command); });
    }

    // Top-level items, lowest first, as indices into `items` (-1 for any other item).
    QList<int> stacking(const QList<QGraphicsItem *> &items) const
    {
        QList<int> order;
        for (QGraphicsItem *item : AbstractGraphicsScene::noParentFilter(scene.items(Qt::AscendingOrder)))
            order << items.indexOf(item);
        return order;
    }

    // Whether running `action` makes the scene repaint everything: 1 if so, 0 if not, -1 when
    // no change was reported at all. The scene reports changes when control returns to the event
    // loop: those from before go first, and a small marker update afterwards makes sure that
    // there is a report to wait for.
    int repaintsEverything(const std::function<void()> &action)
    {
        QCoreApplication::processEvents();
        QSignalSpy spy(&scene, &QGraphicsScene::changed);
        action();
        scene.update(QRectF(SceneArea.topLeft(), QSizeF(1, 1)));
        if (!spy.wait(5000))
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

// Raise, lower, bring to front, send to back.
using StackCommand = QUndoCommand *(*)(QGraphicsItem *);
const StackCommand StackCommands[]
    = {[](QGraphicsItem *i) -> QUndoCommand * { return new CommandLayerUpper(i, nullptr); },
        [](QGraphicsItem *i) -> QUndoCommand * { return new CommandLayerLower(i, nullptr); },
        [](QGraphicsItem *i) -> QUndoCommand * { return new CommandBringToFront(i, nullptr); },
        [](QGraphicsItem *i) -> QUndoCommand * { return new CommandSendToBack(i, nullptr); }};
constexpr int Raise = 0, Lower = 1, Front = 2, Back = 3;

// Items in insertion order (lowest first), which one the command acts on, and the stacking
// order (indices, lowest first) and full repaint after redo.
struct StackCase
{
    QList<QRectF> layout;
    int target, op;
    QList<int> afterRedo;
    bool redoRepaints;
};

} // namespace

Q_DECLARE_METATYPE(StackCase)

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("commands"); }

    // Membership follows the command, and the item outlives both the scene and the commands.
    void addAndRemove()
    {
        for (bool add : {true, false}) {
            int destroyed = 0;
            auto *item = new WatchedItem;
            item->destroyed = &destroyed;
            {
                Board b;
                b.keep(item);
                b.add(QRectF(100, 100, 10, 10));
                if (!add)
                    b.scene.addItem(item);
                QVERIFY(b.pushed(add ? static_cast<QUndoCommand *>(new CommandAddItem(&b.scene, item, nullptr))
                                     : new CommandRemoveItem(&b.scene, item, nullptr)));
                QCOMPARE(item->scene(), add ? &b.scene : nullptr);
                // Leave the item outside the scene and drop every command.
                if (item->scene())
                    b.stack.undo();
                b.stack.clear();
                QCOMPARE(destroyed, 0);
            }
            QCOMPARE(destroyed, 1); // Board frees what no scene holds
        }
    }

    // Every editable property of a group, each pushed, undone and redone on its own (an item's
    // are among tst_scene's random edits).
    void setPropertyOfAGroup()
    {
        Board b;
        GroupItem *group = b.addGroup(QPointF(5, 5), {QRectF(10, 10, 20, 20), QRectF(40, 10, 20, 20)});
        int edited = 0;
        for (const QList<Property *> &list : group->properties()) {
            for (const Property *p : list) {
                if (!p->isEditable())
                    continue;
                const QVariant before = group->propertyValue(p->id());
                const QVariant value = ItemSamples::otherValue(p, before);
                QVERIFY2(b.pushed(new CommandSetProperty(group, p->id(), value, nullptr)), qPrintable(p->id()));
                QVERIFY2(group->propertyValue(p->id()) != before, qPrintable(p->id()));
                ++edited;
            }
        }
        QVERIFY(edited > 0);
    }

    // Grouping and ungrouping keep the members where they are; undo changes no selection and
    // draws no other selected item into the group.
    void groupAndUngroup()
    {
        Board b;
        const QList<QGraphicsItem *> loose{b.add(QRectF(10, 10, 20, 20)), b.add(QRectF(50, 15, 20, 20))};
        GroupItem *formed = b.keep(new GroupItem);
        GroupItem *old = b.addGroup(QPointF(100, 50), {QRectF(10, 10, 20, 20), QRectF(70, 60, 20, 20)});
        const QList<QGraphicsItem *> members = old->childItems();
        const QList<QPointF> positions = scenePositions(loose + members);
        GraphicsItem *outside = b.add(QRectF(300, 300, 20, 20));

        QVERIFY(b.pushed(new CommandCreateGroup(&b.scene, formed, loose, nullptr)));
        QVERIFY(b.pushed(new CommandDestroyGroup(&b.scene, old, nullptr)));
        QCOMPARE(formed->childItems(), loose);
        QVERIFY(!old->scene() && old->childItems().isEmpty());
        const QList<QGraphicsItem *> topLevel = AbstractGraphicsScene::noParentFilter(b.scene.items());
        QCOMPARE(QSet<QGraphicsItem *>(topLevel.cbegin(), topLevel.cend()),
            (QSet<QGraphicsItem *>{formed, members[0], members[1], outside}));
        QCOMPARE(scenePositions(loose + members), positions);
        QVERIFY(members[0]->isSelected() && members[1]->isSelected() && !outside->isSelected());

        members[1]->setSelected(false);
        outside->setSelected(true);
        b.stack.undo();
        QCOMPARE(old->childItems(), members);
        QVERIFY(members[0]->isSelected() && !members[1]->isSelected());
        loose[0]->setSelected(true);
        loose[1]->setSelected(false);
        b.stack.undo();
        QVERIFY(loose[0]->isSelected() && !loose[1]->isSelected() && !formed->scene());
        QCOMPARE(scenePositions(loose + members), positions);
    }

    void stacking_data()
    {
        QTest::addColumn<StackCase>("c");
        const QRectF item(0, 0, 50, 50), over(30, 30, 50, 50), over2(-20, 10, 40, 40);
        const QRectF far1(200, 0, 50, 50), far2(400, 0, 50, 50), far3(600, 0, 50, 50);
        // Item, P1, P2, P3: P2 and P3 overlap; only P2 goes under the item, P1 stays above.
        QTest::newRow("raise past the nearest overlapping")
            << StackCase{{item, far1, over, over2}, 0, Raise, {2, 0, 1, 3}, true};
        // Already on top: nothing happens.
        QTest::newRow("raise topmost") << StackCase{{over, item}, 1, Raise, {0, 1}, false};
        QTest::newRow("raise overlapping nothing") << StackCase{{far1, item, far2}, 1, Raise, {0, 1, 2}, false};
        // P1, P2, P3, item: P1 and P2 overlap; the item goes below P2 and so below P3 as well.
        QTest::newRow("lower below the nearest overlapping")
            << StackCase{{over, over2, far1, item}, 3, Lower, {0, 3, 1, 2}, true};
        QTest::newRow("lower lowest") << StackCase{{item, over}, 0, Lower, {0, 1}, true};
        QTest::newRow("lower overlapping nothing") << StackCase{{far1, item, far2}, 1, Lower, {0, 1, 2}, false};
        // Front and back ignore overlaps.
        QTest::newRow("bring to front") << StackCase{{far1, item, far2, far3}, 1, Front, {0, 2, 3, 1}, true};
        QTest::newRow("send to back") << StackCase{{far1, far2, item, over}, 2, Back, {2, 0, 1, 3}, true};
        QTest::newRow("send lowest to back") << StackCase{{item, far1, far2}, 0, Back, {0, 1, 2}, true};
    }

    void stacking()
    {
        QFETCH(StackCase, c);
        Board b;
        QList<QGraphicsItem *> items;
        QList<int> initial;
        for (const QRectF &r : c.layout) {
            initial << items.size();
            items << b.add(r);
        }
        QCOMPARE(
            b.repaintsEverything([&] { b.stack.push(StackCommands[c.op](items.at(c.target))); }), int(c.redoRepaints));
        QCOMPARE(b.stacking(items), c.afterRedo);
        // Undo puts back the order before, exactly, repainting only when that is a change.
        QCOMPARE(b.repaintsEverything([&] { b.stack.undo(); }), int(c.afterRedo != initial));
        QCOMPARE(b.stacking(items), initial);
        b.stack.redo();
        QCOMPARE(b.stacking(items), c.afterRedo);
        // Z values are never used for stacking.
        for (QGraphicsItem *i : qAsConst(items))
            QCOMPARE(i->zValue(), 0.0);
    }

    // A group stacks as a whole, past an overlapping item; its members are not restacked on
    // their own.
    void stackingOfGroups()
    {
        Board b;
        GraphicsItem *below = b.add(QRectF(0, 0, 50, 50));
        GroupItem *group = b.addGroup(QPointF(), {QRectF(20, 20, 50, 50), QRectF(40, 40, 50, 50)});
        GraphicsItem *above = b.add(QRectF(30, 30, 50, 50));
        const QList<QVariantList> before = ItemSamples::describe(b.scene);
        for (StackCommand command : StackCommands) {
            for (QGraphicsItem *member : group->childItems()) {
                QVERIFY(b.pushed(command(member)));
                QCOMPARE(ItemSamples::describe(b.scene), before);
            }
        }
        QVERIFY(b.pushed(StackCommands[Raise](group)));
        QCOMPARE(b.stacking({below, group, above}), (QList<int>{0, 2, 1}));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
