// What the canvas around and under a graph costs: a full repaint of a shown document of the
// realistic 10 000-item graph at 50 %, 100 % and 400 %, with the grid shown and, as the
// baseline in the same run, without it. Then both again, interleaved, as medians and their
// difference: the grid's own cost at each zoom.
#include "benchsupport.h"
#include "document/graphicsview.h"
#include "documentkind.h"
#include "scene/editorstate.h"
#include "scene/scene.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int Count = 10000;
const QSize ViewSize(1600, 900);

// Zoom levels of the view: 100 is 1:1, every 50 halves or doubles.
const int Levels[] = {50, 100, 200};

double medianMs(std::vector<qint64> &nanoseconds)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    return nanoseconds[nanoseconds.size() / 2] / 1e6;
}

} // namespace

class BenchCanvas : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<GraphicsView> m_view;

    // The view at the zoom level, on the middle of the graph, with the grid shown or not.
    void prepare(int level, bool grid)
    {
        m_view->zoomDefault();
        m_view->zoomIn(level - 100);
        m_view->centerOn(m_view->documentScene()->sceneRect().center());
        EditorState::gridSettings().setVisible(grid);
        BenchSupport::settle();
        m_view->viewport()->repaint();
    }

private slots:
    void initTestCase()
    {
        qputenv("PLOTWRIGHT_PROJECT_DIR", m_dir.path().toLocal8Bit());
        const QString path = m_dir.filePath(QStringLiteral("graph.drw"));
        const QString error = BenchSupport::writeGraph(path, Count);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_view = std::make_unique<GraphicsView>();
        m_view->setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(m_view->loadFile(DocumentKind::Graph, path));
        m_view->resize(ViewSize);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        EditorState::gridSettings().setSize(GridSettings::DefaultSize);
    }

    void cleanupTestCase() { m_view.reset(); }

    void repaint_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("grid");
        for (int level : Levels) {
            const int percent = int(std::pow(2.0, (level - 100) / 50.0) * 100);
            QTest::addRow("%d %%, baseline without grid", percent) << level << false;
            QTest::addRow("%d %%, grid of %d", percent, GridSettings::DefaultSize) << level << true;
        }
    }

    void repaint()
    {
        QFETCH(int, level);
        QFETCH(bool, grid);
        prepare(level, grid);
        QBENCHMARK
        {
            m_view->viewport()->repaint();
        }
    }

    // Repaints with and without the grid taken in turn, so that both see the same machine.
    void gridCost()
    {
        constexpr int Rounds = 41;
        for (int level : Levels) {
            std::vector<qint64> without;
            std::vector<qint64> with;
            for (int i = 0; i < Rounds; ++i) {
                for (bool grid : {false, true}) {
                    prepare(level, grid);
                    QElapsedTimer clock;
                    clock.start();
                    m_view->viewport()->repaint();
                    (grid ? with : without).push_back(clock.nsecsElapsed());
                }
            }
            const double off = medianMs(without);
            const double on = medianMs(with);
            qInfo("%3d %%: repaint %.2f ms without grid, %.2f ms with it: the grid adds %.2f ms", m_view->zoomPercent(),
                off, on, on - off);
        }
    }
};

QTEST_MAIN(BenchCanvas)
#include "bench_canvas.moc"
