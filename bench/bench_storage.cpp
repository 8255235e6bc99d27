// Saving and loading big graphs in memory, against the work no format can avoid: creating
// the same items through the factory and adding them to a scene, measured in the same run.
// Files and SVG through the document window are measured by bench_document.
#include "abstractgraphicsscene.h"
#include "benchsupport.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"

#include <QDataStream>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

// A scene of the editor's fixed size (an unbounded one re-indexes as it grows) with
// `count` items in rows.
AbstractGraphicsScene *filled(int count)
{
    auto *scene = new AbstractGraphicsScene;
    scene->setSceneRect(0, 0, 12000, 15000);
    BenchSupport::addItems(*scene, count);
    return scene;
}

QByteArray saved(AbstractGraphicsScene &scene)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
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
    void initTestCase() { qputenv("PLOTWRIGHT_PROJECT_DIR", m_dir.path().toLocal8Bit()); }

    void baselineCreateAndAdd_data() { sizes(); }
    void baselineCreateAndAdd()
    {
        QFETCH(int, count);
        std::vector<std::unique_ptr<AbstractGraphicsScene>> scenes;
        QBENCHMARK
        {
            scenes.emplace_back(filled(count));
        }
        discard(scenes);
    }

    void saveToMemory_data() { sizes(); }
    void saveToMemory()
    {
        QFETCH(int, count);
        std::unique_ptr<AbstractGraphicsScene> scene(filled(count));
        QByteArray bytes;
        QBENCHMARK
        {
            bytes = saved(*scene);
        }
        if (count == 100000) // once, not for every calibration run
            qInfo("%d items: %.1f bytes per item", count, double(bytes.size()) / count);
    }

    void loadFromMemory_data() { sizes(); }
    void loadFromMemory()
    {
        QFETCH(int, count);
        const QByteArray bytes = saved(*std::unique_ptr<AbstractGraphicsScene>(filled(count)));
        std::vector<std::unique_ptr<AbstractGraphicsScene>> scenes;
        QBENCHMARK
        {
            scenes.emplace_back(new AbstractGraphicsScene);
            QDataStream stream(bytes);
            QCOMPARE(int(scenes.back()->load(stream, true, 0, nullptr, nullptr)), 0);
        }
        discard(scenes);
    }

    // Reading the bytes of a 100 000-item file into memory, nothing more.
    void baselineRawRead()
    {
        const QByteArray bytes = saved(*std::unique_ptr<AbstractGraphicsScene>(filled(100000)));
        QBENCHMARK
        {
            QByteArray copy = bytes;
            QDataStream stream(copy);
            QVERIFY(stream.device()->readAll().size() == bytes.size());
        }
    }

    // The clipboard's payload of 10 000 items read back as loose items.
    void loadItems10000()
    {
        std::unique_ptr<AbstractGraphicsScene> scene(filled(10000));
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        QVERIFY(scene->save(out, scene->items()));
        QBENCHMARK
        {
            QDataStream stream(bytes);
            QList<QGraphicsItem *> items;
            QVERIFY(AbstractGraphicsScene::loadItems(stream, true, 0, 13, items, nullptr, nullptr, nullptr));
            qDeleteAll(items);
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(BenchStorage)
#include "bench_storage.moc"
