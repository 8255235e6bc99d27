// The canvas as the view shows it and the grid: snapping of the drawing tools through real
// mouse events, the grid settings across a restart, the grid painted by zoom but never saved,
// where a document first shows its canvas and fitting the canvas into the window.
#include "app/plotwright.h"
#include "cdatalink.h"
#include "document/canvaspainter.h"
#include "document/graphicsview.h"
#include "documentkind.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/commands.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QUndoStack>
#include <QtTest>
#include <memory>

namespace {

// The bounds of the pure white pixels of the viewport: the preview's dots.
QRect whiteBounds(QWidget *viewport)
{
    const QImage image = viewport->grab().toImage();
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Plotwright> m_window;
    GraphicsView *m_view = nullptr;

    void setGrid(int size, bool visible, bool snap)
    {
        GridSettings &grid = EditorState::gridSettings();
        grid.setSize(size);
        grid.setVisible(visible);
        grid.setSnap(snap);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestSupport::startLocalFileTests("grid"));
        CDataLink::Init();
        m_window = std::make_unique<Plotwright>();
        m_view = TestSupport::newGraph(*m_window);
        QVERIFY(m_view);
        m_window->form().mdiArea->activeSubWindow()->showMaximized();
    }

    void cleanupTestCase() { TestSupport::writePlatform(-1); }

    void cleanup()
    {
        while (m_view && m_view->documentScene()->undoStack()->canUndo())
            m_view->documentScene()->undoStack()->undo();
    }

    void init()
    {
        m_window->form().action_ZoomDefault->trigger();
        m_window->form().action_Void->trigger();
        setGrid(10, true, true);
    }

    // A new document shows its canvas's corner with the margin around it, at 100 %.
    void documentsOpenAtTheCanvasCorner()
    {
        for (GraphicsView *view : {m_view, TestSupport::newGraph(*m_window)}) {
            QVERIFY(view);
            QCOMPARE(view->zoomPercent(), 100);
            QCOMPARE(view->mapFromScene(QPointF(0, 0)), QPoint(CanvasPainter::Margin, CanvasPainter::Margin));
        }
        m_window->form().mdiArea->setActiveSubWindow(m_window->form().mdiArea->subWindowList().first());
    }

