// The canvas as the view shows it and the grid: snapping of the drawing tools through real
// mouse events, the grid settings across a restart, the grid painted by zoom but never saved,
// where a document first shows its canvas and fitting the canvas into the window; line ends that
// land on connection points, and ends glued to symbols that follow every edit of the symbols in
// the edit's one undo step.
#include "app/plotwright.h"
#include "cdatalink.h"
#include "document/canvaspainter.h"
#include "document/graphicsview.h"
#include "documentkind.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "lineitem.h"
#include "scene/commands.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
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

enum Edit
{
    Mouse,
    ArrowKey,
    AlignLeft,
    EqualSpacing,
    EqualWidth,
    HandleResize,
};

// What the feeder between the two switches does when the upper one changes.
enum Feeder
{
    Follows, // its ends stay on the switches' connection points
    Stays, // it keeps its place and shape
    MovesWhole, // it moves with the selection, both ends alike
};

QList<QPointF> terminals(const QGraphicsItem *item)
{
    return dynamic_cast<const AbstractGraphicsTerminals *>(item)->terminalPoints();
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
    Scene *scene() const { return m_view->documentScene(); }
    QUndoStack *stack() const { return scene()->undoStack(); }
    // Put straight into the scene, outside the undo history, which then holds only the edit.
    template<typename T = GraphicsItem> T *add(int type, const QRectF &rect)
    {
        GraphicsItem *item = ItemSamples::create(type, rect);
        scene()->addItem(item);
        return dynamic_cast<T *>(item);
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
        while (m_view && stack()->canUndo())
            stack()->undo();
        if (m_view) {
            stack()->clear();
            scene()->clear();
        }
    }

    void init()
    {
        m_window->form().action_ZoomDefault->trigger();
        m_window->form().action_Void->trigger();
        setGrid(10, true, true);
        EditorState::gridSettings().setGlue(true);
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

    void endsFollowTheEquipment_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<bool>("glue");
        QTest::addColumn<int>("feederIs"); // 1 selected too, 2 locked
        QTest::addColumn<int>("feeder");
        QTest::newRow("mouse") << int(Mouse) << true << 0 << int(Follows);
        QTest::newRow("mouse, glue off") << int(Mouse) << false << 0 << int(Stays);
        QTest::newRow("mouse, feeder selected too") << int(Mouse) << true << 1 << int(MovesWhole);
        QTest::newRow("arrow key, feeder locked") << int(ArrowKey) << true << 2 << int(Stays);
        QTest::newRow("arrow key") << int(ArrowKey) << true << 0 << int(Follows);
        QTest::newRow("align left") << int(AlignLeft) << true << 0 << int(Follows);
        QTest::newRow("equal spacing") << int(EqualSpacing) << true << 0 << int(Follows);
        QTest::newRow("equal width") << int(EqualWidth) << true << 0 << int(Follows);
        QTest::newRow("handle") << int(HandleResize) << true << 0 << int(Follows);
        QTest::newRow("handle, glue off") << int(HandleResize) << false << 0 << int(Stays);
    }

    // Switch `upper` feeds switch `lower` through a line glued at both ends; a second line stops
    // 3 units short of the upper switch's top. An edit of the upper switch carries the feeder's
    // upper end along, never its lower one nor the line merely near; one undo restores it all.
    void endsFollowTheEquipment()
    {
        QFETCH(int, edit);
        QFETCH(bool, glue);
        QFETCH(int, feederIs);
        QFETCH(int, feeder);
        EditorState::gridSettings().setGlue(glue);
        QApplication::setActiveWindow(m_window.get());
        m_view->setFocus();
        QTRY_VERIFY(scene()->hasFocus()); // alignment needs it
        m_view->centerOn(300, 200);
        GraphicsItem *left = add(ItemKind::Breaker, QRectF(0, 100, 24, 48));
        GraphicsItem *upper = add(ItemKind::Breaker, QRectF(100, 100, 24, 48));
        GraphicsItem *lower = add(ItemKind::Breaker, QRectF(100, 200, 24, 48));
        GraphicsItem *right = add(ItemKind::Breaker, QRectF(300, 100, 40, 48));
        auto *line = add<LineItem>(ItemKind::Line, QRectF(QPointF(112, 148), QPointF(112, 200)));
        auto *near = add<LineItem>(ItemKind::Line, QRectF(QPointF(112, 97), QPointF(112, 40)));
        QCOMPARE(line->terminalPoints(), QList<QPointF>({terminals(upper).at(1), terminals(lower).at(0)}));
        const QList<QPointF> lineBefore = line->terminalPoints();
        const QList<QPointF> nearBefore = near->terminalPoints();
        const QPointF upperBefore = upper->pos();
        upper->setSelected(true);
        line->setSelected(feederIs == 1);
        line->setLock(feederIs == 2);
        // The reference of alignment and equal size is the selected item with the focus.
        if (edit == AlignLeft || edit == EqualWidth || edit == EqualSpacing) {
            right->setSelected(true);
            right->setFocus();
            left->setSelected(edit == EqualSpacing);
        }
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(), [&] {
            switch (Edit(edit)) {
            case Mouse: TestSupport::drag(*m_view, QPointF(112, 124), QPointF(155, 145)); break;
            case ArrowKey: QTest::keyClick(m_view->viewport(), Qt::Key_Right); break;
            case AlignLeft: scene()->alignmentLeft(); break;
            case EqualSpacing: scene()->equalHCross(); break;
            case EqualWidth: scene()->equalWidth(); break;
            case HandleResize: TestSupport::drag(*m_view, QPointF(124, 124), QPointF(143, 126)); break;
            }
        }));
        QCOMPARE(stack()->count(), 1);
        QVERIFY(upper->pos() != upperBefore || upper->itemRect().width() != 24);
        QCOMPARE(near->terminalPoints(), nearBefore);
        const QPointF moved = upper->pos() - upperBefore;
        switch (Feeder(feeder)) {
        case Follows:
            QCOMPARE(line->terminalPoints(), QList<QPointF>({terminals(upper).at(1), terminals(lower).at(0)}));
            break;
        case Stays: QCOMPARE(line->terminalPoints(), lineBefore); break;
        case MovesWhole:
            QCOMPARE(line->terminalPoints(), QList<QPointF>({lineBefore.at(0) + moved, lineBefore.at(1) + moved}));
            break;
        }
    }

    void lineEndsLandOnConnectionPoints_data()
    {
        QTest::addColumn<bool>("draw"); // drawn with the line tool, else its end handle dragged
        QTest::addColumn<int>("zoom"); // 150 is 200 %
        QTest::addColumn<QPoint>("offset"); // from the switch's top, in screen pixels
        QTest::addColumn<bool>("alt");
        QTest::addColumn<bool>("lands");
        QTest::newRow("drawn, 5 px off") << true << 100 << QPoint(5, -3) << false << true;
        QTest::newRow("drawn, 9 px off: the grid") << true << 100 << QPoint(9, 0) << false << false;
        QTest::newRow("drawn at 200 %, 7 px off") << true << 150 << QPoint(-4, -6) << false << true;
        QTest::newRow("drawn, Alt") << true << 100 << QPoint(2, 2) << true << false;
        QTest::newRow("end handle, 6 px off") << false << 100 << QPoint(6, 0) << false << true;
        QTest::newRow("end handle at 200 %, 10 px off") << false << 150 << QPoint(0, -10) << false << false;
    }

    // An end dragged within 8 screen pixels of a switch's connection point lands on it, whatever
    // the zoom, and the point is marked in the view until the release; further away the grid
    // holds, and with Alt the end goes exactly where the mouse does.
    void lineEndsLandOnConnectionPoints()
    {
        QFETCH(bool, draw);
        QFETCH(int, zoom);
        QFETCH(QPoint, offset);
        QFETCH(bool, alt);
        QFETCH(bool, lands);
        m_view->zoomIn(zoom - 100);
        m_view->centerOn(112, 100);
        GraphicsItem *breaker = add(ItemKind::Breaker, QRectF(100, 100, 24, 48));
        const QPointF top = terminals(breaker).at(0);
        const QPoint target = m_view->mapFromScene(top) + offset;
        const QPointF raw = m_view->mapToScene(target);
        LineItem *line = nullptr;
        QPointF from(60, 40);
        if (draw) {
            EditorState::setCurrentTool(ItemKind::Line);
        } else {
            line = add<LineItem>(ItemKind::Line, QRectF(QPointF(60, 20), QPointF(90, 60)));
            line->setSelected(true);
            from = QPointF(90, 60);
        }
        bool marked = false;
        bool ringSeen = false;
        TestSupport::drag(
            *m_view, from, raw,
            [&] {
                marked = scene()->markedTerminal() == std::optional<QPointF>(top);
                const QImage image = m_view->viewport()->grab().toImage();
                const QPoint left = m_view->mapFromScene(top) - QPoint(6, 0);
                for (int i = 0; i < 9; ++i) {
                    const QColor c = image.pixelColor(left + QPoint(i % 3 - 1, i / 3 - 1));
                    ringSeen = ringSeen || (c.red() > 180 && c.green() < 100 && c.blue() > 180);
                }
            },
            alt ? Qt::AltModifier : Qt::NoModifier);
        if (draw)
            line = dynamic_cast<LineItem *>(scene()->items(Qt::DescendingOrder).first());
        QVERIFY(line);
        QCOMPARE(line->terminalPoints().at(1), lands ? top : alt ? raw : scene()->snapToGrid(raw));
        QCOMPARE(marked, lands);
        QCOMPARE(ringSeen, lands);
        QVERIFY(!scene()->markedTerminal());
        QCOMPARE(stack()->count(), 1);
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
