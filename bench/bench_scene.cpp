// Editing 10 000 selected items: the "move" macro a drag leaves behind, its undo and redo,
// delete and its undo, and arrow-key moves, each beside a plain loop over the same items.
#include "document/graphicsview.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "scene/commands.h"
#include "scene/editorstate.h"
#include "scene/scene.h"

#include <QKeyEvent>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

namespace {

constexpr int Count = 10000;

// A document window holding Count selected symbols, shown, polished and indexed.
struct Document
{
    Document()
    {
        DrawingDefaults d;
        d.penWidth = 1;
        d.penColor = QColor(255, 255, 0);
        d.penStyle = 1;
        view.resize(1200, 800);
        view.show();
        Scene *scene = view.documentScene();
        for (int i = 0; i < Count; ++i) {
            const QPointF at((i % 100) * 19.0, (i / 100) * 10.0);
            auto *item = static_cast<GraphicsItem *>(Scene::graphicsItem(0, i % 2 ? 0x10008 : 0x10018, true));
            item->createFromPoints(&d, at, at + QPointF(16, 8), scene);
            scene->addItem(item);
            item->setSelected(true);
        }
        QCoreApplication::processEvents();
        scene->items(QPointF(1, 1));
    }
    Scene *scene() { return view.documentScene(); }
    GraphicsView view;
};

} // namespace

class BenchScene : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("PLOTWRIGHT_PROJECT_DIR", m_dir.path().toLocal8Bit());
        EditorState::setCurrentTool(EditorState::SelectionTool);
    }

    void baselineMoveByLoop()
    {
        Document doc;
        const QList<QGraphicsItem *> items = doc.scene()->selectedItems();
        QBENCHMARK {
            for (QGraphicsItem *item : items)
                item->moveBy(1, 0);
        }
    }

    // What the release after a drag pushes: one CommandSetPos per selected item.
    void moveMacroAfterDrag()
    {
        Document doc;
        Scene *scene = doc.scene();
        const QList<QGraphicsItem *> items = scene->selectedItems();
        QBENCHMARK {
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
        QBENCHMARK {
            scene->undoStack()->undo();
            scene->undoStack()->redo();
        }
    }

    void arrowKeyMove()
    {
        Document doc;
        doc.view.setFocus();
        QBENCHMARK {
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
        QBENCHMARK {
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
        QBENCHMARK {
            for (QGraphicsItem *item : selection)
                item->setSelected(true);
            scene->remove();
            scene->undoStack()->undo();
            scene->items(QPointF(1, 1));
        }
        QCOMPARE(scene->items().size(), Count);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(BenchScene)
#include "bench_scene.moc"
