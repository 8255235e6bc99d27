// Editing 10 000 selected items in a shown document window: copy and paste (and undoing
// the paste), the "move" macro a drag leaves behind with its undo and redo, arrow-key moves,
// delete and its undo, the six alignments and the two spacings (each with its undo), and
// zooming the view that shows them all. Each beside a baseline in the same run: the bare item
// encoding, loading and adding without commands, a plain moveBy loop there and back, a plain
// remove-and-add loop, and repainting the view unzoomed. Then stacking at 10 000 and 100 000
// items, one step at a time as the user takes them: bring to front and send to back, delete of
// a shuffled half, grouping a shuffled half and ungrouping it, each with its undo; beside every
// top-level item taken out and given back, and one stackBefore() across the stacking list.
#include "benchsupport.h"
#include "document/graphicsview.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "scene/commands.h"
#include "scene/editorstate.h"
#include "scene/scene.h"

#include <QClipboard>
#include <QDataStream>
#include <QKeyEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>

namespace {

constexpr int Count = 10000;

// A focused document window whose view shows all of its items, selected or not.
struct Document
{
    explicit Document(bool selected = true, int count = Count)
    {
        Scene *scene = view.documentScene();
        const auto items = BenchSupport::addItems(
            *scene, count, {ItemKind::Rectangle, ItemKind::Breaker}, {100, QSizeF(19, 10), QSizeF(16, 8), QPointF()});
        for (GraphicsItem *item : items)
            item->setSelected(selected);
        view.resize(1200, 800);
        view.zoomOut(50);
        view.show();
        if (!QTest::qWaitForWindowActive(&view))
            qWarning("the document window did not become active");
        view.setFocus();
        QCoreApplication::processEvents();
        scene->items(QPointF(1, 1));
    }
    Scene *scene() { return view.documentScene(); }
    QUndoStack *stack() { return scene()->undoStack(); }
    // The top-level items, topmost first.
    QList<QGraphicsItem *> stacking() { return Scene::noParentFilter(scene()->items(Qt::DescendingOrder)); }
    // What the event loop does between two user actions.
    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void select(const QList<QGraphicsItem *> &items)
    {
        scene()->clearSelection();
        for (QGraphicsItem *item : items)
            item->setSelected(true);
        settle();
    }
    QList<QGraphicsItem *> shuffledHalf()
    {
        QList<QGraphicsItem *> items = stacking();
        std::shuffle(items.begin(), items.end(), std::mt19937(7));
        return items.mid(0, items.size() / 2);
    }
    GraphicsView view;
};

} // namespace

