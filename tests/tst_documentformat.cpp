// Documents, clipboard payloads and group files: exact round trips, the older
// version, and result codes for every kind of damaged input.
#include "abstractgraphicsscene.h"
#include "binarycodec.h"
#include "craft.h"
#include "documentformat.h"
#include "formatlimits.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QPainter>
#include <QtTest>
#include <sys/stat.h>

namespace {

using ItemSamples::describe;
using ItemSamples::documentBytes;

// A scene holding every kind with every property changed, locked and raised items,
// and a group inside a group.
void fillWithEverything(AbstractGraphicsScene &scene)
{
    scene.setSceneRect(0, 0, 2400, 1600);
    scene.setBackgroundColor(QColor(10, 20, 30));
    scene.setBackgroundPixmap(QStringLiteral("/图片/背景.png"));
    int i = 0;
    for (const ItemKind &kind : ItemKind::all()) {
        GraphicsItem *item = ItemSamples::create(kind.type, QRectF(20 + 40 * (i % 20), 30 + 90 * (i / 20), 36, 70));
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
        GraphicsItem *r = ItemSamples::create(ItemKind::Rectangle, QRectF(500 + 50 * k, 900, 40, 30));
        scene.addItem(r);
        inner->addToGroup(r);
    }
    inner->setName(QStringLiteral("内组"));
    auto *outer = new GroupItem;
    scene.addItem(outer);
    outer->addToGroup(inner);
    GraphicsItem *line = ItemSamples::create(ItemKind::Line, QRectF(600, 1000, -80, 40));
    scene.addItem(line);
    outer->addToGroup(line);
    outer->setLock(true);
    outer->setZValue(-2);
}

int loadDocument(const QByteArray &bytes, AbstractGraphicsScene &scene, int type = 0)
{
    QDataStream stream(bytes);
    return scene.load(stream, true, type, nullptr, nullptr);
}

// What a scene holds besides its items.
QVariantList sceneState(const AbstractGraphicsScene &scene)
{
    return {scene.version(), scene.type(), scene.sceneRect(), scene.backgroundColor(), scene.backgroundPixmap()};
}

// The payload of the document changed behind its back, with a checksum that fits again.
void resign(QByteArray &document)
{
    qToBigEndian(crc32(document.constData() + 16, document.size() - 20), document.data() + document.size() - 4);
}

const QString Regressions = QStringLiteral(PLOTWRIGHT_FUZZ_DIR "/regressions/document/");

} // namespace

class TestDocumentFormat : public QObject
{
    Q_OBJECT
    AbstractGraphicsScene m_everything;
    QByteArray m_bytes; // m_everything saved

private slots:
    void initTestCase()
    {
        TestSupport::isolate("documentformat");
        fillWithEverything(m_everything);
        m_bytes = documentBytes(m_everything);
    }

    void documentRoundTrip()
    {
        // The bytes are kept as a fixture, so a refactoring of the item classes that changes a
        // single saved byte fails here. PLOTWRIGHT_UPDATE_FIXTURES=1 rewrites it after a
        // deliberate format change.
        const QString fixture = QStringLiteral(PLOTWRIGHT_FUZZ_DIR "/../fixtures/every_kind.drw");
        if (qEnvironmentVariableIntValue("PLOTWRIGHT_UPDATE_FIXTURES"))
            QVERIFY(TestSupport::writeFile(fixture, m_bytes));
        QVERIFY2(
            TestSupport::readFile(fixture) == m_bytes, "the saved bytes differ from tests/fixtures/every_kind.drw");

        AbstractGraphicsScene loaded;
        loaded.addRect(0, 0, 5, 5); // replaced by the load
        QCOMPARE(loadDocument(m_bytes, loaded), 0);
        QCOMPARE(sceneState(loaded), sceneState(m_everything));
        QCOMPARE(describe(loaded), describe(m_everything));
        // Saving what was loaded gives the same bytes.
        QCOMPARE(documentBytes(loaded), m_bytes);
    }

    void olderVersionLoadsAndReportsIt()
    {
        AbstractGraphicsScene original;
        GraphicsItem *text = ItemSamples::create(ItemKind::PlainText, QRectF(10, 10, 100, 30));
        text->setPropertyValue(QStringLiteral("字体"), QFont(QStringLiteral("Noto Sans CJK SC"), 31));
        original.addItem(text);
        original.addItem(ItemSamples::create(ItemKind::MainTransformer, QRectF(200, 10, 40, 60)));
        const QByteArray old = documentBytes(original, 12);
        QVERIFY(old.size() < documentBytes(original).size()); // no checksum, no font
        AbstractGraphicsScene loaded;
        QCOMPARE(loadDocument(old, loaded), 0);
        QCOMPARE(loaded.version(), 12u);
        QCOMPARE(loaded.items().size(), 2);
        // Version 12 knew no fonts: the text comes back with the default one.
        auto *back = dynamic_cast<GraphicsItem *>(
            AbstractGraphicsScene::noParentFilter(loaded.items(Qt::AscendingOrder)).first());
        QVERIFY(back->font().pointSizeF() != 31);
    }