    void snapOfDrawingTools_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<bool>("snap");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("release");
        QTest::addColumn<QRectF>("expected"); // the new item's itemRect, on a grid of 10
        const int rect = ItemKind::Rectangle;
        const int none = Qt::NoModifier;
        const QPointF a(103, 98);
        const QPointF b(157, 121);
        QTest::newRow("rectangle on the grid") << rect << true << none << a << b << QRectF(100, 100, 60, 20);
        QTest::newRow("snap off") << rect << false << none << a << b << QRectF(103, 98, 54, 23);
        QTest::newRow("Alt suspends") << rect << true << int(Qt::AltModifier) << a << b << QRectF(103, 98, 54, 23);
        // Shift squares the snapped drag (60 x 20), not the raw one (54 x 23, then snapped to 60 x 50).
        QTest::newRow("Shift after snapping")
            << rect << true << int(Qt::ShiftModifier) << a << b << QRectF(100, 100, 60, 60);
        // Raw, the drag is as high as wide and the line would go vertical; snapped it is 30 x 20.
        QTest::newRow("line, Shift after snapping") << int(ItemKind::Line) << true << int(Qt::ShiftModifier)
                                                    << QPointF(104, 96) << QPointF(131, 123) << QRectF(100, 100, 30, 0);
    }

    // The item made at the release and the preview just before it show the same corners.
    void snapOfDrawingTools()
    {
        QFETCH(int, tool);
        QFETCH(bool, snap);
        QFETCH(int, modifiers);
        QFETCH(QPointF, press);
        QFETCH(QPointF, release);
        QFETCH(QRectF, expected);
        EditorState::gridSettings().setSnap(snap);
        m_window->form().toolAction(tool)->trigger();
        Scene *scene = m_view->documentScene();
        const QRect preview(m_view->mapFromScene(expected.topLeft()), m_view->mapFromScene(expected.bottomRight()));
        QRect seen;
        TestSupport::drag(
            *m_view, press, release, [&] { seen = whiteBounds(m_view->viewport()); }, Qt::KeyboardModifiers(modifiers));
        // Dotted: an end may fall into a gap of up to two pixels.
        QVERIFY(preview.contains(seen) && seen.adjusted(-2, -2, 2, 2).contains(preview));
        QCOMPARE(scene->items().size(), 1);
        QCOMPARE(dynamic_cast<GraphicsItem *>(scene->items().first())->itemRect(), expected);
    }

    void snapOfSelectionTool_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("release");
        QTest::addColumn<bool>("alt");
        QTest::addColumn<QRectF>("expected"); // the item's itemRect after the drag
        // The item lies over (103, 98, 40, 30), off the grid of 10; a line runs down to the right.
        const int rect = ItemKind::Rectangle;
        const int line = ItemKind::Line;
        const QPointF inside(123, 113);
        const QPointF corner(143, 128);
        QTest::newRow("move: the corner onto the grid")
            << rect << inside << QPointF(150, 136) << false << QRectF(130, 120, 40, 30);
        QTest::newRow("move, Alt") << rect << inside << QPointF(150, 136) << true << QRectF(130, 121, 40, 30);
        QTest::newRow("move a line") << line << inside << QPointF(150, 136) << false << QRectF(130, 120, 40, 30);
        QTest::newRow("corner handle") << rect << corner << QPointF(166, 152) << false << QRectF(103, 98, 67, 52);
        QTest::newRow("corner handle, Alt") << rect << corner << QPointF(166, 152) << true << QRectF(103, 98, 63, 54);
        QTest::newRow("edge handle: that edge only")
            << rect << QPointF(143, 113) << QPointF(166, 121) << false << QRectF(103, 98, 67, 30);
        QTest::newRow("line end") << line << corner << QPointF(166, 152) << false << QRectF(103, 98, 67, 52);
    }

    // A drag of the selected item by the mouse puts its corner on the grid, a handle drag the
    // dragged edge or line end; Alt leaves them where the mouse goes. Each is one undo step.
    void snapOfSelectionTool()
    {
        QFETCH(int, type);
        QFETCH(QPointF, press);
        QFETCH(QPointF, release);
        QFETCH(bool, alt);
        QFETCH(QRectF, expected);
        Scene *scene = m_view->documentScene();
        m_view->centerOn(150, 120);
        GraphicsItem *item = ItemSamples::create(type, QRectF(103, 98, 40, 30));
        scene->undoStack()->push(new CommandAddItem(scene, item, nullptr));
        item->setSelected(true);
        QVERIFY(ItemSamples::undoRedoRestores(*scene->undoStack(), *scene,
            [&] { TestSupport::drag(*m_view, press, release, {}, alt ? Qt::AltModifier : Qt::NoModifier); }));
        QCOMPARE(item->itemRect(), expected);
        QCOMPARE(scene->undoStack()->count(), 2);
        // Pressed inside the item it moves; on a handle a lone resize follows, with no macro.
        QCOMPARE(scene->undoStack()->text(1), press == QPointF(123, 113) ? QStringLiteral("move") : QString());
    }

    // Dots at a readable spacing, lines once dots would be lost, nothing where they would
    // only grey the canvas; the surround stays grey at every zoom.
    void gridFollowsTheZoom_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("level"); // zoom level: 100 is 1:1, each 50 doubles
        QTest::addColumn<bool>("dots");
        QTest::addColumn<bool>("lines");
        QTest::newRow("10 at 100 %: dots") << 10 << 100 << true << false;
        QTest::newRow("10 at 25 %: too dense") << 10 << 0 << false << false;
        QTest::newRow("10 at 400 %: lines") << 10 << 200 << true << true;
    }

    void gridFollowsTheZoom()
    {
        QFETCH(int, size);
        QFETCH(int, level);
        QFETCH(bool, dots);
        QFETCH(bool, lines);
        setGrid(size, true, true);
        m_view->zoomOut(100 - level);
        m_view->centerOn(size * 4.5, size * 4.5);
        const QImage image = m_view->viewport()->grab().toImage();
        auto pixel = [&](double x, double y) { return image.pixel(m_view->mapFromScene(QPointF(x, y))); };
        const QRgb black = qRgb(0, 0, 0);
        QCOMPARE(pixel(size * 3, size * 3) != black, dots);
        QCOMPARE(pixel(size * 3.5, size * 3) != black, lines);
        QCOMPARE(pixel(size * 3.5, size * 3.5), black);
        // Left of the canvas, beyond its border and shadow, inside the margin.
        const QPoint corner = m_view->mapFromScene(QPointF(0, 0));
        QCOMPARE(image.pixel(corner + QPoint(-CanvasPainter::Margin / 2, 40)), qRgb(0x80, 0x80, 0x80));
    }

    // Neither the grid, snapping nor glue reaches the saved graph or its SVG.
    void savedBytesIgnoreTheGrid()
    {
        const QString name = TestSupport::projectFolder() + QStringLiteral("/graph");
        QVERIFY(m_view->loadFile(DocumentKind::Graph, QStringLiteral(PLOTWRIGHT_FIXTURES "/every_kind.drw")));
        QByteArrayList first;
        for (int i = 0; i < 4; ++i) {
            setGrid(1 + 7 * i, i % 2 == 0, i < 2);
            EditorState::gridSettings().setGlue(i % 3 == 0);
            m_view->viewport()->repaint();
            QVERIFY(m_view->saveFile(name + ".drw", false) && m_view->writeSvg(name + ".svg"));
            const QByteArrayList bytes{TestSupport::readFile(name + ".drw"), TestSupport::readFile(name + ".svg")};
            QVERIFY(!bytes[0].isEmpty() && !bytes[1].isEmpty() && (i == 0 || bytes == first));
            first = bytes;
        }
        m_view->documentScene()->clear();
    }

    void fitToWindow_data()
    {
        QTest::addColumn<QRectF>("canvas");
        QTest::newRow("wide") << QRectF(0, 0, 4000, 1000);
        QTest::newRow("tall") << QRectF(0, 0, 300, 5000);
    }

    // The largest zoom level at which the canvas and its margin fit: no scroll bar, the next
    // level would not fit, and the status bar shows the percent.
    void fitToWindow()
    {
        QFETCH(QRectF, canvas);
        m_view->documentScene()->setSceneRect(canvas);
        m_window->form().action_ZoomFit->trigger();
        const double scale = m_view->transform().m11();
        QCOMPARE(m_view->zoomPercent(), int(scale * 100));
        // The scroll bars go, and the viewport grows, once the event loop lays the view out.
        QTRY_COMPARE(m_view->viewport()->size(), m_view->maximumViewportSize());
        const QRect shown(m_view->mapFromScene(canvas.topLeft()), m_view->mapFromScene(canvas.bottomRight()));
        const QRect inner = m_view->viewport()->rect().adjusted(
            CanvasPainter::Margin, CanvasPainter::Margin, -CanvasPainter::Margin, -CanvasPainter::Margin);
        QVERIFY(inner.contains(shown));
        const QSizeF room = m_view->viewport()->size() - QSize(2, 2) * CanvasPainter::Margin;
        const double larger = scale * std::pow(2.0, 1 / 50.0);
        QVERIFY(canvas.width() * larger > room.width() || canvas.height() * larger > room.height());
        const QLabel *status = TestSupport::statusLabel(*m_window, QStringLiteral("画布大小"));
        QVERIFY(status && status->text().contains(QStringLiteral("(%1%)").arg(m_view->zoomPercent())));
        m_view->documentScene()->setSceneRect(DocumentKind::of(DocumentKind::Graph).canvas);
    }

    // Set through the dialog and the tool-bar buttons, kept in step, and read back by the
    // next window; values edited by hand come back in range.
    void settingsSurviveARestart()
    {
        TestSupport::whenModal([](QWidget *dialog) {
            TestSupport::child<QSpinBox>(dialog, "spinBox_Size")->setValue(25);
            TestSupport::child<QCheckBox>(dialog, "checkBox_Glue")->setChecked(false);
            TestSupport::clickButton(dialog, QStringLiteral("确定"));
        });
        m_window->form().action_GridSettings->trigger();
        QVERIFY(m_window->form().action_SnapGrid->isChecked());
        m_window->form().action_SnapGrid->trigger();
        m_window->form().action_ShowGrid->trigger();
        bool dialogSnaps = true;
        TestSupport::whenModal([&dialogSnaps](QWidget *dialog) {
            dialogSnaps = TestSupport::child<QCheckBox>(dialog, "checkBox_Snap")->isChecked();
            TestSupport::clickButton(dialog, QStringLiteral("取消"));
        });
        m_window->form().action_GridSettings->trigger();
        QVERIFY(!dialogSnaps);
        QCOMPARE(TestSupport::missedModals(), 0);

        m_window.reset();
        m_view = nullptr;
        EditorState::gridSettings() = GridSettings();
        m_window = std::make_unique<Plotwright>();
        const GridSettings &grid = EditorState::gridSettings();
        QCOMPARE(grid.size(), 25);
        QVERIFY(!grid.isVisible() && !grid.snaps() && !grid.glues());
        QVERIFY(!m_window->form().action_ShowGrid->isChecked() && !m_window->form().action_SnapGrid->isChecked());
        QSettings settings;
        const std::pair<QVariant, int> edited[] = {{999, 200}, {-3, 1}, {QStringLiteral("wide"), 10}};
        for (const auto &entry : edited) {
            settings.setValue(QStringLiteral("grid/size"), entry.first);
            QCOMPARE(GridSettings::read(settings).size(), entry.second);
        }
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
