// Dragging equipment with the lines glued to it, through the main window: mouse events on the
// viewport of a graph of N switches in feeder columns, each fed by a line from the switch above
// (glued at both ends but the first of a column), N = 1 000, 10 000 and 100 000 (2N items). Every
// tenth switch is selected, so that each drag stretches two lines per selected switch. A drag is
// a press on a selected switch, ten moves and the release; each move is timed until the event
// loop has done its work (index updates, repaint), the release likewise with the undo macro.
// The same drag with glue off is the baseline of the same run.
//
// QT_QPA_PLATFORM=offscreen bench_glue [QtTest options]; PLOTWRIGHT_BENCH_SIZES=2 runs the two
// smaller graphs only.
#include "benchsupport.h"
#include "document/graphicsview.h"
#include "driver.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "lineitem.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QSignalBlocker>
#include <QUndoStack>
#include <QtTest>
#include <algorithm>
#include <map>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr double Column = 60;
constexpr double Row = 80; // a 24 x 48 switch and a line of 32 to the next
constexpr int Rows = 100;
constexpr int Moves = 10;
constexpr int Rounds = 3;
constexpr int SelectEvery = 10;
const int Kinds[] = {ItemKind::Breaker, ItemKind::Disconnector, ItemKind::BreakerTruck, ItemKind::Fuse};

QPointF topOf(int i)
{
    const int column = i / Rows; // whole columns of Rows switches
    return QPointF(column * Column + Column / 2, (i % Rows) * Row + 32);
}

// The switches, each with the line from the point above it (the switch above's bottom) to its top.
QVector<QGraphicsItem *> fill(QGraphicsScene &scene, int count)
{
    const DrawingDefaults d = defaults();
    QVector<QGraphicsItem *> switches;
    switches.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QPointF top = topOf(i);
        GraphicsItem *item = ItemKind::create(Kinds[i % 4]);
        item->createFromPoints(&d, top - QPointF(12, 0), top + QPointF(12, 48), &scene);
        scene.addItem(item);
        switches << item;
        GraphicsItem *line = ItemKind::create(ItemKind::Line);
        line->createFromPoints(&d, top - QPointF(0, 32), top, &scene);
        scene.addItem(line);
    }
    return switches;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Timing
{
    std::vector<double> press;
    std::vector<double> move; // event and its repaint
    std::vector<double> moveEvent; // the event alone
    std::vector<double> drop;
    std::vector<double> undo;
};

double msSince(const QElapsedTimer &clock)
{
    return clock.nsecsElapsed() / 1e6;
}

// Per count and glue setting, the medians: press, move, move event alone, drop, undo.
std::map<std::pair<int, bool>, std::vector<double>> g_results;

} // namespace

class BenchGlue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("bench_glue");
        QVERIFY(TestSupport::writePlatform(1));
    }

    void cleanupTestCase()
    {
        TestSupport::writePlatform(-1);
        qInfo("growth per x10 (median move with repaint; drop):");
        for (bool glue : {false, true}) {
            const std::vector<double> *before = nullptr;
            for (const auto &entry : g_results) {
                if (entry.first.second != glue)
                    continue;
                if (before) {
                    qInfo("  glue %-3s to %6d: move x%.1f, drop x%.1f", glue ? "on" : "off", entry.first.first,
                        entry.second[1] / (*before)[1], entry.second[3] / (*before)[3]);
                }
                before = &entry.second;
            }
        }
    }

    void drag_data()
    {
        QTest::addColumn<int>("count");
        bool ok = false;
        const int sizes = qBound(1, qEnvironmentVariableIntValue("PLOTWRIGHT_BENCH_SIZES", &ok), 3);
        for (int i = 0, count = 1000; i < (ok ? sizes : 3); ++i, count *= 10)
            QTest::addRow("%d switches, %d lines", count, count) << count;
    }

    void drag()
    {
        QFETCH(int, count);
        Driver d;
        GraphicsView *view = TestSupport::newGraph(*d.window);
        QVERIFY(view);
        QVERIFY2(d.prepareView(), qPrintable(d.error));
        auto *scene = view->documentScene();
        const int columns = (count + Rows - 1) / Rows;
        scene->setSceneRect(0, 0, columns * Column, Rows * Row);
        const QVector<QGraphicsItem *> switches = fill(*scene, count);
        settle();
        {
            // One notice for the whole selection, as a rubber band gives.
            const QSignalBlocker quiet(scene);
            for (int i = SelectEvery / 2; i < count; i += SelectEvery)
                switches[i]->setSelected(true);
        }
        emit scene->selectionChanged();
        QGraphicsItem *grabbed = switches[count / 2 + SelectEvery / 2];
        QVERIFY(grabbed->isSelected());
        view->centerOn(grabbed);
        settle();
        const QPoint at = view->mapFromScene(grabbed->sceneBoundingRect().center());
        // The lines the drag stretches: the selected switch's own and the one below it.
        auto *stretched = dynamic_cast<LineItem *>(
            scene->itemAt(topOf(count / 2 + SelectEvery / 2 + 1) - QPointF(0, 16), view->transform()));
        QVERIFY(stretched);

        for (bool glue : {false, true}) {
            EditorState::gridSettings().setGlue(glue);
            Timing t;
            for (int round = 0; round < Rounds; ++round) {
                const QPointF before = grabbed->pos();
                const QList<QPointF> lineBefore = stretched->terminalPoints();
                QElapsedTimer clock;
                clock.start();
                d.press(at);
                settle();
                t.press.push_back(msSince(clock));
                for (int i = 1; i <= Moves; ++i) {
                    clock.restart();
                    d.moveHeld(at + QPoint(13 * i, 9 * i));
                    t.moveEvent.push_back(msSince(clock));
                    settle();
                    t.move.push_back(msSince(clock));
                }
                clock.restart();
                d.release(at + QPoint(13 * Moves, 9 * Moves));
                settle();
                t.drop.push_back(msSince(clock));
                QVERIFY(grabbed->pos() != before);
                // Glued, the line's upper end went with the switch above it; else it stayed.
                QCOMPARE(stretched->terminalPoints().first() != lineBefore.first(), glue);
                QCOMPARE(scene->undoStack()->undoText(), QStringLiteral("move"));
                clock.restart();
                QVERIFY(d.undo());
                settle();
                t.undo.push_back(msSince(clock));
                QCOMPARE(grabbed->pos(), before);
                QCOMPARE(stretched->terminalPoints(), lineBefore);
            }
            const std::vector<double> medians{
                median(t.press), median(t.move), median(t.moveEvent), median(t.drop), median(t.undo)};
            g_results[{count, glue}] = medians;
            qInfo("%6d switches + %6d lines, %5d selected, glue %-3s: press %7.1f ms, move %6.2f ms (event %6.2f), "
                  "drop %7.1f ms, undo %7.1f ms",
                count, count, count / SelectEvery, glue ? "on" : "off", medians[0], medians[1], medians[2], medians[3],
                medians[4]);
        }
        EditorState::gridSettings().setGlue(true);
    }
};

QTEST_MAIN(BenchGlue)
#include "bench_glue.moc"
