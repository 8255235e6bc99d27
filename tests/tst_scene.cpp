// The scene under the mouse and keyboard of a real view: drawing, selecting, moving,
// resizing, arrow keys, delete, the context menus and the undo limit.
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/commands.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <memory>
#include <random>

namespace {

using Items = QList<QGraphicsItem *>;

enum StackingStep
{
    Front,
    Back,
    Delete,
    Paste,
    Group,
    Ungroup,
    Undo,
    Redo
};

QSet<QGraphicsItem *> asSet(const Items &items)
{
    return QSet<QGraphicsItem *>(items.cbegin(), items.cend());
}

} // namespace

Q_DECLARE_METATYPE(StackingWay)

class TestScene : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GraphicsView> m_view;
    Scene *scene() const { return m_view->documentScene(); }
    QUndoStack *stack() const { return scene()->undoStack(); }

    QPoint at(const QPointF &scenePos) const { return m_view->mapFromScene(scenePos); }

    GraphicsItem *addItem(int type, const QRectF &rect)
    {
        GraphicsItem *item = ItemSamples::create(type, rect);
        scene()->addItem(item);
        return item;
    }
    GroupItem *group(const Items &members) { return ItemSamples::groupOf(*scene(), members); }
    void key(int k, bool autoRepeat = false)
    {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(m_view->viewport(), &event);
    }
    QStringList contextMenuAt(const QPointF &p)
    {
        QStringList seen{QStringLiteral("<no menu>")};
        TestSupport::whenPopup(
            [&seen](QWidget *popup) {
                seen.clear();
                for (QAction *a : popup->actions())
                    seen << a->text();
                seen.removeAll(QString()); // the separators
                popup->close();
            },
            1500);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at(p), m_view->viewport()->mapToGlobal(at(p)));
        QApplication::sendEvent(m_view->viewport(), &event);
        TestSupport::cancelPendingModals();
        return seen;
    }