    // A clipboard payload keeps the order it is given; a group file keeps a group in a group.
    void clipboardPayloadAndGroupFile()
    {
        QList<QGraphicsItem *> chosen = AbstractGraphicsScene::noParentFilter(m_everything.items(Qt::AscendingOrder));
        std::reverse(chosen.begin(), chosen.end());
        chosen = chosen.mid(3, 20);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        QVERIFY(m_everything.save(out, chosen));
        QDataStream in(bytes);
        QList<QGraphicsItem *> loaded;
        QVERIFY(AbstractGraphicsScene::loadItems(in, true, 0, 13, loaded, nullptr, nullptr, nullptr));
        QCOMPARE(describe(loaded), describe(chosen));
        for (QGraphicsItem *item : loaded)
            QVERIFY(!item->scene() && !chosen.contains(item));
        qDeleteAll(loaded);

        const QList<QGraphicsItem *> all = m_everything.items();
        QGraphicsItem *outer = *std::find_if(all.cbegin(), all.cend(),
            [](QGraphicsItem *item) { return item->type() == ItemKind::Group && !item->parentItem(); });
        QByteArray group;
        QDataStream groupOut(&group, QIODevice::WriteOnly);
        QVERIFY(dynamic_cast<AbstractGraphicsUtility *>(outer)->saveItem(groupOut));
        QDataStream groupIn(group);
        std::unique_ptr<QGraphicsItem> back(DocumentFormat::loadItem(groupIn));
        QVERIFY(back);
        QCOMPARE(describe({back.get()}), describe({outer}));
    }

    void damagedDocuments()
    {
        AbstractGraphicsScene target;
        QCOMPARE(loadDocument(QByteArray(), target), 1);
        QCOMPARE(loadDocument(QByteArray("<?xml version=\"1.0\"?><svg/>"), target), 1);
        QCOMPARE(loadDocument(QByteArray("PW"), target), 3); // cut inside the magic
        for (int length : {4, 8, 15, 16, 40, m_bytes.size() / 2, m_bytes.size() - 5, m_bytes.size() - 1})
            QVERIFY2(loadDocument(m_bytes.left(length), target) == 3, qPrintable(QString::number(length)));
        QCOMPARE(loadDocument(m_bytes + QByteArray(1, '\0'), target), 3);
        QVERIFY(target.items().isEmpty()); // nothing half-loaded
        // A stream on a device that cannot be read is a file error.
        QBuffer closed;
        QDataStream stream(&closed);
        QCOMPARE(int(target.load(stream, true, 0, nullptr, nullptr)), 2);

        // Every single flipped bit of a small document is refused.
        AbstractGraphicsScene small;
        for (int type : {ItemKind::Rectangle, ItemKind::PlainText, ItemKind::Breaker, ItemKind::Bar})
            small.addItem(ItemSamples::create(type, QRectF(10, 10, 60, 40)));
        const QByteArray bytes = documentBytes(small);
        for (int bit = 0; bit < 8 * bytes.size(); ++bit) {
            QByteArray bad = bytes;
            bad[bit / 8] = char(bad[bit / 8] ^ (1 << (bit % 8)));
            AbstractGraphicsScene refused;
            const int r = loadDocument(bad, refused);
            QVERIFY2(r == 1 || r == 3, qPrintable(QStringLiteral("bit %1 gave %2").arg(bit).arg(r)));
        }
    }

    // Damage behind a valid checksum reaches the parser itself: it must refuse or accept
    // cleanly, never crash or allocate what the input cannot back.
    void damagedPayloadBehindValidChecksum()
    {
        QRandomGenerator random(99);
        int refused = 0;
        for (int i = 0; i < 3000; ++i) {
            QByteArray bad = m_bytes;
            for (int changes = 1 + random.bounded(4); changes > 0; --changes)
                bad[16 + random.bounded(m_bytes.size() - 20)] = char(random.bounded(256));
            resign(bad);
            AbstractGraphicsScene target;
            const int r = loadDocument(bad, target);
            QVERIFY(r == 0 || r == 3);
            refused += r == 3 ? 1 : 0;
        }
        QVERIFY(refused > 0);

        // An empty document whose item count, the payload's last field, claims far more items
        // than the bytes can hold.
        QByteArray huge = Craft::document({});
        qToBigEndian<quint32>(0x7fffffff, huge.data() + huge.size() - 8);
        resign(huge);
        AbstractGraphicsScene target;
        QCOMPARE(loadDocument(huge, target), 3);
    }

