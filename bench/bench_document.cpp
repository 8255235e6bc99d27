// The document window's file work on big graphs: saving and opening through GraphicsView
// (safe write, cursor, title, undo stack) against the bare document format on the same scene,
// and the SVG export of the saved document against rendering an already loaded scene.
#include "abstractgraphicsscene.h"
#include "document/graphicsview.h"
#include "documentformat.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "scene/scene.h"
#include "svggenerator.h"

#include <QDataStream>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

// Simple items as a one-line diagram has them: mostly symbols, lines and texts.
const int Types[] = {0x10008, 0x10009, 0x10016, 0x10027, 0x10018, 0x10012, 0x10007, 0x10011};

void createItems(AbstractGraphicsScene &scene, int count)
{
    DrawingDefaults d;
    d.penWidth = 1;
    d.penColor = QColor(255, 255, 0);
    d.penStyle = 1;
    const int columns = 400;
    for (int i = 0; i < count; ++i) {
        const QPointF at((i % columns) * 30.0, (i / columns) * 60.0);
        auto *item = static_cast<GraphicsItem *>(AbstractGraphicsScene::graphicsItem(0, Types[i % 8], true));
        item->createFromPoints(&d, at, at + QPointF(24, 48), &scene);
        scene.addItem(item);
    }
}

// Tears documents down outside the measurement, after the event loop has seen them, as it
// has in the editor long before a document is closed.
template <typename T> void discard(std::vector<std::unique_ptr<T>> &objects)
{
    QCoreApplication::processEvents();
    objects.clear();
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
        createItems(*view->documentScene(), count);
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

    // --- SVG export of 10 000 items

    void baselineRenderLoadedScene()
    {
        // The drawing alone: a scene already in memory rendered into the generator.
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 12000, 15000);
        createItems(scene, 10000);
        const QString file = path(QStringLiteral("baseline.svg"));
        QBENCHMARK
        {
            SvgGenerator generator;
            generator.setFileName(file);
            generator.setSize(scene.sceneRect().size().toSize());
            generator.setViewBox(scene.sceneRect());
            QPainter painter(&generator);
            scene.render(&painter, QRectF(), QRectF(), Qt::KeepAspectRatio);
            painter.end();
        }
    }

    void viewWriteSvg()
    {
        // Reading the saved file back is part of every export.
        auto view = savedView(10000, QStringLiteral("svg.drw"));
        QVERIFY(view);
        const QString file = path(QStringLiteral("view.svg"));
        QBENCHMARK
        {
            QVERIFY(view->writeSvg(file));
        }
        qInfo("10000 items: %lld bytes of SVG", QFileInfo(file).size());
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<GraphicsView> m_big;
};

QTEST_MAIN(BenchDocument)
#include "bench_document.moc"
