// The document view in a real main window: zoom by command and wheel with the status bar,
// the dotted drawing preview, middle-button panning and the right click.
#include "app/plotwright.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QUndoStack>
#include <QtTest>
#include <memory>

namespace {

// Counts the scene's mouse presses and releases.
struct SceneMouseLog : QObject
{
    int presses = 0;
    int releases = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        presses += event->type() == QEvent::GraphicsSceneMousePress;
        releases += event->type() == QEvent::GraphicsSceneMouseRelease;
        return false;
    }
};

} // namespace

class TestView : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Plotwright> m_window;
    GraphicsView *m_view = nullptr;

    QString statistics() const
    {
        const QLabel *label = TestSupport::statusLabel(*m_window, QStringLiteral("画布大小"));
        return label ? label->text() : QString();
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
        Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent event(type, at, m_view->viewport()->mapToGlobal(at), button, held, mods);
        QApplication::sendEvent(m_view->viewport(), &event);
    }
    // Where the preview's white dots lie on the viewport.
    QRect whiteBounds() const
    {
        const QImage image = m_view->viewport()->grab().toImage();
        QRect bounds;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == Qt::white)
                    bounds |= QRect(x, y, 1, 1);
            }
        }
        return bounds;
    }

private slots:
    void initTestCase()
    {
        TestSupport::isolate("view");
        QVERIFY(TestSupport::writePlatform(1));
        CDataLink::Init();
        m_window = std::make_unique<Plotwright>();
        m_view = TestSupport::newGraph(*m_window);
        QVERIFY(m_view);
        m_window->form().mdiArea->activeSubWindow()->showMaximized();
        m_view->viewport()->setMouseTracking(true);
    }

    void cleanupTestCase() { TestSupport::writePlatform(-1); }

    void init()
    {
        m_window->form().action_ZoomDefault->trigger();
        m_window->form().action_Void->trigger();
    }

    // The zoom level sets the scale, the percent and the status bar, with one change signal; the
    // commands replace any earlier transformation and return exactly.
    void zoom()
    {
        const int rows[][2] = {{110, 114}, {120, 131}, {90, 87}, {80, 75}, {150, 200}, {50, 50}, {0, 25}, {100, 100}};
        for (const auto &row : rows) {
            m_window->form().action_ZoomDefault->trigger();
            QSignalSpy changed(m_view, &GraphicsView::changed);
            if (row[0] >= 100)
                m_view->zoomIn(row[0] - 100);
            else
                m_view->zoomOut(100 - row[0]);
            QCOMPARE(changed.count(), 1);
            QCOMPARE((QList<int>{m_view->zoomPercent(), int(m_view->transform().m11() * 100)}),
                (QList<int>{row[1], row[1]}));
            QVERIFY2(statistics().contains(QStringLiteral("(%1%)").arg(row[1])), qPrintable(statistics()));
        }
        m_view->scale(3, 3); // from level 100, the last row
        for (int i = 0; i < 10; ++i)
            m_window->form().action_ZoomIn->trigger();
        QCOMPARE(m_view->zoomPercent(), 400);
        for (int i = 0; i < 10; ++i)
            m_window->form().action_ZoomOut->trigger();
        QVERIFY(m_view->transform() == QTransform());
        QVERIFY2(statistics().contains(QStringLiteral("(100%)")), qPrintable(statistics()));
    }

    void wheel_data()
    {
        QTest::addColumn<QPoint>("angle");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("percent");
        QTest::newRow("ctrl up") << QPoint(0, 120) << int(Qt::ControlModifier) << 114;
        QTest::newRow("ctrl down") << QPoint(0, -120) << int(Qt::ControlModifier) << 87;
        QTest::newRow("ctrl zero") << QPoint(0, 0) << int(Qt::ControlModifier) << 87;
        QTest::newRow("ctrl sideways") << QPoint(120, 0) << int(Qt::ControlModifier) << 114;
        QTest::newRow("plain scrolls") << QPoint(0, -120) << int(Qt::NoModifier) << 100;
    }

    void wheel()
    {
        QFETCH(QPoint, angle);
        QFETCH(int, modifiers);
        QFETCH(int, percent);
        m_view->centerOn(960, 540);
        const QPoint at = m_view->viewport()->rect().center();
        const QPointF before = m_view->mapToScene(at);
        QWheelEvent event(at, m_view->viewport()->mapToGlobal(at), QPoint(), angle, Qt::NoButton,
            Qt::KeyboardModifiers(modifiers), Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_view->viewport(), &event);
        QCOMPARE(m_view->zoomPercent(), percent);
        // A zoom keeps the centre in place; only the plain wheel scrolls.
        QCOMPARE((m_view->mapToScene(at) - before).manhattanLength() > 2, percent == 100);
        QVERIFY(statistics().contains(QStringLiteral("(%1%)").arg(percent)));
    }

    // The dotted preview follows the Shift constraint (worked out in full by tst_scene's drawing):
    // a square's taller side decides, a diagonal line goes vertical.
    void preview()
    {
        const struct
        {
            int tool;
            QPoint end; // the drag starts at (110, 110)
            QRect expected;
        } rows[] = {{ItemKind::Rectangle, QPoint(140, 50), QRect(QPoint(50, 50), QPoint(110, 110))},
            {ItemKind::Line, QPoint(140, 140), QRect(QPoint(110, 110), QPoint(110, 140))}};
        // The pixels of the unsnapped preview; tst_grid checks the preview on the grid.
        EditorState::gridSettings().setSnap(false);
        for (const auto &row : rows) {
            EditorState::setCurrentTool(row.tool);
            mouse(QEvent::MouseButtonPress, QPoint(110, 110), Qt::LeftButton, Qt::LeftButton);
            mouse(QEvent::MouseMove, row.end, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
            const QRect seen = whiteBounds();
            // Dotted: an end may fall into a gap of up to two pixels.
            QVERIFY2(row.expected.contains(seen) && seen.adjusted(-2, -2, 2, 2).contains(row.expected),
                qPrintable(
                    QStringLiteral("%1,%2 %3x%4").arg(seen.x()).arg(seen.y()).arg(seen.width()).arg(seen.height())));
            mouse(QEvent::MouseButtonRelease, row.end, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
            m_view->documentScene()->undoStack()->undo();
        }
    }

    void panningScrollsAndBlocksSelection()
    {
        m_view->documentScene()->addItem(ItemSamples::create(ItemKind::Rectangle, QRectF(600, 400, 100, 100)));
        m_view->centerOn(650, 450);
        const QPoint item = m_view->mapFromScene(QPointF(650, 450));
        const int h = m_view->horizontalScrollBar()->value();
        const int v = m_view->verticalScrollBar()->value();
        const QCursor before = m_view->viewport()->cursor();
        mouse(QEvent::MouseButtonPress, QPoint(200, 200), Qt::MiddleButton, Qt::MiddleButton);
        QCOMPARE(m_view->viewport()->cursor().shape(), Qt::OpenHandCursor);
        mouse(QEvent::MouseMove, QPoint(170, 180), Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(m_view->horizontalScrollBar()->value(), h + 30);
        QCOMPARE(m_view->verticalScrollBar()->value(), v + 20);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, item - QPoint(30, 20));
        QVERIFY(m_view->documentScene()->selectedItems().isEmpty());
        mouse(QEvent::MouseButtonRelease, QPoint(170, 180), Qt::MiddleButton, Qt::NoButton);
        QCOMPARE(m_view->viewport()->cursor().shape(), before.shape());
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, item - QPoint(30, 20));
        QCOMPARE(m_view->documentScene()->selectedItems().size(), 1);
    }

    void drawingToolDropsMovesAndRightClickReturns()
    {
        QSignalSpy moves(m_view->documentScene(), &Scene::posChanged);
        SceneMouseLog log;
        m_view->documentScene()->installEventFilter(&log);
        m_window->form().action_Rectangle->trigger();
        mouse(QEvent::MouseMove, QPoint(50, 60), Qt::NoButton, Qt::NoButton);
        QCOMPARE(moves.count(), 0);
        QTest::mouseClick(m_view->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(50, 60));
        QCOMPARE(log.presses, 1);
        QCOMPARE(log.releases, 0);
        QVERIFY(m_window->form().action_Void->isChecked());
        QCOMPARE(EditorState::currentTool(), ItemKind::Pointer);
        mouse(QEvent::MouseMove, QPoint(50, 61), Qt::NoButton, Qt::NoButton);
        QCOMPARE(moves.count(), 1);
    }
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