    // Inputs that once hung or exhausted memory: each is refused or loaded (and drawn) well
    // within its bound. The goal is 1 s per MB; the bound leaves room for a loaded machine.
    void hostileFilesLoadInTime_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("expected");
        for (const char *name : {"grid_20000000_rows.drw", "grid_2147483647_rows.drw", "sector_huge_angle.drw",
                 "symbol_huge_dashed_pen.drw", "diode_fuzzed.drw"})
            QTest::newRow(name) << Regressions + QLatin1String(name) << 3;
        for (const char *name : {"text_50000_lines.drw", "background_stdin.drw", "picture_bomb.drw"})
            QTest::newRow(name) << Regressions + QLatin1String(name) << 0;

        // Made here: too big to keep, or naming what cannot be kept (a FIFO, an absolute path).
        using Craft::Value;
        QList<QByteArray> many; // a megabyte of plain items, the size the load-time goal speaks of
        for (int i = 0, total = 0; total < 1000000; total += many.last().size(), ++i) {
            const QPointF at(i % 1000, i / 1000 * 50);
            many << (i % 2 ? Craft::itemRecord(ItemKind::Rectangle, at, QSizeF(40, 40), {Value{Property::Double, 2.0}})
                           : Craft::itemRecord(
                               ItemKind::Grid, at, QSizeF(40, 40), {Value{Property::Int, 3}, Value{Property::Int, 3}}));
        }
        const QString fifo = TestSupport::projectFolder() + QStringLiteral("/fifo.png");
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QString bomb = Regressions + QStringLiteral("bomb.png");
        const QList<QPair<const char *, QByteArray>> made{
            {"text_500000_lines.drw",
                Craft::document({Craft::itemRecord(ItemKind::PlainText, QPointF(10, 10), QSizeF(200, 100),
                    {Value{Property::String, QString(QStringLiteral("x\n")).repeated(500000)}, Value{Property::Enum, 0},
                        Value{Property::Color, QColor()}, Value{Property::Bool, false}})})},
            {"many_items_1mb.drw", Craft::document(many)}, {"background_fifo.drw", Craft::document({}, fifo)},
            {"picture_item_bomb.drw",
                Craft::document({Craft::itemRecord(ItemKind::CustomSymbol, QPointF(0, 0), QSizeF(64, 64),
                                    {Value{Property::Path, bomb}, Value{Property::Bool, false},
                                        Value{Property::String, QString()}})},
                    bomb)}};
        for (const auto &file : made) {
            const QString path = TestSupport::projectFolder() + QLatin1Char('/') + QLatin1String(file.first);
            QVERIFY(TestSupport::writeFile(path, file.second));
            QTest::newRow(file.first) << path << 0;
        }
    }

    void hostileFilesLoadInTime()
    {
        QFETCH(QString, path);
        QFETCH(int, expected);
        QElapsedTimer clock;
        clock.start();
        Scene scene;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.size() > 0);
        QDataStream stream(&file);
        QCOMPARE(int(scene.load(stream, true, 0, nullptr, nullptr)), expected);
        const qint64 loaded = clock.elapsed();
        if (expected == 0) {
            // Drawn as well: most of these hung in drawing, not in reading.
            QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            scene.render(&painter, QRectF(image.rect()), QRectF(0, 0, 256, 256));
        } else {
            QVERIFY(scene.items().isEmpty()); // nothing half-loaded
        }
        const qint64 elapsed = clock.elapsed();
        qInfo("%s: %lld bytes, read %lld ms, read and drawn %lld ms", qPrintable(QFileInfo(path).fileName()),
            file.size(), loaded, elapsed);
        QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
    }

    // Items far apart pasted far away land as far as the range allows, still the same
    // distance apart (that they read back again is the document fuzz replay's check).
    void farApartItemsPasteWithinTheRange()
    {
        Scene scene;
        QDataStream payload(TestSupport::readFile(Regressions + QStringLiteral("clipboard_far_apart.bin")));
        QList<QGraphicsItem *> items;
        QVERIFY(AbstractGraphicsScene::loadItems(payload, true, 0, 13, items, nullptr, nullptr, nullptr));
        for (QGraphicsItem *item : items) {
            scene.addItem(item);
            item->setSelected(true);
        }
        scene.copy();
        const double far = FormatLimits::MaxCoordinate;
        for (const QPointF &at : {QPointF(far, far), QPointF(-far, far), QPointF()}) {
            const QList<QGraphicsItem *> before = scene.items();
            scene.paste(at);
            QList<QGraphicsItem *> pasted = scene.items();
            pasted.erase(
                std::remove_if(pasted.begin(), pasted.end(), [&](auto *item) { return before.contains(item); }),
                pasted.end());
            QCOMPARE(pasted.size(), 2);
            const QPointF apart = pasted.at(0)->pos() - pasted.at(1)->pos();
            QCOMPARE(QPointF(std::abs(apart.x()), std::abs(apart.y())), QPointF(2 * far, 2 * far));
        }
    }
};

QTEST_MAIN(TestDocumentFormat)
#include "tst_documentformat.moc"
