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
        item->setZValue(i % 7 ? 0 : i);
        scene.addItem(item);
        item->setLock(i % 5 == 0);
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
        AbstractGraphicsScene loaded;
        QCOMPARE(loadDocument(documentBytes(original, 12), loaded), 0);
        QCOMPARE((QVariantList{loaded.version(), loaded.items().size()}), (QVariantList{12u, 2}));
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

    // One document per check of the reader: foreign bytes, ours cut off in the magic or the
    // header, a version it does not know, a wrong length, a wrong checksum, and an item count
    // (the payload's last field) far beyond what the bytes can hold. Nothing is half-loaded.
    void damagedDocuments()
    {
        QByteArray otherVersion = m_bytes;
        qToBigEndian<quint32>(DocumentFormat::CurrentVersion + 1, otherVersion.data() + 4);
        QByteArray flipped = m_bytes;
        flipped[100] = char(flipped[100] ^ 0x10);
        QByteArray huge = Craft::document({});
        qToBigEndian<quint32>(0x7fffffff, huge.data() + huge.size() - 8);
        resign(huge);
        const QList<QPair<QByteArray, int>> rows{{QByteArray(), 1}, {"<?xml version=\"1.0\"?><svg/>", 1}, {"PW", 3},
            {m_bytes.left(8), 3}, {otherVersion, 1}, {m_bytes.left(m_bytes.size() - 1), 3}, {flipped, 3}, {huge, 3}};
        AbstractGraphicsScene target;
        for (const auto &[bytes, expected] : rows)
            QVERIFY2(loadDocument(bytes, target) == expected, bytes.left(40).toHex().constData());
        QVERIFY(target.items().isEmpty());
        // A stream on a device that cannot be read is a file error.
        QBuffer closed;
        QDataStream stream(&closed);
        QCOMPARE(int(target.load(stream, true, 0, nullptr, nullptr)), 2);
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

        // Made here: too big to keep, or naming an absolute path.
        using Craft::Value;
        QList<QByteArray> many; // a megabyte of plain items, the size the load-time goal speaks of
        for (int i = 0, total = 0; total < 1000000; total += many.last().size(), ++i) {
            const QPointF at(i % 1000, i / 1000 * 50);
            many << (i % 2 ? Craft::itemRecord(ItemKind::Rectangle, at, QSizeF(40, 40), {Value{Property::Double, 2.0}})
                           : Craft::itemRecord(
                               ItemKind::Grid, at, QSizeF(40, 40), {Value{Property::Int, 3}, Value{Property::Int, 3}}));
        }
        const QString bomb = Regressions + QStringLiteral("bomb.png");
        const QList<QPair<const char *, QByteArray>> made{{"many_items_1mb.drw", Craft::document(many)},
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
        if (expected == 0) {
            // Drawn as well: most of these hung in drawing, not in reading.
            QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            scene.render(&painter, QRectF(image.rect()), QRectF(0, 0, 256, 256));
        } else {
            QVERIFY(scene.items().isEmpty()); // nothing half-loaded
        }
        const qint64 elapsed = clock.elapsed();
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
            Scene target;
            target.paste(at);
            const QList<QGraphicsItem *> pasted = target.items();
            QCOMPARE(pasted.size(), 2);
            const QPointF apart = pasted.at(0)->pos() - pasted.at(1)->pos();
            QCOMPARE(QPointF(std::abs(apart.x()), std::abs(apart.y())), QPointF(2 * far, 2 * far));
        }
    }
};

QTEST_MAIN(TestDocumentFormat)
#include "tst_documentformat.moc"