class BenchEditing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("PLOTWRIGHT_PROJECT_DIR", m_dir.path().toLocal8Bit());
        EditorState::setCurrentTool(ItemKind::Pointer);
    }

    void baselineEncode()
    {
        Document doc;
        const QList<QGraphicsItem *> items = doc.scene()->items(Qt::AscendingOrder);
        QBENCHMARK
        {
            QByteArray bytes;
            QDataStream stream(&bytes, QIODevice::WriteOnly);
            doc.scene()->save(stream, items);
        }
    }

    void copy()
    {
        Document doc;
        QBENCHMARK
        {
            doc.scene()->copy();
        }
        QVERIFY(doc.scene()->canPaste());
    }

    // Paste and its undo beside loading and adding the same items without commands, and
    // removing them again. Removal comes after the event loop has indexed and polished the
    // pasted items, as it always has in the editor.
    void paste_data()
    {
        QTest::addColumn<bool>("plain");
        QTest::addColumn<bool>("remove");
        QTest::newRow("baseline load and add") << true << false;
        QTest::newRow("paste") << false << false;
        QTest::newRow("baseline remove") << true << true;
        QTest::newRow("undo paste") << false << true;
    }

    void paste()
    {
        QFETCH(bool, plain);
        QFETCH(bool, remove);
        Document doc;
        Scene *scene = doc.scene();
        scene->copy();
        QList<QGraphicsItem *> added;
        const auto add = [&] {
            if (!plain) {
                scene->paste(QPointF());
                return;
            }
            QDataStream stream(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("SCENE")));
            Scene::loadItems(stream, true, 0, Scene::CurrentVersion, added, nullptr, nullptr, nullptr);
            for (QGraphicsItem *item : qAsConst(added))
                scene->addItem(item);
        };
        if (!remove) {
            QBENCHMARK_ONCE
            {
                add();
            }
            QCOMPARE(scene->items().size(), 2 * Count);
            return;
        }
        add();
        QCoreApplication::processEvents();
        QBENCHMARK_ONCE
        {
            if (plain) {
                for (auto it = added.rbegin(); it != added.rend(); ++it)
                    scene->removeItem(*it);
            } else {
                scene->undoStack()->undo();
            }
        }
        QCOMPARE(scene->items().size(), Count);
    }

    void baselineMoveByLoop()
    {
        Document doc;
        const QList<QGraphicsItem *> items = doc.scene()->selectedItems();
        QBENCHMARK
        {
            for (QGraphicsItem *item : items)
                item->moveBy(1, 1);
            for (QGraphicsItem *item : items)
                item->moveBy(-1, -1);
        }
    }

    // What the release after a drag pushes: one CommandSetPos per selected item.
    void moveMacroAfterDrag()
    {
        Document doc;
        Scene *scene = doc.scene();
        const QList<QGraphicsItem *> items = scene->selectedItems();
        QBENCHMARK
        {
            scene->undoStack()->beginMacro(QStringLiteral("move"));
            for (QGraphicsItem *item : items)
                scene->undoStack()->push(new CommandSetPos(item, item->pos() - QPointF(5, 5), nullptr));
            scene->undoStack()->endMacro();
        }
    }

    void moveMacroUndoRedo()
    {
        Document doc;
        Scene *scene = doc.scene();
        for (QGraphicsItem *item : scene->selectedItems())
            item->moveBy(5, 5);
        scene->undoStack()->beginMacro(QStringLiteral("move"));
        for (QGraphicsItem *item : scene->selectedItems())
            scene->undoStack()->push(new CommandSetPos(item, item->pos() - QPointF(5, 5), nullptr));
        scene->undoStack()->endMacro();
        QBENCHMARK
        {
            scene->undoStack()->undo();
            scene->undoStack()->redo();
        }
    }

    void arrowKeyMove()
    {
        Document doc;
        QBENCHMARK
        {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            QCoreApplication::sendEvent(doc.scene(), &key);
        }
        QVERIFY(doc.scene()->undoStack()->count() > 0);
    }

    void baselineRemoveAddLoop()
    {
        Document doc;
        Scene *scene = doc.scene();
        const QList<QGraphicsItem *> items = Scene::noParentFilter(scene->items(Qt::DescendingOrder));
        QBENCHMARK
        {
            for (QGraphicsItem *item : items)
                scene->removeItem(item);
            for (auto it = items.rbegin(); it != items.rend(); ++it)
                scene->addItem(*it);
            scene->items(QPointF(1, 1));
        }
    }

    void removeAndUndo()
    {
        Document doc;
        Scene *scene = doc.scene();
        const QList<QGraphicsItem *> selection = scene->selectedItems();
        QBENCHMARK
        {
            for (QGraphicsItem *item : selection)
                item->setSelected(true);
            scene->remove();
            scene->undoStack()->undo();
            scene->items(QPointF(1, 1));
        }
        QCOMPARE(scene->items().size(), Count);
    }

    void alignment_data()
    {
        QTest::addColumn<int>("operation");
        const char *names[] = {"left", "right", "top", "bottom", "hcenter", "vcenter", "hcross", "vcross"};
        for (int i = 0; i < 8; ++i)
            QTest::newRow(names[i]) << i;
    }

    void alignment()
    {
        QFETCH(int, operation);
        void (Scene::*operations[])()
            = {&Scene::alignmentLeft, &Scene::alignmentRight, &Scene::alignmentTop, &Scene::alignmentBottom,
                &Scene::alignmentHCenter, &Scene::alignmentVCenter, &Scene::equalHCross, &Scene::equalVCross};
        Document doc;
        QVERIFY(doc.scene()->hasFocus());
        // With its undo, so that every round moves the items: a second alignment in a row
        // would find them in place already.
        QBENCHMARK
        {
            (doc.scene()->*operations[operation])();
            doc.scene()->undoStack()->undo();
        }
        QVERIFY(doc.scene()->undoStack()->count() > 0);
    }

    void baselineRepaint()
    {
        Document doc(false);
        QBENCHMARK
        {
            doc.view.viewport()->repaint();
        }
    }

    void zoomAndRepaint()
    {
        Document doc(false);
        bool in = true;
        QBENCHMARK
        {
            if (in)
                doc.view.zoomIn(10);
            else
                doc.view.zoomOut(10);
            in = !in;
            doc.view.viewport()->repaint();
        }
    }

    void stacking_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("script");
        // One letter per user action, the last one measured. m: select the middle item of the
        // stacking order, h: a shuffled half, t: the topmost item; f: bring to front, b: send to
        // back, d: delete, g: group, u: ungroup; z: undo, y: redo. Baselines: a, every top-level
        // item taken out and given back; s, one stackBefore() across the whole stacking list.
        const QPair<const char *, const char *> steps[]
            = {{"baseline take out and give back", "a"}, {"baseline one stackBefore", "s"}, {"bring to front", "mf"},
                {"undo bring to front", "mfz"}, {"send to back", "mb"}, {"undo send to back", "mbz"},
                {"delete half", "hd"}, {"undo delete", "hdz"}, {"redo delete", "hdzy"}, {"group half", "hg"},
                {"undo group", "hgz"}, {"ungroup", "hgtu"}, {"undo ungroup", "hgtuz"}};
        for (int count : {Count, 10 * Count}) {
            for (const auto &step : steps)
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(count).arg(step.first)))
                    << count << QByteArray(step.second);
        }
    }

    void stacking()
    {
        QFETCH(int, count);
        QFETCH(QByteArray, script);
        Document doc(false, count);
        QVERIFY(doc.scene()->hasFocus()); // grouping needs it
        Scene *scene = doc.scene();
        const QList<QGraphicsItem *> initial = doc.stacking();
        const QMap<char, std::function<void()>> actions{
            {'m', [&] { doc.select({doc.stacking().at(count / 2)}); }},
            {'h', [&] { doc.select(doc.shuffledHalf()); }},
            {'t', [&] { doc.select({doc.stacking().first()}); }},
            {'f', [&] { scene->bringToFront(); }},
            {'b', [&] { scene->sendToBack(); }},
            {'d', [&] { scene->remove(); }},
            {'g', [&] { scene->createGroup(); }},
            {'u', [&] { scene->destroyGroup(); }},
            {'z', [&] { doc.stack()->undo(); }},
            {'y', [&] { doc.stack()->redo(); }},
            {'a',
                [&] {
                    for (QGraphicsItem *item : initial)
                        scene->removeItem(item);
                    for (auto it = initial.crbegin(); it != initial.crend(); ++it)
                        scene->addItem(*it);
                    scene->items(QPointF());
                }},
            {'s', [&] { initial.first()->stackBefore(initial.last()); }},
        };
        for (int i = 0; i + 1 < script.size(); ++i) {
            actions[script.at(i)]();
            doc.settle();
        }
        QBENCHMARK_ONCE
        {
            actions[script.back()]();
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(BenchEditing)
#include "bench_editing.moc"
