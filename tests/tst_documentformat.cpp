// Documents, clipboard payloads and group files: exact round trips, the older
// version, and result codes for every kind of damaged input.
#include "abstractgraphicsscene.h"
#include "binarycodec.h"
#include "documentformat.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDataStream>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

namespace {

// Everything that must survive storage, item by item in stacking order, groups' members
// after their group.
void describe(QGraphicsItem *item, int depth, QList<QVariantList> &out)
{
    auto *u = dynamic_cast<AbstractGraphicsUtility *>(item);
    auto *r = dynamic_cast<AbstractGraphicsResize *>(item);
    out << QVariantList {item->type(), r ? r->geometry() : QVariant(item->pos()),
        ItemSamples::propertySnapshot(item), u ? u->svgID() : QString(), u ? u->ykID() : QString(),
        u && u->islocked(), item->zValue(), depth};
    for (QGraphicsItem *child : item->childItems())
        describe(child, depth + 1, out);
}

QList<QVariantList> describe(const QList<QGraphicsItem *> &items)
{
    QList<QVariantList> out;
    for (QGraphicsItem *item : items)
        describe(item, 0, out);
    return out;
}

QList<QVariantList> describe(const QGraphicsScene &scene)
{
    return describe(AbstractGraphicsScene::noParentFilter(scene.items(Qt::AscendingOrder)));
}

// A scene holding every kind with every property changed, locked and raised items,
// and a group inside a group.
void fillWithEverything(AbstractGraphicsScene &scene)
{
    scene.setSceneRect(0, 0, 2400, 1600);
    scene.setBackgroundColor(QColor(10, 20, 30));
    scene.setBackgroundPixmap(QStringLiteral("/图片/背景.png"));
    int i = 0;
    for (const ItemKind &kind : ItemKind::all()) {
        GraphicsItem *item
            = ItemSamples::create(kind.type, QRectF(20 + 40 * (i % 20), 30 + 90 * (i / 20), 36, 70));
        QVERIFY2(item, kind.name);
        ItemSamples::changeEveryProperty(item);
        item->setLock(false);
        item->setSvgID(QStringLiteral("YX%1").arg(i));
        item->setYkID(i % 3 ? QString() : QStringLiteral("YK%1").arg(i));
        if (i % 7 == 0)
            item->setZValue(i);
        scene.addItem(item);
        if (i % 5 == 0)
            item->setLock(true);
        ++i;
    }
    // Two rectangles in an inner group, that group and a line in an outer one.
    auto *inner = new GroupItem;
    scene.addItem(inner);
    for (int k = 0; k < 2; ++k) {
        GraphicsItem *r = ItemSamples::create(0x10018, QRectF(500 + 50 * k, 900, 40, 30));
        scene.addItem(r);
        inner->addToGroup(r);
    }
    inner->setName(QStringLiteral("内组"));
    auto *outer = new GroupItem;
    scene.addItem(outer);
    outer->addToGroup(inner);
    GraphicsItem *line = ItemSamples::create(0x10016, QRectF(600, 1000, -80, 40));
    scene.addItem(line);
    outer->addToGroup(line);
    outer->setLock(true);
    outer->setZValue(-2);
}

QByteArray saveDocument(AbstractGraphicsScene &scene, unsigned version = 13)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    if (version == 13)
        scene.save(stream);
    else
        DocumentFormat::saveDocument(stream, scene, version);
    return bytes;
}

int loadDocument(const QByteArray &bytes, AbstractGraphicsScene &scene, int type = 0)
{
    QDataStream stream(bytes);
    return scene.load(stream, true, type, nullptr, nullptr);
}

} // namespace