private slots:
    void initTestCase()
    {
        TestSupport::isolate("scene");
        EditorState::drawingDefaults() = ItemSamples::defaults();
        EditorState::drawingDefaults().lineEnd = 1;
    }

    void init()
    {
        m_view = std::make_unique<GraphicsView>();
        m_view->setAttribute(Qt::WA_DeleteOnClose, false);
        m_view->resize(1000, 700);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->centerOn(400, 300);
        EditorState::setCurrentTool(ItemKind::Pointer);
        QGuiApplication::clipboard()->clear();
        QApplication::setActiveWindow(m_view.get());
        m_view->setFocus();
        QTRY_VERIFY(scene()->hasFocus()); // grouping needs it
    }

    void cleanup() { m_view.reset(); }

    void drawing_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QPointF>("release"); // the press is at (300, 300)
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QRectF>("expected"); // itemRect of the new item
        const int rectangle = ItemKind::Rectangle, line = ItemKind::Line;
        QTest::newRow("line") << line << QPointF(250, 380) << false << QRectF(250, 300, 50, 80);
        QTest::newRow("square right-up, extends down")
            << rectangle << QPointF(360, 280) << true << QRectF(300, 300, 60, 60);
        QTest::newRow("square left-down, taller") << rectangle << QPointF(290, 380) << true << QRectF(300, 300, 80, 80);
        QTest::newRow("line diagonal goes vertical") << line << QPointF(350, 350) << true << QRectF(300, 300, 0, 50);
        const QSizeF size = ItemKind::find(ItemKind::Breaker)->clickSize;
        QTest::newRow("a click places a symbol")
            << int(ItemKind::Breaker) << QPointF(300, 300) << false
            << QRectF(QPointF(300, 300) - QPointF(size.width(), size.height()) / 2, size);
        QTest::newRow("a click draws no shape") << rectangle << QPointF(300, 300) << false << QRectF();
    }

    // A drag draws one unselected item with the drawing defaults (a line's end here, the pen in
    // tst_items) and a name of its own, as one undo step; Shift makes a square, or a horizontal or
    // vertical line. A click places a symbol at its click size, and no shape. (A plain rectangle
    // and a line gone horizontal: tst_grid's drawing on the grid.)
    void drawing()
    {
        QFETCH(int, tool);
        QFETCH(QPointF, release);
        QFETCH(bool, shift);
        QFETCH(QRectF, expected);
        EditorState::setCurrentTool(tool);
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(), [&] {
            TestSupport::drag(*m_view, QPointF(300, 300), release, {}, shift ? Qt::ShiftModifier : Qt::NoModifier);
        }));
        QCOMPARE(scene()->items().size(), int(!expected.isNull()));
        if (expected.isNull())
            return;
        QCOMPARE(stack()->count(), 1);
        auto *item = dynamic_cast<GraphicsItem *>(scene()->items().first());
        QVERIFY(item && !item->isSelected() && !item->name().isEmpty());
        QCOMPARE(item->itemRect(), expected);
        QCOMPARE(item->propertyValue(QStringLiteral("终点")).toInt(), tool == ItemKind::Line ? 1 : 0);
    }

    // A click selects and pushes nothing; each drag, of all that is selected or of a handle,
    // is one undo step of its own. Locked, an item is still selected by a drag but neither moves
    // nor resizes; a handle dragged past the opposite corner flips the item, never inverts it.
    void clickSelectsAndEachGestureIsItsOwnStep()
    {
        GraphicsItem *a = addItem(ItemKind::Rectangle, QRectF(100, 100, 80, 60));
        GraphicsItem *b = addItem(ItemKind::Rectangle, QRectF(300, 100, 80, 60));
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, at(QPointF(140, 130)));
        QVERIFY(a->isSelected());
        QCOMPARE(stack()->count(), 0);
        b->setSelected(true);
        const auto gesture = [this](const QPointF &from, const QPointF &to) {
            return ItemSamples::undoRedoRestores(*stack(), *scene(), [&] { TestSupport::drag(*m_view, from, to); });
        };
        QVERIFY(gesture(QPointF(140, 130), QPointF(160, 150)));
        QCOMPARE(stack()->text(0), QStringLiteral("move"));
        QCOMPARE(b->pos(), QPointF(320, 120));
        b->setSelected(false);
        QVERIFY(gesture(QPointF(170, 160), QPointF(200, 170)));
        QVERIFY(gesture(QPointF(230, 190), QPointF(260, 220))); // the bottom-right handle
        QCOMPARE(stack()->count(), 3);
        QCOMPARE(a->itemRect(), QRectF(150, 130, 110, 90));
        QVERIFY(stack()->text(2).isEmpty()); // a lone resize, not a "move" macro
        a->setLock(true);
        scene()->clearSelection();
        TestSupport::drag(*m_view, QPointF(200, 170), QPointF(250, 240));
        TestSupport::drag(*m_view, QPointF(260, 220), QPointF(300, 320)); // the bottom-right handle
        QCOMPARE(a->itemRect(), QRectF(150, 130, 110, 90));
        QVERIFY(a->isSelected() && stack()->count() == 3);
        a->setLock(false);
        TestSupport::drag(*m_view, QPointF(150, 130), QPointF(300, 300)); // the top-left one
        QVERIFY(a->rect().width() >= 0 && a->rect().height() >= 0);
    }

    // Arrow keys move each selected top-level item, a locked one too, one step per press (a held
    // key as well), and delete removes them; a selected group member is left to its group. With
    // nothing selected nothing happens.
    void arrowKeysAndDelete()
    {
        GraphicsItem *a = addItem(ItemKind::Rectangle, QRectF(100, 100, 40, 40));
        GraphicsItem *locked = addItem(ItemKind::Rectangle, QRectF(200, 100, 40, 40));
        GraphicsItem *member = addItem(ItemKind::Rectangle, QRectF(300, 100, 40, 40));
        locked->setLock(true);
        group({member});
        for (GraphicsItem *item : {a, locked, member})
            item->setSelected(true);
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(), [this] {
            key(Qt::Key_Right);
            key(Qt::Key_Down, true);
            scene()->remove();
        }));
        QCOMPARE((QList<QPointF>{a->pos(), locked->pos(), member->scenePos()}),
            (QList<QPointF>{QPointF(101, 110), QPointF(201, 110), QPointF(300, 100)}));
        QCOMPARE(stack()->count(), 3);
        QVERIFY(!a->scene() && !locked->scene() && member->scene());
        scene()->clearSelection();
        key(Qt::Key_Left);
        scene()->remove();
        QCOMPARE(stack()->count(), 3);
        QCOMPARE(stack()->undoLimit(), 50); // a document keeps 50 steps
    }

    // Select all picks what a selection area of the scene rectangle picks, and nothing else:
    // items inside, across the edge, outside, a line whose box but not stroke reaches in, group
    // members, and one that cannot be selected.
    void selectAllMatchesTheSelectionArea()
    {
        const QRectF area = scene()->sceneRect();
        const QList<GraphicsItem *> items{
            addItem(ItemKind::Rectangle, QRectF(100, 100, 50, 30)),
            addItem(ItemKind::Rectangle, QRectF(area.right() - 20, 40, 50, 30)),
            addItem(ItemKind::Rectangle, QRectF(area.right() + 50, 40, 50, 30)),
            addItem(ItemKind::Line, QRectF(area.right() - 20, -40, 60, 60)),
            addItem(ItemKind::Breaker, QRectF(300, 300, 40, 40)),
        };
        group({addItem(ItemKind::Rectangle, QRectF(500, 500, 40, 40)),
            addItem(ItemKind::Rectangle, QRectF(area.right() - 10, 500, 40, 40))});
        items[4]->setFlag(QGraphicsItem::ItemIsSelectable, false);
        const auto selectedAfter = [this, &items](const std::function<void()> &select) {
            scene()->clearSelection();
            items[2]->setSelected(true); // outside: must lose its selection
            select();
            return asSet(scene()->selectedItems());
        };
        const QSet<QGraphicsItem *> expected = selectedAfter([this, area] {
            QPainterPath path;
            path.addRect(area);
            scene()->setSelectionArea(path, Qt::IntersectsItemShape, QTransform());
        });
        QVERIFY(expected.contains(items[0]) && expected.contains(items[1]) && !expected.contains(items[3]));
        QCOMPARE(selectedAfter([this] { scene()->selectAll(); }), expected);
    }

    void stackingSteps_data()
    {
        QTest::addColumn<int>("step");
        const char *names[] = {"bring to front", "send to back", "delete half", "paste half", "group half", "ungroup"};
        for (int step = Front; step <= Ungroup; ++step)
            QTest::newRow(names[step]) << step;
    }

    // A step on a few hundred items of three z values, one group among them, made by rebuilding
    // the top of the stacking order: it, its undo and its redo each make a few calls that walk
    // every item (one per item is quadratic) and send one selectionChanged() exactly when the
    // selection changed, and a restacked item keeps its focus. (That either way gives the same
    // scene: randomEditsUndoAndRedo; where a restacked item goes: tst_commands.)
    void stackingSteps()
    {
        QFETCH(int, step);
        stackingWay() = StackingWay::Rebuilt;
        const auto cheaper = qScopeGuard([] { stackingWay() = StackingWay::Cheaper; });
        const double zs[] = {-1, 0, 0, 2};
        for (int i = 0; i < 300; ++i)
            addItem(i % 3 ? ItemKind::Rectangle : ItemKind::Breaker, QRectF(i % 20 * 40, i / 20 * 30, 30 + i % 7, 20))
                ->setZValue(zs[i * 7 % 4]);
        const auto stacking = [this] { return Scene::noParentFilter(scene()->items(Qt::AscendingOrder)); };
        GroupItem *grouped = group(stacking().mid(100, 6));
        const Items before = stacking();
        QGraphicsItem *target = step == Ungroup ? grouped : before[150];
        Items chosen{target};
        if (step == Delete || step == Paste || step == Group) {
            for (int i = 1; i < before.size(); i += 2)
                chosen << before[i];
        }
        for (QGraphicsItem *item : chosen)
            item->setSelected(true);
        // To send it to back the scene has no focus and only remembers the item for when it gets
        // focus again.
        target->setFocus();
        if (step == Back)
            scene()->clearFocus();
        if (step == Paste)
            scene()->copy();
        const std::function<void()> actions[] = {[this] { scene()->bringToFront(); }, [this] { scene()->sendToBack(); },
            [this] { scene()->remove(); }, [this] { scene()->paste(QPointF()); }, [this] { scene()->createGroup(); },
            [this] { scene()->destroyGroup(); }, [this] { stack()->undo(); }, [this] { stack()->redo(); }};
        for (int action : {step, int(Undo), int(Redo)}) {
            const QSet<QGraphicsItem *> selected = asSet(scene()->selectedItems());
            QSignalSpy selectionSignals(scene(), &QGraphicsScene::selectionChanged);
            WalkingCalls::counted() = {};
            actions[action]();
            QVERIFY(WalkingCalls::counted().stackBefore <= 2 && WalkingCalls::counted().removeFromGroup <= 1);
            QCOMPARE(selectionSignals.count(), int(asSet(scene()->selectedItems()) != selected));
            // The selection stays, or (deleted) comes back with the items.
            if (step <= Back || (step == Delete && action == Undo))
                QCOMPARE(asSet(scene()->selectedItems()), asSet(chosen));
        }
        if (step == Front || step == Back) {
            QCOMPARE(scene()->hasFocus(), step == Front);
            scene()->setFocus();
            QCOMPARE(scene()->focusItem(), target);
        }
    }

    void contextMenus()
    {
        // Empty canvas: only with the pointer and "SCENE" data on the clipboard.
        QCOMPARE(contextMenuAt(QPointF(500, 500)), QStringList{QStringLiteral("<no menu>")});
        auto *data = new QMimeData;
        data->setData(QStringLiteral("SCENE"), QByteArray("x"));
        QGuiApplication::clipboard()->setMimeData(data);
        QCOMPARE(contextMenuAt(QPointF(500, 500)), (QStringList{"粘贴", "粘贴&&清除剪切板", "清除剪切板"}));
        EditorState::setCurrentTool(ItemKind::Rectangle);
        QCOMPARE(contextMenuAt(QPointF(500, 500)), QStringList{QStringLiteral("<no menu>")});
        EditorState::setCurrentTool(ItemKind::Pointer);

        GraphicsItem *a = addItem(ItemKind::Rectangle, QRectF(100, 100, 60, 60));
        a->setSelected(true);
        QCOMPARE(contextMenuAt(QPointF(130, 130)),
            (QStringList{"删除", "拷贝", "剪切", "粘贴", "锁定", "组合", "变量替换..."}));
        a->setLock(true);
        QVERIFY(contextMenuAt(QPointF(130, 130)).contains(QStringLiteral("解锁")));

        GroupItem *first = group({addItem(ItemKind::Rectangle, QRectF(300, 100, 60, 60))});
        scene()->clearSelection();
        first->setSelected(true);
        QCOMPARE(contextMenuAt(QPointF(330, 130)),
            (QStringList{"删除", "拷贝", "剪切", "粘贴", "锁定", "组合", "拆分", "导出...", "变量替换..."}));
        group({addItem(ItemKind::Rectangle, QRectF(500, 100, 60, 60))})->setSelected(true);
        a->setSelected(true);
        QCOMPARE(contextMenuAt(QPointF(330, 130)),
            (QStringList{"删除", "拷贝", "剪切", "粘贴", "锁定", "解锁", "组合", "拆分", "变量替换..."}));
    }

    // A picture offers its natural size, as one undo step of width and height.
    void actualSizeFromTheMenu()
    {
        const QString file = QDir(TestSupport::projectFolder()).filePath(QStringLiteral("pic.png"));
        QImage picture(37, 23, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(file));
        GraphicsItem *p = addItem(ItemKind::CustomSymbol, QRectF(300, 300, 100, 100));
        p->setPropertyValue(QStringLiteral("图符文件"), file);
        p->setSelected(true);
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(),
            [this] { TestSupport::chooseFromContextMenu(*m_view, QPointF(350, 350), QStringLiteral("实际大小")); }));
        QCOMPARE(p->itemRect(), QRectF(300, 300, 37, 23));
        QCOMPARE(stack()->text(0), QStringLiteral("adjustPerfectSize"));
    }

    // Random sequences of the user's edits, each one undo step: undoing them all gives back the
    // first document byte for byte, and redoing them all the last.
    void randomEditsUndoAndRedo_data()
    {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed : {11u, 29u, 47u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }

    void randomEditsUndoAndRedo()
    {
        QFETCH(unsigned, seed);
        stack()->setUndoLimit(0); // a document keeps 50 steps; this walks back over all of them
        const auto bytes = [this] { return ItemSamples::documentBytes(*scene()); };
        std::mt19937 random(seed);
        const auto below = [&random](int n) { return int(random() % unsigned(n)); };
        const auto somewhere = [&below] { return QPointF(40 + below(600), 40 + below(450)); };
        const int types[] = {ItemKind::Rectangle, ItemKind::Line, ItemKind::Breaker, ItemKind::PlainText,
            ItemKind::Disconnector, ItemKind::MainTransformer, ItemKind::Bar};
        using Restack = void (Scene::*)();
        const Restack restack[] = {&Scene::bringToFront, &Scene::sendToBack, &Scene::layerUpper, &Scene::layerLower};
        for (int i = 0; i < 8; ++i)
            addItem(types[i % 7], QRectF(somewhere(), QSizeF(30 + below(40), 20 + below(40))))->setZValue(i % 3 - 1);
        const QByteArray first = bytes();

        QByteArray before = first;
        for (int edit = 0; edit < 1000; ++edit) {
            const int steps = stack()->index();
            const QList<QGraphicsItem *> top = AbstractGraphicsScene::noParentFilter(scene()->items());
            scene()->clearSelection();
            for (QGraphicsItem *item : top)
                item->setSelected(below(3) == 0);
            auto *one = top.isEmpty() ? nullptr : dynamic_cast<GraphicsItem *>(top.at(below(top.size())));
            switch (top.size() > 60 ? 3 : below(10)) {
            case 0: { // draw
                const QPointF from = somewhere();
                EditorState::setCurrentTool(types[below(7)]);
                TestSupport::drag(*m_view, from, from + QPointF(20 + below(60), 20 + below(60)));
                EditorState::setCurrentTool(ItemKind::Pointer);
                break;
            }
            case 1: // move by arrow keys
                key(QList<int>{Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down}.at(below(4)));
                break;
            case 2: // resize by a handle, or move what lies there
                if (one) {
                    scene()->clearSelection();
                    one->setSelected(true);
                    const QPointF corner = one->mapToScene(one->rect().bottomRight());
                    TestSupport::drag(*m_view, corner, corner + QPointF(below(30) - 10, below(30) - 10));
                }
                break;
            case 3: scene()->remove(); break;
            case 4:
                scene()->copy();
                scene()->paste(somewhere());
                break;
            case 5: scene()->selectedItems().size() > 1 ? scene()->createGroup() : scene()->destroyGroup(); break;
            case 6: (scene()->*restack[below(4)])(); break;
            case 7: scene()->setLock(below(2) == 0); break;
            default: // a property
                if (one) {
                    QList<Property *> editable;
                    for (const QList<Property *> &list : one->properties())
                        std::copy_if(list.cbegin(), list.cend(), std::back_inserter(editable),
                            [](Property *p) { return p->isEditable(); });
                    const Property *p = editable.at(below(editable.size()));
                    stack()->push(new CommandSetProperty(
                        one, p->id(), ItemSamples::otherValue(p, one->propertyValue(p->id())), nullptr));
                }
                break;
            }
            // Each step on its own first, with either way of restacking many items: undo gives the
            // bytes before it and redo those after.
            if (stack()->index() == steps + 1) {
                const QByteArray after = bytes();
                for (StackingWay way : {StackingWay::OneByOne, StackingWay::Rebuilt, StackingWay::Cheaper}) {
                    stackingWay() = way;
                    stack()->undo();
                    QVERIFY2(bytes() == before,
                        qPrintable(QStringLiteral("undo of edit %1: %2").arg(edit).arg(stack()->text(steps))));
                    stack()->redo();
                    QVERIFY2(bytes() == after, qPrintable(QStringLiteral("redo of edit %1").arg(edit)));
                }
                before = after;
            }
        }
        const QByteArray last = bytes();
        QVERIFY2(stack()->count() > 500, qPrintable(QString::number(stack()->count())));
        QVERIFY(last != first);

        while (stack()->canUndo())
            stack()->undo();
        QCOMPARE(bytes(), first);
        while (stack()->canRedo())
            stack()->redo();
        QCOMPARE(bytes(), last);
    }
};

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
