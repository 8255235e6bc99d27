// Line ends and the equipment they connect: ends that land on connection points while a line is
// drawn or its end dragged, and ends glued to symbols that follow every edit of the symbols, in
// the edit's one undo step.
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "lineitem.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QUndoStack>
#include <QtTest>
#include <memory>

namespace {

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

class TestGlue : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GraphicsView> m_view;
    Scene *scene() const { return m_view->documentScene(); }
    QUndoStack *stack() const { return scene()->undoStack(); }

    template<typename T = GraphicsItem> T *add(int type, const QRectF &rect)
    {
        GraphicsItem *item = ItemSamples::create(type, rect);
        scene()->addItem(item);
        return dynamic_cast<T *>(item);
    }
    void key(int k)
    {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(m_view->viewport(), &event);
    }

private slots:
    void initTestCase() { TestSupport::isolate("glue"); }

    void init()
    {
        m_view = std::make_unique<GraphicsView>();
        m_view->setAttribute(Qt::WA_DeleteOnClose, false);
        m_view->resize(900, 600);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->centerOn(300, 200);
        EditorState::setCurrentTool(ItemKind::Pointer);
        EditorState::gridSettings() = GridSettings();
        QApplication::setActiveWindow(m_view.get());
        m_view->setFocus();
        QTRY_VERIFY(scene()->hasFocus()); // alignment needs it
    }

    void cleanup() { m_view.reset(); }

    void endsFollowTheEquipment_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<bool>("glue");
        QTest::addColumn<bool>("feederSelected");
        QTest::addColumn<int>("feeder");
        QTest::newRow("mouse") << int(Mouse) << true << false << int(Follows);
        QTest::newRow("mouse, glue off") << int(Mouse) << false << false << int(Stays);
        QTest::newRow("mouse, feeder selected too") << int(Mouse) << true << true << int(MovesWhole);
        QTest::newRow("arrow key") << int(ArrowKey) << true << false << int(Follows);
        QTest::newRow("align left") << int(AlignLeft) << true << false << int(Follows);
        QTest::newRow("equal spacing") << int(EqualSpacing) << true << false << int(Follows);
        QTest::newRow("equal width") << int(EqualWidth) << true << false << int(Follows);
        QTest::newRow("handle") << int(HandleResize) << true << false << int(Follows);
        QTest::newRow("handle, glue off") << int(HandleResize) << false << false << int(Stays);
    }

    // Switch `upper` feeds switch `lower` through a line glued at both ends; a second line stops
    // 3 units short of the upper switch's top. An edit of the upper switch carries the feeder's
    // upper end along, never its lower one nor the line merely near; one undo restores it all.
    void endsFollowTheEquipment()
    {
        QFETCH(int, edit);
        QFETCH(bool, glue);
        QFETCH(bool, feederSelected);
        QFETCH(int, feeder);
        EditorState::gridSettings().setGlue(glue);
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
        line->setSelected(feederSelected);
        // The reference of alignment and equal size is the selected item with the focus.
        if (edit == AlignLeft || edit == EqualWidth || edit == EqualSpacing) {
            right->setSelected(true);
            right->setFocus();
            left->setSelected(edit == EqualSpacing);
        }
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(), [&] {
            switch (Edit(edit)) {
            case Mouse: TestSupport::drag(*m_view, QPointF(112, 124), QPointF(155, 145)); break;
            case ArrowKey: key(Qt::Key_Right); break;
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
};

QTEST_MAIN(TestGlue)
#include "tst_glue.moc"
