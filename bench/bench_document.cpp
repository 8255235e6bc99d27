// The document window's file work on big graphs: saving and opening through GraphicsView
// (safe write, cursor, title, undo stack) against the bare document format on the same scene,
// and the SVG export of the saved document at 1 000 to 100 000 items against Qt's own
// QSvgGenerator painting the loaded scene into memory: times, how both grow, and the memory
// each takes beyond what the process held before.
#include "abstractgraphicsscene.h"
#include "benchsupport.h"
#include "document/graphicsview.h"
#include "documentformat.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "scene/scene.h"

#include <QBuffer>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QSvgGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

// Tears documents down outside the measurement, after the event loop has seen them, as it
// has in the editor long before a document is closed.
template<typename T> void discard(std::vector<std::unique_ptr<T>> &objects)
{
    QCoreApplication::processEvents();
    objects.clear();
}

struct Run
{
    double ms = 0;
    qint64 extraKilobytes = 0;
};

// The best of `rounds` runs of `work`, and the most memory one of them took above the resident
// set it started from. Freed heap goes back to the system first, and the peak is reset, so
// that each run counts only what it holds itself.
template<typename Work> Run measure(int rounds, Work work)
{
    Run run;
    run.ms = 1e300;
    for (int i = 0; i < rounds; ++i) {
        BenchSupport::releaseFreeMemory();
        BenchSupport::resetPeak();
        const qint64 before = BenchSupport::statusKb("VmRSS:");
        QElapsedTimer clock;
        clock.start();
        work();
        run.ms = std::min(run.ms, clock.nsecsElapsed() / 1e6);
        run.extraKilobytes = std::max(run.extraKilobytes, BenchSupport::statusKb("VmHWM:") - before);
    }
    return run;
}

} // namespace

class BenchDocument : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A named graph of `count` items, saved by its view.
    std::unique_ptr<GraphicsView> savedView(int count, const QString &name)
    {
        auto view = std::make_unique<GraphicsView>();
        view->newFile(0);
        view->documentScene()->setSceneRect(0, 0, 12000, 15000);
        BenchSupport::addItems(*view->documentScene(), count);
        if (!view->saveFile(path(name), false))
            return nullptr;
        return view;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("PLOTWRIGHT_PROJECT_DIR", m_dir.path().toLocal8Bit());
        // One 100 000-item graph for both the view and the baseline.
        m_big = savedView(100000, QStringLiteral("big.drw"));
        QVERIFY(m_big);
    }

    void cleanupTestCase() { m_big.reset(); }

    // --- saving 100 000 items

    void baselineFormatSave()
    {
        const QString file = path(QStringLiteral("baseline.drw"));
        QBENCHMARK
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QDataStream stream(&out);
            QCOMPARE(int(DocumentFormat::saveDocument(stream, *m_big->documentScene())), 0);
        }
        qInfo("100000 items: %lld bytes", QFileInfo(file).size());
    }

    void viewSaveFile()
    {
        const QString file = path(QStringLiteral("view.drw"));
        QBENCHMARK
        {
            QVERIFY(m_big->saveFile(file, false));
        }
    }

    // --- opening 100 000 items

    void baselineFormatLoad()
    {
        const QString file = path(QStringLiteral("big.drw"));
        std::vector<std::unique_ptr<AbstractGraphicsScene>> scenes;
        QBENCHMARK
        {
            scenes.emplace_back(new AbstractGraphicsScene);
            QFile in(file);
            QVERIFY(in.open(QIODevice::ReadOnly));
            QDataStream stream(&in);
            QCOMPARE(int(DocumentFormat::loadDocument(stream, *scenes.back(), 0, true, nullptr)), 0);
        }
        discard(scenes);
    }

    void viewLoadFile()
    {
        const QString file = path(QStringLiteral("big.drw"));
        std::vector<std::unique_ptr<GraphicsView>> views;
        QBENCHMARK
        {
            views.emplace_back(new GraphicsView);
            QVERIFY(views.back()->loadFile(0, file));
        }
        QCOMPARE(views.back()->documentScene()->items().size(), 100000);
        discard(views);
    }

    // --- SVG export of 1 000, 10 000 and 100 000 items

    void exportSvgAgainstQtGenerator()
    {
        const int counts[] = {1000, 10000, 100000};
        Run ours[3];
        Run qt[3];
        for (int n = 0; n < 3; ++n) {
            const int count = counts[n];
            std::unique_ptr<GraphicsView> small;
            if (count < 100000) {
                small = savedView(count, QStringLiteral("svg%1.drw").arg(count));
                QVERIFY(small);
            }
            GraphicsView *view = small ? small.get() : m_big.get();
            const QString file = path(QStringLiteral("svg%1.svg").arg(count));
            const int rounds = count < 100000 ? 5 : 2;

            // The export: the saved graph read back, painted and written.
            ours[n] = measure(rounds, [&] { QVERIFY(view->writeSvg(file)); });
            const qint64 bytes = QFileInfo(file).size();

            // Qt alone: the scene already in memory painted into its generator on a buffer.
            Scene *scene = view->documentScene();
            qt[n] = measure(rounds, [&] {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                QSvgGenerator generator;
                generator.setOutputDevice(&buffer);
                generator.setSize(scene->sceneRect().size().toSize());
                generator.setViewBox(scene->sceneRect());
                QPainter painter(&generator);
                scene->render(&painter, QRectF(), QRectF(), Qt::KeepAspectRatio);
                painter.end();
            });
            qInfo("%6d items: export %7.1f ms, %6lld KB extra, %8lld bytes | QSvgGenerator %7.1f ms, "
                  "%6lld KB extra | time ratio %.2f",
                count, ours[n].ms, ours[n].extraKilobytes, bytes, qt[n].ms, qt[n].extraKilobytes,
                ours[n].ms / qt[n].ms);
        }
        qInfo("growth 1k->10k: export %.1fx, QSvgGenerator %.1fx; 10k->100k: export %.1fx, "
              "QSvgGenerator %.1fx",
            ours[1].ms / ours[0].ms, qt[1].ms / qt[0].ms, ours[2].ms / ours[1].ms, qt[2].ms / qt[1].ms);
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<GraphicsView> m_big;
};

QTEST_MAIN(BenchDocument)
#include "bench_document.moc"
