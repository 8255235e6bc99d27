// Copy, cut and paste through the main window's Edit actions and the canvas menu, within one
// document and between two (which marks the target), and what foreign clipboard content does.
#include "app/plotwright.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QUndoStack>
#include <QtTest>
#include <memory>

namespace {

// Rectangles of the top-level items, bottom first.
QList<QRectF> topLevelRects(Scene *scene)
{
    QList<QRectF> rects;
    for (QGraphicsItem *item : Scene::noParentFilter(scene->items(Qt::AscendingOrder)))
        rects << dynamic_cast<AbstractGraphicsUtility *>(item)->itemRect();
    return rects;
}

QByteArray clipboardScene()
{
    return QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("SCENE"));
}

// Items and undo steps of the scene.
QString counts(Scene *scene)
{
    return QStringLiteral("%1 items, %2 steps").arg(scene->items().size()).arg(scene->undoStack()->count());
}

} // namespace

class TestClipboard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Plotwright> m_window;
    GraphicsView *m_first = nullptr;
    GraphicsView *m_second = nullptr;

    const Ui_PlotwrightClass &ui() const { return m_window->form(); }
    void activate(GraphicsView *view)
    {
        ui().mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(view->parent()));
    }
    GraphicsItem *add(GraphicsView *view, const QRectF &rect)
    {
        GraphicsItem *item = ItemSamples::create(ItemKind::Rectangle, rect);
        view->documentScene()->addItem(item);
        return item;
    }

private slots:
    void initTestCase()
    {
        TestSupport::isolate("clipboard");
        QVERIFY(TestSupport::writePlatform(1));
        CDataLink::Init();
        m_window = std::make_unique<Plotwright>();
        m_first = TestSupport::newGraph(*m_window);
        m_second = TestSupport::newGraph(*m_window);
        QVERIFY(m_first && m_second);
    }

    void cleanupTestCase() { TestSupport::writePlatform(-1); }

    void init()
    {
        QGuiApplication::clipboard()->clear();
        activate(m_first);
        m_first->documentScene()->clear();
        m_first->documentScene()->undoStack()->clear();
    }

    void pastesCascadeOrLandAtThePosition()
    {
        Scene *scene = m_first->documentScene();
        const QList<QRectF> copied{QRectF(100, 50, 40, 30), QRectF(150, 80, 20, 20)};
        for (const QRectF &rect : copied)
            add(m_first, rect)->setSelected(true);
        QVERIFY(!ui().action_Paste->isEnabled());
        ui().action_Copy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{QStringLiteral("SCENE")});
        QVERIFY(ui().action_Paste->isEnabled());

        // Without a position (and at exactly (0, 0)) each paste goes 10 further right; at a
        // position, the pasted set's top-left lands there and later pastes go on from it.
        // Copying with nothing selected neither replaces the clipboard nor resets the cascade.
        const QList<QPair<QPointF, QPointF>> steps{
            {{0, 0}, {10, 0}}, {{0, 0}, {20, 0}}, {{0, 0}, {30, 0}}, {{300, 300}, {200, 250}}, {{0, 0}, {210, 250}}};
        for (const auto &step : steps) {
            scene->items().first()->setSelected(true);
            if (step.first.isNull())
                ui().action_Paste->trigger();
            else
                scene->paste(step.first);
            QVERIFY(scene->selectedItems().isEmpty());
            QCOMPARE(topLevelRects(scene).mid(scene->items().size() - 2),
                (QList<QRectF>{copied[0].translated(step.second), copied[1].translated(step.second)}));
            ui().action_Copy->trigger();
        }
        QCOMPARE(counts(scene) + ", " + scene->undoStack()->text(4), QStringLiteral("12 items, 5 steps, paste"));
        scene->undoStack()->undo();
        QCOMPARE(scene->items().size(), 10);
        scene->undoStack()->redo();
        QCOMPARE(topLevelRects(scene).last(), copied[1].translated(210, 250));
        // A copy that copies something starts the cascade again.
        add(m_first, QRectF(0, 0, 10, 10))->setSelected(true);
        ui().action_Copy->trigger();
        ui().action_Paste->trigger();
        QCOMPARE(topLevelRects(scene).last(), QRectF(10, 0, 10, 10));
    }

    void groupsTravelWholeBetweenDocuments()
    {
        add(m_first, QRectF(10, 10, 20, 20))->setSelected(true);
        auto *group = new GroupItem;
        m_first->documentScene()->addItem(group);
        group->addToGroup(add(m_first, QRectF(200, 100, 30, 30)));
        group->addToGroup(add(m_first, QRectF(250, 120, 30, 30)));
        ui().action_Copy->trigger();
        const QByteArray loneOnly = clipboardScene();
        // A member selected alone is not copied: the clipboard keeps the lone item.
        m_first->documentScene()->clearSelection();
        group->childItems().first()->setSelected(true);
        ui().action_Copy->trigger();
        QCOMPARE(clipboardScene(), loneOnly);

        m_first->documentScene()->clearSelection();
        group->setSelected(true);
        ui().action_Cut->trigger();
        QVERIFY(!group->scene());
        QCOMPARE(m_first->documentScene()->undoStack()->text(0), QStringLiteral("remove"));
        activate(m_second);
        Scene *second = m_second->documentScene();
        m_second->setWindowModified(false);
        second->paste(QPointF(400, 400));
        // Pasted items end up unselected: the paste itself marks the document.
        QVERIFY(second->selectedItems().isEmpty() && m_second->isWindowModified());
        QCOMPARE(counts(second), QStringLiteral("3 items, 1 steps"));
        auto *pasted = dynamic_cast<GroupItem *>(second->items(Qt::AscendingOrder).first());
        QVERIFY(pasted && pasted->childItems().size() == 2);
        QCOMPARE(pasted->itemRect(), QRectF(400, 400, 80, 50));
        second->undoStack()->undo();
        QVERIFY(second->items().isEmpty());
    }

    void canvasMenuPastesThereAndClears()
    {
        add(m_first, QRectF(100, 50, 40, 30))->setSelected(true);
        ui().action_Copy->trigger();
        m_first->documentScene()->clearSelection();
        TestSupport::chooseFromContextMenu(*m_first, QPointF(400, 300), QStringLiteral("粘贴&&清除剪切板"));
        QCOMPARE(topLevelRects(m_first->documentScene()).last(), QRectF(400, 300, 40, 30));
        QVERIFY(!m_first->documentScene()->canPaste() && !ui().action_Paste->isEnabled());
        activate(m_second);
        QVERIFY(!ui().action_Paste->isEnabled());
    }

    void foreignContentPastesNothing_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("bytes"); // empty: a real copy cut short
        QTest::newRow("text") << QStringLiteral("text/plain") << QByteArray("开关1");
        QTest::newRow("real copy cut short") << QStringLiteral("SCENE") << QByteArray();
    }

    void foreignContentPastesNothing()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, bytes);
        Scene *scene = m_first->documentScene();
        add(m_first, QRectF(10, 10, 20, 20))->setSelected(true);
        if (bytes.isEmpty()) {
            ui().action_Copy->trigger();
            bytes = clipboardScene().chopped(3);
        }
        auto *data = new QMimeData;
        data->setData(format, bytes);
        QGuiApplication::clipboard()->setMimeData(data);
        QCOMPARE(ui().action_Paste->isEnabled(), format == QLatin1String("SCENE"));
        ui().action_Paste->trigger();
        scene->paste(QPointF(50, 50));
        QCOMPARE(counts(scene), QStringLiteral("1 items, 0 steps"));
        QVERIFY(scene->selectedItems().isEmpty());
    }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
