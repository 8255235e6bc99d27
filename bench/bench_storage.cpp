// Saving and loading big graphs, against the work no format can avoid: creating the
// same items through the factory and adding them to a scene, measured in the same run.
#include "abstractgraphicsscene.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "svggenerator.h"

#include <QBuffer>
#include <QDataStream>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

// Simple items as a one-line diagram has them: mostly symbols, lines and texts.
const int Types[] = {0x10008, 0x10009, 0x10016, 0x10027, 0x10018, 0x10012, 0x10007, 0x10011};

DrawingDefaults defaults()
{
    DrawingDefaults d;
    d.penWidth = 1;
    d.penColor = QColor(255, 255, 0);
    d.penStyle = 1;
    return d;
}

void createItems(AbstractGraphicsScene &scene, int count)
{
    const DrawingDefaults d = defaults();
    const int columns = 400;
    for (int i = 0; i < count; ++i) {
        const QPointF at((i % columns) * 30.0, (i / columns) * 60.0);
        auto *item = static_cast<GraphicsItem *>(AbstractGraphicsScene::graphicsItem(0, Types[i % 8], true));
        item->createFromPoints(&d, at, at + QPointF(24, 48), &scene);
        scene.addItem(item);
    }
}

QByteArray saved(AbstractGraphicsScene &scene)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream stream(&buffer);
    scene.save(stream);
    return bytes;
}

// Scenes are torn down outside the measurement, after the event loop has polished their
// items, as it has in the editor long before a document is closed.
void discard(std::vector<std::unique_ptr<AbstractGraphicsScene>> &scenes)
{
    QCoreApplication::processEvents();
    scenes.clear();
}

void sizes()
{
    QTest::addColumn<int>("count");
    QTest::newRow("1000") << 1000;
    QTest::newRow("10000") << 10000;
    QTest::newRow("100000") << 100000;
}

} // namespace

class BenchStorage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The editor's scenes are fixed in size; an unbounded one re-indexes as it grows.
        qputenv("PLOTWRIGHT_PROJECT_DIR", m_dir.path().toLocal8Bit());
    }

    void baselineCreateAndAdd_data() { sizes(); }
    void baselineCreateAndAdd()
    {
        QFETCH(int, count);
        std::vector<std::unique_ptr<AbstractGraphicsScene>> scenes;
        QBENCHMARK {
            scenes.emplace_back(new AbstractGraphicsScene);
            scenes.back()->setSceneRect(0, 0, 12000, 15000);
            createItems(*scenes.back(), count);
        }
        discard(scenes);
    }

    void saveToMemory_data() { sizes(); }
    void saveToMemory()
    {
        QFETCH(int, count);
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 12000, 15000);
        createItems(scene, count);
        QByteArray bytes;
        QBENCHMARK {
            bytes = saved(scene);
        }
        if (count == 100000)
            qInfo("%d items: %d bytes, %.1f bytes per item", count, bytes.size(), double(bytes.size()) / count);
    }

    void loadFromMemory_data() { sizes(); }
    void loadFromMemory()
    {
        QFETCH(int, count);
        QByteArray bytes;
        {
            AbstractGraphicsScene scene;
            scene.setSceneRect(0, 0, 12000, 15000);
            createItems(scene, count);
            bytes = saved(scene);
        }
        std::vector<std::unique_ptr<AbstractGraphicsScene>> scenes;
        QBENCHMARK {
            scenes.emplace_back(new AbstractGraphicsScene);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            QDataStream stream(&buffer);
            QCOMPARE(int(scenes.back()->load(stream, true, 0, nullptr, nullptr)), 0);
        }
        discard(scenes);
    }

    void saveAndLoadFile_data() { sizes(); }
    void saveAndLoadFile()
    {
        QFETCH(int, count);
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 12000, 15000);
        createItems(scene, count);
        const QString path = m_dir.filePath(QStringLiteral("bench.drw"));
        std::vector<std::unique_ptr<AbstractGraphicsScene>> scenes;
        QBENCHMARK {
            {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                QDataStream out(&file);
                QCOMPARE(int(scene.save(out)), 0);
            }
            scenes.emplace_back(new AbstractGraphicsScene);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QDataStream in(&file);
            QCOMPARE(int(scenes.back()->load(in, true, 0, nullptr, nullptr)), 0);
        }
        discard(scenes);
    }

    void baselineRawRead()
    {
        // Reading the bytes of a 100 000-item file into memory, nothing more.
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 12000, 15000);
        createItems(scene, 100000);
        const QByteArray bytes = saved(scene);
        QBENCHMARK {
            QByteArray copy = bytes;
            QBuffer buffer(&copy);
            buffer.open(QIODevice::ReadOnly);
            QVERIFY(buffer.readAll().size() == bytes.size());
        }
    }

    void loadItems10000()
    {
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 12000, 15000);
        createItems(scene, 10000);
        QByteArray bytes;
        {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QDataStream stream(&buffer);
            QVERIFY(scene.save(stream, scene.items()));
        }
        QBENCHMARK {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            QDataStream stream(&buffer);
            QList<QGraphicsItem *> items;
            QVERIFY(AbstractGraphicsScene::loadItems(stream, true, 0, 13, items, nullptr, nullptr, nullptr));
            qDeleteAll(items);
        }
    }

    void svgWriting_data() { sizes(); }
    void svgWriting()
    {
        QFETCH(int, count);
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 12000, 15000);
        createItems(scene, count);
        const QString path = m_dir.filePath(QStringLiteral("bench.svg"));
        QBENCHMARK {
            SvgGenerator generator;
            generator.setFileName(path);
            generator.setSize(scene.sceneRect().size().toSize());
            generator.setViewBox(scene.sceneRect());
            QPainter painter;
            painter.begin(&generator);
            scene.render(&painter, QRectF(), QRectF(), Qt::KeepAspectRatio);
            painter.end();
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(BenchStorage)
#include "bench_storage.moc"