class TestDocumentFormat : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("documentformat"); }

    void documentRoundTrip()
    {
        AbstractGraphicsScene original;
        fillWithEverything(original);
        if (QTest::currentTestFailed())
            return;
        const QByteArray bytes = saveDocument(original);

        AbstractGraphicsScene loaded;
        loaded.addRect(0, 0, 5, 5); // replaced by the load
        QCOMPARE(loadDocument(bytes, loaded), 0);
        QCOMPARE(loaded.version(), 13u);
        QCOMPARE(loaded.type(), 0);
        QCOMPARE(loaded.sceneRect(), original.sceneRect());
        QCOMPARE(loaded.backgroundColor(), original.backgroundColor());
        QCOMPARE(loaded.backgroundPixmap(), original.backgroundPixmap());
        QCOMPARE(describe(loaded), describe(original));
        // Saving what was loaded gives the same bytes.
        QCOMPARE(saveDocument(loaded), bytes);
    }

    void templatesAreTheirOwnType()
    {
        AbstractGraphicsScene scene;
        scene.setType(1);
        scene.addItem(ItemSamples::create(0x10018, QRectF(0, 0, 10, 10)));
        const QByteArray bytes = saveDocument(scene);
        AbstractGraphicsScene asGraph;
        QCOMPARE(loadDocument(bytes, asGraph, 0), 1);
        QVERIFY(asGraph.items().isEmpty());
        AbstractGraphicsScene asTemplate;
        QCOMPARE(loadDocument(bytes, asTemplate, 1), 0);
        QCOMPARE(asTemplate.type(), 1);
        QCOMPARE(asTemplate.items().size(), 1);
    }

    void olderVersionLoadsAndReportsIt()
    {
        AbstractGraphicsScene original;
        GraphicsItem *text = ItemSamples::create(0x10027, QRectF(10, 10, 100, 30));
        text->setPropertyValue(QStringLiteral("字体"), QFont(QStringLiteral("Noto Sans CJK SC"), 31));
        original.addItem(text);
        original.addItem(ItemSamples::create(0x10012, QRectF(200, 10, 40, 60)));
        const QByteArray old = saveDocument(original, 12);
        QVERIFY(old.size() < saveDocument(original).size()); // no checksum, no font
        AbstractGraphicsScene loaded;
        QCOMPARE(loadDocument(old, loaded), 0);
        QCOMPARE(loaded.version(), 12u);
        QCOMPARE(loaded.items().size(), 2);
        // Version 12 knew no fonts: the text comes back with the default one.
        auto *back = dynamic_cast<GraphicsItem *>(
            AbstractGraphicsScene::noParentFilter(loaded.items(Qt::AscendingOrder)).first());
        QVERIFY(back->font().pointSizeF() != 31);
        // Saving again writes the current version.
        AbstractGraphicsScene again;
        QCOMPARE(loadDocument(saveDocument(loaded), again), 0);
        QCOMPARE(again.version(), 13u);
    }

    void clipboardPayloadKeepsOrder()
    {
        AbstractGraphicsScene scene;
        fillWithEverything(scene);
        QList<QGraphicsItem *> chosen
            = AbstractGraphicsScene::noParentFilter(scene.items(Qt::AscendingOrder));
        std::reverse(chosen.begin(), chosen.end());
        chosen = chosen.mid(3, 20);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        QVERIFY(scene.save(out, chosen));
        QDataStream stream(bytes);
        QList<QGraphicsItem *> loaded;
        QVERIFY(AbstractGraphicsScene::loadItems(stream, true, 0, 13, loaded, nullptr, nullptr, nullptr));
        QCOMPARE(describe(loaded), describe(chosen));
        for (QGraphicsItem *item : loaded)
            QVERIFY(!item->scene() && !chosen.contains(item));
        qDeleteAll(loaded);
    }

    void groupFileRoundTrip()
    {
        AbstractGraphicsScene scene;
        fillWithEverything(scene);
        QGraphicsItem *outer = nullptr;
        for (QGraphicsItem *item : scene.items()) {
            if (item->type() == GroupItem::Type && !item->parentItem())
                outer = item;
        }
        QVERIFY(outer);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        QVERIFY(dynamic_cast<AbstractGraphicsUtility *>(outer)->saveItem(out));
        QDataStream stream(bytes);
        std::unique_ptr<QGraphicsItem> back(DocumentFormat::loadItem(stream));
        QVERIFY(back);
        QCOMPARE(describe({back.get()}), describe({outer}));
        QCOMPARE(back->childItems().size(), 2);
    }

    void damagedDocuments()
    {
        AbstractGraphicsScene scene;
        fillWithEverything(scene);
        const QByteArray good = saveDocument(scene);
        AbstractGraphicsScene target;
        QCOMPARE(loadDocument(QByteArray(), target), 1);
        QCOMPARE(loadDocument(QByteArray("<?xml version=\"1.0\"?><svg/>"), target), 1);
        QCOMPARE(loadDocument(QByteArray("PW"), target), 3); // cut inside the magic
        for (int length : {4, 8, 15, 16, 40, good.size() / 2, good.size() - 5, good.size() - 1})
            QVERIFY2(loadDocument(good.left(length), target) == 3, qPrintable(QString::number(length)));
        QCOMPARE(loadDocument(good + QByteArray(1, '\0'), target), 3);
        QVERIFY(target.items().isEmpty()); // nothing half-loaded
        // A stream on a device that cannot be read is a file error.
        QBuffer closed;
        QDataStream stream(&closed);
        QCOMPARE(int(target.load(stream, true, 0, nullptr, nullptr)), 2);

        // Every single flipped bit of a small document is refused.
        AbstractGraphicsScene small;
        for (int type : {0x10018, 0x10027, 0x10008, 0x10020})
            small.addItem(ItemSamples::create(type, QRectF(10, 10, 60, 40)));
        const QByteArray bytes = saveDocument(small);
        for (int pos = 0; pos < bytes.size(); ++pos) {
            for (int k = 0; k < 8; ++k) {
                QByteArray bad = bytes;
                bad[pos] = char(bad[pos] ^ (1 << k));
                AbstractGraphicsScene refused;
                const int r = loadDocument(bad, refused);
                QVERIFY2(r == 1 || r == 3,
                    qPrintable(QStringLiteral("byte %1 bit %2 gave %3").arg(pos).arg(k).arg(r)));
            }
        }
    }

    // Damage behind a valid checksum reaches the parser itself: it must refuse or accept
    // cleanly, never crash or allocate what the input cannot back.
    void damagedPayloadBehindValidChecksum()
    {
        AbstractGraphicsScene scene;
        fillWithEverything(scene);
        const QByteArray good = saveDocument(scene);
        const int payloadStart = 16;
        const int payloadLength = good.size() - 20;
        QRandomGenerator random(99);
        int refused = 0;
        for (int i = 0; i < 3000; ++i) {
            QByteArray bad = good;
            const int changes = 1 + random.bounded(4);
            for (int c = 0; c < changes; ++c)
                bad[payloadStart + random.bounded(payloadLength)] = char(random.bounded(256));
            const quint32 crc = crc32(bad.constData() + payloadStart, payloadLength);
            qToBigEndian(crc, bad.data() + bad.size() - 4);
            AbstractGraphicsScene target;
            const int r = loadDocument(bad, target);
            QVERIFY(r == 0 || r == 3);
            refused += r == 3 ? 1 : 0;
        }
        QVERIFY(refused > 0);

        // A count that claims far more items than the bytes can hold.
        QByteArray payload;
        BinaryWriter w(payload);
        w.rect(QRectF(0, 0, 100, 100));
        w.color(Qt::black);
        w.string(QString());
        w.u32(0x7fffffff);
        QByteArray huge;
        BinaryWriter h(huge);
        h.u32(0x50574447);
        h.u32(13);
        h.i32(0);
        h.u32(quint32(payload.size()));
        h.bytes(payload);
        h.u32(crc32(payload.constData(), payload.size()));
        AbstractGraphicsScene target;
        QCOMPARE(loadDocument(huge, target), 3);
    }
};

QTEST_MAIN(TestDocumentFormat)
#include "tst_documentformat.moc"
