// The connection check on feeders: columns of switching devices joined by lines, N symbols and
// N lines (1 000, 10 000, 100 000 of each), every 97th line 3 units short of its symbol and
// every column's last point open. The baseline in the same run is plain Qt: the same scene
// rectangle queries, one per connection point, on plain rectangles where the items stand.
#include "benchsupport.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "scene/connectioncheck.h"
#include "scene/scene.h"

#include <QElapsedTimer>
#include <QGraphicsRectItem>
#include <QtTest>
#include <algorithm>
#include <vector>

namespace {

constexpr double Column = 60;
constexpr double Row = 80; // a 24 x 48 symbol and a line of 32 to the next
constexpr int ShortEvery = 97;
const int Kinds[] = {ItemKind::Breaker, ItemKind::Disconnector, ItemKind::BreakerTruck, ItemKind::Fuse,
    ItemKind::CurrentTransformer, ItemKind::Reactor};

// One feeder column per hundred symbols; each symbol's top at y, its line from y - 32 to y.
struct Feeders
{
    explicit Feeders(int count)
        : count(count)
        , rows(100)
    { }

    int columns() const { return (count + rows - 1) / rows; }
    QPointF top(int i) const
    {
        const int column = i / rows;
        return QPointF(column * Column + Column / 2, (i % rows) * Row + 32);
    }
    // Every ShortEvery-th line stops 3 units above the symbol it feeds.
    QPointF lineEnd(int i) const { return top(i) - QPointF(0, i % ShortEvery == 0 ? 3 : 0); }
    // The canvas of the graph, as its document would have it.
    QRectF canvas() const { return QRectF(0, 0, columns() * Column, rows * Row); }
    // Near misses, and the lowest point of every column.
    int expectedFindings() const { return (count + ShortEvery - 1) / ShortEvery + columns(); }

    int count;
    int rows;
};

void fill(Scene &scene, const Feeders &f)
{
    const DrawingDefaults d = BenchSupport::defaults();
    for (int i = 0; i < f.count; ++i) {
        const QPointF top = f.top(i);
        GraphicsItem *symbol = ItemKind::create(Kinds[i % 6]);
        symbol->createFromPoints(&d, top - QPointF(12, 0), top + QPointF(12, 48), &scene);
        scene.addItem(symbol);
        GraphicsItem *line = ItemKind::create(ItemKind::Line);
        line->createFromPoints(&d, top - QPointF(0, 32), f.lineEnd(i), &scene);
        scene.addItem(line);
    }
}

// The plain scene, and every connection point with the reach the check asks about it.
void fillPlain(QGraphicsScene &scene, const Feeders &f, std::vector<QRectF> &queries)
{
    const auto around = [](const QPointF &p, double r) { return QRectF(p.x() - r, p.y() - r, 2 * r, 2 * r); };
    for (int i = 0; i < f.count; ++i) {
        const QPointF top = f.top(i);
        scene.addRect(QRectF(top - QPointF(12, 0), QSizeF(24, 48)));
        // A line as a thin rectangle: a QGraphicsLineItem strokes its shape for every bounding
        // rectangle asked, which would make the baseline slower than Qt can be.
        scene.addRect(QRectF(top - QPointF(0.5, 32), f.lineEnd(i) + QPointF(0.5, 0)));
        queries.push_back(around(top, ConnectionCheck::OnDistance));
        queries.push_back(around(top + QPointF(0, 48), ConnectionCheck::OnDistance));
        queries.push_back(around(top - QPointF(0, 32), ConnectionCheck::NearDistance));
        queries.push_back(around(f.lineEnd(i), ConnectionCheck::NearDistance));
    }
}

double medianMs(std::vector<qint64> &ns)
{
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

} // namespace

class BenchConnections : public QObject
{
    Q_OBJECT
private slots:
    void check_data()
    {
        QTest::addColumn<int>("count");
        for (int count : {1000, 10000, 100000})
            QTest::addRow("%d symbols and %d lines", count, count) << count;
    }

    // The check and the baseline in turn, medians of several rounds.
    void check()
    {
        QFETCH(int, count);
        const Feeders feeders(count);
        Scene scene;
        scene.setSceneRect(feeders.canvas());
        fill(scene, feeders);
        QGraphicsScene plain(feeders.canvas());
        std::vector<QRectF> queries;
        fillPlain(plain, feeders, queries);
        // Both indexes built before the clocks run.
        scene.items(QPointF(0, 0));
        plain.items(QPointF(0, 0));

        const int rounds = count >= 100000 ? 3 : 11;
        std::vector<qint64> checks;
        std::vector<qint64> baselines;
        int found = 0;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer clock;
            clock.start();
            const QList<ConnectionCheck::Finding> findings = ConnectionCheck::run(scene);
            checks.push_back(clock.nsecsElapsed());
            QCOMPARE(findings.size(), feeders.expectedFindings());
            clock.restart();
            for (const QRectF &area : queries)
                found += plain.items(area, Qt::IntersectsItemBoundingRect, Qt::SortOrder(-1)).size();
            baselines.push_back(clock.nsecsElapsed());
        }
        QVERIFY(found > 0);
        const double check = medianMs(checks);
        const double baseline = medianMs(baselines);
        qInfo("%d symbols, %d lines: check %.1f ms, baseline of %zu rectangle queries %.1f ms, ratio %.2f", count,
            count, check, queries.size(), baseline, check / baseline);
    }
};

QTEST_MAIN(BenchConnections)
#include "bench_connections.moc"
