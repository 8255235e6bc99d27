// Painting and hit-testing of big graphs: 10 000 equipment symbols filling a
// 1920 x 1080 view, against plain rectangles in the same numbers as the baseline.
#include "abstractgraphicsscene.h"
#include "benchsupport.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "itemkind.h"

#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QRandomGenerator>
#include <QtTest>
#include <malloc.h>

namespace {

constexpr int Columns = 100;
constexpr int Rows = 100;
constexpr double CellWidth = 1920.0 / Columns;
constexpr double CellHeight = 1080.0 / Rows;

// 10 000 equipment symbols, every kind in turn, or as many plain rectangles, one per cell.
void fill(QGraphicsScene &scene, bool symbols)
{
    const QSizeF cell(CellWidth, CellHeight);
    if (symbols) {
        BenchSupport::addItems(scene, Columns * Rows, BenchSupport::kindsOf(ItemKind::Symbol),
            {Columns, cell, cell - QSizeF(2, 2), QPointF(1, 1)});
        return;
    }
    for (int i = 0; i < Columns * Rows; ++i) {
        auto *item = scene.addRect(0, 0, CellWidth - 2, CellHeight - 2, QPen(BenchSupport::defaults().penColor));
        item->setPos((i % Columns) * CellWidth + 1, (i / Columns) * CellHeight + 1);
        item->setFlag(QGraphicsItem::ItemIsSelectable);
    }
}

// A view of exactly the scene, at 1:1, already shown.
struct Screen
{
    explicit Screen(QGraphicsScene &scene)
        : view(&scene)
    {
        scene.setSceneRect(0, 0, 1920, 1080);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setFrameShape(QFrame::NoFrame);
        view.setOptimizationFlags(QGraphicsView::DontSavePainterState);
        view.setBackgroundBrush(Qt::black);
        view.resize(1920, 1080);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("the view was never shown");
        view.viewport()->repaint();
    }
    QGraphicsView view;
};

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

} // namespace

class BenchItems : public QObject
{
    Q_OBJECT
private slots:
    void repaint_data()
    {
        QTest::addColumn<bool>("symbols");
        QTest::newRow("baseline: 10000 QGraphicsRectItem") << false;
        QTest::newRow("10000 equipment symbols") << true;
    }

    void repaint()
    {
        QFETCH(bool, symbols);
        QGraphicsScene scene;
        fill(scene, symbols);
        Screen screen(scene);
        QBENCHMARK
        {
            screen.view.viewport()->repaint();
        }
    }

    void hitTest_data() { repaint_data(); }

    // One thousand point look-ups per iteration.
    void hitTest()
    {
        QFETCH(bool, symbols);
        QGraphicsScene scene;
        scene.setSceneRect(0, 0, 1920, 1080);
        fill(scene, symbols);
        scene.items(QPointF(1, 1)); // builds the index
        QVector<QPointF> points;
        QRandomGenerator random(7);
        for (int i = 0; i < 1000; ++i)
            points << QPointF(random.bounded(1920.0), random.bounded(1080.0));
        int found = 0;
        QBENCHMARK
        {
            for (const QPointF &p : points)
                found += scene.items(p).size();
        }
        QVERIFY(found > 0);
    }

    void bytesPerItem()
    {
        // Not a timing: the heap that 10 000 items take, as a figure for the record.
        const size_t before = heapInUse();
        {
            QGraphicsScene scene;
            const size_t empty = heapInUse();
            fill(scene, true);
            scene.items(QPointF(1, 1));
            const size_t symbols = heapInUse() - empty;
            QGraphicsScene rects;
            const size_t emptyRects = heapInUse();
            fill(rects, false);
            rects.items(QPointF(1, 1));
            const size_t plain = heapInUse() - emptyRects;
            qInfo("heap per item in a scene: symbol %zu bytes, QGraphicsRectItem %zu bytes (sizeof "
                  "GraphicsItem %zu)",
                symbols / (Columns * Rows), plain / (Columns * Rows), sizeof(GraphicsItem));
            QVERIFY(symbols > 0 && plain > 0);
        }
        QVERIFY(heapInUse() < before + 1024 * 1024);
    }
};

QTEST_MAIN(BenchItems)
#include "bench_items.moc"
